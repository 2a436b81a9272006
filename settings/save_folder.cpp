// Where the settings file lives: the player-folder probe, the save folder and its creation.
#include "settings/save_folder.h"

#include <shlobj.h>
#include <cstdlib>
#include <cstring>

#include "common/runtime.h"
#include "common/text_bounds.h"
#include "common/trace.h"

using GetUserPathProc = int(__cdecl*)(const char* userName, char* buffer);

static const char kPathLibrary[] = "\\hollin.dll";

// Tries hollin.dll in the program's own folder only: a folder above it may be writable by
// anyone (a drive's root, a shared games folder), and a library there would run inside us.
// 0 when it answered.
static int AskPathLibrary(const char* moduleFile, const char* userName, char* buffer) {
    char candidate[kPathSize];
    CopyText(candidate, sizeof candidate, moduleFile);
    char* cut = FindLastBackslash(candidate);
    if (cut == nullptr) {
        return -1;
    }
    *cut = '\0';
    if (!AppendText(candidate, sizeof candidate, kPathLibrary)) {
        return -1;  // too long to name a file
    }
    HMODULE library = LoadLibraryA(candidate);
    if (library == nullptr) {
        return -1;
    }
    // Through void (*)(void), the type that may stand for any function pointer.
    auto getUserPath = reinterpret_cast<GetUserPathProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "GetUserPath")));
    if (getUserPath != nullptr && getUserPath(userName, buffer) != 0) {
        return 0;  // the library stays loaded for the rest of the run
    }
    FreeLibrary(library);
    return -1;
}

static int CountBackslashes(char* text) {
    int count = 0;
    for (const char* p = text; *p != '\0'; p = NextChar(p)) {
        if (*p == '\\') {
            ++count;
        }
    }
    return count;
}

// The shell route of the NT probe: the desktop folder must be a real path.
static int AskShell(char* buffer) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator))) {
        return -1;
    }
    LPITEMIDLIST items = nullptr;
    bool found = false;
    if (SUCCEEDED(SHGetSpecialFolderLocation(GetDesktopWindow(), CSIDL_DESKTOP, &items))) {
        found = SHGetPathFromIDListA(items, buffer) != FALSE;
        allocator->Free(items);
    }
    allocator->Release();
    buffer[kPathSize - 1] = '\0';
    if (!found || CountBackslashes(buffer) < 2) {
        return -1;
    }
    return 1;
}

int GetUserFolderNTFor(const char* moduleFile, const char* userName, char* buffer) {
    buffer[0] = '\0';
    if (moduleFile[0] != '\0' && AskPathLibrary(moduleFile, userName, buffer) == 0) {
        return 0;
    }
    return AskShell(buffer);
}

int GetUserFolderNT(const char* userName, char* buffer) {
    char file[kPathSize];
    GetModuleFile(nullptr, file);
    return GetUserFolderNTFor(file, userName, buffer);
}

int ProbeUserFolder(DWORD platformId, DWORD majorVersion, const char* moduleFile,
                    const char* userName) {
    if (platformId == VER_PLATFORM_WIN32_NT && majorVersion >= 4) {
        char buffer[kPathSize];
        return GetUserFolderNTFor(moduleFile, userName, buffer);
    }
    // Windows 95, 98 and Me cannot show the Unicode dialogs; there, as on NT 3, no probe: the
    // caller falls back to the folder beside the program.
    return -1;
}

bool SaveFolderBeside(const char* moduleFile, char* folder) {
    char text[kPathSize];
    bool whole = CopyText(text, sizeof text, moduleFile);
    char* cut = FindLastBackslash(text);
    if (cut != nullptr) {
        *cut = '\0';
    }
    CopyText(folder, kPathSize, text);
    return AppendText(folder, kPathSize, "\\save\\") && whole;
}

int GetSaveDirectory(char* folder, const char* userName) {
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    char file[kPathSize];
    GetModuleFile(nullptr, file);
    if (ProbeUserFolder(version.dwPlatformId, version.dwMajorVersion, file, userName) < 0) {
        return -1;
    }
    return SaveFolderBeside(file, folder) ? 0 : -2;
}

void ApplyLogId(char* fileName, const char* logId) {
    size_t length = strnlen(fileName, kPathSize - 1);
    size_t start = length >= 3 ? length - 3 : 0;
    size_t i = 0;
    for (; i < 3 && logId[i] != '\0'; ++i) {
        fileName[start + i] = logId[i];
    }
    fileName[start + i] = '\0';
    // Half a double-byte character would make a name the file system cannot hold.
    char* last = nullptr;
    for (char* p = fileName; *p != '\0'; p = const_cast<char*>(NextChar(p))) {
        last = p;
    }
    if (last != nullptr && IsDBCSLeadByte(static_cast<BYTE>(*last))) {
        *last = '\0';
    }
}

int CreateDirectoryTree(const char* path) {
    char text[kPathSize];
    CopyText(text, sizeof text, path);
    char* first = FindFirstBackslash(text);
    if (first != nullptr) {
        for (char* p = const_cast<char*>(NextChar(first)); *p != '\0';
             p = const_cast<char*>(NextChar(p))) {
            if (*p == '\\') {
                *p = '\0';
                CreateDirectoryA(text, nullptr);
                *p = '\\';
            }
        }
    }
    CreateDirectoryA(text, nullptr);
    return 0;
}

void CreateSaveDirectory(const char* folder) {
    DebugTrace("CreateSaveDirectory %s\n", folder);
    if (CreateDirectoryA(folder, nullptr)) {
        SilentTrace("CreateSaveDirectory: 创建SAVE文件夹 [%s]\n", folder);
    } else {
        GetLastError();
        DebugTrace("CreateSaveDirectory: 创建SAVE文件夹失败 [%s] \n", folder);
    }
}

bool MakeSavePath(char* path, char* folder, const char* fileName) {
    char userName[kPathSize];
    DWORD size = sizeof userName;
    if (!GetUserNameA(userName, &size)) {
        userName[0] = '\0';
    }
    bool fits = true;
    int found = GetSaveDirectory(path, userName);
    if (found == -1) {
        found = GetSaveDirectory(path, "");
    }
    if (found == -2) {
        fits = false;
    } else if (found < 0) {
        fits = CopyText(path, kPathSize, moduleDirectory) && AppendText(path, kPathSize, "SAVE\\");
    }
    if (folder != nullptr) {
        if (fits) {
            CopyText(folder, kPathSize, path);
        } else {
            folder[0] = '\0';  // a cut folder would be some other folder
        }
    }

    char tree[kPathSize];
    CopyText(tree, sizeof tree, path);
    char* last = FindLastBackslash(tree);
    if (last != nullptr) {
        *last = '\0';
    }
    CreateDirectoryTree(tree);

    char name[kPathSize];
    CopyText(name, sizeof name, fileName);
    const char* logId = getenv("LOG_ID");
    if (logId != nullptr) {
        ApplyLogId(name, logId);
    }
    // A cut name would be a file the game never reads.
    return AppendText(path, kPathSize, name) && fits;
}
