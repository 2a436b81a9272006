// The input pages in the real main dialog over fake keys and controllers, tick by tick: the capture
// they share, through the keyboard page; each page's own rules; the controller reads below them.
#include "input/capture.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

class CaptureTest : public MainDialogTest {
  protected:
    void OpenInput(const std::string& entries, int subPage = 0) {
        OpenSection("Control", entries);
        ShowInputPage(subPage);
    }
    void ShowInputPage(int subPage) {  // as a player's clicks bring it in front
        SelectTab(dialog_, IDC_MAIN_TABS, 2);
        SelectTab(mainTabs.Page(2), IDC_INPUT_TABS, subPage);
        page_ = inputTabs.Page(subPage);
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

// A capture takes the next key once the one that started it is up, swaps it with the action that
// had it, and waits for it to go up; reserved keys and the mouse page's starting click are never
// taken. Entry 2 ("K") has no controls but is swapped and stored; 0xe6 has no name.
TEST_F(CaptureTest, KeyboardAndMouseCapturesWaitForTheKeysUpTakeTheNextAndSwap) {
    OpenInput("Keyboard=20114b41585a2628252742434d10e6 KeyboardUseDI=0 UseWheel=0 WheelReverse=1");
    FakeKeys::Hold({VK_RETURN});
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_KEY_CONFIRM);
    EXPECT_FALSE(IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "");
    EXPECT_EQ(GetFocus(), nullptr);  // no control takes the keys meanwhile
    Tick(page_);                     // nothing held: the capture goes on
    Capture(0, {'A'});               // "走/跑"'s key
    EXPECT_FALSE(AnyKeyHeld());
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME) + ItemText(page_, IDC_KEY_WALK_RUN_NAME),
              "ASpace");
    EXPECT_TRUE(IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(GetFocus(), GetDlgItem(page_, IDC_KEY_CONFIRM));
    for (int key : {VK_ESCAPE, VK_NUMPAD0, VK_RETURN, int{'1'}, int{'2'}, int{'3'}, int{'4'}}) {
        Capture(IDC_KEY_CONFIRM, {key});
        EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "A") << key;
    }
    Capture(IDC_KEY_CANCEL, {'Z'});    // swaps with "视角左旋转" only
    Capture(IDC_KEY_WALK_RUN, {'K'});  // entry 2's
    Capture(IDC_KEY_CONFIRM, {'5'});
    ShowInputPage(1);
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
    ExpectStored("Control",
                 "Keyboard=355a204b58112628252742434d10e6 KeyboardUseDI=0 Mouse=0201 UseWheel=0 "
                 "WheelReverse=1");
}

UINT_PTR WINAPI FailingTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    return 0;
}

// A capture whose timer cannot start ends at once: the page stays usable, nothing changes.
TEST_F(CaptureTest, ACaptureWhoseTimerFailsLeavesThePageUsable) {
    OpenInput("");
    CaptureTimerStarter previous = SetCaptureTimerStarter(FailingTimer);
    ClickButton(page_, IDC_KEY_CONFIRM);
    SetCaptureTimerStarter(previous);
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_TRUE(IsEnabled(page_, IDC_KEY_CONFIRM) && IsEnabled(page_, IDC_KEY_ENLARGE_MAP));
    EXPECT_EQ(ItemText(page_, IDC_KEY_CONFIRM_NAME), "Space");
}

// Acts run from the next wait that dispatches messages, by a thread timer.
void (*actDuringWait)();
VOID CALLBACK ActDuringWait(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    actDuringWait();
}

void CloseDialog() {
    DestroyWindow(mainDialog);
}

// A page out of sight, a restore, an update or the close ends a capture without a change, also
// while it waits for keys to go up; the close leaves the quit for the main loop.
TEST_F(CaptureTest, ACaptureEndsWithoutAChangeOutOfSightOnARestoreAndOnTheClose) {
    // The sub-page, its capture button, and what comes meanwhile.
    const std::tuple<int, int, void (*)()> cases[] = {
        {0, IDC_KEY_UP, [] { SelectTab(mainDialog, IDC_MAIN_TABS, 0); }},
        {0, IDC_KEY_UP, [] { SelectTab(mainTabs.Page(2), IDC_INPUT_TABS, 1); }},
        {0, IDC_KEY_UP, [] { ShowWindow(mainDialog, SW_MINIMIZE); }},
        {0, IDC_KEY_UP, [] { ClickButton(inputTabs.Page(0), IDC_KEYBOARD_DEFAULTS); }},
        {1, IDC_MOUSE_CANCEL, [] { ClickButton(inputTabs.Page(1), IDC_MOUSE_DEFAULTS); }},
        {2, IDC_PAD_COOKING, [] { ClickButton(inputTabs.Page(2), IDC_PAD_DEFAULTS); }},
        {2, IDC_PAD_COOKING, [] { ClickButton(inputTabs.Page(2), IDC_PAD_UPDATE); }},
        {0, IDC_KEY_CONFIRM, CloseDialog},
    };
    enum { kRunning, kStarting, kEnding };  // kEnding: the wait after a key was taken
    for (const auto& c : cases) {
        const auto& [subPage, button, act] = c;
        for (int when : {kRunning, kStarting, kEnding}) {
            if (when == kEnding && act != CloseDialog) {
                continue;  // anything else would come after the capture
            }
            SCOPED_TRACE(testing::Message() << (&c - cases) << " " << when);
            fakeControllers.assign(1, {});
            OpenInput("KeyboardUseDI=1", subPage);
            actDuringWait = act;
            if (when != kRunning) {
                SetTimer(nullptr, 0, 5, ActDuringWait);  // the first wait: for Q, or for Q up
            }
            if (when == kStarting) {
                FakeKeys::Hold({'Q'});
                FakeKeys::ReleaseAllSoon(60);
            }
            ClickButton(page_, button);
            if (when == kRunning) {
                act();
            }
            Tick(page_);  // nothing held: only sees whether it may go on
            EXPECT_EQ(
                keyboardPage.CaptureIndex() + mousePage.CaptureIndex() + gamepadPage.CaptureIndex(),
                when == kEnding ? -2 : -3);
            Capture(0, {'Q'});
            FakeKeys::ReleaseAll();
            MSG quit;
            if (!IsWindow(dialog_)) {
                EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "lost";
                continue;
            }
            EXPECT_FALSE(IsChild(page_, GetFocus()));
            PressOk();
            ExpectStored("Control", "Keyboard=20111b41585a2628252742434d1056");
        }
    }
}

// The list holds the controllers that open, eight at most, and an unplugging keeps it (off); a
// capture takes the picked controller's lowest button. Analog input leaves "走/跑" no button.
TEST_F(CaptureTest, GamepadListDefaultsCapturesAndEnablingRules) {
    fakeControllers.assign(10, {});
    fakeControllers[1].opens = false;
    OpenInput("PadDeviceNo=1 PadSensitivity=150 GamePad=20fe1fff060003050809 Analog=0", 2);
    const std::string listed = Entries(page_, IDC_PAD_DEVICES) + ItemText(page_, IDC_PAD_DEVICES);
    EXPECT_EQ(listed, "Pad 1,Pad 3,Pad 4,Pad 5,Pad 6,Pad 7,Pad 8,Pad 9,Pad 3");
    fakeControllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(Entries(page_, IDC_PAD_DEVICES) + ItemText(page_, IDC_PAD_DEVICES), listed);
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEVICES) || IsEnabled(page_, IDC_PAD_CONFIRM));
    fakeControllers.assign(3, {});
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(ItemText(page_, IDC_PAD_SENSITIVITY_VALUE) + ItemText(page_, IDC_PAD_CONFIRM_LABEL),
              "150error");
    ClickButton(page_, IDC_PAD_DEFAULTS);
    SelectEntry(page_, IDC_PAD_DEVICES, 2);
    HWND field = FindWindowExW(GetDlgItem(page_, IDC_PAD_DEVICES), nullptr, L"Edit", nullptr);
    SetFocus(field);
    SendMessageW(field, WM_CHAR, 'x', 1);
    // The capture button, the buttons held, the key held (0: none), "使用DirectInput" meanwhile: a
    // change opens the controller anew, which reports nothing held until read.
    const std::tuple<int, uint32_t, int, bool> captures[] = {
        {IDC_PAD_CONFIRM, (1u << 2) | (1u << 4), 0, true},
        {IDC_PAD_STAR_CUP, 1u << 31, 0, false},
        {IDC_PAD_CANCEL, 1u << 5, 'Q', true}};
    for (const auto& [button, held, key, padOn] : captures) {
        SetCheck(page_, IDC_PAD_USE_DI, true);
        ClickButton(page_, button);
        SetCheck(page_, IDC_PAD_USE_DI, padOn);
        Tick(page_);  // a controller opened anew is only acquired
        fakeControllers[2].held = held;
        Capture(0, {key});
        EXPECT_EQ(IsEnabled(page_, button), padOn);
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN) ||
                     IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    }
    SetCheck(page_, IDC_PAD_ANALOG, false);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN) && IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    PressOk();
    ExpectStored("Control",
                 "PadDeviceNo=2 Analog=0 PadSensitivity=60 GamePad=02010407061f03050809");
}

// A controller that stays lost is tried a few times a poll, not until it comes back.
TEST(InputDevicesTest, ALostControllerIsTriedAgainOnTheNextPollNotWithoutEnd) {
    SetDirectInputCreator(FakeDirectInput8Create);
    fakeControllers.assign(1, {});
    ASSERT_TRUE(InitDirectInput(GetDesktopWindow()));
    fakeControllers[0] = {true, 1000, 1u << 2};  // lost for the next 1000 tries
    UpdateDevice(0);
    for (int back : {0, 1}) {
        PollJoystick();
        PollJoystick();
        EXPECT_EQ(JoystickButtons(), back ? 1u << 2 : 0u);
        fakeControllers[0].lostAcquires = 0;
    }
    ReleaseDirectInput();
    SetDirectInputCreator(nullptr);
}

}  // namespace
