// The gamepad page inside the real main dialog, over fake controllers and fake keys: the device
// list, both enabling rules, capture, restore and what "OK" stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "common/dialog_items.h"
#include "common/runtime.h"
#include "input/gamepad_page.h"
#include "input/input_devices.h"
#include "resource.h"
#include "settings/settings_record.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_direct_input.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"

namespace {

const int kCaptureButtons[] = {
    IDC_PAD_CONFIRM,  IDC_PAD_CANCEL,  IDC_PAD_WALK_RUN,  IDC_PAD_TURN_RIGHT,  IDC_PAD_TURN_LEFT,
    IDC_PAD_STAR_CUP, IDC_PAD_COOKING, IDC_PAD_STONE_MAP, IDC_PAD_PLACE_NAMES, IDC_PAD_MAP_ZOOM};
const int kLabels[] = {IDC_PAD_CONFIRM_LABEL,    IDC_PAD_CANCEL_LABEL,    IDC_PAD_WALK_RUN_LABEL,
                       IDC_PAD_TURN_RIGHT_LABEL, IDC_PAD_TURN_LEFT_LABEL, IDC_PAD_STAR_CUP_LABEL,
                       IDC_PAD_COOKING_LABEL,    IDC_PAD_STONE_MAP_LABEL, IDC_PAD_PLACE_NAMES_LABEL,
                       IDC_PAD_MAP_ZOOM_LABEL};
// Everything that needs a controller, "走/跑" and its label aside.
const int kPadControls[] = {
    IDC_PAD_CONFIRM,           IDC_PAD_CONFIRM_LABEL,    IDC_PAD_MAP_ZOOM, IDC_PAD_MAP_ZOOM_LABEL,
    IDC_PAD_DEVICES,           IDC_PAD_DEFAULTS,         IDC_PAD_ANALOG,   IDC_PAD_SENSITIVITY,
    IDC_PAD_SENSITIVITY_VALUE, IDC_PAD_SENSITIVITY_GROUP};

class GamepadPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=gpt");
        path_ = ModuleFolder() + "save\\qr6_win3.gpt";
        DeleteFileA(path_.c_str());
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
    void Open(std::vector<FakeController> controllers, const std::string& control = "") {
        ResetFakeInput(std::move(controllers));
        if (!control.empty()) {
            CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
            ASSERT_TRUE(WriteFileText(path_, "[Control]\r\n" + control));
        }
        dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        mainDialog = dialog_;
        page_ = gamepadPage.Window();
        ASSERT_TRUE(IsWindow(page_));
    }
    void Tick() { SendMessageW(page_, WM_TIMER, 1, 0); }
    std::string Label(int action) const { return Text(kLabels[action]); }
    std::string Text(int id) const {
        char text[64] = {};
        GetDlgItemTextA(page_, id, text, sizeof text);
        return text;
    }
    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (int i = 0; i < kGamePadSlots; ++i) {
            labels.push_back(Label(i));
        }
        return labels;
    }
    bool Capturing() const { return gamepadPage.captureIndex >= 0; }
    void PressOk() {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
    }
    std::string Stored(const char* key) const {
        return IniValue(ReadFileText(path_), "Control", key);
    }

    FakeKeys keys_;
    DirectInputCreator previous_ = nullptr;
    HWND dialog_ = nullptr;
    HWND page_ = nullptr;
    std::string path_;
};

TEST_F(GamepadPageTest, TheListShowsProductNamesAndOpensTheStoredController) {
    Open(NamedControllers(3), "PadDeviceNo=1\r\n");
    HWND list = GetDlgItem(page_, IDC_PAD_DEVICES);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    wchar_t name[64] = {};
    SendMessageW(list, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, L"Pad 3");
    EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, 2, 0), 2);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(fakeInput.controllers[1].cooperativeWindow, dialog_);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_USE_DI));

    // Picking another entry opens that controller.
    SendMessageW(list, CB_SETCURSEL, 2, 0);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_PAD_DEVICES, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(fakeInput.controllers[2].creates, 2);  // the probe, then the opening
    PressOk();
    EXPECT_EQ(Stored("PadDeviceNo"), "2");
}

TEST_F(GamepadPageTest, AStoredControllerThatIsGoneFallsBackToTheFirst) {
    Open(NamedControllers(2), "PadDeviceNo=7\r\n");
    EXPECT_EQ(SendDlgItemMessageW(page_, IDC_PAD_DEVICES, CB_GETCURSEL, 0, 0), 0);
    PressOk();
    EXPECT_EQ(Stored("PadDeviceNo"), "0");
}

// Without DirectInput, or with it but no controller: everything but "更新" is disabled, the
// check boxes show what is stored, and "OK" keeps the device choice as it was.
TEST_F(GamepadPageTest, WithoutAControllerThePageIsDisabledAndKeepsTheStoredChoice) {
    struct Case {
        bool directInput;
        const char* device;
        const char* useAndAnalog;
    };
    const Case cases[] = {{false, "3", "1"}, {true, "3", "1"}, {true, "5", "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.directInput ? "no controller " : "no DirectInput ") + c.device);
        ResetFakeInput({});
        fakeInput.createFails = !c.directInput;
        std::string flag = c.useAndAnalog;
        std::string file = std::string("PadDeviceNo=") + c.device + "\r\nUseGamaPad=" + flag +
                           "\r\nAnalog=" + flag + "\r\nPadSensitivity=70\r\n";
        CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
        ASSERT_TRUE(WriteFileText(path_, "[Control]\r\n" + file));
        dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     MainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        page_ = gamepadPage.Window();

        EXPECT_EQ(InputDevices.directInput != nullptr, c.directInput);
        EXPECT_TRUE(IsEnabled(page_, IDC_PAD_UPDATE));
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_USE_DI));
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
        for (int id : kPadControls) {
            EXPECT_FALSE(IsEnabled(page_, id)) << id;
        }
        EXPECT_EQ(IsChecked(page_, IDC_PAD_USE_DI), flag == "1");
        EXPECT_EQ(IsChecked(page_, IDC_PAD_ANALOG), flag == "1");
        EXPECT_EQ(SendDlgItemMessageW(page_, IDC_PAD_DEVICES, CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(Label(0), "Button 2");

        // "更新" with still nothing attached changes nothing.
        ClickButton(page_, IDC_PAD_UPDATE);
        EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEVICES));
        PressOk();
        EXPECT_EQ(Stored("PadDeviceNo"), c.device);
        EXPECT_EQ(Stored("UseGamaPad"), flag);
        EXPECT_EQ(Stored("Analog"), flag);
        EXPECT_EQ(Stored("PadSensitivity"), "70");
        PumpPending();
    }
}

TEST_F(GamepadPageTest, UpdateWithEveryControllerUnpluggedKeepsTheListButDisablesIt) {
    Open(NamedControllers(2), "PadDeviceNo=1\r\n");
    ASSERT_TRUE(IsEnabled(page_, IDC_PAD_DEVICES));
    fakeInput.controllers.clear();
    ClickButton(page_, IDC_PAD_UPDATE);
    EXPECT_EQ(InputDevices.joystickCount, 0);
    EXPECT_EQ(InputDevices.device, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(page_, IDC_PAD_DEVICES, CB_GETCOUNT, 0, 0), 2);
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEVICES));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_USE_DI));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_UPDATE));
    PressOk();
    EXPECT_EQ(Stored("PadDeviceNo"), "1");
}

TEST_F(GamepadPageTest, AnalogDisablesWalkRunAlsoThroughDirectInputOffAndOn) {
    Open(NamedControllers(1), "Analog=1\r\nUseGamaPad=1\r\n");
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    for (int id : kPadControls) {
        EXPECT_TRUE(IsEnabled(page_, id)) << id;
    }
    SetCheck(page_, IDC_PAD_USE_DI, false);
    for (int id : kPadControls) {
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_USE_DI));
    SetCheck(page_, IDC_PAD_USE_DI, true);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    SetCheck(page_, IDC_PAD_ANALOG, false);
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_WALK_RUN_LABEL));
    PressOk();
    EXPECT_EQ(Stored("Analog"), "0");
    EXPECT_EQ(Stored("UseGamaPad"), "1");
}

TEST_F(GamepadPageTest, ASensitivityAboveTheRangeShowsItsNumberAndIsStoredAt100) {
    Open(NamedControllers(1), "PadSensitivity=150\r\n");
    EXPECT_EQ(TrackbarPosition(page_, IDC_PAD_SENSITIVITY), 100);
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "150");
    PressOk();
    EXPECT_EQ(Stored("PadSensitivity"), "100");
}

TEST_F(GamepadPageTest, TheNumberFollowsTheSlider) {
    Open(NamedControllers(1));
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "60");
    MoveTrackbar(page_, IDC_PAD_SENSITIVITY, 35);
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "35");
    PressOk();
    EXPECT_EQ(Stored("PadSensitivity"), "35");
}

TEST_F(GamepadPageTest, IndicesWithoutAButtonShowErrorOrNothingAndAreStoredBack) {
    Open(NamedControllers(1), "GamePad=20fe1fff060003050809\r\n");
    EXPECT_EQ(Label(0), "error");
    EXPECT_EQ(Label(1), "error");
    EXPECT_EQ(Label(2), "Button 32");
    EXPECT_EQ(Label(3), "");
    PressOk();
    EXPECT_EQ(Stored("GamePad"), "20fe1fff060003050809");
}

TEST_F(GamepadPageTest, RestoreDefaultsPutsTheDefaultsOnThePageOnly) {
    Open(NamedControllers(2),
         "GamePad=09080706050403020100\r\nUseGamaPad=0\r\nAnalog=0\r\nPadSensitivity=20\r\n"
         "PadDeviceNo=1\r\n");
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_DEFAULTS));  // off with "使用DirectInput"
    gamepadPage.RestoreDefaults();
    EXPECT_EQ(SendDlgItemMessageW(page_, IDC_PAD_DEVICES, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Button 2", "Button 3", "Button 5", "Button 8",
                                                  "Button 7", "Button 1", "Button 4", "Button 6",
                                                  "Button 9", "Button 10"}));
    EXPECT_TRUE(IsChecked(page_, IDC_PAD_USE_DI));
    EXPECT_TRUE(IsChecked(page_, IDC_PAD_ANALOG));
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_CONFIRM));
    EXPECT_FALSE(IsEnabled(page_, IDC_PAD_WALK_RUN));
    EXPECT_EQ(TrackbarPosition(page_, IDC_PAD_SENSITIVITY), 60);
    EXPECT_EQ(Text(IDC_PAD_SENSITIVITY_VALUE), "60");
    EXPECT_EQ(SettingsRecord.PadSensitivity, 20);  // the record waits for a store
    PressOk();
    EXPECT_EQ(Stored("GamePad"), "01020407060003050809");
    EXPECT_EQ(Stored("PadDeviceNo"), "0");
    EXPECT_EQ(Stored("UseGamaPad"), "1");
    EXPECT_EQ(Stored("Analog"), "1");
    EXPECT_EQ(Stored("PadSensitivity"), "60");
}

// Capture: the lowest held button wins, the action that had it takes the old one.
TEST_F(GamepadPageTest, CaptureTakesTheLowestHeldButtonAndSwaps) {
    struct Case {
        int action;
        uint32_t held;
        const char* stored;
    };
    const Case cases[] = {
        {6, (1u << 2) | (1u << 4), "01030407060002050809"},  // buttons 3 and 5: button 3
        {0, (1u << 10) | (1u << 12), "0a020407060003050809"},
        {0, 1u << 1, "01020407060003050809"},  // the button it already has
        {9, 1u << 31, "0102040706000305081f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Open(NamedControllers(1), "Analog=0\r\n");
        ClickButton(page_, kCaptureButtons[c.action]);
        ASSERT_TRUE(Capturing());
        EXPECT_EQ(Label(c.action), "");
        for (int id : kCaptureButtons) {
            EXPECT_FALSE(IsEnabled(page_, id)) << id;
        }
        Tick();  // nothing held: the capture goes on
        EXPECT_TRUE(Capturing());
        fakeInput.controllers[0].held = c.held;
        Tick();
        Tick();
        EXPECT_FALSE(Capturing());
        EXPECT_EQ(GetFocus(), GetDlgItem(page_, kCaptureButtons[c.action]));
        for (int id : kCaptureButtons) {
            EXPECT_TRUE(IsEnabled(page_, id)) << id;
        }
        PressOk();
        EXPECT_EQ(Stored("GamePad"), c.stored);
        PumpPending();
    }
}

TEST_F(GamepadPageTest, AnyKeyCancelsACaptureAndNothingIsAssigned) {
    Open(NamedControllers(1));
    ClickButton(page_, IDC_PAD_CANCEL);
    Tick();
    fakeInput.controllers[0].held = 1u << 5;
    FakeKeys::Hold({'Q'});
    FakeKeys::ReleaseAllSoon(50);  // the page waits for the key to go up again
    Tick();
    EXPECT_FALSE(Capturing());
    EXPECT_EQ(IsKeyHeld('Q'), false);
    EXPECT_EQ(Label(1), "Button 3");
    EXPECT_TRUE(IsEnabled(page_, IDC_PAD_CANCEL));
    Tick();  // a late tick after the end changes nothing
    PressOk();
    EXPECT_EQ(Stored("GamePad"), "01020407060003050809");
}

TEST_F(GamepadPageTest, AKeyHeldWhenTheCaptureStartsIsWaitedForNotTaken) {
    Open(NamedControllers(1));
    FakeKeys::Hold({VK_SPACE});
    FakeKeys::ReleaseAllSoon(50);
    ClickButton(page_, IDC_PAD_STAR_CUP);  // returns once Space is up
    EXPECT_FALSE(IsKeyHeld(VK_SPACE));
    ASSERT_TRUE(Capturing());
    Tick();
    fakeInput.controllers[0].held = 1u << 7;
    Tick();
    EXPECT_EQ(Label(5), "Button 8");
    EXPECT_EQ(Label(3), "Button 1");  // "视角右旋转" had button 8
}

TEST_F(GamepadPageTest, ACaptureEndingAfterDirectInputWasClearedLeavesTheButtonsOff) {
    Open(NamedControllers(1));
    ClickButton(page_, IDC_PAD_CONFIRM);
    SetCheck(page_, IDC_PAD_USE_DI, false);
    Tick();
    fakeInput.controllers[0].held = 1u << 4;
    Tick();
    EXPECT_FALSE(Capturing());
    EXPECT_EQ(Label(0), "Button 5");
    for (int id : kCaptureButtons) {
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
}

}  // namespace
