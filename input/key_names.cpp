// Display names of key codes and gamepad buttons. Plain ASCII; the punctuation keys are named as
// on the Japanese layout the game's players use.
#include "input/key_names.h"

// Texts two rows share.
static const char kColon[] = ":";
static const char kSemicolon[] = ";";
static const char kAt[] = "@";
static const char kBackslash[] = "\\";

// clang-format off
const char* const KeyNames[kKeyNameRows] = {
    /*   0 */ "error", "L-Button", "R-Button", "Cancel", "M-Button", "", "", "",
    /*   8 */ "Back", "Tab", "", "", "Cls", "Enter", "", "",
    /*  16 */ "Shift", "Ctrl", "Alt", "Pause", "Caps", "Kana", "", "Junja",
    /*  24 */ "Final", "Kanji", "", "Esc", "Convert", "NoConvert", "Accept", "ModeChange",
    /*  32 */ "Space", "PageUp", "PageDown", "End", "Home", "Left", "Up", "Right",
    /*  40 */ "Down", "Select", "Print", "Execute", "PrntScrn", "Insert", "Delete", "Help",
    /*  48 */ "0", "1", "2", "3", "4", "5", "6", "7",
    /*  56 */ "8", "9", kColon, kSemicolon, "<", "=", ">", "?",
    /*  64 */ kAt, "A", "B", "C", "D", "E", "F", "G",
    /*  72 */ "H", "I", "J", "K", "L", "M", "N", "O",
    /*  80 */ "P", "Q", "R", "S", "T", "U", "V", "W",
    /*  88 */ "X", "Y", "Z", "L-Win", "R-Win", "Apps", "", "",
    /*  96 */ "0[10Key]", "1[10Key]", "2[10Key]", "3[10Key]",
    /* 100 */ "4[10Key]", "5[10Key]", "6[10Key]", "7[10Key]",
    /* 104 */ "8[10Key]", "9[10Key]", "*[10Key]", "+[10Key]",
    /* 108 */ "@[10Key]", "-[10Key]", ".[10Key]", "/[10Key]",
    /* 112 */ "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8",
    /* 120 */ "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16",
    /* 128 */ "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    /* 136 */ "", "", "", "", "", "", "", "",
    /* 144 */ "NumLock", "Scroll", "", "", "", "", "", "",
    /* 152 */ "", "", "", "", "", "", "", "",
    /* 160 */ "L-Shift", "R-Shift", "L-Ctrl", "R-Ctrl", "L-Alt", "R-Alt", "", "",
    /* 168 */ "", "", "", "", "", "", "", "",
    /* 176 */ "", "", "", "", "", "", "", "",
    /* 184 */ "", "", kColon, kSemicolon, ",", "-", ".", "/",
    /* 192 */ kAt, "", "", "", "", "", "", "",
    /* 200 */ "", "", "", "", "", "", "", "",
    /* 208 */ "", "", "", "", "", "", "", "",
    /* 216 */ "", "", "", "[", kBackslash, "]", "^", "",
    /* 224 */ "", "", kBackslash, nullptr, nullptr, nullptr, nullptr, nullptr,
    /* 232 */ nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    /* 240 */ nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    /* 248 */ nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Button 1",
    /* 256 */ "Button 2", "Button 3", "Button 4", "Button 5",
    /* 260 */ "Button 6", "Button 7", "Button 8", "Button 9",
    /* 264 */ "Button 10", "Button 11", "Button 12", "Button 13",
    /* 268 */ "Button 14", "Button 15", "Button 16", "Button 17",
    /* 272 */ "Button 18", "Button 19", "Button 20", "Button 21",
    /* 276 */ "Button 22", "Button 23", "Button 24", "Button 25",
    /* 280 */ "Button 26", "Button 27", "Button 28", "Button 29",
    /* 284 */ "Button 30", "Button 31", "Button 32",
};
// clang-format on

const char* KeyName(int code) {
    const char* name = KeyNames[static_cast<uint8_t>(code)];
    return name != nullptr ? name : "";
}

const char* PadButtonName(int index) {
    uint8_t button = static_cast<uint8_t>(index);
    if (button == kNoPadButton) {
        return "";
    }
    if (button >= kPadButtonCount) {
        return "error";
    }
    return KeyNames[kPadButtonRow + button];
}
