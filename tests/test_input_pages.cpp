// The capture the input pages share, through the keyboard page, and the keyboard's and mouse's own
// rules: in the real main dialog over fake keys, tick by tick (real input in the end-to-end run).
#include <functional>
#include <vector>

#include "input/capture.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "tests/support/main_dialog_test.h"
#include "tests/trace_recorder.h"

namespace {

class CaptureTest : public MainDialogTest {
  protected:
    void OpenInput(const std::string& control = "", int subPage = 0) {
        Open(control.empty() ? "" : "[Control]\r\n" + control);
        page_ = ShowInputPage(subPage);
    }
    HWND page_ = nullptr;
};

// Presses the keys and ticks once; they are up again while the page waits for it.
void PressAndTick(HWND page, std::initializer_list<int> pressed) {
    FakeKeys::Hold(pressed);
    FakeKeys::ReleaseAllSoon(20);
    Tick(page);
}

// Starts a capture of the action behind button, presses the keys and ticks once.
void Capture(HWND page, int button, std::initializer_list<int> pressed) {
    ClickButton(page, button);
    PressAndTick(page, pressed);
}

std::vector<int> Keys() {
    return std::vector<int>(keyboardPage.Keys(), keyboardPage.Keys() + kKeyboardSlots);
}

// Run once from the next wait that dispatches messages, by a thread timer.
std::function<void()> duringWait;
VOID CALLBACK RunDuringWait(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    duringWait();
}

const int kKeyButtons[] = {
    IDC_KEY_UP,         IDC_KEY_LEFT,        IDC_KEY_CONFIRM, IDC_KEY_TURN_LEFT,  IDC_KEY_WALK_RUN,
    IDC_KEY_STAR_CUP,   IDC_KEY_STONE_MAP,   IDC_KEY_DOWN,    IDC_KEY_RIGHT,      IDC_KEY_CANCEL,
    IDC_KEY_TURN_RIGHT, IDC_KEY_PLACE_NAMES, IDC_KEY_COOKING, IDC_KEY_ENLARGE_MAP};

TEST_F(CaptureTest, ACaptureWaitsTakesTheNextKeyAndSwapsAndARestoreBringsTheDefaults) {
    OpenInput("KeyboardUseDI=0\r\n");
    FakeKeys::Hold({VK_RETURN, 'Q'});  // what pressed the button: released while it waits
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_KEY_CONFIRM);
    EXPECT_FALSE(AnyKeyHeld());
    // Capturing: every capture button disabled, the label empty, no focus anywhere.
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);
    for (int id : kKeyButtons) {
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "");
    EXPECT_EQ(GetFocus(), nullptr);
    Tick(page_);  // nothing held: the capture goes on
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);

    PressAndTick(page_, {'A'});  // held by "走/跑"
    EXPECT_FALSE(AnyKeyHeld());  // waited for before a control could get it
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "A");
    EXPECT_EQ(ItemText(page_, IDC_KEY_WALK_RUN_NAME), "Space");
    EXPECT_EQ(GetFocus(), GetDlgItem(page_, IDC_KEY_CONFIRM));
    for (int id : kKeyButtons) {
        EXPECT_TRUE(IsEnabled(page_, id)) << id;
    }
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_FALSE(KillTimer(page_, 1)) << "the capture timer still runs";
    Tick(page_);  // a late tick changes nothing

    ClickButton(page_, IDC_KEYBOARD_DEFAULTS);
    const int labels[] = {IDC_KEY_CONFIRM_NAME,     IDC_KEY_CANCEL_NAME,     IDC_KEY_WALK_RUN_NAME,
                          IDC_KEY_TURN_RIGHT_NAME,  IDC_KEY_TURN_LEFT_NAME,  IDC_KEY_UP_NAME,
                          IDC_KEY_DOWN_NAME,        IDC_KEY_LEFT_NAME,       IDC_KEY_RIGHT_NAME,
                          IDC_KEY_STAR_CUP_NAME,    IDC_KEY_COOKING_NAME,    IDC_KEY_STONE_MAP_NAME,
                          IDC_KEY_PLACE_NAMES_NAME, IDC_KEY_ENLARGE_MAP_NAME};
    std::string shown;
    for (int id : labels) {
        shown += ItemText(page_, id) + " ";
    }
    EXPECT_EQ(shown, "Space Ctrl A X Z Up Down Left Right B C M Shift V ");
    PressOk();
    ExpectStored("Control", "Keyboard=20111b41585a2628252742434d1056 KeyboardUseDI=1");
}

void CloseDialog(HWND) {
    DestroyWindow(mainDialog);
}

// What ends a capture without a change, arriving while it runs or while it waits for the keys up
// before it starts: a page the player cannot see takes nothing and never gets the focus; a
// restore or update ends the capture before its work; a close leaves the dead windows alone and
// the quit for the main loop, also from the wait after a key was taken.
TEST_F(CaptureTest, ACaptureEndsWithoutAChangeOutOfSightOnARestoreAndOnTheClose) {
    const struct {
        const char* what;
        int subPage, button;
        void (*act)(HWND page);
    } cases[] = {
        {"main tab", 0, IDC_KEY_UP, [](HWND) { SelectTab(mainDialog, IDC_MAIN_TABS, 0); }},
        {"sub-tab", 0, IDC_KEY_UP, [](HWND p) { SelectTab(GetParent(p), IDC_INPUT_TABS, 1); }},
        {"minimised", 0, IDC_KEY_UP, [](HWND) { ShowWindow(mainDialog, SW_MINIMIZE); }},
        {"restore keys", 0, IDC_KEY_UP, [](HWND p) { ClickButton(p, IDC_KEYBOARD_DEFAULTS); }},
        {"restore mouse", 1, IDC_MOUSE_CANCEL, [](HWND p) { ClickButton(p, IDC_MOUSE_DEFAULTS); }},
        {"restore pad", 2, IDC_PAD_COOKING, [](HWND p) { ClickButton(p, IDC_PAD_DEFAULTS); }},
        {"update pad", 2, IDC_PAD_COOKING, [](HWND p) { ClickButton(p, IDC_PAD_UPDATE); }},
        {"close", 0, IDC_KEY_CONFIRM, CloseDialog},
    };
    enum { kRunning, kStarting, kEnding };  // kEnding: the wait after a key was taken
    for (const auto& c : cases) {
        for (int when : {kRunning, kStarting, kEnding}) {
            if (when == kEnding && c.act != CloseDialog) {
                continue;  // anything else would come after the capture
            }
            SCOPED_TRACE(std::string(c.what) + " " + std::to_string(when));
            ResetFakeInput(NamedControllers(1));
            OpenInput("", c.subPage);
            const std::vector<int> keys = Keys();
            duringWait = [&] { c.act(page_); };
            if (when == kStarting) {
                SetTimer(nullptr, 0, 5, RunDuringWait);
                FakeKeys::Hold({'Q'});
                FakeKeys::ReleaseAllSoon(60);
            }
            ClickButton(page_, c.button);
            if (when == kRunning) {
                c.act(page_);
            }
            Tick(page_);  // nothing held: only sees whether it may go on
            if (when == kEnding) {
                SetTimer(nullptr, 0, 5, RunDuringWait);
            } else {
                EXPECT_EQ(keyboardPage.CaptureIndex() + mousePage.CaptureIndex() +
                              gamepadPage.CaptureIndex(),
                          -3);  // no capture runs
                EXPECT_FALSE(KillTimer(page_, 1)) << "the capture timer still runs";
            }
            PressAndTick(page_, {'Q'});
            FakeKeys::ReleaseAll();
            if (!IsWindow(dialog_)) {
                MSG msg;
                ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0) << "the quit was lost";
                continue;
            }
            EXPECT_EQ(Keys(), keys);
            EXPECT_TRUE(IsEnabled(page_, c.button));
            EXPECT_FALSE(IsChild(page_, GetFocus()));
        }
    }
}

UINT_PTR WINAPI RefusedTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return 0;
}

TEST_F(CaptureTest, AFailedTimerIsTracedAndLeavesThePageUsable) {
    OpenInput();
    TraceRecorder trace;
    CaptureTimerStarter previous = SetCaptureTimerStarter(RefusedTimer);
    ClickButton(page_, IDC_KEY_CONFIRM);
    SetCaptureTimerStarter(previous);
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_TRUE(IsEnabled(page_, IDC_KEY_CONFIRM) && IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "Space");
    EXPECT_EQ(trace.lines(), std::vector<std::string>{"Capture: SetTimer failed (1816)\n"});
}

// What one tick takes for "决定/会话" (Space) when keys are down. The scan order itself is the
// key scan's test; here, what the page does with its answer.
TEST_F(CaptureTest, KeyboardReservedKeysEndTheCaptureWithoutAChange) {
    OpenInput();
    const std::vector<int> defaults = Keys();
    for (int reserved : std::initializer_list<int>{VK_ESCAPE, VK_NUMPAD0, VK_RETURN, '1', '2', '3',
                                                   '4', VK_SPACE}) {
        Capture(page_, IDC_KEY_CONFIRM, {reserved});  // and Space, the action's own key
        EXPECT_EQ(keyboardPage.CaptureIndex(), -1) << reserved;
        EXPECT_EQ(Keys(), defaults) << reserved;
        EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "Space") << reserved;
    }
    const struct {
        std::initializer_list<int> held;
        int stored;
    } taken[] = {
        {{'5'}, '5'},                       // other digits are ordinary keys
        {{'A', VK_SPACE, 192}, 192},        // "@" before Space before "A"
        {{VK_LSHIFT, VK_SHIFT}, VK_SHIFT},  // a modifier alone, stored generic
    };
    for (const auto& c : taken) {
        Capture(page_, IDC_KEY_CONFIRM, c.held);
        EXPECT_EQ(keyboardPage.Keys()[0], c.stored);
    }
    EXPECT_EQ(keyboardPage.Keys()[13], 192);  // "地名显示" gave up Shift for "@"
}

TEST_F(CaptureTest, KeyboardEntryTwoHasNoControlsButTakesPartInSwapsAndIsStored) {
    // Entry 2 holds "K" here; Ctrl and "A" are ordinary; 0xe6 has no name, kept as loaded.
    OpenInput("Keyboard=20114b41585a2628252742434d10e6\r\nKeyboardUseDI=0\r\n");
    EXPECT_EQ(GetDlgItem(page_, IDC_KEY_ESCAPE), nullptr);
    EXPECT_EQ(GetDlgItem(page_, IDC_KEY_ESCAPE_NAME), nullptr);
    EXPECT_FALSE(IsChecked(page_, IDC_KEYBOARD_USE_DI));
    Capture(page_, IDC_KEY_CANCEL, {'Z'});  // swaps with "视角左旋转" only
    EXPECT_EQ(keyboardPage.Keys()[2], 'K');
    Capture(page_, IDC_KEY_WALK_RUN, {'K'});
    EXPECT_EQ(keyboardPage.Keys()[2], 'A');
    EXPECT_EQ(ItemText(page_, IDC_KEY_WALK_RUN_NAME), "K");
    PressOk();
    ExpectStored("Control", "Keyboard=205a414b58112628252742434d10e6 KeyboardUseDI=0");
}

TEST_F(CaptureTest, MouseTakesTheFirstButtonButNotTheStartingClickAndAKeyCancels) {
    OpenInput("", 1);
    FakeKeys::Hold({VK_LBUTTON});  // the click on the capture button, still down
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_MOUSE_CANCEL);
    Tick(page_);
    EXPECT_EQ(mousePage.CaptureIndex(), 1);
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CANCEL_NAME), "");
    PressAndTick(page_, {'A', VK_MBUTTON});  // a key wins over a button
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CANCEL_NAME), "R-Button");
    Capture(page_, IDC_MOUSE_CANCEL, {VK_RBUTTON, VK_LBUTTON});  // together: the left one
    EXPECT_FALSE(AnyMouseButtonHeld());  // waited for before a control could get it
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CANCEL_NAME), "L-Button");
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CONFIRM_NAME), "R-Button");
    Capture(page_, IDC_MOUSE_CONFIRM, {VK_MBUTTON});
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CONFIRM_NAME), "M-Button");
    Capture(page_, IDC_MOUSE_CANCEL, {VK_LBUTTON});  // its own button
    PressOk();
    EXPECT_EQ(Stored("Control", "Mouse"), "0401");
}

TEST_F(CaptureTest, MouseSwitchesAndCodesWithoutANameAreKeptUntilRestored) {
    OpenInput("UseWheel=1\r\nWheelReverse=1\r\nMouseUseDI=0\r\nMouse=05e6\r\n", 1);
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CONFIRM_NAME), "");  // 5 and 230 have no name
    EXPECT_TRUE(IsEnabled(page_, IDC_MOUSE_WHEEL_VIEW));
    SetCheck(page_, IDC_MOUSE_USE_WHEEL, false);
    EXPECT_FALSE(IsEnabled(page_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_TRUE(IsChecked(page_, IDC_MOUSE_WHEEL_VIEW));
    PressOk();
    ExpectStored("Control", "Mouse=05e6 UseWheel=0 WheelReverse=1 MouseUseDI=0");
    OpenInput("UseWheel=0\r\nWheelReverse=1\r\nMouseUseDI=0\r\nMouse=05e6\r\n", 1);
    ClickButton(page_, IDC_MOUSE_DEFAULTS);
    EXPECT_TRUE(IsEnabled(page_, IDC_MOUSE_WHEEL_VIEW));
    PressOk();
    ExpectStored("Control", "Mouse=0102 UseWheel=1 WheelReverse=0 MouseUseDI=1");
}

}  // namespace
