// Where the settings file lives: the player-folder probe, the save folder and its creation.
#pragma once
#include <windows.h>

// Fills path (260 bytes) with the full path of fileName in the save folder and, when folder is
// not null, folder (260 bytes) with the save folder ending in a backslash (empty when the folder
// itself does not fit). Creates the folders. False when the path does not fit in 260 bytes
// (path then holds the cut text).
bool MakeSavePath(char* path, char* folder, const char* fileName);

// Runs the probe of the running platform; on success writes the "save" folder beside the
// program into folder (260 bytes). 0 on success, -1 when the probe failed, -2 when the folder
// does not fit.
int GetSaveDirectory(char* folder, const char* userName);

// The Windows NT probe: hollin.dll in the program's own folder, then the shell's desktop
// folder. 0 when the library answered, 1 when the shell did, negative on failure.
int GetUserFolderNT(const char* userName, char* buffer);

// Creates every folder along path, leaving out the drive. Always 0.
int CreateDirectoryTree(const char* path);

// Creates the save folder itself and reports the outcome on the debug trace.
void CreateSaveDirectory(const char* folder);

// The probes and path rules above, for a given program file instead of the running one.
int GetUserFolderNTFor(const char* moduleFile, const char* userName, char* buffer);
int ProbeUserFolder(DWORD platformId, DWORD majorVersion, const char* moduleFile,
                    const char* userName);
// Writes the folder of moduleFile followed by "\save\" into folder (260 bytes); false when it
// had to be cut.
bool SaveFolderBeside(const char* moduleFile, char* folder);
// Replaces the last three characters of fileName (260 bytes) with the first three of logId;
// a shorter logId ends the name after its own characters.
void ApplyLogId(char* fileName, const char* logId);
