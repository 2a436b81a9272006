// Which keys and mouse buttons are held down right now, read through a replaceable source so
// that tests can hold keys without a keyboard.
#pragma once
#include <windows.h>

#include <cstdint>

// Answers like GetAsyncKeyState: the high bit of the result is set while the key is down.
using KeyStateSource = SHORT(WINAPI*)(int virtualKey);

// Installs a source and returns the previous one; null puts GetAsyncKeyState back.
KeyStateSource SetKeyStateSource(KeyStateSource source);

bool IsKeyHeld(int virtualKey);

// The virtual-key code of the first key held in the scan order, or 0: the punctuation keys
// 186-192, 219-222 and 226 first, then 8 to 134 without 25 (Kanji). Mouse buttons, F24, the
// left/right variants of Shift, Ctrl and Alt, Num Lock and Scroll Lock are never reported; a
// left or right Shift, Ctrl or Alt shows as the generic 16, 17 or 18.
uint8_t ScanKeys();

// 1 (left) when the left button is held, else 2 (right), else 4 (middle), else 0.
uint8_t ScanMouseButtons();

// Wait conditions for PumpMessagesWhile.
bool AnyKeyHeld();
bool AnyMouseButtonHeld();
