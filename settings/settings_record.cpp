// The settings record, its built-in defaults, and the settings file qr6_win3.ini.
#include "settings/settings_record.h"

#include <cstdio>
#include <cstring>

#include "common/trace.h"
#include "settings/profile_text.h"
#include "settings/save_folder.h"

Settings SettingsRecord;
char SettingsFilePath[kPathSize];
const char kSettingsFileName[] = "qr6_win3.ini";

const SoundControlSettings SettingsDefaults = {
    6,  // BgmVolume
    6,  // SeVolume
    0,  // BgmOff
    0,  // SeOff
    0,  // BtVoiceOff
    0,  // NotUseDirectSound
    0,  // NotUseDirectSound3d
    0,  // SoftwareSoundBuffer
    1,  // Camera45Deg
    1,  // MouseUseDI
    1,  // KeyboardUseDI
    1,  // UseGamaPad
    0,  // DefaultRun
    0,  // ChrTrans
    1,  // Analog
    1,  // ButtonMode
    0,  // LastAccessFile
    // Keyboard: Space, Ctrl, Esc (no button on the keyboard page), A, X, Z, arrows, B, C, M,
    // Shift, V.
    {0x20, 0x11, 0x1B, 0x41, 0x58, 0x5A, 0x26, 0x28, 0x25, 0x27, 0x42, 0x43, 0x4D, 0x10, 0x56},
    0,                               // PadDeviceNo
    60,                              // PadSensitivity
    {1, 2, 4, 7, 6, 0, 3, 5, 8, 9},  // GamePad
    1,                               // UseWheel
    0,                               // WheelReverse
    {0x01, 0x02},                    // Mouse: left and right button
};

static const char kVideo[] = "Video";
static const char kSound[] = "Sound";
static const char kControl[] = "Control";
static const char kMg05[] = "Mg05";

// Far above the 15 bytes the program writes; guards the text buffer below.
static const unsigned kProfileDataLimit = 10240;

// Two lower-case hexadecimal digits per byte into text (room for 2 * count + 1).
static void FormatHex(char* text, const uint8_t* data, unsigned count) {
    static const char digits[] = "0123456789abcdef";
    for (unsigned i = 0; i < count; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 0x0F];
    }
    text[2 * count] = '\0';
}

// Without a usable path every key takes its default: an empty name would reach win.ini.
static int32_t ReadInt(const char* section, const char* key, int32_t fallback) {
    if (SettingsFilePath[0] == '\0') {
        return fallback;
    }
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, SettingsFilePath));
}

static uint8_t ReadLow8(const char* section, const char* key, int32_t fallback) {
    return static_cast<uint8_t>(ReadInt(section, key, fallback) & 0xFF);
}

static uint8_t ReadIsOne(const char* section, const char* key, int32_t fallback) {
    return ReadInt(section, key, fallback) == 1 ? 1 : 0;
}

// Takes the array from the file only when the text has exactly two digits per slot; otherwise
// every slot gets its default, so a slot never mixes file and default values. The length is that
// of the text actually written: when the buffer cuts a double-byte character, the profile
// function counts a byte it never wrote.
template <size_t Count>
static void ReadByteArray(const char* key, uint8_t (&slots)[Count],
                          const uint8_t (&fallback)[Count]) {
    char text[2 * Count + 1];
    memset(text, 0, sizeof text);
    if (SettingsFilePath[0] != '\0') {
        GetPrivateProfileStringA(kControl, key, "", text, sizeof text, SettingsFilePath);
    }
    text[sizeof text - 1] = '\0';
    if (strlen(text) == 2 * Count) {
        for (size_t i = 0; i < Count; ++i) {
            slots[i] = HexPairToByte(text[2 * i], text[2 * i + 1]);
        }
    } else {
        memcpy(slots, fallback, Count);
    }
}

void ReadSettingsFile(const char* path) {
    SettingsRecord = Settings{};
    CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
    Settings& s = SettingsRecord;
    const SoundControlSettings& d = SettingsDefaults;

    s.Adapter = ReadInt(kVideo, "Adapter", -1);
    s.Device = ReadInt(kVideo, "Device", -1);
    s.ScreenWidth = ReadInt(kVideo, "ScreenWidth", 640);
    s.ScreenHeight = ReadInt(kVideo, "ScreenHeight", 480);
    int32_t bits = ReadInt(kVideo, "ScreenBitCount", 32);
    s.ScreenBitCount = (bits == 16 || bits == 32) ? bits : 32;
    s.AdapterIdentifier.VendorId = static_cast<DWORD>(ReadInt(kVideo, "VendorID", 0));
    s.AdapterIdentifier.DeviceId = static_cast<DWORD>(ReadInt(kVideo, "DeviceID", 0));
    s.HardwareVertexShader = ReadIsOne(kVideo, "HardwareVertexShader", 1);
    s.WindowMode = ReadIsOne(kVideo, "WindowMode", 0);
    s.WaitVSync = ReadIsOne(kVideo, "WaitVSync", 1);
    s.UseMipmap = ReadIsOne(kVideo, "UseMipmap", 1);
    s.LowTexture = ReadIsOne(kVideo, "LowTexture", 0);
    s.TextureFilter = ReadLow8(kVideo, "TextureFilter", 2);
    s.FpsMode = ReadLow8(kVideo, "FpsMode", 0);
    s.FullAntiAlias = ReadLow8(kVideo, "FullAntiAlias", 0);
    s.LowEffect = ReadIsOne(kVideo, "LowEffect", 0);
    s.ShadowQuality = ReadLow8(kVideo, "ShadowQuality", 2);
    s.MinimapMode = ReadInt(kVideo, "MinimapMode", 1);
    s.StatusMode = ReadIsOne(kVideo, "StatusMode", 1);
    s.Menu = ReadIsOne(kVideo, "Menu", 0);
    s.EnvMapOn = ReadIsOne(kVideo, "EnvMapOn", 1);
    s.GlowOn = ReadLow8(kVideo, "GlowOn", 1);
    s.MoviePlay = ReadIsOne(kVideo, "MoviePlay", 1);

    s.BgmOff = ReadIsOne(kSound, "BgmOff", d.BgmOff);
    s.SeOff = ReadIsOne(kSound, "SeOff", d.SeOff);
    s.BgmVolume = ReadLow8(kSound, "BgmVolume", d.BgmVolume);
    s.SeVolume = ReadLow8(kSound, "SeVolume", d.SeVolume);
    s.BtVoiceOff = ReadIsOne(kSound, "BtVoiceOff", d.BtVoiceOff);
    s.NotUseDirectSound = ReadIsOne(kSound, "NotUseDirectSound", d.NotUseDirectSound);
    s.NotUseDirectSound3d = ReadIsOne(kSound, "NotUseDirectSound3d", d.NotUseDirectSound3d);
    s.SoftwareSoundBuffer = ReadIsOne(kSound, "SoftwareSoundBuffer", d.SoftwareSoundBuffer);

    s.Camera45Deg = ReadIsOne(kControl, "Camera45Deg", d.Camera45Deg);
    s.UseGamaPad = ReadIsOne(kControl, "UseGamaPad", d.UseGamaPad);
    s.KeyboardUseDI = ReadIsOne(kControl, "KeyboardUseDI", d.KeyboardUseDI);
    s.MouseUseDI = ReadIsOne(kControl, "MouseUseDI", d.MouseUseDI);
    s.DefaultRun = ReadIsOne(kControl, "DefaultRun", d.DefaultRun);
    s.ChrTrans = ReadIsOne(kControl, "ChrTrans", d.ChrTrans);
    s.Analog = ReadIsOne(kControl, "Analog", d.Analog);
    s.LastAccessFile = ReadInt(kControl, "LastAccessFile", d.LastAccessFile);
    s.MG05InversY = ReadIsOne(kMg05, "MG05InversY", 0);
    s.MG05Sensitive = ReadInt(kMg05, "MG05Sensitive", 0);
    s.ButtonMode = ReadInt(kControl, "ButtonMode", d.ButtonMode);

    ReadByteArray("Keyboard", s.Keyboard, d.Keyboard);
    ReadByteArray("GamePad", s.GamePad, d.GamePad);
    s.PadDeviceNo = ReadLow8(kControl, "PadDeviceNo", d.PadDeviceNo);
    s.PadSensitivity = ReadLow8(kControl, "PadSensitivity", d.PadSensitivity);
    ReadByteArray("Mouse", s.Mouse, d.Mouse);
    s.UseWheel = ReadIsOne(kControl, "UseWheel", d.UseWheel);
    s.WheelReverse = ReadIsOne(kControl, "WheelReverse", d.WheelReverse);
}

bool LoadRegistry() {
    char path[kPathSize];
    if (!MakeSavePath(path, nullptr, kSettingsFileName)) {
        // The file the game reads cannot be named: start from the defaults.
        DebugTrace("LoadRegistry: settings path too long '%s'\n", path);
        ReadSettingsFile("");
        return false;
    }
    ReadSettingsFile(path);
    return true;
}

namespace {

constexpr int kStoredKeys = 48;

// Every key of a store, collected first so the file is written once.
struct StoreList {
    ProfileValue values[kStoredKeys];
    char texts[kStoredKeys][2 * kKeyboardSlots + 1];
    int count = 0;

    void Int(const char* section, const char* key, int32_t value) {
        snprintf(texts[count], sizeof texts[count], "%d", static_cast<int>(value));
        values[count] = {section, key, texts[count]};
        ++count;
    }
    template <size_t Count>
    void Data(const char* key, const uint8_t (&data)[Count]) {
        static_assert(2 * Count < sizeof texts[0], "the text buffer holds every array");
        FormatHex(texts[count], data, Count);
        values[count] = {kControl, key, texts[count]};
        ++count;
    }
};

}  // namespace

bool WriteSettingsFile(const char* path) {
    CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
    SilentTrace("SaveRegistry: Save Config '%s'\n", SettingsFilePath);

    const Settings& s = SettingsRecord;
    StoreList list;
    list.Int(kVideo, "Adapter", s.Adapter);
    list.Int(kVideo, "Device", s.Device);
    list.Int(kVideo, "ScreenWidth", s.ScreenWidth);
    list.Int(kVideo, "ScreenHeight", s.ScreenHeight);
    list.Int(kVideo, "ScreenBitCount", s.ScreenBitCount);
    list.Int(kVideo, "VendorID", static_cast<int32_t>(s.AdapterIdentifier.VendorId));
    list.Int(kVideo, "DeviceID", static_cast<int32_t>(s.AdapterIdentifier.DeviceId));
    list.Int(kVideo, "HardwareVertexShader", s.HardwareVertexShader);
    list.Int(kVideo, "WindowMode", s.WindowMode);
    list.Int(kVideo, "UseMipmap", s.UseMipmap);
    list.Int(kVideo, "WaitVSync", s.WaitVSync);
    list.Int(kVideo, "LowTexture", s.LowTexture);
    list.Int(kVideo, "TextureFilter", s.TextureFilter);
    list.Int(kVideo, "FpsMode", s.FpsMode);
    list.Int(kVideo, "FullAntiAlias", s.FullAntiAlias);
    list.Int(kVideo, "LowEffect", s.LowEffect);
    list.Int(kVideo, "ShadowQuality", s.ShadowQuality);
    list.Int(kVideo, "MinimapMode", s.MinimapMode);
    list.Int(kVideo, "StatusMode", s.StatusMode);
    list.Int(kVideo, "Menu", s.Menu);
    list.Int(kVideo, "GlowOn", s.GlowOn);
    list.Int(kVideo, "MoviePlay", s.MoviePlay);

    list.Int(kSound, "BgmOff", s.BgmOff);
    list.Int(kSound, "SeOff", s.SeOff);
    list.Int(kSound, "BgmVolume", s.BgmVolume);
    list.Int(kSound, "SeVolume", s.SeVolume);
    list.Int(kSound, "NotUseDirectSound", s.NotUseDirectSound);
    list.Int(kSound, "NotUseDirectSound3d", s.NotUseDirectSound3d);
    list.Int(kSound, "BtVoiceOff", s.BtVoiceOff);
    list.Int(kSound, "SoftwareSoundBuffer", s.SoftwareSoundBuffer);

    list.Int(kControl, "Camera45Deg", s.Camera45Deg);
    list.Int(kControl, "UseGamaPad", s.UseGamaPad);
    list.Int(kControl, "KeyboardUseDI", s.KeyboardUseDI);
    list.Int(kControl, "MouseUseDI", s.MouseUseDI);
    list.Int(kControl, "DefaultRun", s.DefaultRun);
    list.Int(kControl, "ChrTrans", s.ChrTrans);
    list.Int(kControl, "Analog", s.Analog);
    list.Int(kControl, "LastAccessFile", s.LastAccessFile);
    list.Int(kControl, "ButtonMode", s.ButtonMode);
    list.Data("Keyboard", s.Keyboard);
    list.Data("GamePad", s.GamePad);
    list.Int(kControl, "PadDeviceNo", s.PadDeviceNo);
    list.Int(kControl, "PadSensitivity", s.PadSensitivity);
    list.Data("Mouse", s.Mouse);
    list.Int(kControl, "UseWheel", s.UseWheel);
    list.Int(kControl, "WheelReverse", s.WheelReverse);

    list.Int(kMg05, "MG05InversY", s.MG05InversY);
    list.Int(kMg05, "MG05Sensitive", s.MG05Sensitive);

    // One write: a failure leaves the file as it was, never half stored.
    if (!WriteProfileValues(SettingsFilePath, list.values, list.count)) {
        DebugTrace("SaveRegistry: '%s' not written\n", SettingsFilePath);
        return false;
    }
    return true;
}

bool SaveRegistry() {
    char path[kPathSize];
    char folder[kPathSize];
    if (!MakeSavePath(path, folder, kSettingsFileName)) {
        CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
        DebugTrace("SaveRegistry: settings path too long '%s'\n", path);
        return false;
    }
    CreateSaveDirectory(folder);
    return WriteSettingsFile(path);
}

BOOL WRITE_PROFILE_INT(const char* section, const char* key, int32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%d", static_cast<int>(value));
    const ProfileValue one = {section, key, text};
    return WriteProfileValues(SettingsFilePath, &one, 1);
}

bool WRITE_PROFILE_DATA(const char* section, const char* key, const uint8_t* data, unsigned count) {
    if (count >= kProfileDataLimit) {
        DebugTrace("WRITE_PROFILE_DATA is Size over\n");
        return false;
    }
    static char text[2 * kProfileDataLimit];
    FormatHex(text, data, count);
    const ProfileValue one = {section, key, text};
    return WriteProfileValues(SettingsFilePath, &one, 1);
}

// Lenient on purpose: a character that is no hexadecimal digit is not rejected but repeats the
// value of the digit before it (0 for the first), so "1g" reads as 0x11.
uint8_t HexPairToByte(char first, char second) {
    int value = 0;
    int result = 0;
    const char pair[2] = {first, second};
    for (char c : pair) {
        signed char code = static_cast<signed char>(c);
        if (code <= '9') {
            value = code - 48;
        } else if (code >= 'a' && code <= 'f') {
            value = code - 87;
        } else if (code >= 'A' && code <= 'F') {
            value = code - 55;
        }
        result = result * 16 + value;
    }
    return static_cast<uint8_t>(result & 0xFF);
}
