// Storing keys in a private-profile (INI) file without disturbing the player's own lines.
#pragma once

struct ProfileValue {
    const char* section;
    const char* key;
    const char* value;  // ASCII
};

// Sets each key of the list (distinct keys) in the file at path, where the profile functions
// look for it: the first line of the key's name in the first section of its name gets the new
// value; a missing key goes after the last line of its section, a missing section to the end
// of the file. Every other byte stays as it was: blank lines, spacing, comments, line endings,
// the byte-order mark and text that is not valid in the file's encoding. The file is read once
// and written once; false when it cannot be opened, read or written, and it is then unchanged.
bool WriteProfileValues(const char* path, const ProfileValue* values, int count);
