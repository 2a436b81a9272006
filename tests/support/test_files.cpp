// Temporary folders and file contents for tests.
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

TempFolder::TempFolder(const char* tag) {
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    do {  // a folder left by an earlier run with the same process id is passed over
        path_ = base + std::string(tag) + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter) + "\\";
    } while (!CreateDirectoryA(path_.c_str(), nullptr) && counter % 1000 != 0);
}

void RemoveTree(const std::string& path) {
    const std::string folder = path.back() == '\\' ? path : path + "\\";
    for (const std::string& name : FolderEntries(folder)) {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA((folder + name).c_str())) {
            RemoveTree(folder + name + "\\");  // a name may end in a 5C trail byte
        }
    }
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
        if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) {
            names.push_back(entry.cFileName);
        }
    }
    FindClose(find);  // fails harmlessly when nothing was found
    return names;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file << text) && static_cast<bool>(file.flush());
}

std::string ModuleFolder() {
    char file[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, file, MAX_PATH);
    return std::string(file, strrchr(file, '\\') + 1);
}

// Asks the system's profile reader, as the game does.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
    TempFolder folder("ini");
    char value[4096] = "";
    WriteFileText(folder / "settings.ini", text);
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", value, sizeof value,
                             (folder / "settings.ini").c_str());
    return value;
}

void ExpectIniValues(const std::string& text, const std::string& section,
                     const std::string& entries) {
    std::istringstream words(entries);
    for (std::string word; words >> word;) {
        size_t eq = word.find('=');
        EXPECT_EQ(IniValue(text, section, word.substr(0, eq)), word.substr(eq + 1)) << word;
    }
}
