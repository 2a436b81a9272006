// Temporary folders and file contents for tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const char* tag = "setloom");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // ends with a backslash
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

void RemoveTree(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
std::string ModuleFolder();  // the folder of the running test program, with a backslash

// One "key=value" line of a settings file, with the section it stands in.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const IniEntry& other) const {
        return section == other.section && key == other.key && value == other.value;
    }
};
std::vector<IniEntry> ParseIni(const std::string& text);
// The value of a key (names in any case), or "<missing>".
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);
// The entries "Key=value Key=value ..." of one section, in their order.
std::vector<IniEntry> SectionEntries(const std::string& section, const std::string& entries);
// Expects each of those entries in the text, other keys around them or not.
void ExpectIniValues(const std::string& text, const std::string& section,
                     const std::string& entries);
