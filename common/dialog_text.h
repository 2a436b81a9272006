// Showing 8-bit texts in the Unicode dialogs, so they read right on any system code page.
#pragma once
#include <windows.h>

// The program's own strings are GBK whatever the system's code page is.
constexpr UINT kProgramCodePage = 936;

// Converts text of the given code page into out (outCount wide characters, always terminated;
// a text that does not fit is cut). Returns the characters written without the terminator.
int TextToWide(const char* text, UINT codePage, wchar_t* out, int outCount);

// Sets a dialog item's text from one of the program's own (GBK) strings.
BOOL SetItemTextGbk(HWND dialog, int id, const char* text);
// Sets a dialog item's text from a text the system handed over in its own code page.
BOOL SetItemTextSystem(HWND dialog, int id, const char* text);

// Formats printf-style into 256 bytes (at most 255 characters) and sets it as the item's text,
// read as GBK. Returns the characters kept.
int FormatItemText(HWND dialog, int id, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));

// A message box whose text and caption are GBK strings of the program.
int MessageBoxGbk(HWND owner, const char* text, const char* caption, UINT type);
