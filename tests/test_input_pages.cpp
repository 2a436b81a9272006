// The input pages in the real main dialog over fake keys and controllers, tick by tick: the capture
// they share, through the keyboard page; each page's own rules; the controller reads below them.
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
    void OpenPad(const std::string& entries, bool directInput = true) {
        fakeInput.createFails = !directInput;
        OpenInput(entries, 2);
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
                MSG msg = {};
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) {
                }
                EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT)) << "the quit was lost";
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

using GamepadPageTest = CaptureTest;

// The list holds the controllers that open, eight at most. Only a new pick opens a controller,
// and "OK" stores the last pick: focus, opening, closing and text typed over the field choose
// nothing. "更新" with every controller unplugged keeps the list, off; then it brings back the
// stored values. Analog input moves by stick: "走/跑" has no button then, also through
// "使用DirectInput" off and on.
TEST_F(GamepadPageTest, TheListAndTheEnablingRules) {
    ResetFakeInput(10);
    fakeInput.controllers[1].opens = false;
    OpenPad("PadDeviceNo=1 Analog=1");
    const std::string listed = Entries(page_, IDC_PAD_DEVICES) + ItemText(page_, IDC_PAD_DEVICES);
    EXPECT_EQ(listed, "Pad 1,Pad 3,Pad 4,Pad 5,Pad 6,Pad 7,Pad 8,Pad 9,Pad 3");
    fakeInput.controllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(Entries(page_, IDC_PAD_DEVICES) + ItemText(page_, IDC_PAD_DEVICES), listed);
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEVICES) || IsEnabled(page_, IDC_PAD_CONFIRM));
    ResetFakeInput(3);
    ClickButton(page_, IDC_PAD_UPDATE);
    SelectEntry(page_, IDC_PAD_DEVICES, 2);
    for (WORD code : {CBN_SETFOCUS, CBN_DROPDOWN, CBN_CLOSEUP, CBN_KILLFOCUS}) {
        Notify(page_, IDC_PAD_DEVICES, code);
    }
    HWND field = FindWindowExW(GetDlgItem(page_, IDC_PAD_DEVICES), nullptr, L"Edit", nullptr);
    SetFocus(field);
    SendMessageW(field, WM_CHAR, 'x', 1);
    EXPECT_EQ(fakeInput.controllers[2].creates, 2);  // the probe of "更新", then the pick
    for (bool useDirectInput : {false, true}) {
        SetCheck(page_, IDC_PAD_USE_DI, useDirectInput);
        EXPECT_EQ(IsEnabled(page_, IDC_PAD_CONFIRM), useDirectInput);
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN) ||
                     IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    }
    SetCheck(page_, IDC_PAD_ANALOG, false);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN) && IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    PressOk();
    ExpectStored("Control", "PadDeviceNo=2 Analog=0");
}

// Without DirectInput, or with it but no controller, only "更新" is usable; the check boxes show
// what is stored and "OK" keeps the controller choice.
TEST_F(GamepadPageTest, WithoutAControllerThePageIsOffAndKeepsTheStoredChoice) {
    for (int c = 0; c < 3; ++c) {
        const char* flag = c < 2 ? "1" : "0";
        const std::string stored =
            std::string("PadDeviceNo=3 UseGamaPad=") + flag + " Analog=" + flag;
        OpenPad(stored, c > 0);
        ClickButton(page_, IDC_PAD_UPDATE);  // still nothing attached
        EXPECT_TRUE(IsEnabled(page_, IDC_PAD_UPDATE));
        for (int id : {IDC_PAD_USE_DI, IDC_PAD_DEVICES, IDC_PAD_ANALOG, IDC_PAD_CONFIRM}) {
            EXPECT_FALSE(IsEnabled(page_, id)) << id;
        }
        EXPECT_EQ(IsChecked(page_, IDC_PAD_USE_DI) && IsChecked(page_, IDC_PAD_ANALOG), c < 2);
        PressOk();
        ExpectStored("Control", stored);
    }
}

// Of the buttons held the lowest is taken, swapped with the action that had it; a key cancels.
// A capture that ends after "使用DirectInput" was cleared leaves the capture buttons off.
TEST_F(GamepadPageTest, CaptureTakesTheLowestHeldButton) {
    const struct {
        uint32_t held;
        int key;  // 0: none
        bool padOn;
        const char* stored;
    } cases[] = {{(1u << 2) | (1u << 4), 0, true, "02010407060003050809"},
                 {1u << 5, 'Q', true, "01020407060003050809"},
                 {1u << 31, 0, false, "1f020407060003050809"}};
    for (const auto& c : cases) {
        ResetFakeInput(1);
        OpenPad("Analog=1");
        ClickButton(page_, IDC_PAD_CONFIRM);
        SetCheck(page_, IDC_PAD_USE_DI, c.padOn);
        Tick(page_);  // the first tick only acquires the controller
        fakeInput.controllers[0].held = c.held;
        Capture(0, {c.key});
        EXPECT_EQ(IsEnabled(page_, IDC_PAD_CONFIRM), c.padOn);
        PressOk();
        ExpectStored("Control", std::string("GamePad=") + c.stored);
    }
}

// Stored values out of range show as they are until "默认" brings the defaults back.
TEST_F(GamepadPageTest, RestoreBringsTheDefaults) {
    ResetFakeInput(2);
    OpenPad("PadDeviceNo=1 PadSensitivity=150 GamePad=20fe1fff060003050809 Analog=0");
    EXPECT_EQ(ItemText(page_, IDC_PAD_SENSITIVITY_VALUE) + ItemText(page_, IDC_PAD_CONFIRM_LABEL) +
                  ItemText(page_, IDC_PAD_WALK_RUN_LABEL),
              "150errorButton 32");
    ClickButton(page_, IDC_PAD_DEFAULTS);
    PressOk();
    ExpectStored("Control",
                 "GamePad=01020407060003050809 PadDeviceNo=0 Analog=1 PadSensitivity=60");
}

// A controller opened anew reports nothing held until read (the first poll only acquires it);
// one that stays lost is tried again on the next poll, not in an endless loop.
TEST(InputDevicesTest, PollsReadTheOpenControllerAndALostOneDoesNotHang) {
    DirectInputCreator previous = SetDirectInputCreator(FakeDirectInput8Create);
    ResetFakeInput(1);
    ASSERT_TRUE(InitDirectInput(GetDesktopWindow()));
    FakeController& pad = fakeInput.controllers[0];
    pad.held = (1u << 2) | (1u << 31);
    for (bool lost : {false, true, false}) {
        pad.staysLost = lost;
        UpdateDevice(0);
        PollJoystick();
        EXPECT_EQ(JoystickButtons(), 0u);
        PollJoystick();
        EXPECT_EQ(JoystickButtons(), lost ? 0u : pad.held);
    }
    ReleaseDirectInput();
    SetDirectInputCreator(previous);
    EXPECT_EQ(fakeInput.liveObjects, 0);
    // Wine's own dinput8.dll, loaded at run time: no controller is attached here.
    EXPECT_TRUE(InitDirectInput(GetDesktopWindow()));
    EXPECT_NE(GetModuleHandleA("dinput8.dll"), nullptr);
    ReleaseDirectInput();
}

}  // namespace
