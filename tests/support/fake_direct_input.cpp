// DirectInput 8 stand-ins: an IDirectInput8A that lists chosen controllers and the
// IDirectInputDevice8A objects it opens for them, with buttons a test holds down.
#include "tests/support/fake_direct_input.h"

#include <cstring>

FakeDirectInputWorld fakeInput;

void ResetFakeInput(std::vector<FakeController> controllers) {
    int live = fakeInput.liveObjects;
    fakeInput = FakeDirectInputWorld();
    fakeInput.controllers = std::move(controllers);
    fakeInput.liveObjects = live;  // leaks of an earlier test stay visible
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
    GUID guid = {};
    guid.Data1 = static_cast<unsigned long>(index + 1);
    guid.Data2 = 0xFA4E;
    return guid;
}

FakeController* ControllerOf(REFGUID guid) {
    for (size_t i = 0; i < fakeInput.controllers.size(); ++i) {
        if (IsEqualGUID(guid, ControllerGuid(i))) {
            return &fakeInput.controllers[i];
        }
    }
    return nullptr;
}

// The methods the program does not call answer E_NOTIMPL.
class FakeDevice final : public IDirectInputDevice8A {
  public:
    explicit FakeDevice(size_t index) : index_(index) { ++fakeInput.liveObjects; }

    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = --references_;
        if (left == 0) {
            --fakeInput.liveObjects;
            delete this;
        }
        return left;
    }
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS) override { return E_NOTIMPL; }
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
    STDMETHOD(GetProperty)(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
    STDMETHOD(SetProperty)(REFGUID property, LPCDIPROPHEADER header) override {
        if (&property != &DIPROP_RANGE || header->dwSize != sizeof(DIPROPRANGE)) {
            return DIERR_INVALIDPARAM;
        }
        Controller().ranges.push_back(*reinterpret_cast<const DIPROPRANGE*>(header));
        return Controller().refusesRange ? DIERR_UNSUPPORTED : DI_OK;
    }
    STDMETHOD(Acquire)() override {
        ++Controller().acquires;
        if (Controller().staysLost) {
            return DIERR_INPUTLOST;
        }
        acquired_ = true;
        return DI_OK;
    }
    STDMETHOD(Unacquire)() override {
        acquired_ = false;
        return DI_OK;
    }
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) override {
        if (!acquired_) {
            return DIERR_NOTACQUIRED;
        }
        if (size != sizeof(DIJOYSTATE)) {
            return DIERR_INVALIDPARAM;
        }
        ++Controller().stateReads;
        DIJOYSTATE state = {};
        for (int i = 0; i < 32; ++i) {
            state.rgbButtons[i] = (Controller().held >> i) & 1 ? 0x80 : 0x00;
        }
        memcpy(data, &state, sizeof state);
        return DI_OK;
    }
    STDMETHOD(GetDeviceData)(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) override {
        Controller().dataFormat = format;
        return DI_OK;
    }
    STDMETHOD(SetEventNotification)(HANDLE) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override {
        Controller().cooperativeWindow = window;
        Controller().cooperativeFlags = flags;
        return DI_OK;
    }
    STDMETHOD(GetObjectInfo)(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetDeviceInfo)(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(CreateEffect)(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumEffects)(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetEffectInfo)(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(GetForceFeedbackState)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SendForceFeedbackCommand)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumCreatedEffectObjects)
    (LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(Escape)(LPDIEFFESCAPE) override { return E_NOTIMPL; }
    STDMETHOD(Poll)() override {
        ++Controller().polls;
        return acquired_ ? DI_NOEFFECT : DIERR_NOTACQUIRED;
    }
    STDMETHOD(SendDeviceData)(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumEffectsInFile)(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(WriteEffectToFile)(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(BuildActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetActionMap)(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetImageInfo)(LPDIDEVICEIMAGEINFOHEADERA) override { return E_NOTIMPL; }

  private:
    // A controller unplugged after opening keeps answering from a blank stand-in.
    FakeController& Controller() {
        static FakeController unplugged;
        return index_ < fakeInput.controllers.size() ? fakeInput.controllers[index_] : unplugged;
    }

    size_t index_;
    ULONG references_ = 1;
    bool acquired_ = false;
};

class FakeDirectInput final : public IDirectInput8A {
  public:
    FakeDirectInput() { ++fakeInput.liveObjects; }

    STDMETHOD(QueryInterface)(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = --references_;
        if (left == 0) {
            --fakeInput.liveObjects;
            delete this;
        }
        return left;
    }
    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN) override {
        *device = nullptr;
        FakeController* controller = ControllerOf(guid);
        if (controller == nullptr) {
            return DIERR_DEVICENOTREG;
        }
        ++controller->creates;
        if (!controller->opens) {
            return DIERR_DEVICENOTREG;
        }
        *device = new FakeDevice(static_cast<size_t>(controller - fakeInput.controllers.data()));
        return DI_OK;
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
    STDMETHOD(GetDeviceStatus)(REFGUID) override { return E_NOTIMPL; }
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(FindDevice)(REFGUID, LPCSTR, LPGUID) override { return E_NOTIMPL; }
    STDMETHOD(EnumDevicesBySemantics)
    (LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(ConfigureDevices)
    (LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID) override {
        return E_NOTIMPL;
    }

  private:
    ULONG references_ = 1;
};

}  // namespace

HRESULT WINAPI FakeDirectInput8Create(HINSTANCE, DWORD version, REFIID iid, LPVOID* out,
                                      LPUNKNOWN) {
    *out = nullptr;
    fakeInput.lastVersion = version;
    if (fakeInput.createFails || !IsEqualIID(iid, IID_IDirectInput8A)) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    *out = static_cast<IDirectInput8A*>(new FakeDirectInput());
    return DI_OK;
}
