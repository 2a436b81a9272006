// The capture the input pages share, through the keyboard page, and the keyboard's and mouse's own
// rules: in the real main dialog over fake keys, tick by tick.
#include "input/capture.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

const char kDefaultKeys[] = "20111b41585a2628252742434d1056";

class CaptureTest : public MainDialogTest {
  protected:
    void OpenInput(const std::string& entries, int subPage = 0) {
        Open("Control", entries);
        page_ = ShowInputPage(subPage);
    }
    // Starts a capture unless button is 0, then holds the keys for one tick: they go up while
    // the page waits for them.
    void Capture(int button, std::initializer_list<int> pressed) {
        if (button != 0) {
            ClickButton(page_, button);
        }
        FakeKeys::Hold(pressed);
        FakeKeys::ReleaseAllSoon(20);
        Tick(page_);
    }
    HWND page_ = nullptr;
};

UINT_PTR WINAPI RefusedTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    return 0;
}

// A capture without its timer leaves the page as it was. One that runs waits for the key that
// pressed its button to go up, shows it captures, takes the next key (swapped with the action
// that had it) and waits for that one to go up before a control could get it.
TEST_F(CaptureTest, ACaptureWaitsForTheKeysUpTakesTheNextKeyAndSwaps) {
    OpenInput("KeyboardUseDI=0");
    CaptureTimerStarter previous = SetCaptureTimerStarter(RefusedTimer);
    ClickButton(page_, IDC_KEY_CONFIRM);
    SetCaptureTimerStarter(previous);
    EXPECT_TRUE(IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "Space");
    FakeKeys::Hold({VK_RETURN});
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_KEY_CONFIRM);
    EXPECT_FALSE(AnyKeyHeld());
    EXPECT_FALSE(IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "");
    EXPECT_EQ(GetFocus(), nullptr);  // no control takes the keys meanwhile
    Tick(page_);                     // nothing held: the capture goes on
    Capture(0, {'A'});               // "走/跑"'s key
    EXPECT_FALSE(AnyKeyHeld());
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME) + ItemText(page_, IDC_KEY_WALK_RUN_NAME) +
                  ItemText(page_, IDC_KEY_CANCEL_NAME),
              "ASpaceCtrl");
    EXPECT_TRUE(IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(GetFocus(), GetDlgItem(page_, IDC_KEY_CONFIRM));
    Capture(0, {'B'});  // a late tick takes nothing
    PressOk();
    ExpectStored("Control", "Keyboard=41111b20585a2628252742434d1056 KeyboardUseDI=0");
}

// Acts run from the next wait that dispatches messages, by a thread timer.
void (*actDuringWait)(HWND);
HWND pageDuringWait;
VOID CALLBACK ActDuringWait(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    actDuringWait(pageDuringWait);
}

void CloseDialog(HWND) {
    DestroyWindow(mainDialog);
}

// What ends a capture without a change, arriving while it runs or while it waits for the keys up
// before it starts: a page the player cannot see takes nothing and never gets the focus; a
// restore or update ends the capture before its work; a close leaves the quit for the main loop,
// also from the wait after a key was taken.
TEST_F(CaptureTest, ACaptureEndsWithoutAChangeOutOfSightOnARestoreAndOnTheClose) {
    const struct {
        int subPage, button;
        void (*act)(HWND page);
    } cases[] = {
        {0, IDC_KEY_UP, [](HWND) { SelectTab(mainDialog, IDC_MAIN_TABS, 0); }},
        {0, IDC_KEY_UP, [](HWND p) { SelectTab(GetParent(p), IDC_INPUT_TABS, 1); }},
        {0, IDC_KEY_UP, [](HWND) { ShowWindow(mainDialog, SW_MINIMIZE); }},
        {0, IDC_KEY_UP, [](HWND p) { ClickButton(p, IDC_KEYBOARD_DEFAULTS); }},
        {1, IDC_MOUSE_CANCEL, [](HWND p) { ClickButton(p, IDC_MOUSE_DEFAULTS); }},
        {2, IDC_PAD_COOKING, [](HWND p) { ClickButton(p, IDC_PAD_DEFAULTS); }},
        {2, IDC_PAD_COOKING, [](HWND p) { ClickButton(p, IDC_PAD_UPDATE); }},
        {0, IDC_KEY_CONFIRM, CloseDialog},
    };
    enum { kRunning, kStarting, kEnding };  // kEnding: the wait after a key was taken
    for (const auto& c : cases) {
        for (int when : {kRunning, kStarting, kEnding}) {
            if (when == kEnding && c.act != CloseDialog) {
                continue;  // anything else would come after the capture
            }
            SCOPED_TRACE(testing::Message() << (&c - cases) << " " << when);
            ResetFakeInput(1);
            OpenInput("KeyboardUseDI=1", c.subPage);
            actDuringWait = c.act;
            pageDuringWait = page_;
            if (when == kStarting) {
                SetTimer(nullptr, 0, 5, ActDuringWait);
                FakeKeys::Hold({'Q'});
                FakeKeys::ReleaseAllSoon(60);
            }
            ClickButton(page_, c.button);
            if (when == kRunning) {
                c.act(page_);
            }
            Tick(page_);  // nothing held: only sees whether it may go on
            const int capturing = keyboardPage.CaptureIndex() + mousePage.CaptureIndex() +
                                  gamepadPage.CaptureIndex() + 3;
            EXPECT_EQ(capturing, when == kEnding ? 1 : 0);
            if (when == kEnding) {
                SetTimer(nullptr, 0, 5, ActDuringWait);
            }
            Capture(0, {'Q'});
            FakeKeys::ReleaseAll();
            if (!IsWindow(dialog_)) {
                MSG msg;
                ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0) << "the quit was lost";
                continue;
            }
            EXPECT_TRUE(IsEnabled(page_, c.button));
            EXPECT_FALSE(IsChild(page_, GetFocus()));
            PressOk();
            EXPECT_EQ(Stored("Control", "Keyboard"), kDefaultKeys);
        }
    }
}

// Reserved keys end the capture without a change; other digits are ordinary keys. Entry 2 ("K"
// here) has no controls but takes part in swaps and is stored; 0xe6 has no name, kept as loaded.
TEST_F(CaptureTest, KeyboardReservedKeysAndEntryTwo) {
    OpenInput("Keyboard=20114b41585a2628252742434d10e6");
    for (int key : {VK_ESCAPE, VK_NUMPAD0, VK_RETURN, int{'1'}, int{'2'}, int{'3'}, int{'4'}}) {
        Capture(IDC_KEY_CONFIRM, {key});
        EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "Space") << key;
    }
    EXPECT_EQ(GetDlgItem(page_, IDC_KEY_ESCAPE), nullptr);
    Capture(IDC_KEY_CANCEL, {'Z'});    // swaps with "视角左旋转" only
    Capture(IDC_KEY_WALK_RUN, {'K'});  // entry 2's
    Capture(IDC_KEY_CONFIRM, {'5'});
    PressOk();
    EXPECT_EQ(Stored("Control", "Keyboard"), "355a414b58112628252742434d10e6");
}

// The click on the capture button is not taken; a key cancels; of two buttons the left one is
// taken. "视角旋转" (1046) is enabled only with "使用滚轮" (1044), and stored as shown.
TEST_F(CaptureTest, MouseTakesAButtonButNotTheStartingClick) {
    OpenInput("UseWheel=0 WheelReverse=1", 1);
    FakeKeys::Hold({VK_LBUTTON});
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_MOUSE_CANCEL);
    Tick(page_);
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CANCEL_NAME), "");  // still capturing
    Capture(0, {'A', VK_MBUTTON});
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CANCEL_NAME), "R-Button");
    Capture(IDC_MOUSE_CANCEL, {VK_RBUTTON, VK_LBUTTON});
    EXPECT_EQ(ItemText(page_, IDC_MOUSE_CONFIRM_NAME), "R-Button");
    for (bool wheel : {false, true, false}) {
        SetCheck(page_, IDC_MOUSE_USE_WHEEL, wheel);
        EXPECT_EQ(IsEnabled(page_, IDC_MOUSE_WHEEL_VIEW), wheel);
    }
    PressOk();
    ExpectStored("Control", "Mouse=0201 UseWheel=0 WheelReverse=1");
}

}  // namespace
