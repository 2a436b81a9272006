// The settings file (defaults, conversions, layout, failing stores) and the save folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "settings/profile_text.h"
#include "settings/save_folder.h"
#include "settings/settings_record.h"
#include "tests/support/test_files.h"

namespace {

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8"; }
    std::string Path() const { return folder_ / "qr6_win3.ini"; }
    void Load(const std::string& text) {
        ASSERT_TRUE(WriteFileText(Path(), text));
        ReadSettingsFile(Path().c_str());
    }
    std::string Store() {
        EXPECT_TRUE(WriteSettingsFile(Path().c_str()));
        return ReadFileText(Path());
    }
    // Steps of a store that fail.
    static BOOL WINAPI FailWrite(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }
    static BOOL WINAPI FailFlush(HANDLE) { return FALSE; }
    static BOOL WINAPI FailReplace(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID) { return FALSE; }
    static BOOL WINAPI FailMove(LPCSTR, LPCSTR, DWORD) { return FALSE; }
    TempFolder folder_{"settings"};
};

// Defaults in write order after one line break; the keys no page shows (the game, run meanwhile,
// may change them) are stored as the file has them at the store.
TEST_F(SettingsFileTest, DefaultsGoInWriteOrderAndKeysNoPageShowsAsTheFileHasThemNow) {
    std::istringstream lines(
        "[Video] Adapter=-1 Device=-1 ScreenWidth=640 ScreenHeight=480 ScreenBitCount=32 "
        "VendorID=0 DeviceID=0 HardwareVertexShader=1 WindowMode=0 UseMipmap=1 WaitVSync=1 "
        "LowTexture=0 TextureFilter=2 FpsMode=0 FullAntiAlias=0 LowEffect=0 ShadowQuality=2 "
        "MinimapMode=1 StatusMode=1 Menu=0 GlowOn=1 MoviePlay=1 [Sound] BgmOff=0 SeOff=0 "
        "BgmVolume=6 SeVolume=6 NotUseDirectSound=0 NotUseDirectSound3d=0 BtVoiceOff=0 "
        "SoftwareSoundBuffer=0 [Control] Camera45Deg=1 UseGamaPad=1 KeyboardUseDI=1 MouseUseDI=1 "
        "DefaultRun=0 ChrTrans=0 Analog=1 LastAccessFile=0 ButtonMode=1 "
        "Keyboard=20111b41585a2628252742434d1056 GamePad=01020407060003050809 PadDeviceNo=0 "
        "PadSensitivity=60 Mouse=0102 UseWheel=1 WheelReverse=0 [Mg05] MG05InversY=0 "
        "MG05Sensitive=0");
    std::string expected = "; mine\r\n";
    for (std::string line; lines >> line;) {
        expected += line + "\r\n";
    }
    Load("; mine");
    EXPECT_EQ(Store(), expected);  // EnvMapOn is read but never written
    ASSERT_TRUE(WriteFileText(Path(),
                              "[Video]\r\nMinimapMode=-3\r\nStatusMode=0\r\nMenu=1\r\n"
                              "[Control]\r\nLastAccessFile=7\r\nButtonMode=5\r\n"
                              "[Mg05]\r\nMG05InversY=1\r\nMG05Sensitive=9\r\n"));
    SettingsRecord.WindowMode = 1;
    const std::string text = Store();
    ExpectIniValues(text, "Video", "WindowMode=1 MinimapMode=-3 StatusMode=0 Menu=1");
    ExpectIniValues(text, "Control", "LastAccessFile=7 ButtonMode=5");
    ExpectIniValues(text, "Mg05", "MG05InversY=1 MG05Sensitive=9");
}

// Only 1 is true; arrays are taken whole or not at all, a non-digit repeats the one before it;
// "7d6" and a GBK character the read buffer cuts: the profile function counts a byte not written.
TEST_F(SettingsFileTest, ValuesAreConvertedAsTheGameExpectsAndArraysTakenWholeOrNotAtAll) {
    const char* const cases[][3] = {
        {"video",
         "windowmode=2\r\nHardwareVertexShader=yes\r\nGlowOn=2\r\nTextureFilter=-1\r\n"
         "ShadowQuality=258\r\nMinimapMode=-5\r\nScreenBitCount=24\r\nVendorID=4318",
         "WindowMode=0 HardwareVertexShader=0 GlowOn=2 TextureFilter=255 ShadowQuality=2 "
         "MinimapMode=-5 ScreenBitCount=32 VendorID=4318"},
        {"Control", "Keyboard=20111B41585A2628252742434D1056\r\nMouse=1g02",
         "Keyboard=20111b41585a2628252742434d1056 Mouse=1102"},
        {"Control", "Keyboard=21111b41585a2628252742434d105\r\nMouse=g1Ff",
         "Keyboard=20111b41585a2628252742434d1056 Mouse=01ff"},
        {"Control", "Keyboard=21111b41585a2628252742434d1056ff\r\nMouse=zz02",
         "Keyboard=21111b41585a2628252742434d1056 Mouse=0002"},
        {"Control", "GamePad=01020407060003050809\r\nMouse=7d6\xB0\xA1", "Mouse=0102"},
        {"Control", "GamePad=0102040706000305086f\r\nMouse=7d6\xB0\xA1", "Mouse=0102"}};
    for (const auto& c : cases) {
        Load(std::string("[") + c[0] + "]\r\n" + c[1] + "\r\n");
        ExpectIniValues(Store(), c[0], c[2]);
    }
}

// A store of New=5 in Video: a new key after its section's last line, an old one rewritten where
// it stands in its first section, up to the reader's line break (or the lines it hid come back).
TEST_F(SettingsFileTest, AStoreAddsAndReplacesLinesInPlace) {
    const char* const cases[][2] = {
        {"; mine\r\n\r\n[Video] ; v\r\n  foo = bar  \r\n\r\n[Sound]\r\n",
         "; mine\r\n\r\n[Video] ; v\r\n  foo = bar  \r\nNew=5\r\n\r\n[Sound]\r\n"},
        {"[ video ]\r\n\tnew = 1 ; old\r\nx=1\r\n", "[ video ]\r\n\tNew=5\r\nx=1\r\n"},
        {"[Video]\r\na=1\r\n[Video]\r\nNew=1\r\n",
         "[Video]\r\na=1\r\nNew=5\r\n[Video]\r\nNew=1\r\n"},
        {"[Video]\nNew=0 ;\xE6\x98\xBE\nDevice=1\n", "[Video]\nNew=5\n"},
        {"[Video]\nNew=1\x81\n[Sound]\nBgmOff=0\n", "[Video]\nNew=5\nBgmOff=0\n"},
    };
    const ProfileValue value = {"Video", "New", "5"};
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileText(Path(), c[0]));
        EXPECT_TRUE(WriteProfileValues(Path().c_str(), &value, 1));
        EXPECT_EQ(ReadFileText(Path()), c[1]);
        EXPECT_EQ(GetPrivateProfileIntA("Video", "New", -1, Path().c_str()), 5) << c[0];
    }
}

// A store that fails (a step, a held or read-only file) says so and leaves only the file as it
// was; a file that could not be read at start-up is never stored over.
TEST_F(SettingsFileTest, AStoreThatFailsOrIsRefusedLeavesTheFileAsItWas) {
    const std::string original = "[Video]\r\nWindowMode=1\r\n";
    const StoreFileCalls real = storeFileCalls,
                         failing[] = {{FailWrite, FlushFileBuffers, ReplaceFileA, MoveFileExA},
                                      {WriteFile, FailFlush, ReplaceFileA, MoveFileExA},
                                      {WriteFile, FlushFileBuffers, FailReplace, FailMove}};
    for (int step = 0; step < 6; ++step) {  // each step with the file, then without one
        DeleteFileA(Path().c_str());
        if (step < 3) {
            Load(original);
        }
        SettingsRecord.WindowMode = 0;
        storeFileCalls = failing[step % 3];
        EXPECT_FALSE(WriteSettingsFile(Path().c_str())) << step;
        storeFileCalls = real;
        EXPECT_EQ(FolderEntries(folder_.path()).size(), step < 3 ? 1u : 0u) << step;
        EXPECT_EQ(ReadFileText(Path()), step < 3 ? original : "") << step;
    }
    Load(original);
    // A value the reader would read otherwise (it trims the space) is never written.
    const ProfileValue spaced = {"Video", "WindowMode", "0 "};
    EXPECT_FALSE(WriteProfileValues(Path().c_str(), &spaced, 1));
    EXPECT_EQ(ReadFileText(Path()), original);
    SettingsRecord.WindowMode = 0;
    HANDLE lock = CreateFileA(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(WriteSettingsFile(Path().c_str()));
    CloseHandle(lock);
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WriteSettingsFile(Path().c_str()));
    EXPECT_EQ(ReadFileText(Path()), original);
    // A store that succeeds keeps the player's marks on the file.
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const DWORD marks = GetFileAttributesA(Path().c_str());
    EXPECT_EQ(Store().find("WindowMode=0"), 9u);
    EXPECT_EQ(GetFileAttributesA(Path().c_str()), marks);
    _putenv("LOG_ID=tst");  // LoadRegistry and SaveRegistry then use save\qr6_win3.tst
    const std::string path = ModuleFolder() + "save\\qr6_win3.tst";
    CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(path, original));
    lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SettingsRecord.WindowMode = 1;  // as in the file; the load gives the default instead
    EXPECT_FALSE(LoadRegistry());
    EXPECT_EQ(SettingsRecord.WindowMode, 0);
    CloseHandle(lock);
    EXPECT_FALSE(SaveRegistry());
    EXPECT_EQ(ReadFileText(path), original);
    EXPECT_TRUE(LoadRegistry() && SaveRegistry());  // the next start reads it, and stores again
    DeleteFileA(path.c_str());
    _putenv("LOG_ID=");
}

// Only a hollin.dll beside the program that answers decides (and stays loaded), else the desktop:
// anyone who can write to a parent folder would run code in the program.
TEST_F(SettingsFileTest, SaveFolderByLogIdBesideTheProgramAndOnlyALibraryBesideItThatAnswers) {
    char path[kPathSize], folder[kPathSize];
    _putenv("LOG_ID=abcd");  // three characters at most
    MakeSavePath(path, folder, "qr6_win3.ini");
    _putenv("LOG_ID=");
    EXPECT_EQ(path, ModuleFolder() + "save\\qr6_win3.abc");
    EXPECT_EQ(folder, ModuleFolder() + "save\\");
    EXPECT_NE(GetFileAttributesA(folder), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(SaveFolderBeside("D:\\\x81\x5C\\x\x81\x5C.exe", folder));  // "乗" is 81 5C
    EXPECT_STREQ(folder, "D:\\\x81\x5C\\save\\");
    std::string program = "C:\\" + std::string(250, 'g') + "\\setloom.exe";
    EXPECT_FALSE(SaveFolderBeside(program.c_str(), folder));
    EXPECT_EQ(strlen(folder), kPathSize - 1u);
    const char* const cases[][2] = {
        {"answer", "Games\\RPG\\"}, {"answer", "Games\\"}, {"refuse", "Games\\RPG\\"}};
    for (int i = 0; i < 3; ++i) {  // only the first decides
        TempFolder root{"hollin"};
        CreateDirectoryTree((root / "Games\\RPG").c_str());
        const std::string library = root / cases[i][1] + "hollin.dll";
        ASSERT_TRUE(CopyFileA((ModuleFolder() + "hollin_" + cases[i][0] + ".dll").c_str(),
                              library.c_str(), FALSE));
        EXPECT_EQ(GetUserFolderNTFor((root / "Games\\RPG\\setloom.exe").c_str(), "Mei", folder),
                  i == 0 ? 0 : 1);
        HMODULE module = GetModuleHandleA(library.c_str());
        EXPECT_EQ(module != nullptr, i == 0) << cases[i][0] << " in " << cases[i][1];
        EXPECT_TRUE(i == 0 || GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) << folder;
        FreeLibrary(module);
    }
}

}  // namespace
