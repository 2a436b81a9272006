// The save folder: the platform probes, hollin.dll, LOG_ID, and folder creation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime.h"
#include "settings/save_folder.h"
#include "tests/support/test_files.h"
#include "tests/trace_recorder.h"

namespace {

TEST(SaveFolderTest, LogIdReplacesTheExtensionWithAtMostThreeCharacters) {
    const std::pair<std::string, const char*> cases[] = {{"abc", "qr6_win3.abc"},
                                                         {"abcdef", "qr6_win3.abc"},
                                                         {"7", "qr6_win3.7"},
                                                         {"", "qr6_win3."},
                                                         {std::string(400, 'x'), "qr6_win3.xxx"}};
    for (const auto& [logId, fileName] : cases) {
        char name[kPathSize] = "qr6_win3.ini";
        ApplyLogId(name, logId.c_str());
        EXPECT_STREQ(name, fileName);
    }
}

// Only Windows NT 4 and later probe (here the shell answers); elsewhere the folder beside the
// program is used.
TEST(SaveFolderTest, OnlyNewerWindowsNtProbes) {
    EXPECT_EQ(ProbeUserFolder(2, 5, "C:\\Games\\RPG\\setloom.exe", "player"), 1);
    EXPECT_EQ(ProbeUserFolder(2, 3, "C:\\Games\\RPG\\setloom.exe", "player"), -1);
    EXPECT_EQ(ProbeUserFolder(1, 4, "C:\\VORTAN GAMES\\RPG\\setloom.exe", "player"), -1);
}

TEST(SaveFolderTest, TheFolderIsSaveBesideTheProgramAndACutOneFails) {
    char folder[kPathSize + 4];
    EXPECT_TRUE(SaveFolderBeside("D:\\Games\\RPG\\setloom.exe", folder));
    EXPECT_STREQ(folder, "D:\\Games\\RPG\\save\\");
    std::string program = "C:\\" + std::string(250, 'g') + "\\setloom.exe";
    memset(folder, '#', sizeof folder);
    EXPECT_FALSE(SaveFolderBeside(program.c_str(), folder));  // cut: no folder to store into
    EXPECT_EQ(strlen(folder), kPathSize - 1);
    EXPECT_EQ(folder[kPathSize], '#');
}

TEST(SaveFolderTest, MakeSavePathUsesTheProgramsFolderAndLogId) {
    std::string expectedFolder = ModuleFolder() + "save\\";
    char path[kPathSize];
    char folder[kPathSize];
    _putenv("LOG_ID=abc");
    MakeSavePath(path, folder, "qr6_win3.ini");
    EXPECT_STREQ(path, (expectedFolder + "qr6_win3.abc").c_str());
    _putenv("LOG_ID=");  // removes the variable
    MakeSavePath(path, nullptr, "qr6_win3.ini");
    EXPECT_STREQ(path, (expectedFolder + "qr6_win3.ini").c_str());
    MakeSavePath(path, folder, "qr6_win3.ini");
    EXPECT_STREQ(folder, expectedFolder.c_str());
    EXPECT_TRUE(FolderExists(expectedFolder));
}

TEST(SaveFolderTest, CreatesEveryFolderAlongThePathAndTracesBothOutcomes) {
    // CTest runs this suite under zh_CN.UTF-8; on any other code page the check would not bite.
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    TempFolder root{"tree"};
    // "乗" in GBK is 0x81 0x5C: its second byte is the code of a backslash, no separator.
    const std::string name = "\x81\x5C";
    std::string deep = root / ("Games\\" + name + "\\save");
    EXPECT_EQ(CreateDirectoryTree(deep.c_str()), 0);
    EXPECT_TRUE(FolderExists(deep));
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((root / "Games\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::vector<std::string> entries;
    do {
        entries.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{".", "..", name}));
    EXPECT_EQ(CreateDirectoryTree(deep.c_str()), 0);  // existing folders are no error

    std::string folder = root / "save\\";
    for (bool existing : {false, true}) {
        TraceRecorder trace;
        CreateSaveDirectory(folder.c_str());
        EXPECT_TRUE(FolderExists(folder));
        // The success line goes to the silent channel only.
        std::vector<std::string> lines = {"CreateSaveDirectory " + folder + "\n"};
        if (existing) {
            lines.push_back("CreateSaveDirectory: 创建SAVE文件夹失败 [" + folder + "] \n");
        }
        EXPECT_EQ(trace.lines(), lines);
    }
}

// hollin.dll placed beside or above a pretend program, from the test builds of the library.
class PathLibraryTest : public ::testing::Test {
  protected:
    void PlaceLibrary(const char* variant, const std::string& folder) {
        CreateDirectoryTree(folder.c_str());
        std::string source = ModuleFolder() + variant;
        ASSERT_TRUE(CopyFileA(source.c_str(), (folder + "\\hollin.dll").c_str(), FALSE)) << source;
    }
    std::string Program() const { return root_ / "Games\\RPG\\setloom.exe"; }
    TempFolder root_{"hollin"};
    char buffer_[kPathSize];
};

TEST_F(PathLibraryTest, AnAnsweringLibraryBesideTheProgramDecides) {
    PlaceLibrary("hollin_answer.dll", root_ / "Games\\RPG");
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer_), 0);
    // It stays loaded for the rest of the run; it was asked once, with the user name.
    HMODULE module = GetModuleHandleA((root_ / "Games\\RPG\\hollin.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto count = reinterpret_cast<int (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "HollinCallCount")));
    auto user = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "HollinLastUser")));
    EXPECT_EQ(count(), 1);
    EXPECT_STREQ(user(), "Mei");
    FreeLibrary(module);
}

TEST_F(PathLibraryTest, ALibraryAboveTheProgramIsNeverLoaded) {
    // Anyone who can write to a parent folder would otherwise run code inside the program.
    PlaceLibrary("hollin_answer.dll", root_ / "Games");
    PlaceLibrary("hollin_answer.dll", root_.path());
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer_), 1);
    EXPECT_EQ(GetModuleHandleA((root_ / "Games\\hollin.dll").c_str()), nullptr);
    EXPECT_EQ(GetModuleHandleA((root_ / "hollin.dll").c_str()), nullptr);
}

TEST_F(PathLibraryTest, ARefusingLibraryIsFreedAndTheShellDecides) {
    PlaceLibrary("hollin_refuse.dll", root_ / "Games\\RPG");
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer_), 1);
    EXPECT_EQ(GetModuleHandleA((root_ / "Games\\RPG\\hollin.dll").c_str()), nullptr);
    EXPECT_TRUE(FolderExists(buffer_)) << buffer_;  // the shell's desktop folder
}

}  // namespace
