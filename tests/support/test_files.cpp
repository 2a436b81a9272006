// Temporary folders and file contents for tests.
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

TempFolder::TempFolder(const char* tag) {
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    do {  // a folder left by an earlier run of the same process id is skipped
        path_ = base + std::string(tag) + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter) + "\\";
    } while (!CreateDirectoryA(path_.c_str(), nullptr) && counter % 1000 != 0);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::string& path) {
    const std::string folder = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
    for (const std::string& name : FolderEntries(folder + "\\")) {
        const std::string child = folder + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (FolderExists(child)) {
            RemoveTree(child);
        } else {
            DeleteFileA(child.c_str());
        }
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
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

static std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    return begin == std::string::npos
               ? ""
               : text.substr(begin, text.find_last_not_of(" \t\r") + 1 - begin);
}

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
    std::istringstream lines(text);
    std::string current;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        size_t eq = line.find('=');
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
        } else if (eq != std::string::npos && _stricmp(current.c_str(), section.c_str()) == 0 &&
                   _stricmp(Trim(line.substr(0, eq)).c_str(), key.c_str()) == 0) {
            return Trim(line.substr(eq + 1));
        }
    }
    return "<missing>";
}

void ExpectIniValues(const std::string& text, const std::string& section,
                     const std::string& entries) {
    std::istringstream words(entries);
    for (std::string word; words >> word;) {
        size_t eq = word.find('=');
        EXPECT_EQ(IniValue(text, section, word.substr(0, eq)), word.substr(eq + 1)) << word;
    }
}
