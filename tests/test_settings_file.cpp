// The settings file: defaults, conversions, write order and the profile rules on real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "settings/profile_text.h"
#include "settings/settings_record.h"
#include "tests/support/test_files.h"
#include "tests/trace_recorder.h"

namespace {

// Parameterised cases are named by their position in the table.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return "case" + std::to_string(info.index);
}

class SettingsFileTest : public ::testing::Test {
  protected:
    std::string Path() const { return folder_ / "qr6_win3.ini"; }
    void Load(const std::string& text) {
        ASSERT_TRUE(WriteFileText(Path(), text));
        ReadSettingsFile(Path().c_str());
    }
    std::string Store() {
        EXPECT_TRUE(WriteSettingsFile(Path().c_str()));
        return ReadFileText(Path());
    }
    TempFolder folder_{"settings"};
};

// The file written from nothing, section by section in write order.
const char* const kDefaultFile[][2] = {
    {"Video",
     "Adapter=-1 Device=-1 ScreenWidth=640 ScreenHeight=480 ScreenBitCount=32 VendorID=0 "
     "DeviceID=0 HardwareVertexShader=1 WindowMode=0 UseMipmap=1 WaitVSync=1 LowTexture=0 "
     "TextureFilter=2 FpsMode=0 FullAntiAlias=0 LowEffect=0 ShadowQuality=2 MinimapMode=1 "
     "StatusMode=1 Menu=0 GlowOn=1 MoviePlay=1"},
    {"Sound",
     "BgmOff=0 SeOff=0 BgmVolume=6 SeVolume=6 NotUseDirectSound=0 NotUseDirectSound3d=0 "
     "BtVoiceOff=0 SoftwareSoundBuffer=0"},
    {"Control",
     "Camera45Deg=1 UseGamaPad=1 KeyboardUseDI=1 MouseUseDI=1 DefaultRun=0 ChrTrans=0 Analog=1 "
     "LastAccessFile=0 ButtonMode=1 Keyboard=20111b41585a2628252742434d1056 "
     "GamePad=01020407060003050809 PadDeviceNo=0 PadSensitivity=60 Mouse=0102 UseWheel=1 "
     "WheelReverse=0"},
    {"Mg05", "MG05InversY=0 MG05Sensitive=0"}};

TEST_F(SettingsFileTest, NoFileGivesDefaultsAndAFreshFileInWriteOrder) {
    ReadSettingsFile(Path().c_str());
    EXPECT_EQ(SettingsRecord.EnvMapOn, 1);
    EXPECT_STREQ(SettingsFilePath, Path().c_str());
    std::vector<IniEntry> expected;
    for (const auto& section : kDefaultFile) {
        std::vector<IniEntry> entries = SectionEntries(section[0], section[1]);
        expected.insert(expected.end(), entries.begin(), entries.end());
    }
    std::string text = Store();
    EXPECT_EQ(ParseIni(text), expected);
    // EnvMapOn is read but never written. (That the player's own lines survive a store is the
    // hostile settings test's.)
    EXPECT_EQ(text.find("EnvMapOn"), std::string::npos);
    Load("[Video]\r\nEnvMapOn=0\r\n");
    EXPECT_EQ(SettingsRecord.EnvMapOn, 0);
}

// Each line loaded alone and stored again: what the game then reads.
TEST_F(SettingsFileTest, ValuesAreConvertedAsTheGameExpects) {
    const struct {
        const char *section, *line, *key, *stored;
    } cases[] = {
        {"video", "windowmode=2", "WindowMode", "0"},  // only 1 is true; names in any case
        {"Video", "HardwareVertexShader=yes", "HardwareVertexShader", "0"},
        {"Video", "GlowOn=2", "GlowOn", "2"},  // 8-bit, not reduced to 0 or 1
        {"Video", "TextureFilter=-1", "TextureFilter", "255"},
        {"Video", "ShadowQuality=258", "ShadowQuality", "2"},  // the low 8 bits
        {"Video", "MinimapMode=-5", "MinimapMode", "-5"},
        {"Video", "ScreenBitCount=24", "ScreenBitCount", "32"},
        {"Video", "ScreenBitCount=16", "ScreenBitCount", "16"},
        {"Video", "VendorID=4318", "VendorID", "4318"},
        {"Sound", "BgmVolume=12", "BgmVolume", "12"},
        {"Mg05", "MG05Sensitive=-7", "MG05Sensitive", "-7"},
        {"Mg05", "MG05InversY=1", "MG05InversY", "1"},
    };
    for (const auto& c : cases) {
        Load(std::string("[") + c.section + "]\r\n" + c.line + "\r\n");
        EXPECT_EQ(IniValue(Store(), c.section, c.key), c.stored) << c.line;
    }
}

// Keyboard and Mouse lines as loaded, and the Keyboard line stored again.
TEST_F(SettingsFileTest, ArraysLoadWholeOrNotAtAll) {
    const char kDefaultKeys[] = "20111b41585a2628252742434d1056";
    const struct {
        const char* line;
        const char* keyboard;  // as stored again
        std::vector<uint8_t> mouse;
    } cases[] = {
        // Upper-case digits read the same and are written back in lower case.
        {"Keyboard=20111B41585A2628252742434D1056", kDefaultKeys, {1, 2}},
        // 29 characters: all defaults, nothing half-taken; 32: the first 30 are used.
        {"Keyboard=21111b41585a2628252742434d105", kDefaultKeys, {1, 2}},
        {"Keyboard=21111b41585a2628252742434d1056ff", "21111b41585a2628252742434d1056", {1, 2}},
        // A non-digit repeats the digit before it; first in the pair, or alone, it counts 0.
        {"Mouse=1g02", kDefaultKeys, {0x11, 0x02}},
        {"Mouse=g1Ff", kDefaultKeys, {0x01, 0xff}},
        {"Mouse=zz02", kDefaultKeys, {0x00, 0x02}},
        {"Mouse=010", kDefaultKeys, {1, 2}},
    };
    for (const auto& c : cases) {
        Load(std::string("[Control]\r\n") + c.line + "\r\n");
        EXPECT_EQ(std::vector<uint8_t>(SettingsRecord.Mouse, SettingsRecord.Mouse + kMouseSlots),
                  c.mouse)
            << c.line;
        EXPECT_EQ(IniValue(Store(), "Control", "Keyboard"), c.keyboard) << c.line;
    }
}

TEST_F(SettingsFileTest, AnArrayCutInsideADoubleByteCharacterDependsOnItsLineAlone) {
    // CTest runs this suite under zh_CN.UTF-8; on any other code page the cut would not happen.
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    // "7d6" and a GBK character: the 5-byte buffer holds "7d6" only, though the profile
    // function reports four characters. Before it, GamePad lines that leave different bytes
    // in a shared buffer.
    for (const char* gamePad : {"GamePad=01020407060003050809", "GamePad=0102040706000305086f"}) {
        Load(std::string("[Control]\r\n") + gamePad + "\r\nMouse=7d6\xB0\xA1\r\n");
        // Not two digits a slot: the defaults.
        EXPECT_EQ(std::vector<uint8_t>(SettingsRecord.Mouse, SettingsRecord.Mouse + kMouseSlots),
                  std::vector<uint8_t>({1, 2}))
            << gamePad;
    }
}

struct PlacementCase {
    std::string before;
    const char* key;  // set to 5 in section Video
    std::string after;
};

class PlacementTest : public SettingsFileTest,
                      public ::testing::WithParamInterface<PlacementCase> {};

// A store changes the key's own line or adds one; every other byte stays, whatever the file's
// line breaks, encoding or stray bytes.
TEST_P(PlacementTest, OnlyTheKeysLineChanges) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    const PlacementCase& c = GetParam();
    ASSERT_TRUE(WriteFileText(Path(), c.before));
    CopyText(SettingsFilePath, sizeof SettingsFilePath, Path().c_str());
    const ProfileValue value = {"Video", c.key, "5"};
    EXPECT_TRUE(WriteProfileValues(Path().c_str(), &value, 1));
    EXPECT_EQ(ReadFileText(Path()), c.after);
    EXPECT_EQ(GetPrivateProfileIntA("Video", c.key, -1, Path().c_str()), 5);
}

std::string Utf16(const std::string& ascii) {
    std::string wide = "\xFF\xFE";
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

INSTANTIATE_TEST_SUITE_P(
    Placement, PlacementTest,
    ::testing::Values(
        // Comments, blank lines and spacing stay; the new key follows the section's last line.
        PlacementCase{"; mine\r\n\r\n[Video] ; v\r\n  foo = bar  \r\n\r\n[Sound]\r\n", "New",
                      "; mine\r\n\r\n[Video] ; v\r\n  foo = bar  \r\nNew=5\r\n\r\n[Sound]\r\n"},
        // An existing key is rewritten where it stands, in any letter case and spacing.
        PlacementCase{"[ video ]\r\n\tnew = 1 ; old\r\nx=1\r\n", "New",
                      "[ video ]\r\n\tNew=5\r\nx=1\r\n"},
        PlacementCase{"[Video]\nfoo=1\n", "New", "[Video]\nfoo=1\nNew=5\n"},
        PlacementCase{"[Video]\rfoo=1\r", "New", "[Video]\rfoo=1\rNew=5\r"},
        PlacementCase{"[Video]\nfoo=1", "New", "[Video]\nfoo=1\nNew=5\n"},
        PlacementCase{"[Sound]\r\nfoo=1", "New", "[Sound]\r\nfoo=1\r\n[Video]\r\nNew=5\r\n"},
        PlacementCase{"", "New", "[Video]\r\nNew=5\r\n"},
        // Only the first section of a name counts, as for the reader.
        PlacementCase{"[Video]\r\na=1\r\n[Video]\r\nNew=1\r\n", "New",
                      "[Video]\r\na=1\r\nNew=5\r\n[Video]\r\nNew=1\r\n"},
        // NUL, bytes that are no GBK, a GBK character with a 5C second byte: kept.
        PlacementCase{std::string("[Video]\r\nx=\x80\xFF\0y\x81\x5C\r\nNew=1\r\n", 26), "New",
                      std::string("[Video]\r\nx=\x80\xFF\0y\x81\x5C\r\nNew=5\r\n", 26)},
        // A lead byte just before a line break joins it for the reader: the key is not there.
        PlacementCase{"[Video]\r\nx=\x81\nNew=1\r\n", "New",
                      "[Video]\r\nx=\x81\nNew=1\r\nNew=5\r\n"},
        // The key's line goes up to the line break that ends it for the reader, or the lines it
        // hid would come back: a UTF-8 comment read as GBK, a header.
        PlacementCase{"[Video]\nNew=0 ;\xE6\x98\xBE\nDevice=1\n", "New", "[Video]\nNew=5\n"},
        PlacementCase{"[Video]\nNew=1\x81\n[Sound]\nBgmOff=0\n", "New",
                      "[Video]\nNew=5\nBgmOff=0\n"},
        // A lead byte that ends the file would take the first added line break.
        PlacementCase{"[Video]\r\nx=\x81", "New", "[Video]\r\nx=\x81\r\n\r\nNew=5\r\n"},
        PlacementCase{"\xEF\xBB\xBF[Video]\r\nNew=1\r\n", "New",
                      "\xEF\xBB\xBF[Video]\r\nNew=5\r\n"},
        // UTF-16 stays UTF-16; a stray last byte stays last.
        PlacementCase{Utf16("[Video]\r\nNew=1\r\n") + "x", "New",
                      Utf16("[Video]\r\nNew=5\r\n") + "x"},
        PlacementCase{Utf16("[Video]\r\nfoo=1"), "New", Utf16("[Video]\r\nfoo=1\r\nNew=5\r\n")}),
    CaseName<PlacementCase>);

// A file held open without sharing (an editor, the running game), a read-only file, and a
// folder that does not exist: each store is reported as failed and changes nothing.
TEST_F(SettingsFileTest, AStoreThatCannotWriteIsReportedAndChangesNothing) {
    const std::string original = "[Video]\r\nWindowMode=1\r\n";
    Load(original);
    SettingsRecord.WindowMode = 0;
    HANDLE lock = CreateFileA(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteSettingsFile(Path().c_str()));
    CloseHandle(lock);
    EXPECT_EQ(ReadFileText(Path()), original);

    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteSettingsFile(Path().c_str()));
    EXPECT_EQ(ReadFileText(Path()), original);
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_NORMAL);

    std::string missing = folder_ / "no such folder\\qr6_win3.ini";
    EXPECT_FALSE(WriteSettingsFile(missing.c_str()));
    EXPECT_FALSE(FileExists(missing));
}

// The files in the test's folder, to see that a store leaves no temporary file behind.
std::vector<std::string> FolderFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
        if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) {
            names.push_back(entry.cFileName);
        }
    }
    FindClose(find);
    return names;
}

BOOL WINAPI FailWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
    *written = 0;
    return FALSE;
}
BOOL WINAPI FailFlush(HANDLE) {
    return FALSE;
}
BOOL WINAPI FailReplace(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID) {
    return FALSE;
}
BOOL WINAPI FailMove(LPCSTR, LPCSTR, DWORD) {
    return FALSE;
}

// Whichever step of the store fails (writing the new text, flushing it to the disk, putting it
// in the file's place), the file is as it was, or still absent, and nothing else is left.
TEST_F(SettingsFileTest, AStoreFailingAtAnyStepLeavesTheFileAsItWas) {
    const StoreFileCalls real = storeFileCalls;
    StoreFileCalls failing[] = {real, real, real};
    failing[0].writeFile = FailWrite;
    failing[1].flushFileBuffers = FailFlush;
    failing[2].replaceFile = FailReplace;
    failing[2].moveFileEx = FailMove;
    for (const char* original : {"[Video]\r\nWindowMode=1\r\n", ""}) {
        for (const StoreFileCalls& calls : failing) {
            DeleteFileA(Path().c_str());
            if (*original != '\0') {
                Load(original);
            }
            SettingsRecord.WindowMode = 0;
            storeFileCalls = calls;
            EXPECT_FALSE(WriteSettingsFile(Path().c_str())) << &calls - failing;
            storeFileCalls = real;
            EXPECT_EQ(FileExists(Path()), *original != '\0') << &calls - failing;
            EXPECT_EQ(ReadFileText(Path()), original) << &calls - failing;
            EXPECT_EQ(FolderFiles(folder_.path()).size(), *original != '\0' ? 1u : 0u);
        }
    }
    // The player's marks on the file stay with it.
    Load("[Video]\r\nWindowMode=1\r\n");
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    const DWORD marks = GetFileAttributesA(Path().c_str());
    SettingsRecord.WindowMode = 0;
    EXPECT_EQ(Store().find("WindowMode=0"), 9u);
    EXPECT_EQ(GetFileAttributesA(Path().c_str()), marks);
}

// A file that exists but cannot be read at start-up is never stored over: the load gives the
// defaults and says so, and every store of that run is refused, also once the file is free.
TEST_F(SettingsFileTest, AFileThatCouldNotBeReadIsNotStoredOver) {
    _putenv("LOG_ID=tst");
    const std::string path = ModuleFolder() + "save\\qr6_win3.tst";
    const std::string original = "[Video]\r\nWindowMode=1\r\n[Sound]\r\nBgmVolume=3\r\n";
    CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(path, original));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LoadRegistry());
    EXPECT_EQ(SettingsRecord.WindowMode, 0);
    EXPECT_EQ(SettingsRecord.BgmVolume, 6);
    CloseHandle(lock);
    EXPECT_FALSE(SaveRegistry());
    EXPECT_EQ(ReadFileText(path), original);
    // The next start reads it, and stores again.
    EXPECT_TRUE(LoadRegistry());
    EXPECT_EQ(SettingsRecord.BgmVolume, 3);
    EXPECT_TRUE(SaveRegistry());
    EXPECT_EQ(IniValue(ReadFileText(path), "Sound", "BgmVolume"), "3");
    DeleteFileA(path.c_str());
    _putenv("LOG_ID=");
}

// The keys no page shows are stored as the file holds them at the store: the game, run while
// the settings are open, may have changed them. The keys of the pages are stored as they say.
TEST_F(SettingsFileTest, KeysNoPageShowsAreStoredAsTheFileHasThemNow) {
    Load("[Video]\r\nWindowMode=1\r\nMinimapMode=4\r\n[Control]\r\nLastAccessFile=2\r\n");
    ASSERT_TRUE(
        WriteFileText(Path(),
                      "[Video]\r\nWindowMode=1\r\nMinimapMode=-3\r\nStatusMode=0\r\nMenu=1\r\n"
                      "[Control]\r\nLastAccessFile=7\r\nButtonMode=5\r\n"
                      "[Mg05]\r\nMG05InversY=1\r\nMG05Sensitive=9\r\n"));
    SettingsRecord.WindowMode = 0;
    const std::string text = Store();
    ExpectIniValues(text, "Video", "WindowMode=0 MinimapMode=-3 StatusMode=0 Menu=1");
    ExpectIniValues(text, "Control", "LastAccessFile=7 ButtonMode=5");
    ExpectIniValues(text, "Mg05", "MG05InversY=1 MG05Sensitive=9");
}

// A file without a final line break gets one line break before what is added, not two.
TEST_F(SettingsFileTest, AFileWithoutAFinalLineBreakGetsOneBeforeNewSections) {
    Load("[Video]\r\nfoo=1");
    const std::string text = Store();
    const std::string start = "[Video]\r\nfoo=1\r\nAdapter=";
    EXPECT_EQ(text.compare(0, start.size(), start), 0) << text;
    EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos) << text;
}

}  // namespace
