// DirectInput 8: the attached game controllers and the one that is open for button reads.
#include "input/input_devices.h"

#include <cstring>

#include "common/trace.h"

InputDeviceTable InputDevices;

// A controller that stays lost is tried this many times per poll; the next tick tries again.
static const int kAcquireTries = 3;
static const LONG kAxisLimit = 1000;

static DirectInputCreator directInputCreator;
// dinput8.dll is loaded only when DirectInput is created, so the program starts without it.
static HMODULE directInputLibrary;

DirectInputCreator SetDirectInputCreator(DirectInputCreator creator) {
    DirectInputCreator previous = directInputCreator;
    directInputCreator = creator;
    return previous;
}

static DirectInputCreator LoadDirectInputCreator() {
    if (directInputCreator != nullptr) {
        return directInputCreator;
    }
    if (directInputLibrary == nullptr) {
        directInputLibrary = LoadLibraryA("dinput8.dll");
        if (directInputLibrary == nullptr) {
            return nullptr;
        }
    }
    return reinterpret_cast<DirectInputCreator>(
        reinterpret_cast<void*>(GetProcAddress(directInputLibrary, "DirectInput8Create")));
}

static void FreeDirectInputLibrary() {
    if (directInputLibrary != nullptr) {
        FreeLibrary(directInputLibrary);
        directInputLibrary = nullptr;
    }
}

bool InitDirectInput(HWND window) {
    ReleaseDirectInput();  // a second start begins from nothing
    InputDevices.window = window;
    InputDevices.joystickCount = 0;
    DirectInputCreator create = LoadDirectInputCreator();
    void* created = nullptr;
    if (create == nullptr ||
        FAILED(create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A, &created,
                      nullptr)) ||
        created == nullptr) {
        DebugTrace("Create DirectInput failed\n");
        FreeDirectInputLibrary();
        return false;
    }
    InputDevices.directInput = static_cast<IDirectInput8A*>(created);
    if (!EnumJoysticks()) {
        ReleaseDirectInput();
        return false;
    }
    DebugTrace("Create DirectInput Joystick OK\n");
    return true;
}

// Takes a listed controller only if it can be opened; the probe is closed again at once.
static BOOL CALLBACK AddJoystick(LPCDIDEVICEINSTANCEA instance, LPVOID) {
    if (InputDevices.joystickCount >= MaxJoysticks) {
        return DIENUM_STOP;  // the table is full: a ninth controller is never written
    }
    IDirectInputDevice8A* probe = nullptr;
    if (FAILED(InputDevices.directInput->CreateDevice(instance->guidInstance, &probe, nullptr)) ||
        probe == nullptr) {
        return DIENUM_CONTINUE;
    }
    probe->Release();
    InputDevices.joysticks[InputDevices.joystickCount] = *instance;
    ++InputDevices.joystickCount;
    return DIENUM_CONTINUE;
}

bool EnumJoysticks() {
    if (InputDevices.directInput == nullptr) {
        return false;
    }
    InputDevices.joystickCount = 0;
    HRESULT result = InputDevices.directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, AddJoystick,
                                                           nullptr, DIEDFL_ATTACHEDONLY);
    if (FAILED(result)) {
        DebugTrace("Create Joystick device failed\n");
        return false;
    }
    for (int i = 0; i < InputDevices.joystickCount; ++i) {
        DebugTrace("%d %s\n", i, InputDevices.joysticks[i].tszInstanceName);
    }
    return true;
}

// Axes report -1000..+1000. An axis that refuses the range ends the walk but not the set-up.
static BOOL CALLBACK SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context) {
    IDirectInputDevice8A* device = static_cast<IDirectInputDevice8A*>(context);
    DIPROPRANGE range;
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    range.lMin = -kAxisLimit;
    range.lMax = kAxisLimit;
    return SUCCEEDED(device->SetProperty(DIPROP_RANGE, &range.diph)) ? DIENUM_CONTINUE
                                                                     : DIENUM_STOP;
}

static bool OpenDevice(int index) {
    if (InputDevices.directInput == nullptr || index < 0 || index >= InputDevices.joystickCount) {
        return false;
    }
    IDirectInputDevice8A* device = nullptr;
    if (FAILED(InputDevices.directInput->CreateDevice(InputDevices.joysticks[index].guidInstance,
                                                      &device, nullptr)) ||
        device == nullptr) {
        return false;
    }
    InputDevices.device = device;
    return SUCCEEDED(device->SetDataFormat(&c_dfDIJoystick)) &&
           SUCCEEDED(device->SetCooperativeLevel(InputDevices.window,
                                                 DISCL_EXCLUSIVE | DISCL_BACKGROUND)) &&
           SUCCEEDED(device->EnumObjects(SetAxisRange, device, DIDFT_AXIS));
}

void UpdateDevice(int index) {
    ReleaseDevice();
    DebugTrace(OpenDevice(index) ? "UpdateDeviceOk\n" : "UpdateDeviceNo\n");
}

void ReleaseDevice() {
    if (InputDevices.device != nullptr) {
        InputDevices.device->Unacquire();
        InputDevices.device->Release();
        InputDevices.device = nullptr;
    }
    // The last state belonged to the closed device: a newly opened one must not report its
    // buttons on the tick that only acquires it.
    memset(&InputDevices.state, 0, sizeof InputDevices.state);
}

void ReleaseDirectInput() {
    ReleaseDevice();
    if (InputDevices.directInput != nullptr) {
        InputDevices.directInput->Release();
        InputDevices.directInput = nullptr;
    }
    FreeDirectInputLibrary();
    InputDevices.window = nullptr;
}

void PollJoystick() {
    IDirectInputDevice8A* device = InputDevices.device;
    if (device == nullptr) {
        return;
    }
    if (FAILED(device->Poll())) {
        HRESULT result = device->Acquire();
        for (int tries = 1; result == DIERR_INPUTLOST && tries < kAcquireTries; ++tries) {
            Sleep(0);
            result = device->Acquire();
        }
        return;
    }
    // Read aside so that a failed read leaves the last state as it was.
    DIJOYSTATE read;
    if (SUCCEEDED(device->GetDeviceState(sizeof read, &read))) {
        InputDevices.state = read;
    }
}

uint32_t JoystickButtons() {
    if (InputDevices.device == nullptr) {
        return 0;
    }
    uint32_t mask = 0;
    static_assert(sizeof InputDevices.state.rgbButtons == 32, "one bit of the mask a button");
    for (int i = 0; i < 32; ++i) {
        if (InputDevices.state.rgbButtons[i] & 0x80) {
            mask |= uint32_t{1} << i;
        }
    }
    return mask;
}
