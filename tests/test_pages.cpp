// The main dialog's tabs and page switching, the input page's radio pairs and the sound page,
// from a settings file to the file written by "OK".
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "app/input_page.h"
#include "app/splash.h"
#include "app/tab_sets.h"
#include "display/video_page.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "common/dialog_items.h"
#include "settings/settings_record.h"
#include "sound/sound_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

const int kSoundTab = 1;
const int kInputTab = 2;

class PagesTest : public MainDialogTest {
  protected:
    HWND Sound() const { return mainTabs.Page(kSoundTab); }
    HWND Input() const { return mainTabs.Page(kInputTab); }
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

// Only the page of that tab shows, and it fills the tab control's display area.
void ExpectOnlyPageShown(HWND dialog, int index) {
    HWND tabs = GetDlgItem(dialog, IDC_MAIN_TABS);
    RECT area = ChildRect(tabs);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(IsWindowVisible(mainTabs.Page(i)) != FALSE, i == index) << i;
    }
    RECT page = ChildRect(mainTabs.Page(index));
    EXPECT_TRUE(EqualRect(&page, &area)) << index;
    EXPECT_EQ(mainTabs.CurrentIndex(), index);
}

TEST_F(PagesTest, TabsShowOnePageAtATimeAndTheInputPageKeepsItsSubPage) {
    Open();
    HWND tabs = GetDlgItem(dialog_, IDC_MAIN_TABS);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(tabs, 0) + TabText(tabs, 1) + TabText(tabs, 2), L"画面声音输入");
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(SendMessageW(tabs, TCM_GETIMAGELIST, 0, 0));
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(icons), 3);
    EXPECT_EQ(TabText(GetDlgItem(Input(), IDC_INPUT_TABS), 2), L"游戏手柄");
    EXPECT_EQ(splash.window, nullptr);
    // The video tab first, every other page made once the dialog waits and kept hidden.
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), tabs);
    ExpectOnlyPageShown(dialog_, 0);
    for (int index : {kSoundTab, kInputTab, 0, kSoundTab}) {
        SelectTab(dialog_, IDC_MAIN_TABS, index);
        ExpectOnlyPageShown(dialog_, index);
        EXPECT_EQ(GetFocus(), tabs);
    }
    // Indices out of range and a change still under way select nothing.
    mainTabs.Select(3);
    mainTabs.Select(-1);
    SendMessageW(tabs, TCM_SETCURSEL, kInputTab, 0);
    mainTabs.OnNotify(TCN_SELCHANGING);
    ExpectOnlyPageShown(dialog_, kSoundTab);

    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    EXPECT_EQ(inputTabs.CurrentIndex(), 0);
    SelectTab(Input(), IDC_INPUT_TABS, 1);  // "鼠标"
    SelectTab(dialog_, IDC_MAIN_TABS, kSoundTab);
    SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
    EXPECT_EQ(SendDlgItemMessageW(Input(), IDC_INPUT_TABS, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(inputTabs.CurrentIndex(), 1);
    EXPECT_EQ(GetFocus(), tabs);  // set last, by the main set
}

// Only 1 sets an option; whatever else the file holds, one button of each pair is checked.
TEST_F(PagesTest, RadioPairsShowTheFileAndStoreItBack) {
    const char* keys[] = {"DefaultRun", "Camera45Deg", "ChrTrans"};
    const int pairs[][2] = {// off, on
                            {IDC_MOVE_WALK, IDC_MOVE_RUN},
                            {IDC_CAMERA_FREE, IDC_CAMERA_45},
                            {IDC_HIDDEN_HIDE, IDC_HIDDEN_SHOW}};
    const struct {
        const char* values[3];
        const char* shown;
    } cases[] = {{{"1", "0", "1"}, "101"}, {{"2", "-1", "abc"}, "000"}};
    for (const auto& c : cases) {
        std::string file = "[Control]\r\n";
        for (int i = 0; i < 3; ++i) {
            file += std::string(keys[i]) + "=" + c.values[i] + "\r\n";
        }
        Open(file);
        for (int i = 0; i < 3; ++i) {
            bool on = c.shown[i] == '1';
            EXPECT_TRUE(IsChecked(Input(), pairs[i][on]) && !IsChecked(Input(), pairs[i][!on]))
                << keys[i] << "=" << c.values[i];
        }
        PressOk();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Stored("Control", keys[i]), std::string(1, c.shown[i])) << keys[i];
        }
    }
}

TEST_F(PagesTest, NotUsingDirectSoundDisablesTheOthersButKeepsTheirValues) {
    Open(
        "[Sound]\r\nNotUseDirectSound=1\r\nBgmOff=1\r\nBgmVolume=3\r\nSeVolume=12\r\n"
        "SoftwareSoundBuffer=1\r\n");
    HWND page = Sound();
    auto expectOthersEnabled = [page](bool enabled) {
        for (int id : {IDC_BGM_VOLUME, IDC_SE_VOLUME, IDC_BGM_OFF, IDC_SE_OFF, IDC_BATTLE_VOICE_OFF,
                       IDC_SOFTWARE_BUFFER, IDC_NO_DIRECTSOUND3D}) {
            EXPECT_EQ(IsEnabled(page, id), enabled) << id;
        }
    };
    EXPECT_TRUE(IsEnabled(page, IDC_NO_DIRECTSOUND) && IsEnabled(page, IDC_SOUND_DEFAULTS));
    expectOthersEnabled(false);
    SetCheck(page, IDC_NO_DIRECTSOUND, false);
    expectOthersEnabled(true);
    SetCheck(page, IDC_NO_DIRECTSOUND, true);
    expectOthersEnabled(false);
    // The values stay as loaded; a volume above the range shows at 9.
    EXPECT_TRUE(IsChecked(page, IDC_BGM_OFF) && IsChecked(page, IDC_SOFTWARE_BUFFER));
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 3);
    EXPECT_EQ(TrackbarPosition(page, IDC_SE_VOLUME), 9);
    PressOk();  // disabled controls are stored as shown
    ExpectStored("Sound",
                 "NotUseDirectSound=1 BgmOff=1 BgmVolume=3 SeVolume=9 SoftwareSoundBuffer=1");
}

TEST_F(PagesTest, RestoreDefaultsResetsTheControlsOnly) {
    const std::string original =
        "[Sound]\r\nNotUseDirectSound=1\r\nBgmVolume=2\r\nSeVolume=9\r\nSeOff=1\r\nBtVoiceOff="
        "1\r\n";
    Open(original);
    HWND page = Sound();
    ClickButton(page, IDC_SOUND_DEFAULTS);
    for (int id : {IDC_NO_DIRECTSOUND, IDC_SE_OFF, IDC_BATTLE_VOICE_OFF}) {
        EXPECT_FALSE(IsChecked(page, id)) << id;
    }
    EXPECT_TRUE(IsEnabled(page, IDC_SE_VOLUME));
    EXPECT_EQ(TrackbarPosition(page, IDC_BGM_VOLUME), 6);
    EXPECT_EQ(TrackbarPosition(page, IDC_SE_VOLUME), 6);
    EXPECT_EQ(SettingsRecord.SeVolume, 9);  // the record waits for a store
    ClickButton(dialog_, IDC_CANCEL);
    EXPECT_FALSE(IsWindow(dialog_));
    EXPECT_EQ(ReadFileText(path_), original);
}

// Only the video page is made at start-up. "OK" pressed at once, or after a click on the input
// tab made that page and its keyboard page, stores the very file stored once every page is made,
// with the values pages show otherwise than the file holds them.
TEST_F(PagesTest, OkBeforeThePagesAreMadeStoresWhatEveryPageStores) {
    FakeAdapter card("Card");
    card.Mode(640, 480, D3DFMT_X8R8G8B8).Mode(1024, 768, D3DFMT_R5G6B5);
    direct3d_.adapters = {card};
    ResetFakeInput(NamedControllers(2));
    const std::string file =
        "[Video]\r\nAdapter=4\r\nScreenWidth=800\r\nScreenHeight=600\r\nScreenBitCount=24\r\n"
        "GlowOn=2\r\n[Sound]\r\nBgmVolume=12\r\nSeVolume=255\r\n[Control]\r\nPadDeviceNo=5\r\n"
        "PadSensitivity=150\r\nGamePad=20fe1fff402101020304\r\nMouse=07e6\r\nDefaultRun=3\r\n";
    enum { kMade, kAtOnce, kInputTabFirst };
    std::string stored[3];
    for (int start : {kMade, kAtOnce, kInputTabFirst}) {
        Open(file, start != kMade);
        if (start == kInputTabFirst) {
            SelectTab(dialog_, IDC_MAIN_TABS, kInputTab);
            ExpectOnlyPageShown(dialog_, kInputTab);
            EXPECT_TRUE(IsWindowVisible(inputTabs.Page(0)) && inputTabs.Page(1) == nullptr);
        }
        EXPECT_EQ(Sound() != nullptr, start == kMade) << start;
        PressOk();
        stored[start] = ReadFileText(path_);
    }
    EXPECT_NE(stored[kMade].find("BgmVolume=9"), std::string::npos);
    EXPECT_EQ(stored[kAtOnce], stored[kMade]);
    EXPECT_EQ(stored[kInputTabFirst], stored[kMade]);
}

// A page whose window was never created leaves the loaded values alone when collected.
TEST(PageWithoutWindowTest, CollectLeavesTheLoadedValuesAlone) {
    SettingsRecord = Settings{};
    SettingsRecord.BgmVolume = 3;
    SettingsRecord.DefaultRun = 1;
    SettingsRecord.ScreenWidth = 800;
    SettingsRecord.Keyboard[0] = 'K';
    SettingsRecord.Mouse[0] = 4;
    SettingsRecord.PadSensitivity = 20;
    Settings loaded;
    memcpy(&loaded, &SettingsRecord, sizeof loaded);
    VideoPage().Collect();
    SoundPage().Collect();
    InputPage().Collect();
    KeyboardPage().Collect();
    MousePage().Collect();
    GamepadPage().Collect();
    EXPECT_EQ(memcmp(&loaded, &SettingsRecord, sizeof loaded), 0);
}

}  // namespace
