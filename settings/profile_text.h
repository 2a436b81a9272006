// Storing keys in a private-profile (INI) file without disturbing the player's own lines.
#pragma once
#include <windows.h>

struct ProfileValue {
    const char* section;
    const char* key;
    const char* value;  // ASCII
};

// Sets each key of the list (distinct keys) in the file at path, where the profile functions
// look for it: the first line of the key's name in the first section of its name gets the new
// value; a missing key goes after the last line of its section, a missing section to the end
// of the file. Every other byte stays as it was: blank lines, spacing, comments, line endings,
// the byte-order mark and text that is not valid in the file's encoding. The new text goes to a
// temporary file beside it, flushed, which then replaces the file, so the file holds either
// the old text or the whole new one. False when the file cannot be read or written, is
// read-only, or a stored key would not read back as stored; the file is then unchanged.
bool WriteProfileValues(const char* path, const ProfileValue* values, int count);

// The file calls of a store that can fail after the new text is made; tests replace them to
// make each one fail.
struct StoreFileCalls {
    BOOL(WINAPI* writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* flushFileBuffers)(HANDLE);
    BOOL(WINAPI* replaceFile)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);
    BOOL(WINAPI* moveFileEx)(LPCSTR, LPCSTR, DWORD);
};
extern StoreFileCalls storeFileCalls;
