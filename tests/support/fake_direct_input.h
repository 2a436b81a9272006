// DirectInput 8 stand-ins for SetDirectInputCreator: an IDirectInput8A that lists the controllers
// a test attaches, and the devices it opens for them with the buttons a test holds down.
#pragma once
#include <cstdio>
#include <vector>

#include "input/input_devices.h"

// Controller i is named "Pad <i + 1>".
struct FakeController {
    bool opens = true;     // CreateDevice succeeds for it
    int lostAcquires = 0;  // the next this many Acquire calls report DIERR_INPUTLOST
    uint32_t held = 0;     // bit i: button i is down
};

// The controllers attached; tests change them between calls.
inline std::vector<FakeController> fakeControllers;

// The program releases each object once.
template <typename Interface>
struct FakeUnknown : Interface {
    virtual ~FakeUnknown() = default;
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override {
        delete this;
        return 0;
    }
};

// The set-up steps succeed; the program calls no other method.
// clang-format off
#define FAKE_OK(method, ...) STDMETHOD(method)(__VA_ARGS__) override { return DI_OK; }
#define FAKE_UNUSED(method, ...) STDMETHOD(method)(__VA_ARGS__) override { return E_NOTIMPL; }
// clang-format on

struct FakeDevice final : FakeUnknown<IDirectInputDevice8A> {
    explicit FakeDevice(size_t index) : index(index) {}
    size_t index;
    bool acquired = false;

    STDMETHOD(Acquire)() override {
        acquired = fakeControllers.at(index).lostAcquires-- <= 0;
        return acquired ? DI_OK : DIERR_INPUTLOST;
    }
    STDMETHOD(Poll)() override { return acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED; }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
        if (!acquired || size != sizeof(DIJOYSTATE)) {
            return DIERR_NOTACQUIRED;
        }
        auto* state = static_cast<DIJOYSTATE*>(data);
        *state = {};
        for (int i = 0; i < 32; ++i) {
            state->rgbButtons[i] = (fakeControllers.at(index).held >> i) & 1 ? 0x80 : 0;
        }
        return DI_OK;
    }
    // clang-format off
    FAKE_OK(SetDataFormat, LPCDIDATAFORMAT) FAKE_OK(SetCooperativeLevel, HWND, DWORD)
    FAKE_OK(EnumObjects, LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) FAKE_OK(Unacquire)
    FAKE_OK(SetProperty, REFGUID, LPCDIPROPHEADER)
    FAKE_UNUSED(EnumCreatedEffectObjects, LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD)
    FAKE_UNUSED(EnumEffectsInFile, LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD)
    FAKE_UNUSED(CreateEffect, REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN)
    FAKE_UNUSED(SendDeviceData, DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    FAKE_UNUSED(GetDeviceData, DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    FAKE_UNUSED(WriteEffectToFile, LPCSTR, DWORD, LPDIFILEEFFECT, DWORD)
    FAKE_UNUSED(GetObjectInfo, LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD)
    FAKE_UNUSED(EnumEffects, LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD)
    FAKE_UNUSED(BuildActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD) FAKE_UNUSED(Escape, LPDIEFFESCAPE)
    FAKE_UNUSED(SetActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD)
    FAKE_UNUSED(GetEffectInfo, LPDIEFFECTINFOA, REFGUID) FAKE_UNUSED(GetForceFeedbackState, LPDWORD)
    FAKE_UNUSED(Initialize, HINSTANCE, DWORD, REFGUID) FAKE_UNUSED(SendForceFeedbackCommand, DWORD)
    FAKE_UNUSED(GetProperty, REFGUID, LPDIPROPHEADER) FAKE_UNUSED(SetEventNotification, HANDLE)
    FAKE_UNUSED(GetImageInfo, LPDIDEVICEIMAGEINFOHEADERA) FAKE_UNUSED(RunControlPanel, HWND, DWORD)
    FAKE_UNUSED(GetDeviceInfo, LPDIDEVICEINSTANCEA) FAKE_UNUSED(GetCapabilities, LPDIDEVCAPS)
    // clang-format on
};

// Controller i has the instance GUID whose first word is i + 1.
struct FakeDirectInput final : FakeUnknown<IDirectInput8A> {
    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN) override {
        const size_t i = guid.Data1 - 1;
        const bool opens = i < fakeControllers.size() && fakeControllers[i].opens;
        *device = opens ? new FakeDevice(i) : nullptr;
        return opens ? DI_OK : DIERR_DEVICENOTREG;
    }
    STDMETHOD(EnumDevices)
    (DWORD, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD) override {
        DIDEVICEINSTANCEA instance = {};
        instance.dwSize = sizeof instance;
        for (size_t i = 0; i < fakeControllers.size(); ++i) {
            instance.guidInstance.Data1 = static_cast<DWORD>(i + 1);
            snprintf(instance.tszProductName, MAX_PATH, "Pad %u", static_cast<unsigned>(i + 1));
            if (callback(&instance, context) == DIENUM_STOP) {
                break;
            }
        }
        return DI_OK;
    }
    // clang-format off
    FAKE_UNUSED(GetDeviceStatus, REFGUID) FAKE_UNUSED(RunControlPanel, HWND, DWORD)
    FAKE_UNUSED(Initialize, HINSTANCE, DWORD) FAKE_UNUSED(FindDevice, REFGUID, LPCSTR, LPGUID)
    FAKE_UNUSED(EnumDevicesBySemantics, LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA,
                LPVOID, DWORD)
    FAKE_UNUSED(ConfigureDevices, LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD,
                LPVOID)
    // clang-format on
};

inline HRESULT WINAPI FakeDirectInput8Create(HINSTANCE, DWORD, REFIID iid, LPVOID* out, LPUNKNOWN) {
    const bool fails = !IsEqualIID(iid, IID_IDirectInput8A);
    *out = fails ? nullptr : static_cast<IDirectInput8A*>(new FakeDirectInput());
    return fails ? DIERR_OLDDIRECTINPUTVERSION : DI_OK;
}
