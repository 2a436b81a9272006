// Temporary folders and file contents for tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

void RemoveTree(const std::string& folder);  // with everything in it

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const char* tag = "setloom");
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(TempFolder&&) = delete;                 // neither copied nor moved
    const std::string& path() const { return path_; }  // ends with a backslash
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

std::vector<std::string> FolderEntries(const std::string& folder);  // no "." or ".."
std::string ReadFileText(const std::string& path);                  // empty when there is none
bool WriteFileText(const std::string& path, const std::string& text);
std::string ModuleFolder();  // the folder of the running test program, with a backslash
// The value of a key (names in any case) in a settings file's text, or "<missing>".
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);
// Expects each "Key=value" of the blank-separated entries in the section.
void ExpectIniValues(const std::string& text, const std::string& section,
                     const std::string& entries);
