// The settings file: defaults, conversions, write order and the profile rules on real files.
#include <gtest/gtest.h>

#include <cstring>

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

const std::vector<IniEntry> kDefaultFile = {
    {"Video", "Adapter", "-1"},
    {"Video", "Device", "-1"},
    {"Video", "ScreenWidth", "640"},
    {"Video", "ScreenHeight", "480"},
    {"Video", "ScreenBitCount", "32"},
    {"Video", "VendorID", "0"},
    {"Video", "DeviceID", "0"},
    {"Video", "HardwareVertexShader", "1"},
    {"Video", "WindowMode", "0"},
    {"Video", "UseMipmap", "1"},
    {"Video", "WaitVSync", "1"},
    {"Video", "LowTexture", "0"},
    {"Video", "TextureFilter", "2"},
    {"Video", "FpsMode", "0"},
    {"Video", "FullAntiAlias", "0"},
    {"Video", "LowEffect", "0"},
    {"Video", "ShadowQuality", "2"},
    {"Video", "MinimapMode", "1"},
    {"Video", "StatusMode", "1"},
    {"Video", "Menu", "0"},
    {"Video", "GlowOn", "1"},
    {"Video", "MoviePlay", "1"},
    {"Sound", "BgmOff", "0"},
    {"Sound", "SeOff", "0"},
    {"Sound", "BgmVolume", "6"},
    {"Sound", "SeVolume", "6"},
    {"Sound", "NotUseDirectSound", "0"},
    {"Sound", "NotUseDirectSound3d", "0"},
    {"Sound", "BtVoiceOff", "0"},
    {"Sound", "SoftwareSoundBuffer", "0"},
    {"Control", "Camera45Deg", "1"},
    {"Control", "UseGamaPad", "1"},
    {"Control", "KeyboardUseDI", "1"},
    {"Control", "MouseUseDI", "1"},
    {"Control", "DefaultRun", "0"},
    {"Control", "ChrTrans", "0"},
    {"Control", "Analog", "1"},
    {"Control", "LastAccessFile", "0"},
    {"Control", "ButtonMode", "1"},
    {"Control", "Keyboard", "20111b41585a2628252742434d1056"},
    {"Control", "GamePad", "01020407060003050809"},
    {"Control", "PadDeviceNo", "0"},
    {"Control", "PadSensitivity", "60"},
    {"Control", "Mouse", "0102"},
    {"Control", "UseWheel", "1"},
    {"Control", "WheelReverse", "0"},
    {"Mg05", "MG05InversY", "0"},
    {"Mg05", "MG05Sensitive", "0"},
};

TEST_F(SettingsFileTest, NoFileGivesDefaultsAndAFreshFileInWriteOrder) {
    ReadSettingsFile(Path().c_str());
    EXPECT_EQ(SettingsRecord.Adapter, -1);
    EXPECT_EQ(SettingsRecord.ScreenBitCount, 32);
    EXPECT_EQ(SettingsRecord.EnvMapOn, 1);
    EXPECT_EQ(SettingsRecord.PadSensitivity, 60);
    EXPECT_EQ(0, memcmp(SettingsRecord.Keyboard, SettingsDefaults.Keyboard, kKeyboardSlots));
    EXPECT_STREQ(SettingsFilePath, Path().c_str());

    std::string text = Store();
    EXPECT_EQ(ParseIni(text), kDefaultFile);
    EXPECT_EQ(IniSections(text), (std::vector<std::string>{"Video", "Sound", "Control", "Mg05"}));
    EXPECT_EQ(text.find("EnvMapOn"), std::string::npos);
}

TEST_F(SettingsFileTest, ForeignKeysAndSectionsSurviveAStore) {
    Load(
        "[Video]\r\nEnvMapOn=0\r\nMyOwnKey=kept\r\nWindowMode=1\r\n"
        "[Launcher]\r\nLast=abc\r\n");
    EXPECT_EQ(SettingsRecord.EnvMapOn, 0);
    EXPECT_EQ(SettingsRecord.WindowMode, 1);
    std::string text = Store();
    EXPECT_EQ(IniValue(text, "Video", "EnvMapOn"), "0");
    EXPECT_EQ(IniValue(text, "Video", "MyOwnKey"), "kept");
    EXPECT_EQ(IniValue(text, "Video", "WindowMode"), "1");
    EXPECT_EQ(IniValue(text, "Launcher", "Last"), "abc");
    // Keys the file lacked are added; the ones it had keep their place.
    EXPECT_EQ(IniValue(text, "Mg05", "MG05Sensitive"), "0");
    EXPECT_LT(text.find("EnvMapOn"), text.find("WindowMode"));
}

TEST_F(SettingsFileTest, ValuesAreConvertedAsTheGameExpects) {
    Load(
        "[video]\r\nwindowmode=2\r\nGlowOn=2\r\nTextureFilter=-1\r\nMinimapMode=-5\r\n"
        "ScreenBitCount=24\r\nHardwareVertexShader=yes\r\nShadowQuality=258\r\n"
        "[Sound]\r\nBgmVolume=12\r\nBgmOff=1\r\n[Mg05]\r\nMG05Sensitive=-7\r\nMG05InversY=1\r\n");
    EXPECT_EQ(SettingsRecord.WindowMode, 0);            // only 1 is true
    EXPECT_EQ(SettingsRecord.HardwareVertexShader, 0);  // text is not 1
    EXPECT_EQ(SettingsRecord.GlowOn, 2);                // 8-bit, not reduced to 0 or 1
    EXPECT_EQ(SettingsRecord.TextureFilter, 255);
    EXPECT_EQ(SettingsRecord.ShadowQuality, 2);  // low 8 bits of 258
    EXPECT_EQ(SettingsRecord.MinimapMode, -5);
    EXPECT_EQ(SettingsRecord.ScreenBitCount, 32);
    EXPECT_EQ(SettingsRecord.BgmVolume, 12);
    EXPECT_EQ(SettingsRecord.BgmOff, 1);
    EXPECT_EQ(SettingsRecord.MG05Sensitive, -7);
    EXPECT_EQ(SettingsRecord.MG05InversY, 1);

    std::string text = Store();
    EXPECT_EQ(IniValue(text, "Video", "WindowMode"), "0");
    EXPECT_EQ(IniValue(text, "Video", "GlowOn"), "2");
    EXPECT_EQ(IniValue(text, "Video", "TextureFilter"), "255");
    EXPECT_EQ(IniValue(text, "Video", "MinimapMode"), "-5");
    EXPECT_EQ(IniValue(text, "Video", "ScreenBitCount"), "32");
    EXPECT_EQ(IniValue(text, "Mg05", "MG05Sensitive"), "-7");
}

TEST_F(SettingsFileTest, SixteenBitModeIsKept) {
    Load("[Video]\r\nScreenBitCount=16\r\nScreenWidth=1024\r\nVendorID=4318\r\n");
    EXPECT_EQ(SettingsRecord.ScreenBitCount, 16);
    EXPECT_EQ(SettingsRecord.ScreenWidth, 1024);
    EXPECT_EQ(SettingsRecord.AdapterIdentifier.VendorId, 4318u);
}

struct ArrayCase {
    const char* fileLine;
    std::vector<uint8_t> keyboard;  // empty: the defaults
    std::vector<uint8_t> mouse;
    const char* storedKeyboard;
};

class ByteArrayTest : public SettingsFileTest, public ::testing::WithParamInterface<ArrayCase> {};

TEST_P(ByteArrayTest, ArraysLoadWholeOrNotAtAll) {
    const ArrayCase& c = GetParam();
    Load(std::string("[Control]\r\n") + c.fileLine + "\r\n");
    std::vector<uint8_t> keyboard(SettingsRecord.Keyboard,
                                  SettingsRecord.Keyboard + kKeyboardSlots);
    std::vector<uint8_t> defaults(SettingsDefaults.Keyboard,
                                  SettingsDefaults.Keyboard + kKeyboardSlots);
    EXPECT_EQ(keyboard, c.keyboard.empty() ? defaults : c.keyboard);
    std::vector<uint8_t> mouse(SettingsRecord.Mouse, SettingsRecord.Mouse + kMouseSlots);
    EXPECT_EQ(mouse, c.mouse.empty() ? std::vector<uint8_t>({1, 2}) : c.mouse);
    EXPECT_EQ(IniValue(Store(), "Control", "Keyboard"), c.storedKeyboard);
}

INSTANTIATE_TEST_SUITE_P(
    Arrays, ByteArrayTest,
    ::testing::Values(
        // Upper-case digits read the same and are written back in lower case.
        ArrayCase{
            "Keyboard=20111B41585A2628252742434D1056", {}, {}, "20111b41585a2628252742434d1056"},
        // 29 characters: all defaults, nothing half-taken.
        ArrayCase{
            "Keyboard=21111b41585a2628252742434d105", {}, {}, "20111b41585a2628252742434d1056"},
        // 32 characters: the first 30 are used.
        ArrayCase{"Keyboard=21111b41585a2628252742434d1056ff",
                  {0x21, 0x11, 0x1b, 0x41, 0x58, 0x5a, 0x26, 0x28, 0x25, 0x27, 0x42, 0x43, 0x4d,
                   0x10, 0x56},
                  {},
                  "21111b41585a2628252742434d1056"},
        // A non-digit repeats the digit before it; first in the pair it counts 0.
        ArrayCase{"Mouse=1g02", {}, {0x11, 0x02}, "20111b41585a2628252742434d1056"},
        ArrayCase{"Mouse=g102", {}, {0x01, 0x02}, "20111b41585a2628252742434d1056"},
        ArrayCase{"Mouse=010", {}, {}, "20111b41585a2628252742434d1056"}),
    CaseName<ArrayCase>);

TEST_F(SettingsFileTest, AnArrayCutInsideADoubleByteCharacterDependsOnItsLineAlone) {
    // CTest runs this suite under zh_CN.UTF-8; on any other code page the cut would not happen.
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    // "7d6" and a GBK character: the 5-byte buffer holds "7d6" only, though the profile
    // function reports four characters. Before it, GamePad lines that leave different bytes
    // in a shared buffer.
    const char* mouseLine = "Mouse=7d6\xB0\xA1\r\n";
    std::vector<std::vector<uint8_t>> seen;
    for (const char* gamePad : {"GamePad=01020407060003050809", "GamePad=0102040706000305086f"}) {
        Load(std::string("[Control]\r\n") + gamePad + "\r\n" + mouseLine);
        seen.emplace_back(SettingsRecord.Mouse, SettingsRecord.Mouse + kMouseSlots);
    }
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], std::vector<uint8_t>({1, 2}));  // not two digits a slot: the defaults
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
    EXPECT_TRUE(WRITE_PROFILE_INT("Video", c.key, 5));
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
        // A lead byte that ends the file would take the first added line break.
        PlacementCase{"[Video]\r\nx=\x81", "New", "[Video]\r\nx=\x81\r\n\r\nNew=5\r\n"},
        PlacementCase{"\xEF\xBB\xBF[Video]\r\nNew=1\r\n", "New",
                      "\xEF\xBB\xBF[Video]\r\nNew=5\r\n"},
        // UTF-16 stays UTF-16; a stray last byte stays last.
        PlacementCase{Utf16("[Video]\r\nNew=1\r\n") + "x", "New",
                      Utf16("[Video]\r\nNew=5\r\n") + "x"},
        PlacementCase{Utf16("[Video]\r\nfoo=1"), "New", Utf16("[Video]\r\nfoo=1\r\nNew=5\r\n")}),
    CaseName<PlacementCase>);

TEST(HexPairToByteTest, ConvertsDigitsOfEitherCase) {
    struct {
        char first, second;
        uint8_t value;
    } cases[] = {{'0', '5', 0x05}, {'a', 'b', 0xab}, {'A', 'B', 0xab}, {'F', 'f', 0xff},
                 {'9', '9', 0x99}, {'1', 'g', 0x11}, {'g', '1', 0x01}, {'z', 'z', 0x00}};
    for (const auto& c : cases) {
        EXPECT_EQ(HexPairToByte(c.first, c.second), c.value) << c.first << c.second;
    }
}

TEST_F(SettingsFileTest, ProfileDataIsTwoLowerCaseDigitsPerByte) {
    CopyText(SettingsFilePath, sizeof SettingsFilePath, Path().c_str());
    const uint8_t bytes[] = {0x05, 0xAB, 0x00, 0xFF};
    EXPECT_TRUE(WRITE_PROFILE_DATA("Control", "Data", bytes, 4));
    EXPECT_EQ(IniValue(ReadFileText(Path()), "Control", "Data"), "05ab00ff");
}

TEST_F(SettingsFileTest, OversizedProfileDataLeavesTheKeyAlone) {
    CopyText(SettingsFilePath, sizeof SettingsFilePath, Path().c_str());
    ASSERT_TRUE(WRITE_PROFILE_INT("Control", "Data", 7));
    static uint8_t big[10240];
    TraceRecorder trace;
    EXPECT_FALSE(WRITE_PROFILE_DATA("Control", "Data", big, sizeof big));
    EXPECT_EQ(IniValue(ReadFileText(Path()), "Control", "Data"), "7");
    ASSERT_EQ(trace.lines().size(), 1u);
    EXPECT_EQ(trace.lines()[0], "WRITE_PROFILE_DATA is Size over\n");
}

TEST_F(SettingsFileTest, AReadOnlyFileIsReportedAndLeftUnchanged) {
    const std::string original = "[Video]\r\nWindowMode=1\r\n";
    Load(original);
    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileA(Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this system lets the file be written anyway (Wine run as root)";
    }
    SettingsRecord.WindowMode = 0;
    SettingsRecord.BgmVolume = 3;
    EXPECT_FALSE(WriteSettingsFile(Path().c_str()));
    EXPECT_EQ(ReadFileText(Path()), original);
}

TEST_F(SettingsFileTest, AFileLockedByAnotherProgramIsReportedAndLeftUnchanged) {
    const std::string original = "[Video]\r\nWindowMode=1\r\n";
    Load(original);
    HANDLE lock = CreateFileA(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    SettingsRecord.WindowMode = 0;
    bool stored = WriteSettingsFile(Path().c_str());
    CloseHandle(lock);
    EXPECT_FALSE(stored);
    EXPECT_EQ(ReadFileText(Path()), original);
}

TEST_F(SettingsFileTest, AFileThatCannotBeCreatedIsReported) {
    std::string missing = folder_ / "no such folder\\qr6_win3.ini";
    ReadSettingsFile(missing.c_str());
    EXPECT_FALSE(WriteSettingsFile(missing.c_str()));
    EXPECT_FALSE(FileExists(missing));
}

}  // namespace
