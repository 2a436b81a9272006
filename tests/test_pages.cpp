// The main dialog's tabs, the sound page and the input page's radio pairs, from a settings file to
// the file written by "OK".
#include "common/dialog_items.h"
#include "tests/support/main_dialog_test.h"

namespace {

using PagesTest = MainDialogTest;

// Only the chosen tab's page shows; the input page comes back on the sub-page it showed.
TEST_F(PagesTest, TabsShowOnePageAtATimeAndTheInputPageKeepsItsSubPage) {
    Open();
    for (int index : {1, 2, 0, 1}) {
        SelectTab(dialog_, IDC_MAIN_TABS, index);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(IsWindowVisible(mainTabs.Page(i)) != FALSE, i == index) << index << i;
        }
    }
    ShowInputPage(1);
    SelectTab(dialog_, IDC_MAIN_TABS, 1);
    SelectTab(dialog_, IDC_MAIN_TABS, 2);
    EXPECT_TRUE(IsWindowVisible(inputTabs.Page(1)) && !IsWindowVisible(inputTabs.Page(0)));
}

// Each switch shows its own key and is stored from its own box: every key at 0 but one at 1, then
// every key at 2 (only 1 sets an option). A volume above the range shows and is stored at 9.
TEST_F(PagesTest, EachSwitchShowsAndStoresItsOwnKey) {
    const struct {
        int page, on, off;  // off: the other button of a radio pair
        const char* key;
    } switches[] = {{1, IDC_BGM_OFF, 0, "BgmOff"},
                    {1, IDC_SE_OFF, 0, "SeOff"},
                    {1, IDC_BATTLE_VOICE_OFF, 0, "BtVoiceOff"},
                    {1, IDC_SOFTWARE_BUFFER, 0, "SoftwareSoundBuffer"},
                    {1, IDC_NO_DIRECTSOUND3D, 0, "NotUseDirectSound3d"},
                    {1, IDC_NO_DIRECTSOUND, 0, "NotUseDirectSound"},
                    {2, IDC_MOVE_RUN, IDC_MOVE_WALK, "DefaultRun"},
                    {2, IDC_CAMERA_45, IDC_CAMERA_FREE, "Camera45Deg"},
                    {2, IDC_HIDDEN_SHOW, IDC_HIDDEN_HIDE, "ChrTrans"}};
    for (int chosen = -1; chosen < 9; ++chosen) {
        std::string lines[3];  // by page: sound, input
        for (int i = 0; i < 9; ++i) {
            lines[switches[i].page] += std::string(switches[i].key) + "=" +
                                       (chosen < 0    ? "2"
                                        : i == chosen ? "1"
                                                      : "0") +
                                       "\r\n";
        }
        Open("[Sound]\r\nBgmVolume=12\r\n" + lines[1] + "[Control]\r\n" + lines[2]);
        EXPECT_EQ(TrackbarPosition(mainTabs.Page(1), IDC_BGM_VOLUME), 9);
        for (int i = 0; i < 9; ++i) {
            HWND page = mainTabs.Page(switches[i].page);
            EXPECT_EQ(IsChecked(page, switches[i].on), i == chosen) << chosen << switches[i].key;
            EXPECT_TRUE(!switches[i].off || IsChecked(page, switches[i].off) != (i == chosen));
        }
        PressOk();
        for (int i = 0; i < 9; ++i) {
            const char* section = switches[i].page == 1 ? "Sound" : "Control";
            EXPECT_EQ(Stored(section, switches[i].key), i == chosen ? "1" : "0") << chosen << i;
        }
        EXPECT_EQ(Stored("Sound", "BgmVolume"), "9");
    }
}

// "不使用DirectSound" disables the other controls, which keep their values; "恢复初始状态"
// resets the controls only, and "取消" leaves the file as it was.
TEST_F(PagesTest, SoundPageDisablesAndRestoresWithoutStoring) {
    const std::string file = "[Sound]\r\nNotUseDirectSound=1\r\nBgmVolume=2\r\nSeOff=1\r\n";
    Open(file);
    HWND page = mainTabs.Page(1);
    for (bool off : {true, false, true}) {
        SetCheck(page, IDC_NO_DIRECTSOUND, off);
        for (int id : {IDC_BGM_VOLUME, IDC_SE_VOLUME, IDC_BGM_OFF, IDC_SE_OFF, IDC_BATTLE_VOICE_OFF,
                       IDC_SOFTWARE_BUFFER, IDC_NO_DIRECTSOUND3D}) {
            EXPECT_EQ(IsEnabled(page, id), !off) << id;
        }
    }
    EXPECT_TRUE(IsChecked(page, IDC_SE_OFF) && TrackbarPosition(page, IDC_BGM_VOLUME) == 2);
    ClickButton(page, IDC_SOUND_DEFAULTS);
    EXPECT_FALSE(IsChecked(page, IDC_NO_DIRECTSOUND) || IsChecked(page, IDC_SE_OFF));
    EXPECT_TRUE(IsEnabled(page, IDC_SE_VOLUME) && TrackbarPosition(page, IDC_BGM_VOLUME) == 6);
    ClickButton(dialog_, IDC_CANCEL);
    EXPECT_EQ(ReadFileText(path_), file);
}

}  // namespace
