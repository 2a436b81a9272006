// The settings record, its built-in defaults, and the settings file qr6_win3.ini.
#pragma once
#include <windows.h>
#include <d3d8types.h>
#include <cstdint>

#include "common/text_bounds.h"

// Section "Video". Each field is named after its settings-file key.
struct VideoSettings {
    int32_t Adapter;
    int32_t Device;
    int32_t ScreenWidth;
    int32_t ScreenHeight;
    int32_t ScreenBitCount;
    D3DADAPTER_IDENTIFIER8 AdapterIdentifier;  // only VendorId and DeviceId reach the file
    uint8_t TextureFilter;
    uint8_t FpsMode;
    uint8_t FullAntiAlias;
    uint8_t HardwareVertexShader;
    uint8_t WindowMode;
    uint8_t WaitVSync;
    uint8_t LowTexture;
    uint8_t UseMipmap;
    uint8_t LowEffect;
    uint8_t ShadowQuality;
    int32_t MinimapMode;
    uint8_t StatusMode;
    uint8_t Menu;
    uint8_t EnvMapOn;  // read but never written: the file keeps its own value
    uint8_t GlowOn;
    uint8_t MoviePlay;
};

constexpr int kKeyboardSlots = 15;
constexpr int kGamePadSlots = 10;
constexpr int kMouseSlots = 2;

// Sections "Sound" and "Control": the run of fields that has built-in defaults.
struct SoundControlSettings {
    uint8_t BgmVolume;
    uint8_t SeVolume;
    uint8_t BgmOff;
    uint8_t SeOff;
    uint8_t BtVoiceOff;
    uint8_t NotUseDirectSound;
    uint8_t NotUseDirectSound3d;
    uint8_t SoftwareSoundBuffer;
    uint8_t Camera45Deg;
    uint8_t MouseUseDI;
    uint8_t KeyboardUseDI;
    uint8_t UseGamaPad;
    uint8_t DefaultRun;
    uint8_t ChrTrans;
    uint8_t Analog;
    int32_t ButtonMode;
    int32_t LastAccessFile;
    uint8_t Keyboard[kKeyboardSlots];  // virtual-key codes
    uint8_t PadDeviceNo;
    uint8_t PadSensitivity;
    uint8_t GamePad[kGamePadSlots];  // controller button indices, 255 = none
    uint8_t UseWheel;
    uint8_t WheelReverse;
    uint8_t Mouse[kMouseSlots];  // virtual-key codes of mouse buttons
};

struct Settings : VideoSettings, SoundControlSettings {
    // Section "Mg05".
    int32_t MG05Sensitive;
    uint8_t MG05InversY;
};

extern Settings SettingsRecord;
extern const SoundControlSettings SettingsDefaults;
extern char SettingsFilePath[kPathSize];

extern const char kSettingsFileName[];  // "qr6_win3.ini"

// How a key's text in the file becomes its field.
enum class KeyKind : uint8_t {
    kInt,       // 32 bits as read
    kLow8,      // the low 8 bits of the number
    kFlag,      // 1 when the file holds exactly 1, else 0
    kBitCount,  // 16 or 32; anything else reads as 32
    kBytes,     // hexadecimal text, two digits a byte, taken whole or not at all
};

// Who decides what a store writes for a key.
enum class KeyUse : uint8_t {
    kPage,    // a page edits it: stored as the record holds it
    kFile,    // no page shows it: stored as the file holds it just before the store
    kLoaded,  // read, never written: the file keeps its own value
};

// One key of the settings file and the field that holds it. The table of all keys, in the order
// a store writes them, drives the load and the store.
struct SettingKey {
    const char* section;
    const char* name;
    KeyKind kind;
    KeyUse use;
    void* (*field)(Settings&);
    uint8_t size;  // bytes of the field (the slot count of an array)
};
constexpr int kSettingKeyCount = 49;
extern const SettingKey kSettingKeys[kSettingKeyCount];
// Every field at its built-in default.
const Settings& DefaultSettings();

// Fills SettingsRecord from the settings file in the save folder; missing keys take defaults.
// False when the file exists but cannot be opened or read: the record then holds the defaults,
// and no store of this run writes over the file.
bool LoadRegistry();

// Writes SettingsRecord to the settings file in the save folder, every key in one write that
// keeps the player's other lines; false when the file could not be written (it is then
// unchanged), so the caller can tell the player.
bool SaveRegistry();

// The two halves of LoadRegistry and SaveRegistry once the path is known. ReadSettingsFile is
// false when the file exists but cannot be read.
bool ReadSettingsFile(const char* path);
bool WriteSettingsFile(const char* path);

uint8_t HexPairToByte(char first, char second);
