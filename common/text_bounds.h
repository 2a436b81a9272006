// Bounded operations on 8-bit texts in the system code page (fixed buffers, double-byte aware).
#pragma once
#include <windows.h>
#include <cstddef>

// Every path buffer of the program: 260 bytes with the terminator.
constexpr size_t kPathSize = MAX_PATH;

// The character after p; a lead byte of the system code page and its trail byte are one unit.
const char* NextChar(const char* p);

// Copies src into dst of size bytes. A text that does not fit is cut on a character boundary
// and false is returned; dst is always terminated.
bool CopyText(char* dst, size_t size, const char* src);

// Appends src to the text in dst (size bytes), with the same cutting rule as CopyText.
bool AppendText(char* dst, size_t size, const char* src);

// First and last backslash of the text, skipping trail bytes of double-byte characters;
// null when there is none.
char* FindFirstBackslash(char* text);
char* FindLastBackslash(char* text);
