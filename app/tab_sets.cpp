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
    return tabs;
}

HWND InputTabSet::Build(HWND parentWindow, int tabControlId, int count) {
    HWND tabs = TabPageSet::Build(parentWindow, tabControlId, count);
    BuildTabs(kInputPages, static_cast<int>(sizeof kInputPages / sizeof kInputPages[0]), false);
    return tabs;
}
