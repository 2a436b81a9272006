// The gamepad page (117): the controller in use, its sensitivity, and a controller button for
// each of the game's ten gamepad actions, assigned by capture.
#include "input/gamepad_page.h"

#include <cstring>

#include "common/dialog_items.h"
#include "common/dialog_text.h"
#include "common/trace.h"
#include "input/input_devices.h"
#include "input/key_names.h"
#include "input/key_scan.h"
#include "resource.h"

GamepadPage gamepadPage;

// In the order of SettingsRecord.GamePad.
static const CaptureAction kActions[kGamePadSlots] = {
    {IDC_PAD_CONFIRM, IDC_PAD_CONFIRM_LABEL},
    {IDC_PAD_CANCEL, IDC_PAD_CANCEL_LABEL},
    {IDC_PAD_WALK_RUN, IDC_PAD_WALK_RUN_LABEL},
    {IDC_PAD_TURN_RIGHT, IDC_PAD_TURN_RIGHT_LABEL},
    {IDC_PAD_TURN_LEFT, IDC_PAD_TURN_LEFT_LABEL},
    {IDC_PAD_STAR_CUP, IDC_PAD_STAR_CUP_LABEL},
    {IDC_PAD_COOKING, IDC_PAD_COOKING_LABEL},
    {IDC_PAD_STONE_MAP, IDC_PAD_STONE_MAP_LABEL},
    {IDC_PAD_PLACE_NAMES, IDC_PAD_PLACE_NAMES_LABEL},
    {IDC_PAD_MAP_ZOOM, IDC_PAD_MAP_ZOOM_LABEL},
};
static const int kWalkRunAction = 2;

// Besides the capture buttons and labels, the controls that need a controller to mean anything.
static const int kPadControls[] = {
    IDC_PAD_DEVICES,     IDC_PAD_DEFAULTS,          IDC_PAD_ANALOG,
    IDC_PAD_SENSITIVITY, IDC_PAD_SENSITIVITY_VALUE, IDC_PAD_SENSITIVITY_GROUP};

static const int kSensitivityMax = 100;

// A key cancels the capture; of the controller's buttons held, the lowest is taken. The
// controller's buttons are not waited for.
static CaptureLook LookAtPad() {
    if (ScanKeys() != 0) {
        return {CaptureLook::kCancel, 0, AnyKeyHeld};
    }
    PollJoystick();
    const uint32_t held = JoystickButtons();
    if (held == 0) {
        return {CaptureLook::kNothing, 0, nullptr};
    }
    return {CaptureLook::kTake, static_cast<uint8_t>(__builtin_ctz(held)), nullptr};
}

static void RefreshPadLabels() {
    gamepadPage.RefreshLabels();
}

static const CaptureRules kPadCapture = {
    kActions,
    kGamePadSlots,
    LookAtPad,
    PadButtonName,
    nullptr,  // only the keys are waited for at the start
    false,    // the focus stays where it is
    RefreshPadLabels,
};

GamepadPage::GamepadPage() : capture(*this, kPadCapture, buttons), devices(IDC_PAD_DEVICES) {}

static bool HasControllers() {
    return InputDevices.directInput != nullptr && InputDevices.joystickCount > 0;
}

bool GamepadPage::PadControlsOn() const {
    return HasControllers() && IsItemChecked(window, IDC_PAD_USE_DI);
}

void GamepadPage::InitControls(HWND dialog) {
    Attach(dialog);
    // A stored value above 100 puts the slider at 100; the number shows what is stored until
    // the slider moves.
    InitTrackbar(dialog, IDC_PAD_SENSITIVITY, kSensitivityMax, SettingsRecord.PadSensitivity);
    FormatItemText(dialog, IDC_PAD_SENSITIVITY_VALUE, "%d", SettingsRecord.PadSensitivity);
    memcpy(buttons, SettingsRecord.GamePad, sizeof buttons);
    // Shown also while no controller is listed, disabled: a pad unplugged for an evening keeps
    // its set-up.
    CheckItem(dialog, IDC_PAD_USE_DI, SettingsRecord.UseGamaPad != 0);
    CheckItem(dialog, IDC_PAD_ANALOG, SettingsRecord.Analog != 0);
    RefreshLabels();
    if (HasControllers()) {
        EnableItem(dialog, IDC_PAD_USE_DI, true);
        FillControllerList(SettingsRecord.PadDeviceNo);
        EnablePadControls(SettingsRecord.UseGamaPad != 0);
        ApplyAnalog(SettingsRecord.Analog != 0);
    } else {
        EnableItem(dialog, IDC_PAD_USE_DI, false);
        EnablePadControls(false);
    }
}

void GamepadPage::FillControllerList(int index) {
    if (!HasControllers()) {
        return;
    }
    if (index < 0 || index >= InputDevices.joystickCount) {
        index = 0;
    }
    ClearList(window, IDC_PAD_DEVICES);
    for (int i = 0; i < InputDevices.joystickCount; ++i) {
        // DirectInput hands the name over in the system's code page.
        char name[MAX_PATH];
        memcpy(name, InputDevices.joysticks[i].tszProductName, sizeof name);
        name[MAX_PATH - 1] = '\0';
        AddListItem(window, IDC_PAD_DEVICES, name, i, CP_ACP);
    }
    SelectListEntry(window, IDC_PAD_DEVICES, index);
    devices.Remember(window);
    UpdateDevice(index);
}

void GamepadPage::EnablePadControls(bool on) {
    on = on && HasControllers();
    for (const CaptureAction& action : kActions) {
        EnableItem(window, action.button, on);
        EnableItem(window, action.label, on);
    }
    for (int id : kPadControls) {
        EnableItem(window, id, on);
    }
}

void GamepadPage::ApplyAnalog(bool on) {
    bool enable = !on && PadControlsOn();
    EnableItem(window, kActions[kWalkRunAction].button, enable);
    EnableItem(window, kActions[kWalkRunAction].label, enable);
}

// The capture buttons come back only where the pad controls are on: a capture that ends after
// "使用DirectInput" was cleared leaves them off.
void GamepadPage::RefreshLabels() {
    for (int i = 0; i < kGamePadSlots; ++i) {
        DebugTrace("%d %s\n", i, PadButtonName(buttons[i]));
    }
    capture.ShowCodes(PadControlsOn());
    ApplyAnalog(IsItemChecked(window, IDC_PAD_ANALOG));
}

void GamepadPage::RestoreDefaults() {
    capture.End();
    SendDlgItemMessageW(window, IDC_PAD_DEVICES, CB_SETCURSEL, 0, 0);
    devices.Remember(window);
    memcpy(buttons, SettingsDefaults.GamePad, sizeof buttons);
    CheckItem(window, IDC_PAD_USE_DI, SettingsDefaults.UseGamaPad != 0);
    RefreshLabels();
    CheckItem(window, IDC_PAD_ANALOG, SettingsDefaults.Analog != 0);
    EnablePadControls(SettingsDefaults.UseGamaPad != 0);
    ApplyAnalog(SettingsDefaults.Analog != 0);
    SetTrackbarPosition(window, IDC_PAD_SENSITIVITY, SettingsDefaults.PadSensitivity);
    FormatItemText(window, IDC_PAD_SENSITIVITY_VALUE, "%d", SettingsDefaults.PadSensitivity);
}

void GamepadPage::Collect() {
    if (!HasWindow()) {
        return;
    }
    memcpy(SettingsRecord.GamePad, buttons, sizeof buttons);
    // With no controller listed there is nothing to choose from: the stored number stays for
    // the day the pad is back. The check boxes show the stored values unless restored. Text
    // typed over the list's field chooses nothing.
    if (SendDlgItemMessageW(window, IDC_PAD_DEVICES, CB_GETCOUNT, 0, 0) > 0 &&
        devices.Position() >= 0) {
        SettingsRecord.PadDeviceNo = static_cast<uint8_t>(devices.Position());
    }
    SettingsRecord.UseGamaPad = IsItemChecked(window, IDC_PAD_USE_DI) ? 1 : 0;
    SettingsRecord.Analog = IsItemChecked(window, IDC_PAD_ANALOG) ? 1 : 0;
    SettingsRecord.PadSensitivity =
        static_cast<uint8_t>(TrackbarPosition(window, IDC_PAD_SENSITIVITY));
}

void GamepadPage::OnCommand(int id, WORD notification) {
    const int action = capture.ActionOf(id);
    if (action >= 0) {
        StartCapture(action);
        return;
    }
    switch (id) {
        case IDC_PAD_DEFAULTS:
            RestoreDefaults();
            break;
        case IDC_PAD_DEVICES:
            // The list also reports focus, drop-down and typing: only a new choice opens.
            if (devices.Changed(window, notification)) {
                UpdateDevice(static_cast<int>(devices.Data(window)));
            }
            break;
        case IDC_PAD_UPDATE:
            // Back to the stored values with the controllers attached now.
            capture.End();
            ReleaseDevice();
            EnumJoysticks();
            InitControls(window);
            break;
        case IDC_PAD_USE_DI:
            EnablePadControls(IsItemChecked(window, IDC_PAD_USE_DI));
            ApplyAnalog(IsItemChecked(window, IDC_PAD_ANALOG));
            FillControllerList(static_cast<uint8_t>(devices.Data(window)));
            break;
        case IDC_PAD_ANALOG:
            ApplyAnalog(IsItemChecked(window, IDC_PAD_ANALOG));
            break;
    }
}

void GamepadPage::OnSensitivityMoved() {
    FormatItemText(window, IDC_PAD_SENSITIVITY_VALUE, "%d",
                   TrackbarPosition(window, IDC_PAD_SENSITIVITY));
}

INT_PTR CALLBACK GamepadPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            gamepadPage.InitControls(dialog);
            return TRUE;
        case WM_DESTROY:
            gamepadPage.OnDestroy();
            return FALSE;
        case WM_COMMAND:
            gamepadPage.OnCommand(LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_TIMER:
            gamepadPage.OnCaptureTick();
            return FALSE;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_PAD_SENSITIVITY)) {
                gamepadPage.OnSensitivityMoved();
            }
            return FALSE;
        case WM_PAGESHOWN:
            gamepadPage.OnShown();
            return FALSE;
    }
    return FALSE;
}
