// Temporary folders and file contents for tests.
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

TempFolder::TempFolder(const char* tag) {
    static std::atomic<int> counter{0};
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%s%s_%lu_%d\\", base, tag, GetCurrentProcessId(),
                 counter.fetch_add(1));
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) {
        RemoveTree(path_);
    }
}

void RemoveTree(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string child = folder + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
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

std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file << text) && static_cast<bool>(file.flush());
}

std::string ModuleFolder() {
    char file[MAX_PATH];
    GetModuleFileNameA(nullptr, file, MAX_PATH);
    std::string path = file;
    return path.substr(0, path.find_last_of('\\') + 1);
}

static std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r");
    size_t end = text.find_last_not_of(" \t\r");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

std::vector<IniEntry> ParseIni(const std::string& text) {
    std::vector<IniEntry> entries;
    std::string section;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        size_t eq = line.find('=');
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (eq != std::string::npos) {
            entries.push_back({section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
        }
    }
    return entries;
}

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
    for (const IniEntry& entry : ParseIni(text)) {
        if (_stricmp(entry.section.c_str(), section.c_str()) == 0 &&
            _stricmp(entry.key.c_str(), key.c_str()) == 0) {
            return entry.value;
        }
    }
    return "<missing>";
}

std::vector<IniEntry> SectionEntries(const std::string& section, const std::string& entries) {
    std::vector<IniEntry> parsed;
    std::istringstream words(entries);
    for (std::string word; words >> word;) {
        size_t eq = word.find('=');
        parsed.push_back({section, word.substr(0, eq), word.substr(eq + 1)});
    }
    return parsed;
}

void ExpectIniValues(const std::string& text, const std::string& section,
                     const std::string& entries) {
    for (const IniEntry& entry : SectionEntries(section, entries)) {
        EXPECT_EQ(IniValue(text, section, entry.key), entry.value) << section << " " << entry.key;
    }
}
