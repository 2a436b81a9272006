// The gamepad page in the real main dialog over fake controllers and keys: the device list, the
// enabling rules, its own capture rules and what "OK" stores; below it, the controller reads.
#include "input/gamepad_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

class GamepadPageTest : public MainDialogTest {
  protected:
    void OpenPad(const std::string& entries, bool directInput = true) {
        fakeInput.createFails = !directInput;
        Open("Control", entries);
        page_ = ShowInputPage(2);
    }
    HWND page_ = nullptr;
};

// The list holds the controllers that open, eight at most. Only a new pick opens a controller,
// and "OK" stores the last pick: focus, opening, closing and text typed over the field choose
// nothing. "更新" with every controller unplugged keeps the list, off; then it brings back the
// stored values. Analog input moves by stick: "走/跑" has no button then, also through
// "使用DirectInput" off and on.
TEST_F(GamepadPageTest, TheListAndTheEnablingRules) {
    ResetFakeInput(10);
    fakeInput.controllers[1].opens = false;
    OpenPad("PadDeviceNo=1 Analog=1");
    EXPECT_EQ(Entries(page_, IDC_PAD_DEVICES) + ItemText(page_, IDC_PAD_DEVICES),
              "Pad 1,Pad 3,Pad 4,Pad 5,Pad 6,Pad 7,Pad 8,Pad 9,Pad 3");
    fakeInput.controllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(ItemText(page_, IDC_PAD_DEVICES), "Pad 3");
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
        FakeKeys::Hold({c.key});
        FakeKeys::ReleaseAllSoon(20);
        Tick(page_);
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
