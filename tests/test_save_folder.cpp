// The save folder: LOG_ID, the folder beside the program, and hollin.dll.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "common/text_bounds.h"
#include "settings/save_folder.h"
#include "tests/support/test_files.h"

namespace {

TEST(SaveFolderTest, LogIdAndTheProgramsFolderNameTheFile) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    char path[kPathSize], folder[kPathSize];
    const char* const cases[][2] = {{"LOG_ID=abcd", "qr6_win3.abc"}, {"LOG_ID=7", "qr6_win3.7"}};
    for (const auto& c : cases) {
        _putenv(c[0]);
        MakeSavePath(path, folder, "qr6_win3.ini");
        EXPECT_EQ(path, ModuleFolder() + "save\\" + c[1]);
    }
    _putenv("LOG_ID=");  // removes the variable
    EXPECT_EQ(folder, ModuleFolder() + "save\\");
    EXPECT_TRUE(FolderExists(folder));
    // "乗" in GBK is 81 5C: its second byte is the code of a backslash, no separator.
    EXPECT_TRUE(SaveFolderBeside("D:\\\x81\x5C\\x\x81\x5C.exe", folder));
    EXPECT_STREQ(folder, "D:\\\x81\x5C\\save\\");
    // A folder that does not fit is no folder to store into.
    std::string program = "C:\\" + std::string(250, 'g') + "\\setloom.exe";
    EXPECT_FALSE(SaveFolderBeside(program.c_str(), folder));
    EXPECT_EQ(strlen(folder), kPathSize - 1u);
}

// hollin.dll (test builds that answer or refuse) beside or above a pretend program: only one
// beside it that answers decides; anyone who can write to a parent folder would otherwise run
// code inside the program.
TEST(SaveFolderTest, OnlyALibraryBesideTheProgramThatAnswersDecides) {
    const struct {
        const char *library, *folder;
        int result;
    } cases[] = {
        {"answer", "Games\\RPG\\", 0}, {"answer", "Games\\", 1}, {"refuse", "Games\\RPG\\", 1}};
    for (const auto& c : cases) {
        TempFolder root{"hollin"};
        CreateDirectoryTree((root / "Games\\RPG").c_str());
        const std::string library = root / c.folder + "hollin.dll";
        ASSERT_TRUE(CopyFileA((ModuleFolder() + "hollin_" + c.library + ".dll").c_str(),
                              library.c_str(), FALSE));
        char buffer[kPathSize];
        EXPECT_EQ(GetUserFolderNTFor((root / "Games\\RPG\\setloom.exe").c_str(), "Mei", buffer),
                  c.result);
        // An answer keeps the library loaded for the run; without one the shell's desktop folder.
        HMODULE module = GetModuleHandleA(library.c_str());
        EXPECT_EQ(module != nullptr, c.result == 0) << c.library << " in " << c.folder;
        EXPECT_TRUE(c.result == 0 || FolderExists(buffer)) << buffer;
        FreeLibrary(module);
    }
}

}  // namespace
