// The two tab sets of the program: the main dialog's pages and the input page's sub-pages.
#include "app/tab_sets.h"

#include "app/input_page.h"
#include "display/video_page.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "resource.h"
#include "sound/sound_page.h"

// Defined in this order so the main set, constructed last, is destroyed first at exit.
InputTabSet inputTabs;
MainTabSet mainTabs;

static const TabPageEntry kMainPages[] = {
    {"画面", IDI_TAB_VIDEO, IDD_VIDEO_PAGE, VideoPageProc},
    {"声音", IDI_TAB_SOUND, IDD_SOUND_PAGE, SoundPageProc},
    {"输入", IDI_TAB_INPUT, IDD_INPUT_PAGE, InputPageProc},
};

static const TabPageEntry kInputPages[] = {
    {"键盘", 0, IDD_KEYBOARD_PAGE, KeyboardPageProc},
    {"鼠标", 0, IDD_MOUSE_PAGE, MousePageProc},
    {"游戏手柄", 0, IDD_GAMEPAD_PAGE, GamepadPageProc},
};

HWND MainTabSet::Build(HWND parentWindow, int tabControlId, int count) {
    HWND tabs = TabPageSet::Build(parentWindow, tabControlId, count);
    BuildTabs(kMainPages, static_cast<int>(sizeof kMainPages / sizeof kMainPages[0]), true);
    Select(0);  // creates the video page; the others come when the dialog is up
    return tabs;
}

// No sub-page is made or selected here: the input page may be created while the player works on
// another page, and a selection would take the focus. Showing the input page selects one.
HWND InputTabSet::Build(HWND parentWindow, int tabControlId, int count) {
    HWND tabs = TabPageSet::Build(parentWindow, tabControlId, count);
    BuildTabs(kInputPages, static_cast<int>(sizeof kInputPages / sizeof kInputPages[0]), false);
    return tabs;
}

bool CreateNextWaitingPage() {
    if (mainTabs.CreateNextPage()) {
        return true;
    }
    // The sub-pages live in the input page: its creation built their set.
    return mainTabs.Page(kInputTabIndex) != nullptr && inputTabs.CreateNextPage();
}

void CreateWaitingPages() {
    while (CreateNextWaitingPage()) {
    }
}
