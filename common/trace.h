// The debug trace on the debugger output, and the silent second channel.
#pragma once

// Formats printf-style into 256 bytes (at most 255 characters, longer text is cut) and, when
// the result is not empty, sends it to the debugger output. Returns the characters kept.
int DebugTrace(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// Takes the same arguments as DebugTrace and emits nothing.
int SilentTrace(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// Where DebugTrace sends its lines; OutputDebugStringA unless a test listens in.
using TraceSink = void (*)(const char* line);
TraceSink SetTraceSink(TraceSink sink);
