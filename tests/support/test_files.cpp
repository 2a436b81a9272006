// Temporary folders and file contents for tests.
#include "tests/support/test_files.h"

#include <atomic>
#include <cstdio>

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
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        text.append(chunk, got);
    }
    CloseHandle(file);
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
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

template <typename Visit>
static void ForEachLine(const std::string& text, Visit visit) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = Trim(text.substr(start, end == std::string::npos ? end : end - start));
        visit(line);
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
}

std::vector<IniEntry> ParseIni(const std::string& text) {
    std::vector<IniEntry> entries;
    std::string section;
    ForEachLine(text, [&](const std::string& line) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (line.find('=') != std::string::npos) {
            size_t eq = line.find('=');
            entries.push_back({section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
        }
    });
    return entries;
}

std::vector<std::string> IniSections(const std::string& text) {
    std::vector<std::string> sections;
    ForEachLine(text, [&](const std::string& line) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back(line.substr(1, line.size() - 2));
        }
    });
    return sections;
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
