// Display names of key codes (keyboard keys and mouse buttons) and of gamepad button indices.
#pragma once
#include <cstdint>

// Rows 0 to 254: names by virtual-key code; rows 255 to 286: "Button 1" to "Button 32".
// Rows 227 to 254 hold no text at all.
constexpr int kKeyNameRows = 287;
constexpr int kPadButtonRow = 255;
constexpr int kPadButtonCount = 32;
constexpr uint8_t kNoPadButton = 255;

extern const char* const KeyNames[kKeyNameRows];

// The name of a key code taken as one byte. Never null: a row without a name gives "".
const char* KeyName(int code);
// The name of a gamepad button index taken as one byte: "Button 1" for 0 to "Button 32" for
// 31, "" for 255 (no button), "error" for anything else.
const char* PadButtonName(int index);
