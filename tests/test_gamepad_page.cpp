// The gamepad page inside the real main dialog, over fake controllers and fake keys: the device
// list, both enabling rules, capture, restore and what "OK" stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "common/dialog_items.h"
#include "common/runtime.h"
#include "input/gamepad_page.h"
#include "input/input_devices.h"
#include "resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_direct_input.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"

namespace {

const int kCaptureButtons[] = {
    IDC_PAD_CONFIRM,  IDC_PAD_CANCEL,  IDC_PAD_WALK_RUN,  IDC_PAD_TURN_RIGHT,  IDC_PAD_TURN_LEFT,
    IDC_PAD_STAR_CUP, IDC_PAD_COOKING, IDC_PAD_STONE_MAP, IDC_PAD_PLACE_NAMES, IDC_PAD_MAP_ZOOM};
// A sample of what needs a controller ("走/跑" and its label aside).
const int kPadControls[] = {IDC_PAD_CONFIRM,  IDC_PAD_MAP_ZOOM_LABEL, IDC_PAD_DEVICES,
                            IDC_PAD_DEFAULTS, IDC_PAD_ANALOG,         IDC_PAD_SENSITIVITY};
const char kDefaultButtons[] = "01020407060003050809";

class GamepadPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=gpt");
        path_ = ModuleFolder() + "save\\qr6_win3.gpt";
        CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
        previous_ = SetDirectInputCreator(FakeDirectInput8Create);
    }
    void TearDown() override {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
        SetDirectInputCreator(previous_);
        EXPECT_EQ(fakeInput.liveObjects, 0) << "DirectInput was not released with the dialog";
    }
    void Open(int controllers, const std::string& control = "", bool directInput = true) {
        ResetFakeInput(NamedControllers(controllers));
        fakeInput.createFails = !directInput;
        ASSERT_TRUE(WriteFileText(path_, "[Control]\r\n" + control));
        dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        page_ = gamepadPage.Window();
    }
    void Tick() { SendMessageW(page_, WM_TIMER, 1, 0); }
    std::string Text(int id) const {
        char text[64] = {};
        GetDlgItemTextA(page_, id, text, sizeof text);
        return text;
    }
    LRESULT List(UINT message, WPARAM wParam = 0) const {
        return SendDlgItemMessageW(page_, IDC_PAD_DEVICES, message, wParam, 0);
    }
    std::string StoredAfterOk(const char* key) {
        if (IsWindow(dialog_)) {
            ClickButton(dialog_, IDC_OK);
            PumpPending();
        }
        return IniValue(ReadFileText(path_), "Control", key);
    }

    FakeKeys keys_;
    DirectInputCreator previous_ = nullptr;
    HWND dialog_ = nullptr;
    HWND page_ = nullptr;
    std::string path_;
};

TEST_F(GamepadPageTest, TheListShowsProductNamesAndOpensTheChosenController) {
    Open(3, "PadDeviceNo=1\r\n");
    ASSERT_EQ(List(CB_GETCOUNT), 3);
    wchar_t name[64] = {};
    SendDlgItemMessageW(page_, IDC_PAD_DEVICES, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, L"Pad 3");
    EXPECT_EQ(List(CB_GETCURSEL), 1);
    EXPECT_EQ(fakeInput.controllers[1].cooperativeWindow, dialog_);
    List(CB_SETCURSEL, 2);
    ClickButton(page_, IDC_PAD_DEVICES);
    EXPECT_EQ(fakeInput.controllers[2].creates, 2);  // the probe, then the opening
    EXPECT_EQ(StoredAfterOk("PadDeviceNo"), "2");
}

// Without DirectInput, or with it but no controller, only "更新" is usable; the check boxes show
// what is stored and "OK" keeps the controller choice.
TEST_F(GamepadPageTest, WithoutAControllerThePageIsDisabledAndKeepsTheStoredChoice) {
    const struct {
        bool directInput;
        std::string device, flags;
    } cases[] = {{false, "3", "1"}, {true, "3", "1"}, {true, "5", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device + c.flags);
        Open(0,
             "PadDeviceNo=" + c.device + "\r\nUseGamaPad=" + c.flags + "\r\nAnalog=" + c.flags +
                 "\r\nPadSensitivity=70\r\n",
             c.directInput);
        EXPECT_EQ(InputDevices.directInput != nullptr, c.directInput);
        ClickButton(page_, IDC_PAD_UPDATE);  // still nothing attached
        EXPECT_TRUE(IsEnabled(page_, IDC_PAD_UPDATE));
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_USE_DI));
        for (int id : kPadControls) {
            EXPECT_FALSE(IsEnabled(page_, id)) << id;
        }
        EXPECT_EQ(IsChecked(page_, IDC_PAD_USE_DI), c.flags == "1");
        EXPECT_EQ(IsChecked(page_, IDC_PAD_ANALOG), c.flags == "1");
        EXPECT_EQ(StoredAfterOk("PadDeviceNo"), c.device);
        EXPECT_EQ(StoredAfterOk("UseGamaPad"), c.flags);
        EXPECT_EQ(StoredAfterOk("Analog"), c.flags);
        EXPECT_EQ(StoredAfterOk("PadSensitivity"), "70");
    }
}

TEST_F(GamepadPageTest, UpdateWithEveryControllerUnpluggedKeepsTheListButDisablesIt) {
    Open(2, "PadDeviceNo=1\r\n");
    fakeInput.controllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(List(CB_GETCOUNT), 2);
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEVICES));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_USE_DI));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_EQ(StoredAfterOk("PadDeviceNo"), "1");
}

TEST_F(GamepadPageTest, AnalogDisablesWalkRunAlsoThroughDirectInputOffAndOn) {
    Open(1, "Analog=1\r\n");
    for (bool useDirectInput : {true, false, true}) {
        SetCheck(page_, IDC_PAD_USE_DI, useDirectInput);
        for (int id : kPadControls) {
            EXPECT_EQ(IsEnabled(page_, id), useDirectInput) << id;
        }
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    }
    SetCheck(page_, IDC_PAD_ANALOG, false);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    EXPECT_EQ(StoredAfterOk("Analog"), "0");
}

TEST_F(GamepadPageTest, StoredValuesOutOfRangeAreShownAsTheyAre) {
    Open(1, "PadSensitivity=150\r\nGamePad=20fe1fff060003050809\r\n");
    EXPECT_EQ(TrackbarPosition(page_, IDC_PAD_SENSITIVITY), 100);
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "150");
    EXPECT_EQ(Text(IDC_PAD_CONFIRM_LABEL), "error");
    EXPECT_EQ(Text(IDC_PAD_CANCEL_LABEL), "error");
    EXPECT_EQ(Text(IDC_PAD_WALK_RUN_LABEL), "Button 32");
    EXPECT_EQ(Text(IDC_PAD_TURN_RIGHT_LABEL), "");
    EXPECT_EQ(StoredAfterOk("PadSensitivity"), "100");
    EXPECT_EQ(StoredAfterOk("GamePad"), "20fe1fff060003050809");
}

TEST_F(GamepadPageTest, RestoreDefaultsPutsTheDefaultsOnThePage) {
    Open(2,
         "GamePad=09080706050403020100\r\nUseGamaPad=0\r\nAnalog=0\r\nPadSensitivity=20\r\n"
         "PadDeviceNo=1\r\n");
    gamepadPage.RestoreDefaults();  // its button is off with "使用DirectInput"
    EXPECT_EQ(Text(IDC_PAD_STAR_CUP_LABEL), "Button 1");
    EXPECT_EQ(Text(IDC_PAD_MAP_ZOOM_LABEL), "Button 10");
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "60");
    EXPECT_EQ(StoredAfterOk("GamePad"), kDefaultButtons);
    EXPECT_EQ(StoredAfterOk("PadDeviceNo"), "0");
    EXPECT_EQ(StoredAfterOk("UseGamaPad"), "1");
    EXPECT_EQ(StoredAfterOk("Analog"), "1");
    EXPECT_EQ(StoredAfterOk("PadSensitivity"), "60");
}

// The lowest held button wins; the action that had it takes the captured action's old one.
TEST_F(GamepadPageTest, CaptureTakesTheLowestHeldButtonAndSwaps) {
    const struct {
        int action;
        uint32_t held;
        const char* stored;
    } cases[] = {
        {6, (1u << 2) | (1u << 4), "01030407060002050809"},  // buttons 3 and 5 held: button 3
        {0, 1u << 1, kDefaultButtons},                       // the button it already has
        {9, 1u << 31, "0102040706000305081f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Open(1, "Analog=0\r\n");
        ClickButton(page_, kCaptureButtons[c.action]);
        EXPECT_FALSE(IsEnabled(page_, kCaptureButtons[c.action]));
        Tick();  // the first tick only acquires the controller
        fakeInput.controllers[0].held = c.held;
        Tick();
        EXPECT_EQ(gamepadPage.captureIndex, -1);
        EXPECT_EQ(GetFocus(), GetDlgItem(page_, kCaptureButtons[c.action]));
        EXPECT_TRUE(IsEnabled(page_, kCaptureButtons[c.action]));
        EXPECT_EQ(StoredAfterOk("GamePad"), c.stored);
    }
}

TEST_F(GamepadPageTest, AKeyHeldAtTheStartIsWaitedForAndAnyKeyCancels) {
    Open(1);
    FakeKeys::Hold({VK_SPACE});
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_PAD_CANCEL);  // returns once Space is up, without cancelling
    EXPECT_EQ(gamepadPage.captureIndex, 1);
    EXPECT_EQ(Text(IDC_PAD_CANCEL_LABEL), "");
    Tick();
    fakeInput.controllers[0].held = 1u << 5;
    FakeKeys::Hold({'Q'});
    FakeKeys::ReleaseAllSoon(50);
    Tick();
    EXPECT_FALSE(IsKeyHeld('Q'));  // the page waited for the key to go up
    EXPECT_EQ(gamepadPage.captureIndex, -1);
    EXPECT_EQ(Text(IDC_PAD_CANCEL_LABEL), "Button 3");
    EXPECT_EQ(StoredAfterOk("GamePad"), kDefaultButtons);
}

TEST_F(GamepadPageTest, ACaptureEndingAfterDirectInputWasClearedLeavesTheButtonsOff) {
    Open(1);
    ClickButton(page_, IDC_PAD_CONFIRM);
    SetCheck(page_, IDC_PAD_USE_DI, false);
    Tick();
    fakeInput.controllers[0].held = 1u << 4;
    Tick();
    EXPECT_EQ(Text(IDC_PAD_CONFIRM_LABEL), "Button 5");
    for (int id : kCaptureButtons) {
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
}

}  // namespace
