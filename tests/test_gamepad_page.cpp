// The gamepad page inside the real main dialog, over fake controllers and fake keys: the device
// list, both enabling rules, its own capture rules, restore and what "OK" stores.
#include "common/dialog_items.h"
#include "input/gamepad_page.h"
#include "tests/support/main_dialog_test.h"

namespace {

const int kCaptureButtons[] = {
    IDC_PAD_CONFIRM,  IDC_PAD_CANCEL,  IDC_PAD_WALK_RUN,  IDC_PAD_TURN_RIGHT,  IDC_PAD_TURN_LEFT,
    IDC_PAD_STAR_CUP, IDC_PAD_COOKING, IDC_PAD_STONE_MAP, IDC_PAD_PLACE_NAMES, IDC_PAD_MAP_ZOOM};
// A sample of what needs a controller ("走/跑" and its label aside).
const int kPadControls[] = {IDC_PAD_CONFIRM,  IDC_PAD_MAP_ZOOM_LABEL, IDC_PAD_DEVICES,
                            IDC_PAD_DEFAULTS, IDC_PAD_ANALOG,         IDC_PAD_SENSITIVITY};
const char kDefaultButtons[] = "01020407060003050809";

class GamepadPageTest : public MainDialogTest {
  protected:
    void OpenPad(int controllers, const std::string& control = "", bool directInput = true) {
        ResetFakeInput(NamedControllers(controllers));
        fakeInput.createFails = !directInput;
        Open("[Control]\r\n" + control);
        page_ = ShowInputPage(2);
    }
    HWND page_ = nullptr;
};

TEST_F(GamepadPageTest, TheListOpensOnlyANewChoiceStoresTheLastOneAndSurvivesUnplugging) {
    OpenPad(3, "PadDeviceNo=1\r\n");
    EXPECT_EQ(Entries(page_, IDC_PAD_DEVICES),
              (std::vector<std::wstring>{L"Pad 1", L"Pad 2", L"Pad 3"}));
    EXPECT_EQ(Selection(page_, IDC_PAD_DEVICES), 1);
    EXPECT_EQ(fakeInput.controllers[1].cooperativeWindow, dialog_);
    // "更新" with every controller unplugged: the list stays, disabled; then they are back.
    fakeInput.controllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(Entries(page_, IDC_PAD_DEVICES).size(), 3u);
    for (int id : {IDC_PAD_DEVICES, IDC_PAD_USE_DI, IDC_PAD_CONFIRM}) {
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
    fakeInput.controllers = NamedControllers(3);
    ClickButton(page_, IDC_PAD_UPDATE);
    SelectEntry(page_, IDC_PAD_DEVICES, 2);
    for (WORD code : {CBN_SETFOCUS, CBN_DROPDOWN, CBN_CLOSEUP, CBN_KILLFOCUS}) {
        Notify(page_, IDC_PAD_DEVICES, code);  // no new choice: nothing is opened again
    }
    // A letter typed over the field chooses nothing.
    HWND field = FindWindowExW(GetDlgItem(page_, IDC_PAD_DEVICES), nullptr, L"Edit", nullptr);
    SetFocus(field);
    SendMessageW(field, WM_CHAR, 'x', 1);
    EXPECT_EQ(fakeInput.controllers[2].creates, 2);  // the probe, then the opening
    PressOk();  // Enter in the field: the focus stays in the list
    EXPECT_EQ(Stored("Control", "PadDeviceNo"), "2");
}

// Without DirectInput, or with it but no controller, only "更新" is usable; the check boxes show
// what is stored and "OK" keeps the controller choice.
TEST_F(GamepadPageTest, WithoutAControllerThePageIsDisabledAndKeepsTheStoredChoice) {
    const struct {
        bool directInput;
        const char *device, *flags;
    } cases[] = {{false, "3", "1"}, {true, "3", "1"}, {true, "5", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.device) + c.flags);
        OpenPad(0,
                std::string("PadDeviceNo=") + c.device + "\r\nUseGamaPad=" + c.flags +
                    "\r\nAnalog=" + c.flags + "\r\nPadSensitivity=70\r\n",
                c.directInput);
        EXPECT_EQ(InputDevices.directInput != nullptr, c.directInput);
        ClickButton(page_, IDC_PAD_UPDATE);  // still nothing attached
        EXPECT_TRUE(IsEnabled(page_, IDC_PAD_UPDATE));
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_USE_DI));
        for (int id : kPadControls) {
            EXPECT_FALSE(IsEnabled(page_, id)) << id;
        }
        EXPECT_EQ(IsChecked(page_, IDC_PAD_USE_DI), *c.flags == '1');
        EXPECT_EQ(IsChecked(page_, IDC_PAD_ANALOG), *c.flags == '1');
        PressOk();
        ExpectStored("Control", std::string("PadDeviceNo=") + c.device + " UseGamaPad=" + c.flags +
                                    " Analog=" + c.flags + " PadSensitivity=70");
    }
}

TEST_F(GamepadPageTest, AnalogDisablesWalkRunAlsoThroughDirectInputOffAndOn) {
    OpenPad(1, "Analog=1\r\n");
    for (bool useDirectInput : {true, false, true}) {
        SetCheck(page_, IDC_PAD_USE_DI, useDirectInput);
        for (int id : kPadControls) {
            EXPECT_EQ(IsEnabled(page_, id), useDirectInput) << id;
        }
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN) ||
                     IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    }
    SetCheck(page_, IDC_PAD_ANALOG, false);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN) && IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    PressOk();
    EXPECT_EQ(Stored("Control", "Analog"), "0");
}

TEST_F(GamepadPageTest, StoredValuesOutOfRangeAreShownAsTheyAreUntilRestored) {
    const char kStored[] =
        "GamePad=20fe1fff060003050809\r\nUseGamaPad=0\r\nAnalog=0\r\n"
        "PadSensitivity=150\r\nPadDeviceNo=1\r\n";
    OpenPad(2, kStored);
    EXPECT_EQ(TrackbarPosition(page_, IDC_PAD_SENSITIVITY), 100);
    EXPECT_EQ(ItemText(page_, IDC_PAD_SENSITIVITY_VALUE), "150");
    EXPECT_EQ(ItemText(page_, IDC_PAD_CONFIRM_LABEL), "error");
    EXPECT_EQ(ItemText(page_, IDC_PAD_CANCEL_LABEL), "error");
    EXPECT_EQ(ItemText(page_, IDC_PAD_WALK_RUN_LABEL), "Button 32");
    EXPECT_EQ(ItemText(page_, IDC_PAD_TURN_RIGHT_LABEL), "");
    PressOk();
    ExpectStored("Control", "PadSensitivity=100 GamePad=20fe1fff060003050809");
    OpenPad(2, kStored);
    gamepadPage.RestoreDefaults();  // its button is off with "使用DirectInput"
    EXPECT_EQ(ItemText(page_, IDC_PAD_STAR_CUP_LABEL), "Button 1");
    EXPECT_EQ(ItemText(page_, IDC_PAD_MAP_ZOOM_LABEL), "Button 10");
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_EQ(ItemText(page_, IDC_PAD_SENSITIVITY_VALUE), "60");
    PressOk();
    ExpectStored(
        "Control",
        "GamePad=01020407060003050809 PadDeviceNo=0 UseGamaPad=1 Analog=1 PadSensitivity=60");
}

// The lowest held button wins; the action that had it takes the captured action's old one.
// Any key cancels. The capture buttons come back only where the pad controls are on, "走/跑"
// not while analog input is on (the default).
TEST_F(GamepadPageTest, CaptureTakesTheLowestHeldButtonSwapsAndAKeyCancels) {
    const struct {
        int action;
        uint32_t held;
        int key;
        bool padOn;  // else "使用DirectInput" is cleared while the capture runs
        const char* stored;
    } cases[] = {
        {6, (1u << 2) | (1u << 4), 0, true, "01030407060002050809"},  // buttons 3 and 5: 3
        {0, 1u << 1, 0, true, kDefaultButtons},                       // the button it already has
        {9, 1u << 31, 0, true, "0102040706000305081f"},
        {1, 1u << 5, 'Q', true, kDefaultButtons},
        {0, 1u << 4, 0, false, "04020107060003050809"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        OpenPad(1);
        HWND button = GetDlgItem(page_, kCaptureButtons[c.action]);
        ClickButton(page_, kCaptureButtons[c.action]);
        EXPECT_FALSE(IsWindowEnabled(button));
        SetCheck(page_, IDC_PAD_USE_DI, c.padOn);
        Tick(page_);  // the first tick only acquires the controller
        fakeInput.controllers[0].held = c.held;
        if (c.key != 0) {
            FakeKeys::Hold({c.key});
            FakeKeys::ReleaseAllSoon(20);
        }
        Tick(page_);
        EXPECT_EQ(gamepadPage.CaptureIndex(), -1);
        EXPECT_TRUE(GetFocus() == button || !c.padOn);
        for (int id : kCaptureButtons) {
            EXPECT_EQ(IsEnabled(page_, id), c.padOn && id != IDC_PAD_WALK_RUN) << id;
        }
        PressOk();
        EXPECT_EQ(Stored("Control", "GamePad"), c.stored);
    }
}

}  // namespace
