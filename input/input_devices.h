// DirectInput 8: the attached game controllers and the one that is open for button reads.
#pragma once
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>
#include <cstdint>

constexpr int MaxJoysticks = 8;

struct InputDeviceTable {
    HWND window;                                // cooperative-level window of the open device
    IDirectInput8A* directInput;                // null without DirectInput
    DIDEVICEINSTANCEA joysticks[MaxJoysticks];  // controllers that could be opened, in order
    int joystickCount;                          // 0 to MaxJoysticks
    IDirectInputDevice8A* device;               // the selected controller, null when none is open
    DIJOYSTATE state;                           // last state read; only rgbButtons is used
};

extern InputDeviceTable InputDevices;

// Creates DirectInput for the window and lists the controllers. False without DirectInput
// (dinput8.dll missing or creation refused) or when the listing failed.
bool InitDirectInput(HWND window);
// Lists the attached controllers again into the table. False without DirectInput or when the
// listing itself failed.
bool EnumJoysticks();
// Opens controller index of the table as the selected device (not acquired yet).
void UpdateDevice(int index);
void ReleaseDevice();
// Closes the device and DirectInput; safe to call again.
void ReleaseDirectInput();
// Reads the selected device's state; a tick that finds it unacquired only acquires it.
void PollJoystick();
// Bit i set when button i (0 to 31) is held in the last state read; 0 without a device.
uint32_t JoystickButtons();

// How DirectInput is created: DirectInput8Create's signature. Null (the default) loads
// dinput8.dll at run time; tests put in a creator that hands out fake objects.
using DirectInputCreator = HRESULT(WINAPI*)(HINSTANCE instance, DWORD version, REFIID iid,
                                            LPVOID* out, LPUNKNOWN outer);
DirectInputCreator SetDirectInputCreator(DirectInputCreator creator);
