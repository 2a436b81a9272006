// DirectInput devices against fake DirectInput objects: listing, opening, polling, release;
// and once against Wine's own dinput8.dll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/input_devices.h"
#include "tests/support/fake_direct_input.h"
#include "tests/trace_recorder.h"

namespace {

class InputDevicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = SetDirectInputCreator(FakeDirectInput8Create);
        ResetFakeInput({});
        window_ =
            CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        ReleaseDirectInput();
        EXPECT_EQ(fakeInput.liveObjects, 0) << "a fake interface was not released";
        SetDirectInputCreator(previous_);
        DestroyWindow(window_);
    }
    // Starts DirectInput over the given controllers and opens the first.
    void OpenFirst(std::vector<FakeController> controllers) {
        ResetFakeInput(std::move(controllers));
        ASSERT_TRUE(InitDirectInput(window_));
        UpdateDevice(0);
        ASSERT_NE(InputDevices.device, nullptr);
    }

    DirectInputCreator previous_ = nullptr;
    HWND window_ = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(InputDevicesTest, WithoutControllersDirectInputStillStarts) {
    TraceRecorder trace;
    EXPECT_TRUE(InitDirectInput(window_));
    EXPECT_NE(InputDevices.directInput, nullptr);
    EXPECT_EQ(InputDevices.joystickCount, 0);
    EXPECT_EQ(InputDevices.window, window_);
    EXPECT_EQ(fakeInput.lastVersion, 0x0800u);
    EXPECT_EQ(fakeInput.lastDeviceClass, static_cast<DWORD>(DI8DEVCLASS_GAMECTRL));
    EXPECT_EQ(fakeInput.lastListFlags, static_cast<DWORD>(DIEDFL_ATTACHEDONLY));
    EXPECT_EQ(trace.lines(), Lines{"Create DirectInput Joystick OK\n"});
}

TEST_F(InputDevicesTest, RefusedCreationOrListingLeavesNoDirectInput) {
    {
        TraceRecorder trace;
        fakeInput.createFails = true;
        EXPECT_FALSE(InitDirectInput(window_));
        EXPECT_EQ(InputDevices.directInput, nullptr);
        EXPECT_EQ(trace.lines(), Lines{"Create DirectInput failed\n"});
    }
    {
        TraceRecorder trace;
        ResetFakeInput(NamedControllers(2));
        fakeInput.listingFails = true;
        EXPECT_FALSE(InitDirectInput(window_));
        EXPECT_EQ(InputDevices.directInput, nullptr);
        EXPECT_EQ(InputDevices.joystickCount, 0);
        EXPECT_EQ(fakeInput.liveObjects, 0);
        EXPECT_EQ(trace.lines(), Lines{"Create Joystick device failed\n"});
    }
    // Without DirectInput nothing can be listed or opened.
    EXPECT_FALSE(EnumJoysticks());
    UpdateDevice(0);
    EXPECT_EQ(InputDevices.device, nullptr);
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 0u);
}

TEST_F(InputDevicesTest, AControllerThatCannotBeOpenedIsLeftOut) {
    std::vector<FakeController> controllers = NamedControllers(3);
    controllers[1].opens = false;
    ResetFakeInput(controllers);
    TraceRecorder trace;
    ASSERT_TRUE(InitDirectInput(window_));
    ASSERT_EQ(InputDevices.joystickCount, 2);
    EXPECT_STREQ(InputDevices.joysticks[0].tszProductName, "Pad 1");
    EXPECT_STREQ(InputDevices.joysticks[1].tszProductName, "Pad 3");
    EXPECT_EQ(trace.lines(), (Lines{"0 Pad 1\n", "1 Pad 3\n", "Create DirectInput Joystick OK\n"}));
    EXPECT_EQ(fakeInput.liveObjects, 1);  // the probes are closed again; only DirectInput lives
}

TEST_F(InputDevicesTest, NineControllersKeepEightAndNothingPastTheTable) {
    ResetFakeInput(NamedControllers(9));
    ASSERT_TRUE(InitDirectInput(window_));
    EXPECT_EQ(InputDevices.joystickCount, MaxJoysticks);
    EXPECT_STREQ(InputDevices.joysticks[MaxJoysticks - 1].tszProductName, "Pad 8");
    EXPECT_EQ(fakeInput.controllers[8].creates, 0);  // the ninth was never even probed
    // The update button lists them again from the start.
    EXPECT_TRUE(EnumJoysticks());
    EXPECT_EQ(InputDevices.joystickCount, MaxJoysticks);
}

TEST_F(InputDevicesTest, OpeningSetsFormatCooperationAndAxisRanges) {
    TraceRecorder trace;
    OpenFirst(NamedControllers(1));
    const FakeController& pad = fakeInput.controllers[0];
    EXPECT_EQ(pad.dataFormat, &c_dfDIJoystick);
    EXPECT_EQ(pad.cooperativeWindow, window_);
    EXPECT_EQ(pad.cooperativeFlags, static_cast<DWORD>(DISCL_EXCLUSIVE | DISCL_BACKGROUND));
    ASSERT_EQ(pad.ranges.size(), 3u);
    for (size_t axis = 0; axis < pad.ranges.size(); ++axis) {
        const DIPROPRANGE& range = pad.ranges[axis];
        EXPECT_EQ(range.diph.dwSize, 24u);
        EXPECT_EQ(range.diph.dwHeaderSize, 16u);
        EXPECT_EQ(range.diph.dwHow, static_cast<DWORD>(DIPH_BYID));
        EXPECT_EQ(range.diph.dwObj, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis));
        EXPECT_EQ(range.lMin, -1000);
        EXPECT_EQ(range.lMax, 1000);
    }
    EXPECT_EQ(trace.lines().back(), "UpdateDeviceOk\n");
    EXPECT_EQ(pad.acquires, 0);  // opening does not acquire
}

TEST_F(InputDevicesTest, AxesRefusingARangeStillOpenTheDevice) {
    std::vector<FakeController> controllers = NamedControllers(1);
    controllers[0].refusesRange = true;
    TraceRecorder trace;
    OpenFirst(controllers);
    EXPECT_EQ(fakeInput.controllers[0].ranges.size(), 1u);  // the walk stopped at the refusal
    EXPECT_EQ(trace.lines().back(), "UpdateDeviceOk\n");
}

TEST_F(InputDevicesTest, ADeviceThatCannotBeOpenedOrIsOutOfRangeGivesNoButtons) {
    OpenFirst(NamedControllers(2));
    TraceRecorder trace;
    fakeInput.controllers[1].opens = false;  // unplugged since it was listed
    UpdateDevice(1);
    EXPECT_EQ(InputDevices.device, nullptr);
    for (int index : {-1, 2, 255}) {
        UpdateDevice(index);
        EXPECT_EQ(InputDevices.device, nullptr) << index;
    }
    EXPECT_EQ(trace.lines(), Lines(4, "UpdateDeviceNo\n"));
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 0u);
}

TEST_F(InputDevicesTest, TheFirstPollOnlyAcquires) {
    std::vector<FakeController> controllers = NamedControllers(1);
    controllers[0].held = 1u << 2;
    OpenFirst(controllers);
    PollJoystick();
    EXPECT_EQ(fakeInput.controllers[0].acquires, 1);
    EXPECT_EQ(fakeInput.controllers[0].stateReads, 0);
    EXPECT_EQ(JoystickButtons(), 0u);
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 1u << 2);
    EXPECT_EQ(fakeInput.controllers[0].acquires, 1);

    // A device opened again starts from nothing, not from what the last one held.
    UpdateDevice(0);
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 0u);
}

TEST_F(InputDevicesTest, AControllerThatStaysLostDoesNotHang) {
    std::vector<FakeController> controllers = NamedControllers(1);
    controllers[0].staysLost = true;
    controllers[0].held = 1;
    OpenFirst(controllers);
    PollJoystick();
    const int perTick = fakeInput.controllers[0].acquires;
    EXPECT_GE(perTick, 2);  // lost is tried again...
    EXPECT_LE(perTick, 5);  // ...but only a few times per tick
    PollJoystick();
    EXPECT_EQ(fakeInput.controllers[0].acquires, 2 * perTick);
    EXPECT_EQ(JoystickButtons(), 0u);

    // Found again: the next tick acquires, the one after reads.
    fakeInput.controllers[0].staysLost = false;
    PollJoystick();
    PollJoystick();
    EXPECT_EQ(JoystickButtons(), 1u);
}

TEST_F(InputDevicesTest, ButtonMasksCoverExactlyThirtyTwoButtons) {
    OpenFirst(NamedControllers(1));
    const uint32_t masks[] = {0u, 1u, (1u << 2) | (1u << 4), 1u << 31, 0xFFFFFFFFu};
    PollJoystick();
    for (uint32_t held : masks) {
        fakeInput.controllers[0].held = held;
        PollJoystick();
        EXPECT_EQ(JoystickButtons(), held);
    }
}

TEST_F(InputDevicesTest, ReleasingTwiceIsHarmless) {
    OpenFirst(NamedControllers(1));
    PollJoystick();
    ReleaseDirectInput();
    EXPECT_EQ(InputDevices.device, nullptr);
    EXPECT_EQ(InputDevices.directInput, nullptr);
    EXPECT_EQ(InputDevices.window, nullptr);
    EXPECT_EQ(fakeInput.liveObjects, 0);
    ReleaseDirectInput();
    EXPECT_EQ(fakeInput.liveObjects, 0);
    EXPECT_EQ(JoystickButtons(), 0u);
}

// Wine's dinput8.dll, loaded at run time: a machine without controllers lists none.
TEST(InputDevicesRealTest, WinesDirectInputStartsAndReleases) {
    HWND window =
        CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(InitDirectInput(window));
    EXPECT_NE(InputDevices.directInput, nullptr);
    EXPECT_GE(InputDevices.joystickCount, 0);
    EXPECT_LE(InputDevices.joystickCount, MaxJoysticks);
    EXPECT_NE(GetModuleHandleA("dinput8.dll"), nullptr);
    ReleaseDirectInput();
    ReleaseDirectInput();
    EXPECT_EQ(InputDevices.directInput, nullptr);
    DestroyWindow(window);
}

}  // namespace
