// DirectInput devices against fake DirectInput objects, and once against Wine's dinput8.dll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/input_devices.h"
#include "tests/support/fake_direct_input.h"
#include "tests/trace_recorder.h"

namespace {

class InputDevicesTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = SetDirectInputCreator(FakeDirectInput8Create); }
    void TearDown() override {
        ReleaseDirectInput();
        ReleaseDirectInput();  // safe twice
        EXPECT_EQ(InputDevices.directInput, nullptr);
        EXPECT_EQ(fakeInput.liveObjects, 0) << "a fake interface was not released";
        SetDirectInputCreator(previous_);
    }
    FakeController& OpenFirst(std::vector<FakeController> controllers) {
        ResetFakeInput(std::move(controllers));
        EXPECT_TRUE(InitDirectInput(window_));
        UpdateDevice(0);
        EXPECT_NE(InputDevices.device, nullptr);
        return fakeInput.controllers[0];
    }

    DirectInputCreator previous_ = nullptr;
    HWND window_ = GetDesktopWindow();
};

// Controllers that cannot be opened are left out, later ones move up, the table ends at 8.
TEST_F(InputDevicesTest, ListingKeepsTheControllersThatOpenUpToEight) {
    struct Case {
        int attached;
        int unopenable;  // -1 for none
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {0, -1, {}},
        {3, 1, {"Pad 1", "Pad 3"}},
        {9, -1, {"Pad 1", "Pad 2", "Pad 3", "Pad 4", "Pad 5", "Pad 6", "Pad 7", "Pad 8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attached);
        std::vector<FakeController> controllers = NamedControllers(c.attached);
        if (c.unopenable >= 0) {
            controllers[c.unopenable].opens = false;
        }
        ResetFakeInput(controllers);
        TraceRecorder trace;
        ASSERT_TRUE(InitDirectInput(window_));
        std::vector<std::string> kept, lines;
        for (int i = 0; i < InputDevices.joystickCount; ++i) {
            kept.push_back(InputDevices.joysticks[i].tszProductName);
            lines.push_back(std::to_string(i) + " " + kept.back() + "\n");
        }
        lines.push_back("Create DirectInput Joystick OK\n");
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(trace.lines(), lines);
        EXPECT_EQ(fakeInput.liveObjects, 1);  // probes closed again; DirectInput itself lives
        EXPECT_EQ(fakeInput.lastDeviceClass, static_cast<DWORD>(DI8DEVCLASS_GAMECTRL));
        EXPECT_EQ(fakeInput.lastListFlags, static_cast<DWORD>(DIEDFL_ATTACHEDONLY));
    }
    EXPECT_EQ(fakeInput.controllers[8].creates, 0);  // the ninth is never touched
}

TEST_F(InputDevicesTest, RefusedCreationOrListingLeavesNoDirectInput) {
    for (bool creationFails : {true, false}) {
        ResetFakeInput(NamedControllers(2));
        fakeInput.createFails = creationFails;
        fakeInput.listingFails = !creationFails;
        TraceRecorder trace;
        EXPECT_FALSE(InitDirectInput(window_));
        EXPECT_EQ(InputDevices.directInput, nullptr);
        EXPECT_EQ(fakeInput.liveObjects, 0);
        EXPECT_EQ(trace.lines().back(), creationFails ? "Create DirectInput failed\n"
                                                      : "Create Joystick device failed\n");
    }
    UpdateDevice(0);
    EXPECT_EQ(InputDevices.device, nullptr);
    EXPECT_EQ(JoystickButtons(), 0u);
}

// Axes that refuse the range end the walk but not the opening.
TEST_F(InputDevicesTest, OpeningSetsFormatCooperationAndAxisRanges) {
    for (bool refuses : {false, true}) {
        std::vector<FakeController> controllers = NamedControllers(1);
        controllers[0].refusesRange = refuses;
        TraceRecorder trace;
        const FakeController& pad = OpenFirst(controllers);
        EXPECT_EQ(trace.lines().back(), "UpdateDeviceOk\n");
        EXPECT_EQ(pad.dataFormat, &c_dfDIJoystick);
        EXPECT_EQ(pad.cooperativeWindow, window_);
        EXPECT_EQ(pad.cooperativeFlags, static_cast<DWORD>(DISCL_EXCLUSIVE | DISCL_BACKGROUND));
        ASSERT_EQ(pad.ranges.size(), refuses ? 1u : 3u);
        const DIPROPRANGE& range = pad.ranges.back();
        EXPECT_EQ(range.diph.dwSize, 24u);
        EXPECT_EQ(range.diph.dwHeaderSize, 16u);
        EXPECT_EQ(range.diph.dwHow, static_cast<DWORD>(DIPH_BYID));
        EXPECT_EQ(range.diph.dwObj, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(pad.ranges.size() - 1));
        EXPECT_EQ(range.lMin, -1000);
        EXPECT_EQ(range.lMax, 1000);
        EXPECT_EQ(pad.acquires, 0);
    }
    // Gone since it was listed, or not in the table at all.
    TraceRecorder trace;
    fakeInput.controllers[0].opens = false;
    UpdateDevice(0);
    UpdateDevice(1);
    EXPECT_EQ(trace.lines(), std::vector<std::string>(2, "UpdateDeviceNo\n"));
    EXPECT_EQ(InputDevices.device, nullptr);
}

TEST_F(InputDevicesTest, TheFirstPollOnlyAcquiresAndALostControllerDoesNotHang) {
    FakeController& pad = OpenFirst(NamedControllers(1));
    pad.held = (1u << 2) | (1u << 31);
    PollJoystick();
    EXPECT_EQ(pad.acquires, 1);
    EXPECT_EQ(JoystickButtons(), 0u);
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), (1u << 2) | (1u << 31));

    // Opened again: nothing held until the device has been read anew.
    UpdateDevice(0);
    FakeController& same = fakeInput.controllers[0];
    same.staysLost = true;
    same.acquires = 0;
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 0u);
    EXPECT_GE(same.acquires, 2);  // lost is tried again, but only a few times per tick
    EXPECT_LE(same.acquires, 5);
    same.staysLost = false;
    PollJoystick();
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), (1u << 2) | (1u << 31));
}

// Wine's dinput8.dll, loaded at run time: no controller is attached here.
TEST(InputDevicesRealTest, WinesDirectInputStartsAndReleases) {
    EXPECT_TRUE(InitDirectInput(GetDesktopWindow()));
    EXPECT_NE(InputDevices.directInput, nullptr);
    EXPECT_NE(GetModuleHandleA("dinput8.dll"), nullptr);
    EXPECT_LE(InputDevices.joystickCount, MaxJoysticks);
    ReleaseDirectInput();
    EXPECT_EQ(InputDevices.directInput, nullptr);
}

}  // namespace
