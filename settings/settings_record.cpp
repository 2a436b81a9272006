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

// The longest text of a key: an array of 15 bytes, or a signed 32-bit number.
static const size_t kKeyTextSize = 2 * kKeyboardSlots + 1;

#define SETTING(section, key, kind, use, member)                                                   \
    {                                                                                              \
        section, #key, KeyKind::kind, KeyUse::use, [](Settings& s) -> void* { return &s.member; }, \
            static_cast<uint8_t>(sizeof(Settings::member))                                         \
    }
#define KEY(section, key, kind, use) SETTING(section, key, kind, use, key)

constexpr SettingKey kSettingKeys[kSettingKeyCount] = {
    KEY(kVideo, Adapter, kInt, kPage),
    KEY(kVideo, Device, kInt, kPage),
    KEY(kVideo, ScreenWidth, kInt, kPage),
    KEY(kVideo, ScreenHeight, kInt, kPage),
    KEY(kVideo, ScreenBitCount, kBitCount, kPage),
    SETTING(kVideo, VendorID, kInt, kPage, AdapterIdentifier.VendorId),
    SETTING(kVideo, DeviceID, kInt, kPage, AdapterIdentifier.DeviceId),
    KEY(kVideo, HardwareVertexShader, kFlag, kPage),
    KEY(kVideo, WindowMode, kFlag, kPage),
    KEY(kVideo, UseMipmap, kFlag, kPage),
    KEY(kVideo, WaitVSync, kFlag, kPage),
    KEY(kVideo, LowTexture, kFlag, kPage),
    KEY(kVideo, TextureFilter, kLow8, kPage),
    KEY(kVideo, FpsMode, kLow8, kPage),
    KEY(kVideo, FullAntiAlias, kLow8, kPage),
    KEY(kVideo, LowEffect, kFlag, kPage),
    KEY(kVideo, ShadowQuality, kLow8, kPage),
    KEY(kVideo, MinimapMode, kInt, kFile),
    KEY(kVideo, StatusMode, kFlag, kFile),
    KEY(kVideo, Menu, kFlag, kFile),
    KEY(kVideo, EnvMapOn, kFlag, kLoaded),
    KEY(kVideo, GlowOn, kLow8, kPage),  // 8 bits, not reduced to 0 or 1
    KEY(kVideo, MoviePlay, kFlag, kPage),

    KEY(kSound, BgmOff, kFlag, kPage),
    KEY(kSound, SeOff, kFlag, kPage),
    KEY(kSound, BgmVolume, kLow8, kPage),
    KEY(kSound, SeVolume, kLow8, kPage),
    KEY(kSound, NotUseDirectSound, kFlag, kPage),
    KEY(kSound, NotUseDirectSound3d, kFlag, kPage),
    KEY(kSound, BtVoiceOff, kFlag, kPage),
    KEY(kSound, SoftwareSoundBuffer, kFlag, kPage),

    KEY(kControl, Camera45Deg, kFlag, kPage),
    KEY(kControl, UseGamaPad, kFlag, kPage),
    KEY(kControl, KeyboardUseDI, kFlag, kPage),
    KEY(kControl, MouseUseDI, kFlag, kPage),
    KEY(kControl, DefaultRun, kFlag, kPage),
    KEY(kControl, ChrTrans, kFlag, kPage),
    KEY(kControl, Analog, kFlag, kPage),
    KEY(kControl, LastAccessFile, kInt, kFile),
    KEY(kControl, ButtonMode, kInt, kFile),
    KEY(kControl, Keyboard, kBytes, kPage),
    KEY(kControl, GamePad, kBytes, kPage),
    KEY(kControl, PadDeviceNo, kLow8, kPage),
    KEY(kControl, PadSensitivity, kLow8, kPage),
    KEY(kControl, Mouse, kBytes, kPage),
    KEY(kControl, UseWheel, kFlag, kPage),
    KEY(kControl, WheelReverse, kFlag, kPage),

    KEY(kMg05, MG05InversY, kFlag, kFile),
    KEY(kMg05, MG05Sensitive, kInt, kFile),
};
static_assert(kSettingKeys[kSettingKeyCount - 1].name != nullptr, "every key has its row");

#undef KEY
#undef SETTING

const Settings& DefaultSettings() {
    static const Settings defaults = [] {
        Settings d{};
        d.Adapter = -1;
        d.Device = -1;
        d.ScreenWidth = 640;
        d.ScreenHeight = 480;
        d.ScreenBitCount = 32;
        d.TextureFilter = 2;
        d.HardwareVertexShader = 1;
        d.WaitVSync = 1;
        d.UseMipmap = 1;
        d.ShadowQuality = 2;
        d.MinimapMode = 1;
        d.StatusMode = 1;
        d.EnvMapOn = 1;
        d.GlowOn = 1;
        d.MoviePlay = 1;
        static_cast<SoundControlSettings&>(d) = SettingsDefaults;
        return d;
    }();
    return defaults;
}

// Two lower-case hexadecimal digits per byte into text (room for 2 * count + 1).
static void FormatHex(char* text, const uint8_t* data, unsigned count) {
    static const char digits[] = "0123456789abcdef";
    for (unsigned i = 0; i < count; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 0x0F];
    }
    text[2 * count] = '\0';
}

static int32_t FieldNumber(const SettingKey& key, const Settings& record) {
    const void* field = key.field(const_cast<Settings&>(record));
    if (key.size == 1) {
        return *static_cast<const uint8_t*>(field);
    }
    int32_t value;
    memcpy(&value, field, sizeof value);
    return value;
}

static void SetFieldNumber(const SettingKey& key, Settings& record, int32_t value) {
    void* field = key.field(record);
    if (key.size == 1) {
        *static_cast<uint8_t*>(field) = static_cast<uint8_t>(value & 0xFF);
    } else {
        memcpy(field, &value, sizeof value);
    }
}

// Takes an array from the file only when the text has exactly two digits per slot; otherwise
// every slot gets its default, so a slot never mixes file and default values. The length is that
// of the text actually written: when the buffer cuts a double-byte character, the profile
// function counts a byte it never wrote.
static void ReadBytes(const char* path, const SettingKey& key, Settings& record) {
    char text[kKeyTextSize];
    const size_t size = 2u * key.size + 1;
    memset(text, 0, sizeof text);
    if (path[0] != '\0') {
        GetPrivateProfileStringA(key.section, key.name, "", text, size, path);
    }
    text[size - 1] = '\0';
    uint8_t* slots = static_cast<uint8_t*>(key.field(record));
    if (strlen(text) == 2u * key.size) {
        for (size_t i = 0; i < key.size; ++i) {
            slots[i] = HexPairToByte(text[2 * i], text[2 * i + 1]);
        }
    } else {
        memcpy(slots, key.field(const_cast<Settings&>(DefaultSettings())), key.size);
    }
}

// Reads one key into the record as its kind says. Without a usable path the key takes its
// default: an empty name would reach win.ini.
static void ReadKey(const char* path, const SettingKey& key, Settings& record) {
    if (key.kind == KeyKind::kBytes) {
        ReadBytes(path, key, record);
        return;
    }
    const int32_t fallback = FieldNumber(key, DefaultSettings());
    int32_t value = fallback;
    if (path[0] != '\0') {
        value = static_cast<int32_t>(GetPrivateProfileIntA(key.section, key.name, fallback, path));
    }
    switch (key.kind) {
        case KeyKind::kFlag:
            value = value == 1 ? 1 : 0;
            break;
        case KeyKind::kBitCount:
            value = value == 16 || value == 32 ? value : 32;
            break;
        default:
            break;
    }
    SetFieldNumber(key, record, value);
}

// Opens the settings file for reading with every kind of sharing, as a check that it can be read
// and held while the profile functions read it, so no other program can lock it in between.
// INVALID_HANDLE_VALUE when there is no such file (a folder of that name included), or when it
// cannot be read (*unreadable).
static HANDLE HoldForReading(const char* path, bool* unreadable) {
    *unreadable = false;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return INVALID_HANDLE_VALUE;  // a folder holds no settings to lose
    }
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *unreadable = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return file;
    }
    char probe[512];
    DWORD got = 0;
    if (!ReadFile(file, probe, sizeof probe, &got, nullptr)) {
        *unreadable = true;
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// Set when the file was there but could not be read: the pages show defaults, and storing them
// would destroy the player's settings.
static bool storeRefused;

bool ReadSettingsFile(const char* path) {
    SettingsRecord = Settings{};
    CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
    bool unreadable = false;
    HANDLE hold = path[0] != '\0' ? HoldForReading(path, &unreadable) : INVALID_HANDLE_VALUE;
    for (const SettingKey& key : kSettingKeys) {
        ReadKey(unreadable ? "" : path, key, SettingsRecord);
    }
    if (hold != INVALID_HANDLE_VALUE) {
        CloseHandle(hold);
    }
    if (unreadable) {
        DebugTrace("LoadRegistry: '%s' cannot be read\n", path);
    }
    return !unreadable;
}

bool LoadRegistry() {
    char path[kPathSize];
    storeRefused = false;
    if (!MakeSavePath(path, nullptr, kSettingsFileName)) {
        // The file the game reads cannot be named: start from the defaults.
        DebugTrace("LoadRegistry: settings path too long '%s'\n", path);
        ReadSettingsFile("");
        return true;
    }
    storeRefused = !ReadSettingsFile(path);
    return !storeRefused;
}

// The keys no page shows are written back as the file holds them now: the game may have
// changed them while the settings were open. A file that is gone or cannot be read keeps what
// the load found.
static void TakeUnshownKeysFromFile(const char* path) {
    bool unreadable = false;
    HANDLE hold = HoldForReading(path, &unreadable);
    if (hold == INVALID_HANDLE_VALUE) {
        return;
    }
    for (const SettingKey& key : kSettingKeys) {
        if (key.use == KeyUse::kFile) {
            ReadKey(path, key, SettingsRecord);
        }
    }
    CloseHandle(hold);
}

bool WriteSettingsFile(const char* path) {
    CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
    SilentTrace("SaveRegistry: Save Config '%s'\n", SettingsFilePath);
    TakeUnshownKeysFromFile(SettingsFilePath);

    // Every key of the store, collected first so the file is written once.
    ProfileValue values[kSettingKeyCount];
    char texts[kSettingKeyCount][kKeyTextSize];
    int count = 0;
    for (const SettingKey& key : kSettingKeys) {
        if (key.use == KeyUse::kLoaded) {
            continue;
        }
        char* text = texts[count];
        if (key.kind == KeyKind::kBytes) {
            FormatHex(text, static_cast<const uint8_t*>(key.field(SettingsRecord)), key.size);
        } else {
            snprintf(text, kKeyTextSize, "%d", static_cast<int>(FieldNumber(key, SettingsRecord)));
        }
        values[count++] = {key.section, key.name, text};
    }

    // One write: a failure leaves the file as it was, never half stored.
    if (!WriteProfileValues(SettingsFilePath, values, count)) {
        DebugTrace("SaveRegistry: '%s' not written\n", SettingsFilePath);
        return false;
    }
    return true;
}

bool SaveRegistry() {
    char path[kPathSize];
    char folder[kPathSize];
    if (storeRefused) {
        DebugTrace("SaveRegistry: '%s' was not read, not stored over\n", SettingsFilePath);
        return false;
    }
    if (!MakeSavePath(path, folder, kSettingsFileName)) {
        CopyText(SettingsFilePath, sizeof SettingsFilePath, path);
        DebugTrace("SaveRegistry: settings path too long '%s'\n", path);
        return false;
    }
    CreateSaveDirectory(folder);
    return WriteSettingsFile(path);
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
