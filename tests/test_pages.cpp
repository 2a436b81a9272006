// The real main dialog with its tab pages, created in-process: tabs, page switching, the input
// page's radio pairs and the sound page, from a settings file to the file written by "OK".
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <string>

#include "common/dialog_items.h"
#include "app/input_page.h"
#include "app/main_dialog.h"
#include "app/tab_sets.h"
#include "common/runtime.h"
#include "app/splash.h"
#include "resource.h"
#include "settings/settings_record.h"
#include "sound/sound_page.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/test_files.h"

namespace {

const int kSoundTab = 1;
const int kInputTab = 2;

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        // A settings file of this test's own beside the test program.
        _putenv("LOG_ID=pgt");
        path_ = ModuleFolder() + "save\\qr6_win3.pgt";
        DeleteFileA(path_.c_str());
    }
    void TearDown() override {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();  // takes the quit the dialog posts when it goes
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
    }
    void Open(const std::string& fileText = std::string()) {
        if (!fileText.empty()) {
            CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
            ASSERT_TRUE(WriteFileText(path_, fileText));
        }
        dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        mainDialog = dialog_;
        PumpPending();
    }
    void PressOk() {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
    }
    HWND SoundPageWindow() const { return mainTabs.Page(kSoundTab); }
    HWND InputPageWindow() const { return mainTabs.Page(kInputTab); }
    std::string FileText() const { return ReadFileText(path_); }
    std::string Stored(const char* section, const char* key) const {
        return IniValue(FileText(), section, key);
    }

    HWND dialog_ = nullptr;
    std::string path_;
};

std::wstring TabText(HWND tabs, int index) {
    wchar_t text[64] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

RECT DisplayArea(HWND tabs) {
    RECT area = ChildRect(tabs);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void ExpectSameRect(const RECT& a, const RECT& b) {
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
}

TEST_F(PagesTest, FirstDisplayHasThreeTabsWithIconsAndTheVideoTabSelected) {
    Open();
    HWND tabs = GetDlgItem(dialog_, IDC_MAIN_TABS);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(tabs, 0), L"画面");
    EXPECT_EQ(TabText(tabs, 1), L"声音");
    EXPECT_EQ(TabText(tabs, 2), L"输入");
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(SendMessageW(tabs, TCM_GETIMAGELIST, 0, 0));
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(icons), 3);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(mainTabs.CurrentIndex(), 0);
    EXPECT_EQ(GetFocus(), tabs);
    EXPECT_EQ(splash.window, nullptr);

    // Every page that exists was created at start-up and waits hidden.
    ASSERT_NE(SoundPageWindow(), nullptr);
    ASSERT_NE(InputPageWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(SoundPageWindow()));
    EXPECT_FALSE(IsWindowVisible(InputPageWindow()));

    EXPECT_EQ(TabText(GetDlgItem(InputPageWindow(), IDC_INPUT_TABS), 2), L"游戏手柄");
}

TEST_F(PagesTest, TheSelectedPageCoversTheDisplayAreaAndTheOthersHide) {
    Open();
    HWND tabs = GetDlgItem(dialog_, IDC_MAIN_TABS);
    SelectTab(dialog_, IDC_MAIN_TABS, kSoundTab);
    EXPECT_TRUE(IsWindowVisible(SoundPageWindow()));
    ExpectSameRect(ChildRect(SoundPageWindow()), DisplayArea(tabs));
    EXPECT_EQ(GetFocus(), tabs);

    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    EXPECT_FALSE(IsWindowVisible(SoundPageWindow()));
    EXPECT_TRUE(IsWindowVisible(InputPageWindow()));
    ExpectSameRect(ChildRect(InputPageWindow()), DisplayArea(tabs));

    SelectTab(dialog_, IDC_MAIN_TABS, 0);
    EXPECT_FALSE(IsWindowVisible(SoundPageWindow()));
    EXPECT_FALSE(IsWindowVisible(InputPageWindow()));
    EXPECT_TRUE(IsWindowVisible(mainTabs.Page(0)));
    ExpectSameRect(ChildRect(mainTabs.Page(0)), DisplayArea(tabs));
    EXPECT_EQ(mainTabs.CurrentIndex(), 0);
}

TEST_F(PagesTest, SelectIgnoresIndicesOutOfRangeAndChangingNotices) {
    Open();
    SelectTab(dialog_, IDC_MAIN_TABS, kSoundTab);
    mainTabs.Select(3);
    mainTabs.Select(-1);
    EXPECT_EQ(mainTabs.CurrentIndex(), kSoundTab);
    EXPECT_TRUE(IsWindowVisible(SoundPageWindow()));
    SendMessageW(GetDlgItem(dialog_, IDC_MAIN_TABS), TCM_SETCURSEL, kInputTab, 0);
    mainTabs.OnNotify(TCN_SELCHANGING);
    EXPECT_EQ(mainTabs.CurrentIndex(), kSoundTab);
}

TEST_F(PagesTest, TheInputPageComesBackOnTheSubPageItWasLeftOn) {
    Open();
    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    EXPECT_EQ(inputTabs.CurrentIndex(), 0);
    SelectTab(InputPageWindow(), IDC_INPUT_TABS, 1);  // "鼠标"
    EXPECT_EQ(inputTabs.CurrentIndex(), 1);

    SelectTab(dialog_, IDC_MAIN_TABS, kSoundTab);
    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    EXPECT_EQ(SendDlgItemMessageW(InputPageWindow(), IDC_INPUT_TABS, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(inputTabs.CurrentIndex(), 1);
    // The focus ends on the main tab control, set last by the main set.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_MAIN_TABS));
}

TEST_F(PagesTest, RadioPairsShowTheFileAndStoreItBack) {
    Open("[Control]\r\nDefaultRun=1\r\nCamera45Deg=0\r\nChrTrans=1\r\n");
    HWND page = InputPageWindow();
    EXPECT_TRUE(IsChecked(page, IDC_MOVE_RUN));
    EXPECT_FALSE(IsChecked(page, IDC_MOVE_WALK));
    EXPECT_TRUE(IsChecked(page, IDC_CAMERA_FREE));
    EXPECT_FALSE(IsChecked(page, IDC_CAMERA_45));
    EXPECT_TRUE(IsChecked(page, IDC_HIDDEN_SHOW));
    EXPECT_FALSE(IsChecked(page, IDC_HIDDEN_HIDE));
    PressOk();
    EXPECT_EQ(Stored("Control", "DefaultRun"), "1");
    EXPECT_EQ(Stored("Control", "Camera45Deg"), "0");
    EXPECT_EQ(Stored("Control", "ChrTrans"), "1");
}

TEST_F(PagesTest, ExactlyOneButtonOfEachPairIsCheckedWhateverTheFileHeld) {
    Open("[Control]\r\nDefaultRun=2\r\nCamera45Deg=-1\r\nChrTrans=abc\r\n");
    HWND page = InputPageWindow();
    const int pairs[][2] = {{IDC_MOVE_WALK, IDC_MOVE_RUN},
                            {IDC_CAMERA_45, IDC_CAMERA_FREE},
                            {IDC_HIDDEN_SHOW, IDC_HIDDEN_HIDE}};
    for (const auto& pair : pairs) {
        EXPECT_NE(IsChecked(page, pair[0]), IsChecked(page, pair[1])) << pair[0];
    }
    EXPECT_TRUE(IsChecked(page, IDC_MOVE_WALK));
}

TEST_F(PagesTest, WithoutASoundSectionTheSoundPageShowsTheDefaults) {
    Open("[Video]\r\nWindowMode=1\r\n");
    HWND page = SoundPageWindow();
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 6);
    EXPECT_EQ(TrackbarPosition(page, IDC_SE_VOLUME), 6);
    for (int id : {IDC_BGM_OFF, IDC_SE_OFF, IDC_NO_DIRECTSOUND, IDC_NO_DIRECTSOUND3D,
                   IDC_BATTLE_VOICE_OFF, IDC_SOFTWARE_BUFFER}) {
        EXPECT_FALSE(IsChecked(page, id)) << id;
        EXPECT_TRUE(IsEnabled(page, id)) << id;
    }
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_BGM_VOLUME, TBM_GETRANGEMAX, 0, 0), 9);
    PressOk();
    EXPECT_EQ(Stored("Sound", "BgmVolume"), "6");
    EXPECT_EQ(Stored("Sound", "SeVolume"), "6");
    EXPECT_EQ(Stored("Sound", "NotUseDirectSound"), "0");
}

TEST_F(PagesTest, NotUsingDirectSoundDisablesTheOthersButKeepsTheirValues) {
    Open("[Sound]\r\nNotUseDirectSound=1\r\nBgmOff=1\r\nBgmVolume=3\r\nSoftwareSoundBuffer=1\r\n");
    HWND page = SoundPageWindow();
    EXPECT_TRUE(IsChecked(page, IDC_NO_DIRECTSOUND));
    EXPECT_TRUE(IsEnabled(page, IDC_NO_DIRECTSOUND));
    EXPECT_TRUE(IsEnabled(page, IDC_SOUND_DEFAULTS));
    for (int id : {IDC_BGM_VOLUME, IDC_SE_VOLUME, IDC_BGM_OFF, IDC_SE_OFF, IDC_BATTLE_VOICE_OFF,
                   IDC_SOFTWARE_BUFFER, IDC_NO_DIRECTSOUND3D}) {
        EXPECT_FALSE(IsEnabled(page, id)) << id;
    }
    EXPECT_TRUE(IsChecked(page, IDC_BGM_OFF));
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 3);
    EXPECT_TRUE(IsChecked(page, IDC_SOFTWARE_BUFFER));

    // Clearing it gives the options back unchanged.
    SetCheck(page, IDC_NO_DIRECTSOUND, false);
    EXPECT_TRUE(IsEnabled(page, IDC_BGM_VOLUME));
    EXPECT_TRUE(IsEnabled(page, IDC_NO_DIRECTSOUND3D));
    EXPECT_TRUE(IsChecked(page, IDC_BGM_OFF));
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 3);
    SetCheck(page, IDC_NO_DIRECTSOUND, true);
    EXPECT_FALSE(IsEnabled(page, IDC_SE_OFF));

    // Disabled controls are stored as shown.
    PressOk();
    EXPECT_EQ(Stored("Sound", "NotUseDirectSound"), "1");
    EXPECT_EQ(Stored("Sound", "BgmOff"), "1");
    EXPECT_EQ(Stored("Sound", "BgmVolume"), "3");
    EXPECT_EQ(Stored("Sound", "SoftwareSoundBuffer"), "1");
}

TEST_F(PagesTest, AVolumeAboveTheRangeIsShownAndStoredAtNine) {
    Open("[Sound]\r\nBgmVolume=12\r\n");
    EXPECT_EQ(TrackbarPosition(SoundPageWindow(), IDC_BGM_VOLUME), 9);
    PressOk();
    EXPECT_EQ(Stored("Sound", "BgmVolume"), "9");
}

TEST_F(PagesTest, RestoreDefaultsResetsTheControlsOnly) {
    const std::string original =
        "[Sound]\r\nNotUseDirectSound=1\r\nBgmVolume=2\r\nSeVolume=9\r\nSeOff=1\r\nBtVoiceOff="
        "1\r\n";
    Open(original);
    HWND page = SoundPageWindow();
    ClickButton(page, IDC_SOUND_DEFAULTS);
    EXPECT_FALSE(IsChecked(page, IDC_NO_DIRECTSOUND));
    EXPECT_FALSE(IsChecked(page, IDC_SE_OFF));
    EXPECT_FALSE(IsChecked(page, IDC_BATTLE_VOICE_OFF));
    EXPECT_TRUE(IsEnabled(page, IDC_SE_VOLUME));
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 6);
    EXPECT_EQ(TrackbarPosition(page, IDC_SE_VOLUME), 6);
    EXPECT_EQ(SettingsRecord.SeVolume, 9);  // the record waits for a store

    ClickButton(dialog_, IDC_CANCEL);
    EXPECT_FALSE(IsWindow(dialog_));
    EXPECT_EQ(FileText(), original);
}

TEST(PageWithoutWindowTest, CollectLeavesTheLoadedValuesAlone) {
    SettingsRecord = Settings{};
    SettingsRecord.BgmVolume = 3;
    SettingsRecord.DefaultRun = 1;
    SoundPage sound;
    InputPage input;
    sound.Collect();
    input.Collect();
    EXPECT_EQ(SettingsRecord.BgmVolume, 3);
    EXPECT_EQ(SettingsRecord.DefaultRun, 1);
}

TEST_F(PagesTest, ChangesOnHiddenPagesSurviveSwitchingAndAreStored) {
    Open();
    SelectTab(dialog_, IDC_MAIN_TABS, kSoundTab);
    MoveTrackbar(SoundPageWindow(), IDC_SE_VOLUME, 2);
    SetCheck(SoundPageWindow(), IDC_BATTLE_VOICE_OFF, true);
    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    SetCheck(InputPageWindow(), IDC_HIDDEN_SHOW, true);
    SelectTab(dialog_, IDC_MAIN_TABS, 0);
    // A trackbar moved without a store leaves the record alone.
    EXPECT_EQ(SettingsRecord.SeVolume, 6);
    EXPECT_EQ(TrackbarPosition(SoundPageWindow(), IDC_SE_VOLUME), 2);
    PressOk();
    EXPECT_EQ(Stored("Sound", "SeVolume"), "2");
    EXPECT_EQ(Stored("Sound", "BtVoiceOff"), "1");
    EXPECT_EQ(Stored("Control", "ChrTrans"), "1");
    EXPECT_EQ(Stored("Control", "Keyboard"), "20111b41585a2628252742434d1056");
}

}  // namespace
