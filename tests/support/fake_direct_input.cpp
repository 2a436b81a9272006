// DirectInput 8 stand-ins: an IDirectInput8A that lists chosen controllers and the
// IDirectInputDevice8A objects it opens for them, with buttons a test holds down.
#include "tests/support/fake_direct_input.h"

#include <cstring>

FakeDirectInputWorld fakeInput;

void ResetFakeInput(std::vector<FakeController> controllers) {
    int live = fakeInput.liveObjects;
    fakeInput = FakeDirectInputWorld();
    fakeInput.controllers = std::move(controllers);
    fakeInput.liveObjects = live;
}

std::vector<FakeController> NamedControllers(int count) {
    std::vector<FakeController> controllers(count);
    for (int i = 0; i < count; ++i) {
        controllers[i].name = "Pad " + std::to_string(i + 1);
    }
    return controllers;
}

namespace {

// Controller i has the instance GUID whose first word is i + 1.
GUID ControllerGuid(size_t index) {
    return GUID{static_cast<unsigned long>(index + 1), 0xFA4E, 0, {}};
}

// The reference counting both fakes share; each counts as live until its last Release.
template <typename Interface>
class FakeUnknown : public Interface {
  public:
    FakeUnknown() { ++fakeInput.liveObjects; }
    virtual ~FakeUnknown() { --fakeInput.liveObjects; }
    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  private:
    ULONG references_ = 1;
};

// Methods the program never calls.
#define NOT_CALLED(method, ...)               \
    STDMETHOD(method)(__VA_ARGS__) override { \
        return E_NOTIMPL;                     \
    }

class FakeDevice final : public FakeUnknown<IDirectInputDevice8A> {
  public:
    explicit FakeDevice(size_t index) : index_(index) {}

    STDMETHOD(EnumObjects)
    (LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD flags) override {
        if (flags != DIDFT_AXIS) {
            return DIERR_INVALIDPARAM;
        }
        for (DWORD axis = 0; axis < 3; ++axis) {
            DIDEVICEOBJECTINSTANCEA object = {};
            object.dwSize = sizeof object;
            object.dwType = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
            if (callback(&object, context) == DIENUM_STOP) {
                break;
            }
        }
        return DI_OK;
    }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override {
        if (&property != &DIPROP_RANGE || header->dwSize != sizeof(DIPROPRANGE)) {
            return DIERR_INVALIDPARAM;
        }
        Controller().ranges.push_back(*reinterpret_cast<const DIPROPRANGE*>(header));
        return Controller().refusesRange ? DIERR_UNSUPPORTED : DI_OK;
    }
    STDMETHOD(Acquire)() override {
        ++Controller().acquires;
        acquired_ = !Controller().staysLost;
        return acquired_ ? DI_OK : DIERR_INPUTLOST;
    }
    STDMETHOD(Unacquire)() override {
        acquired_ = false;
        return DI_OK;
    }
    STDMETHOD(Poll)() override { return acquired_ ? DI_NOEFFECT : DIERR_NOTACQUIRED; }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
        if (!acquired_) {
            return DIERR_NOTACQUIRED;
        }
        if (size != sizeof(DIJOYSTATE)) {
            return DIERR_INVALIDPARAM;
        }
        DIJOYSTATE state = {};
        for (int i = 0; i < 32; ++i) {
            state.rgbButtons[i] = (Controller().held >> i) & 1 ? 0x80 : 0x00;
        }
        memcpy(data, &state, sizeof state);
        return DI_OK;
    }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override {
        Controller().dataFormat = format;
        return DI_OK;
    }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override {
        Controller().cooperativeWindow = window;
        Controller().cooperativeFlags = flags;
        return DI_OK;
    }
    // clang-format off
    NOT_CALLED(GetCapabilities, LPDIDEVCAPS)
    NOT_CALLED(GetProperty, REFGUID, LPDIPROPHEADER)
    NOT_CALLED(GetDeviceData, DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    NOT_CALLED(SetEventNotification, HANDLE)
    NOT_CALLED(GetObjectInfo, LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD)
    NOT_CALLED(GetDeviceInfo, LPDIDEVICEINSTANCEA)
    NOT_CALLED(RunControlPanel, HWND, DWORD)
    NOT_CALLED(Initialize, HINSTANCE, DWORD, REFGUID)
    NOT_CALLED(CreateEffect, REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN)
    NOT_CALLED(EnumEffects, LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD)
    NOT_CALLED(GetEffectInfo, LPDIEFFECTINFOA, REFGUID)
    NOT_CALLED(GetForceFeedbackState, LPDWORD)
    NOT_CALLED(SendForceFeedbackCommand, DWORD)
    NOT_CALLED(EnumCreatedEffectObjects, LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD)
    NOT_CALLED(Escape, LPDIEFFESCAPE)
    NOT_CALLED(SendDeviceData, DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    NOT_CALLED(EnumEffectsInFile, LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD)
    NOT_CALLED(WriteEffectToFile, LPCSTR, DWORD, LPDIFILEEFFECT, DWORD)
    NOT_CALLED(BuildActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD)
    NOT_CALLED(SetActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD)
    NOT_CALLED(GetImageInfo, LPDIDEVICEIMAGEINFOHEADERA)
    // clang-format on

  private:
    // A controller unplugged after opening keeps answering from a blank stand-in.
    FakeController& Controller() {
        static FakeController unplugged;
        return index_ < fakeInput.controllers.size() ? fakeInput.controllers[index_] : unplugged;
    }

    size_t index_;
    bool acquired_ = false;
};

class FakeDirectInput final : public FakeUnknown<IDirectInput8A> {
  public:
    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN) override {
        *device = nullptr;
        for (size_t i = 0; i < fakeInput.controllers.size(); ++i) {
            if (IsEqualGUID(guid, ControllerGuid(i))) {
                ++fakeInput.controllers[i].creates;
                *device = fakeInput.controllers[i].opens ? new FakeDevice(i) : nullptr;
            }
        }
        return *device != nullptr ? DI_OK : DIERR_DEVICENOTREG;
    }
    STDMETHOD(EnumDevices)
    (DWORD deviceClass, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override {
        fakeInput.lastDeviceClass = deviceClass;
        fakeInput.lastListFlags = flags;
        if (fakeInput.listingFails) {
            return DIERR_INVALIDPARAM;
        }
        for (size_t i = 0; i < fakeInput.controllers.size(); ++i) {
            DIDEVICEINSTANCEA instance = {};
            instance.dwSize = sizeof instance;
            instance.guidInstance = ControllerGuid(i);
            instance.dwDevType = DI8DEVTYPE_GAMEPAD;
            lstrcpynA(instance.tszInstanceName, fakeInput.controllers[i].name.c_str(), MAX_PATH);
            lstrcpynA(instance.tszProductName, fakeInput.controllers[i].name.c_str(), MAX_PATH);
            if (callback(&instance, context) == DIENUM_STOP) {
                break;
            }
        }
        return DI_OK;
    }
    // clang-format off
    NOT_CALLED(GetDeviceStatus, REFGUID)
    NOT_CALLED(RunControlPanel, HWND, DWORD)
    NOT_CALLED(Initialize, HINSTANCE, DWORD)
    NOT_CALLED(FindDevice, REFGUID, LPCSTR, LPGUID)
    NOT_CALLED(EnumDevicesBySemantics, LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD)
    NOT_CALLED(ConfigureDevices, LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID)
    // clang-format on
};

}  // namespace

HRESULT WINAPI FakeDirectInput8Create(HINSTANCE, DWORD, REFIID iid, LPVOID* out, LPUNKNOWN) {
    *out = nullptr;
    if (fakeInput.createFails || !IsEqualIID(iid, IID_IDirectInput8A)) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    *out = static_cast<IDirectInput8A*>(new FakeDirectInput());
    return DI_OK;
}
