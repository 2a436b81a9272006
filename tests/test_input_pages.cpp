// The keyboard and mouse pages inside the real main dialog, created in-process: captures driven
// by a fake key-state source tick by tick, once each by real input, and what "OK" stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/tab_sets.h"
#include "common/runtime.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "resource.h"
#include "settings/settings_record.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"

namespace {

const char kDefaultKeys[] = "20111b41585a2628252742434d1056";

class InputPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=ipt");
        path_ = ModuleFolder() + "save\\qr6_win3.ipt";
        DeleteFileA(path_.c_str());
    }
    void TearDown() override {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
    }
    void Open(const std::string& control = std::string()) {
        if (!control.empty()) {
            CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
            ASSERT_TRUE(WriteFileText(path_, "[Control]\r\n" + control));
        }
        dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        mainDialog = dialog_;
        PumpPending();
        keyboard_ = inputTabs.Page(0);
        mouse_ = inputTabs.Page(1);
        ASSERT_NE(keyboard_, nullptr);
        ASSERT_NE(mouse_, nullptr);
    }
    std::string PressOkAndRead(const char* key) {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
        return IniValue(ReadFileText(path_), "Control", key);
    }

    HWND dialog_ = nullptr;
    HWND keyboard_ = nullptr;
    HWND mouse_ = nullptr;
    std::string path_;
};

std::string Label(HWND page, int id) {
    char text[64] = {};
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

void Tick(HWND page) {
    SendMessageW(page, WM_TIMER, 1, 0);
}

// Starts a capture of the action behind button, lets the fake keys be pressed and ticks once.
void Capture(HWND page, int button, std::initializer_list<int> pressed) {
    ClickButton(page, button);
    FakeKeys::Hold(pressed);
    FakeKeys::ReleaseAllSoon(20);  // up again while the page waits for it
    Tick(page);
}

std::vector<int> KeyboardKeys() {
    return std::vector<int>(keyboardPage.Keys(), keyboardPage.Keys() + kKeyboardSlots);
}

const int kCaptureButtons[] = {
    IDC_KEY_UP,         IDC_KEY_LEFT,        IDC_KEY_CONFIRM, IDC_KEY_TURN_LEFT,  IDC_KEY_WALK_RUN,
    IDC_KEY_STAR_CUP,   IDC_KEY_STONE_MAP,   IDC_KEY_DOWN,    IDC_KEY_RIGHT,      IDC_KEY_CANCEL,
    IDC_KEY_TURN_RIGHT, IDC_KEY_PLACE_NAMES, IDC_KEY_COOKING, IDC_KEY_ENLARGE_MAP};

TEST_F(InputPagesTest, ACaptureTakesTheNextKeyAndSwapsWithTheActionThatHeldIt) {
    FakeKeys keys;
    Open();
    ClickButton(keyboard_, IDC_KEY_CONFIRM);
    // Capturing: every capture button disabled, the label empty, no focus anywhere.
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);
    for (int id : kCaptureButtons) {
        EXPECT_FALSE(IsEnabled(keyboard_, id)) << id;
    }
    EXPECT_EQ(Label(keyboard_, IDC_KEY_CONFIRM_NAME), "");
    EXPECT_EQ(GetFocus(), nullptr);
    Tick(keyboard_);  // nothing held: the capture goes on
    EXPECT_EQ(keyboardPage.CaptureIndex(), 0);

    FakeKeys::Hold({'A'});         // held by "走/跑"
    FakeKeys::ReleaseAllSoon(20);  // up again while the page waits for it
    Tick(keyboard_);
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_EQ(Label(keyboard_, IDC_KEY_CONFIRM_NAME), "A");
    EXPECT_EQ(Label(keyboard_, IDC_KEY_WALK_RUN_NAME), "Space");
    EXPECT_EQ(GetFocus(), GetDlgItem(keyboard_, IDC_KEY_CONFIRM));
    for (int id : kCaptureButtons) {
        EXPECT_TRUE(IsEnabled(keyboard_, id)) << id;
    }
    Tick(keyboard_);  // a late tick after the end changes nothing
    EXPECT_EQ(PressOkAndRead("Keyboard"), "41111b20585a2628252742434d1056");
}

TEST_F(InputPagesTest, WhatATickTakesWhenKeysAreDown) {
    FakeKeys keys;
    Open();
    struct Case {
        std::initializer_list<int> held;
        int stored;
    };
    const Case cases[] = {
        {{VK_SPACE}, VK_SPACE},             // the action's own key: nothing changes
        {{VK_LSHIFT, VK_SHIFT}, VK_SHIFT},  // a modifier alone, stored generic
        {{VK_SHIFT, 'K'}, VK_SHIFT},        // no combinations
        {{'A', VK_SPACE, 192}, 192},        // "@" before Space before "A"
        {{'A', VK_SPACE}, VK_SPACE},
        {{VK_F24, VK_LBUTTON, 'Q'}, 'Q'},  // never-reported codes are passed over
    };
    for (const Case& c : cases) {
        keyboardPage.RestoreDefaults();
        Capture(keyboard_, IDC_KEY_CONFIRM, c.held);
        EXPECT_EQ(keyboardPage.Keys()[0], c.stored) << *c.held.begin();
    }
    // "地名显示" gives up Shift and takes the captured action's Space.
    keyboardPage.RestoreDefaults();
    Capture(keyboard_, IDC_KEY_CONFIRM, {VK_LSHIFT, VK_SHIFT});
    EXPECT_EQ(keyboardPage.Keys()[13], VK_SPACE);
}

TEST_F(InputPagesTest, ReservedKeysEndTheCaptureWithoutAChange) {
    FakeKeys keys;
    Open();
    const std::vector<int> before = KeyboardKeys();
    for (int reserved :
         {VK_ESCAPE, VK_NUMPAD0, VK_RETURN, int{'1'}, int{'2'}, int{'3'}, int{'4'}}) {
        Capture(keyboard_, IDC_KEY_TURN_RIGHT, {reserved});
        EXPECT_EQ(keyboardPage.CaptureIndex(), -1) << reserved;
        EXPECT_EQ(KeyboardKeys(), before) << reserved;
        EXPECT_EQ(Label(keyboard_, IDC_KEY_TURN_RIGHT_NAME), "X") << reserved;
        EXPECT_TRUE(IsEnabled(keyboard_, IDC_KEY_TURN_RIGHT));
    }
    // Digits other than 1 to 4 are ordinary keys.
    Capture(keyboard_, IDC_KEY_TURN_RIGHT, {'5'});
    EXPECT_EQ(Label(keyboard_, IDC_KEY_TURN_RIGHT_NAME), "5");
}

TEST_F(InputPagesTest, AKeyHeldWhenTheCaptureStartsIsNotTaken) {
    FakeKeys keys;
    Open();
    FakeKeys::Hold({VK_RETURN, 'Q'});
    FakeKeys::ReleaseAllSoon(50);  // released while the button's handler waits
    ClickButton(keyboard_, IDC_KEY_CANCEL);
    EXPECT_FALSE(AnyKeyHeld());
    Tick(keyboard_);
    EXPECT_EQ(keyboardPage.CaptureIndex(), 1);
    EXPECT_EQ(Label(keyboard_, IDC_KEY_CANCEL_NAME), "");
    FakeKeys::Hold({'W'});
    FakeKeys::ReleaseAllSoon(20);  // up again while the page waits for it
    Tick(keyboard_);
    EXPECT_EQ(Label(keyboard_, IDC_KEY_CANCEL_NAME), "W");
}

TEST_F(InputPagesTest, EntryTwoHasNoControlsButTakesPartInSwapsAndIsStored) {
    FakeKeys keys;
    // Entry 2 holds "K" here; Ctrl and "A" are ordinary.
    Open("Keyboard=20114b41585a2628252742434d1056\r\nKeyboardUseDI=0\r\n");
    EXPECT_EQ(GetDlgItem(keyboard_, IDC_KEY_ESCAPE), nullptr);
    EXPECT_EQ(GetDlgItem(keyboard_, IDC_KEY_ESCAPE_NAME), nullptr);
    EXPECT_FALSE(IsChecked(keyboard_, IDC_KEYBOARD_USE_DI));
    Capture(keyboard_, IDC_KEY_CANCEL, {'Z'});  // swaps with "视角左旋转" only
    EXPECT_EQ(keyboardPage.Keys()[2], 'K');
    Capture(keyboard_, IDC_KEY_WALK_RUN, {'K'});
    EXPECT_EQ(keyboardPage.Keys()[2], 'A');
    EXPECT_EQ(Label(keyboard_, IDC_KEY_WALK_RUN_NAME), "K");
    EXPECT_EQ(PressOkAndRead("Keyboard"), "205a414b58112628252742434d1056");
    EXPECT_EQ(IniValue(ReadFileText(path_), "Control", "KeyboardUseDI"), "0");
}

TEST_F(InputPagesTest, RestoreDefaultsShowsTheDefaultKeys) {
    // 0xe6 has no name: shown empty, stored back unchanged until restored.
    Open("Keyboard=e6e6e6e6e6e6e6e6e6e6e6e6e6e6e6\r\nKeyboardUseDI=0\r\n");
    EXPECT_EQ(Label(keyboard_, IDC_KEY_CONFIRM_NAME), "");
    ClickButton(keyboard_, IDC_KEYBOARD_DEFAULTS);
    const int labels[] = {IDC_KEY_CONFIRM_NAME,     IDC_KEY_CANCEL_NAME,     IDC_KEY_WALK_RUN_NAME,
                          IDC_KEY_TURN_RIGHT_NAME,  IDC_KEY_TURN_LEFT_NAME,  IDC_KEY_UP_NAME,
                          IDC_KEY_DOWN_NAME,        IDC_KEY_LEFT_NAME,       IDC_KEY_RIGHT_NAME,
                          IDC_KEY_STAR_CUP_NAME,    IDC_KEY_COOKING_NAME,    IDC_KEY_STONE_MAP_NAME,
                          IDC_KEY_PLACE_NAMES_NAME, IDC_KEY_ENLARGE_MAP_NAME};
    const char* names[] = {"Space", "Ctrl",  "A", "X", "Z", "Up",    "Down",
                           "Left",  "Right", "B", "C", "M", "Shift", "V"};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(Label(keyboard_, labels[i]), names[i]) << i;
    }
    EXPECT_TRUE(IsChecked(keyboard_, IDC_KEYBOARD_USE_DI));
    EXPECT_EQ(PressOkAndRead("Keyboard"), kDefaultKeys);
}

TEST_F(InputPagesTest, MouseCaptureTakesTheFirstButtonAndSwaps) {
    FakeKeys keys;
    Open();
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    ClickButton(mouse_, IDC_MOUSE_CANCEL);
    EXPECT_FALSE(IsEnabled(mouse_, IDC_MOUSE_CONFIRM));
    EXPECT_FALSE(IsEnabled(mouse_, IDC_MOUSE_CANCEL));
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CANCEL_NAME), "");
    FakeKeys::Hold({VK_RBUTTON, VK_LBUTTON});  // together: the left one
    FakeKeys::ReleaseAllSoon(20);              // up again while the page waits for it
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CANCEL_NAME), "L-Button");
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "R-Button");
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_CONFIRM));
    EXPECT_EQ(GetFocus(), GetDlgItem(mouse_, IDC_MOUSE_CANCEL));

    Capture(mouse_, IDC_MOUSE_CONFIRM, {VK_MBUTTON});
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "M-Button");
    Capture(mouse_, IDC_MOUSE_CANCEL, {VK_LBUTTON});  // its own button
    EXPECT_EQ(mousePage.Buttons()[0], VK_MBUTTON);
    EXPECT_EQ(mousePage.Buttons()[1], VK_LBUTTON);

    SetCheck(mouse_, IDC_MOUSE_USE_WHEEL, false);
    SetCheck(mouse_, IDC_MOUSE_WHEEL_VIEW, true);
    ClickButton(mouse_, IDC_MOUSE_DEFAULTS);
    EXPECT_TRUE(IsChecked(mouse_, IDC_MOUSE_USE_WHEEL));
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_FALSE(IsChecked(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    EXPECT_EQ(PressOkAndRead("Mouse"), "0102");
}

TEST_F(InputPagesTest, AKeyCancelsAMouseCaptureAndTheStartingClickIsNotTaken) {
    FakeKeys keys;
    Open();
    FakeKeys::Hold({VK_LBUTTON});  // the click on the capture button, still down
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(mouse_, IDC_MOUSE_CONFIRM);
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), 0);
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "");

    FakeKeys::Hold({'A', VK_RBUTTON});  // a key wins over a button
    FakeKeys::ReleaseAllSoon(20);       // up again while the page waits for it
    Tick(mouse_);
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "L-Button");
    EXPECT_EQ(mousePage.Buttons()[0], VK_LBUTTON);
    EXPECT_EQ(mousePage.Buttons()[1], VK_RBUTTON);
}

TEST_F(InputPagesTest, MouseSwitchesAndCodesWithoutANameAreKeptAsLoaded) {
    Open("UseWheel=1\r\nWheelReverse=1\r\nMouseUseDI=0\r\nMouse=05e6\r\n");
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "");  // 5 and 230 have no name
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CANCEL_NAME), "");
    EXPECT_TRUE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_FALSE(IsChecked(mouse_, IDC_MOUSE_USE_DI));
    SetCheck(mouse_, IDC_MOUSE_USE_WHEEL, false);
    EXPECT_FALSE(IsEnabled(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_TRUE(IsChecked(mouse_, IDC_MOUSE_WHEEL_VIEW));
    EXPECT_EQ(PressOkAndRead("Mouse"), "05e6");
    std::string file = ReadFileText(path_);
    EXPECT_EQ(IniValue(file, "Control", "UseWheel"), "0");
    EXPECT_EQ(IniValue(file, "Control", "WheelReverse"), "1");
    EXPECT_EQ(IniValue(file, "Control", "MouseUseDI"), "0");
}

// The main dialog closes while a page waits for a release: the wait ends, nothing touches the
// dead windows, and the quit still reaches the main loop.
TEST_F(InputPagesTest, ClosingDuringAWaitEndsItCleanly) {
    FakeKeys keys;
    struct Case {
        bool mouse;
        bool waitAtStart;  // else the wait after a capture
    };
    for (const Case c :
         {Case{false, true}, Case{false, false}, Case{true, true}, Case{true, false}}) {
        Open();
        HWND page = c.mouse ? mouse_ : keyboard_;
        int button = c.mouse ? IDC_MOUSE_CONFIRM : IDC_KEY_CONFIRM;
        if (c.waitAtStart) {
            FakeKeys::Hold({'Q'});
        } else {
            ClickButton(page, button);
            FakeKeys::Hold({c.mouse ? VK_MBUTTON : 'Q'});
        }
        PostMessageW(dialog_, WM_COMMAND, IDC_CANCEL, 0);
        if (c.waitAtStart) {
            ClickButton(page, button);
        } else {
            Tick(page);
        }
        EXPECT_FALSE(IsWindow(dialog_));
        EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
        EXPECT_EQ(mousePage.CaptureIndex(), -1);
        MSG msg;
        ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), 0) << "the quit was lost";
        EXPECT_EQ(msg.wParam, 0u);
        FakeKeys::ReleaseAll();
    }
}

// Real input under Wine: SendInput changes what GetAsyncKeyState reports.
void SendKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void SendMiddleButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    SendInput(1, &input, sizeof input);
}

VOID CALLBACK ReleaseRealKey(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SendKey('K', false);
}

VOID CALLBACK ReleaseRealButton(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SendMiddleButton(false);
}

// Runs the page's own 10 ms timer until its capture has ended.
template <typename Page>
void PumpUntilIdle(const Page& page) {
    for (int waited = 0; waited < 5000 && page.CaptureIndex() != -1; waited += 5) {
        PumpPending();
        Sleep(5);
    }
}

TEST_F(InputPagesTest, RealKeyAndButtonPressesAreCaptured) {
    Open();
    ClickButton(keyboard_, IDC_KEY_ENLARGE_MAP);
    SendKey('K', true);
    SetTimer(nullptr, 0, 100, ReleaseRealKey);  // up again while the page waits for it
    PumpUntilIdle(keyboardPage);
    EXPECT_EQ(keyboardPage.CaptureIndex(), -1);
    EXPECT_FALSE(IsKeyHeld('K'));
    EXPECT_EQ(Label(keyboard_, IDC_KEY_ENLARGE_MAP_NAME), "K");

    ClickButton(mouse_, IDC_MOUSE_CONFIRM);
    SendMiddleButton(true);
    SetTimer(nullptr, 0, 100, ReleaseRealButton);
    PumpUntilIdle(mousePage);
    EXPECT_EQ(mousePage.CaptureIndex(), -1);
    EXPECT_FALSE(IsKeyHeld(VK_MBUTTON));
    EXPECT_EQ(Label(mouse_, IDC_MOUSE_CONFIRM_NAME), "M-Button");
    EXPECT_EQ(PressOkAndRead("Mouse"), "0402");
    EXPECT_EQ(IniValue(ReadFileText(path_), "Control", "Keyboard"),
              "20111b41585a2628252742434d104b");
}

}  // namespace
