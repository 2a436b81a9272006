// The save folder: the platform probes, hollin.dll, LOG_ID, and folder creation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "common/runtime.h"
#include "settings/save_folder.h"
#include "settings/settings_record.h"
#include "tests/support/test_files.h"
#include "tests/trace_recorder.h"

namespace {

// Parameterised cases are named by their position in the table.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return "case" + std::to_string(info.index);
}

struct LogIdCase {
    const char* logId;
    const char* fileName;
};

class LogIdTest : public ::testing::TestWithParam<LogIdCase> {};

TEST_P(LogIdTest, ReplacesTheExtension) {
    char name[kPathSize] = "qr6_win3.ini";
    ApplyLogId(name, GetParam().logId);
    EXPECT_STREQ(name, GetParam().fileName);
}

INSTANTIATE_TEST_SUITE_P(SaveFolder, LogIdTest,
                         ::testing::Values(LogIdCase{"abc", "qr6_win3.abc"},
                                           LogIdCase{"abcdef", "qr6_win3.abc"},
                                           LogIdCase{"7", "qr6_win3.7"},
                                           LogIdCase{"", "qr6_win3."}),
                         CaseName<LogIdCase>);

struct ProbeCase {
    DWORD platform;
    DWORD major;
    const char* moduleFile;
    int result;
};

class Probe9xTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(Probe9xTest, LooksForTheMakersFolder) {
    const ProbeCase& c = GetParam();
    EXPECT_EQ(ProbeUserFolder(c.platform, c.major, c.moduleFile, "player"), c.result)
        << c.moduleFile;
}

INSTANTIATE_TEST_SUITE_P(SaveFolder, Probe9xTest,
                         ::testing::Values(ProbeCase{1, 4, "C:\\VORTAN GAMES\\RPG\\setloom.exe", 0},
                                           ProbeCase{1, 4, "C:\\vortanx\\setloom.exe", 0},
                                           ProbeCase{1, 4, "C:\\Games\\Vortan\\setloom.exe", 0},
                                           ProbeCase{1, 4, "C:\\Games\\RPG\\setloom.exe", -1},
                                           ProbeCase{1, 4, "C:\\Games\\avortan\\setloom.exe", -1},
                                           ProbeCase{1, 4, "setloom.exe", -1},
                                           // Win32s and NT 3.x have no probe.
                                           ProbeCase{0, 3, "C:\\VORTAN\\setloom.exe", -1},
                                           ProbeCase{2, 3, "C:\\VORTAN\\setloom.exe", -1}),
                         CaseName<ProbeCase>);

TEST(SaveFolderTest, TheFolderIsSaveBesideTheProgram) {
    char folder[kPathSize];
    SaveFolderBeside("D:\\Games\\RPG\\setloom.exe", folder);
    EXPECT_STREQ(folder, "D:\\Games\\RPG\\save\\");
}

TEST(SaveFolderTest, AProgramFolderNear260BytesIsCutNotOverrun) {
    std::string program = "C:\\" + std::string(250, 'g') + "\\setloom.exe";
    char folder[kPathSize + 4];
    memset(folder, '#', sizeof folder);
    EXPECT_FALSE(SaveFolderBeside(program.c_str(), folder));  // cut: no folder to store into
    EXPECT_EQ(strlen(folder), kPathSize - 1);
    EXPECT_EQ(folder[kPathSize], '#');
    char name[kPathSize] = "qr6_win3.ini";
    ApplyLogId(name, std::string(400, 'x').c_str());
    EXPECT_STREQ(name, "qr6_win3.xxx");
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

TEST(SaveFolderTest, EveryStoreReportsTheFolderItFoundExisting) {
    TraceRecorder trace;
    SettingsRecord = Settings{};
    SaveRegistry();
    std::string folder = ModuleFolder() + "save\\";
    ASSERT_EQ(trace.lines().size(), 2u);
    EXPECT_EQ(trace.lines()[0], "CreateSaveDirectory " + folder + "\n");
    EXPECT_EQ(trace.lines()[1], "CreateSaveDirectory: 创建SAVE文件夹失败 [" + folder + "] \n");
    RemoveTree(folder);
}

TEST(SaveFolderTest, CreatesEveryFolderAlongThePath) {
    TempFolder root{"tree"};
    std::string deep = root / "Games\\RPG\\save";
    EXPECT_EQ(CreateDirectoryTree(deep.c_str()), 0);
    EXPECT_TRUE(FolderExists(root / "Games"));
    EXPECT_TRUE(FolderExists(root / "Games\\RPG"));
    EXPECT_TRUE(FolderExists(deep));
    // Existing folders are no error.
    EXPECT_EQ(CreateDirectoryTree(deep.c_str()), 0);
}

TEST(SaveFolderTest, ASecondByteThatLooksLikeABackslashIsNoSeparator) {
    // CTest runs this suite under zh_CN.UTF-8; on any other code page the check would not bite.
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    TempFolder root{"gbk"};
    // "乗" in GBK is 0x81 0x5C: its second byte is the code of a backslash.
    std::string name = "\x81\x5C";
    std::string deep = root / ("A\\" + name + "\\B");
    CreateDirectoryTree(deep.c_str());
    EXPECT_TRUE(FolderExists(deep));

    int entries = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((root / "A\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) {
            ++entries;
            EXPECT_EQ(std::string(entry.cFileName), name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    EXPECT_EQ(entries, 1);
}

TEST(SaveFolderTest, CreateSaveDirectoryTracesBothOutcomes) {
    TempFolder root{"create"};
    std::string folder = root / "save\\";
    {
        TraceRecorder trace;
        CreateSaveDirectory(folder.c_str());
        EXPECT_TRUE(FolderExists(folder));
        ASSERT_EQ(trace.lines().size(), 1u);  // the success line goes to the silent channel
        EXPECT_EQ(trace.lines()[0], "CreateSaveDirectory " + folder + "\n");
    }
    {
        TraceRecorder trace;
        CreateSaveDirectory(folder.c_str());
        ASSERT_EQ(trace.lines().size(), 2u);
        EXPECT_EQ(trace.lines()[1], "CreateSaveDirectory: 创建SAVE文件夹失败 [" + folder + "] \n");
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
};

TEST_F(PathLibraryTest, AnAnsweringLibraryBesideTheProgramDecides) {
    PlaceLibrary("hollin_answer.dll", root_ / "Games\\RPG");
    char buffer[kPathSize];
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer), 0);

    // It stays loaded for the rest of the run; it was asked once, with the user name.
    std::string library = root_ / "Games\\RPG\\hollin.dll";
    HMODULE module = GetModuleHandleA(library.c_str());
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
    char buffer[kPathSize];
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer), 1);
    EXPECT_EQ(GetModuleHandleA((root_ / "Games\\hollin.dll").c_str()), nullptr);
    EXPECT_EQ(GetModuleHandleA((root_ / "hollin.dll").c_str()), nullptr);
}

TEST_F(PathLibraryTest, ARefusingLibraryIsFreedAndTheShellDecides) {
    PlaceLibrary("hollin_refuse.dll", root_ / "Games\\RPG");
    char buffer[kPathSize];
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "Mei", buffer), 1);
    EXPECT_EQ(GetModuleHandleA((root_ / "Games\\RPG\\hollin.dll").c_str()), nullptr);
    // The shell's desktop folder is a real path.
    EXPECT_TRUE(FolderExists(buffer)) << buffer;
}

TEST_F(PathLibraryTest, NoLibraryLeavesTheShellRoute) {
    char buffer[kPathSize];
    EXPECT_EQ(GetUserFolderNTFor(Program().c_str(), "", buffer), 1);
    // Either way the save folder is the one beside the program.
    EXPECT_EQ(ProbeUserFolder(VER_PLATFORM_WIN32_NT, 5, Program().c_str(), "Mei"), 1);
}

}  // namespace
