// The settings record, its built-in defaults, and the settings file qr6_win3.ini.
#include "settings/settings_record.h"

#include <cstdio>
#include <cstring>

#include "common/trace.h"
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

bool WriteSettingsFile(const char* path) {
    CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
    SilentTrace("SaveRegistry: Save Config '%s'\n", SettingsFilePath);

    // Every key is attempted even after a failure, so as much as possible reaches the file.
    int failures = 0;
    auto writeInt = [&failures](const char* section, const char* key, int32_t value) {
        if (!WRITE_PROFILE_INT(section, key, value)) {
            ++failures;
        }
    };
    auto writeData = [&failures](const char* key, const uint8_t* data, unsigned count) {
        if (!WRITE_PROFILE_DATA(kControl, key, data, count)) {
            ++failures;
        }
    };
    const Settings& s = SettingsRecord;

    writeInt(kVideo, "Adapter", s.Adapter);
    writeInt(kVideo, "Device", s.Device);
    writeInt(kVideo, "ScreenWidth", s.ScreenWidth);
    writeInt(kVideo, "ScreenHeight", s.ScreenHeight);
    writeInt(kVideo, "ScreenBitCount", s.ScreenBitCount);
    writeInt(kVideo, "VendorID", static_cast<int32_t>(s.AdapterIdentifier.VendorId));
    writeInt(kVideo, "DeviceID", static_cast<int32_t>(s.AdapterIdentifier.DeviceId));
    writeInt(kVideo, "HardwareVertexShader", s.HardwareVertexShader);
    writeInt(kVideo, "WindowMode", s.WindowMode);
    writeInt(kVideo, "UseMipmap", s.UseMipmap);
    writeInt(kVideo, "WaitVSync", s.WaitVSync);
    writeInt(kVideo, "LowTexture", s.LowTexture);
    writeInt(kVideo, "TextureFilter", s.TextureFilter);
    writeInt(kVideo, "FpsMode", s.FpsMode);
    writeInt(kVideo, "FullAntiAlias", s.FullAntiAlias);
    writeInt(kVideo, "LowEffect", s.LowEffect);
    writeInt(kVideo, "ShadowQuality", s.ShadowQuality);
    writeInt(kVideo, "MinimapMode", s.MinimapMode);
    writeInt(kVideo, "StatusMode", s.StatusMode);
    writeInt(kVideo, "Menu", s.Menu);
    writeInt(kVideo, "GlowOn", s.GlowOn);
    writeInt(kVideo, "MoviePlay", s.MoviePlay);

    writeInt(kSound, "BgmOff", s.BgmOff);
    writeInt(kSound, "SeOff", s.SeOff);
    writeInt(kSound, "BgmVolume", s.BgmVolume);
    writeInt(kSound, "SeVolume", s.SeVolume);
    writeInt(kSound, "NotUseDirectSound", s.NotUseDirectSound);
    writeInt(kSound, "NotUseDirectSound3d", s.NotUseDirectSound3d);
    writeInt(kSound, "BtVoiceOff", s.BtVoiceOff);
    writeInt(kSound, "SoftwareSoundBuffer", s.SoftwareSoundBuffer);

    writeInt(kControl, "Camera45Deg", s.Camera45Deg);
    writeInt(kControl, "UseGamaPad", s.UseGamaPad);
    writeInt(kControl, "KeyboardUseDI", s.KeyboardUseDI);
    writeInt(kControl, "MouseUseDI", s.MouseUseDI);
    writeInt(kControl, "DefaultRun", s.DefaultRun);
    writeInt(kControl, "ChrTrans", s.ChrTrans);
    writeInt(kControl, "Analog", s.Analog);
    writeInt(kControl, "LastAccessFile", s.LastAccessFile);
    writeInt(kControl, "ButtonMode", s.ButtonMode);
    writeData("Keyboard", s.Keyboard, kKeyboardSlots);
    writeData("GamePad", s.GamePad, kGamePadSlots);
    writeInt(kControl, "PadDeviceNo", s.PadDeviceNo);
    writeInt(kControl, "PadSensitivity", s.PadSensitivity);
    writeData("Mouse", s.Mouse, kMouseSlots);
    writeInt(kControl, "UseWheel", s.UseWheel);
    writeInt(kControl, "WheelReverse", s.WheelReverse);

    writeInt(kMg05, "MG05InversY", s.MG05InversY);
    writeInt(kMg05, "MG05Sensitive", s.MG05Sensitive);

    if (failures != 0) {
        DebugTrace("SaveRegistry: %d keys not written to '%s'\n", failures, SettingsFilePath);
    }
    return failures == 0;
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
    return WritePrivateProfileStringA(section, key, text, SettingsFilePath);
}

bool WRITE_PROFILE_DATA(const char* section, const char* key, const uint8_t* data, unsigned count) {
    if (count >= kProfileDataLimit) {
        DebugTrace("WRITE_PROFILE_DATA is Size over\n");
        return false;
    }
    static const char digits[] = "0123456789abcdef";
    char text[2 * kProfileDataLimit];
    for (unsigned i = 0; i < count; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 0x0F];
    }
    text[2 * count] = '\0';
    return WritePrivateProfileStringA(section, key, text, SettingsFilePath) != FALSE;
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
