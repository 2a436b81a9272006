// DirectInput 8 stand-ins: an IDirectInput8A that lists chosen controllers and the
// IDirectInputDevice8A objects it opens for them, with buttons a test holds down.
#pragma once
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

#include <cstdint>
#include <string>
#include <vector>

struct FakeController {
    std::string name;           // instance and product name
    bool opens = true;          // CreateDevice succeeds for it
    bool refusesRange = false;  // SetProperty(DIPROP_RANGE) fails on its axes
    bool staysLost = false;     // Acquire always reports DIERR_INPUTLOST
    uint32_t held = 0;          // bit i: button i is down
    // What the program did to it.
    int creates = 0;
    int acquires = 0;
    std::vector<DIPROPRANGE> ranges;
    DWORD cooperativeFlags = 0;
    HWND cooperativeWindow = nullptr;
    LPCDIDATAFORMAT dataFormat = nullptr;
};

// The world the fakes answer from; tests change it between calls.
struct FakeDirectInputWorld {
    std::vector<FakeController> controllers;
    bool createFails = false;   // DirectInput8Create refuses
    bool listingFails = false;  // EnumDevices reports failure
    int liveObjects = 0;        // fake interfaces not yet released
    DWORD lastDeviceClass = 0;
    DWORD lastListFlags = 0;
};

extern FakeDirectInputWorld fakeInput;

// Resets the world to the given controllers (leaks of an earlier test stay counted).
void ResetFakeInput(std::vector<FakeController> controllers);
std::vector<FakeController> NamedControllers(int count);  // "Pad 1", "Pad 2", ...

// Stands in for DirectInput8Create.
HRESULT WINAPI FakeDirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out,
                                      LPUNKNOWN outer);
