// The mouse page (118): a mouse button for each mouse action, and the wheel switches.
#include "input/mouse_page.h"

#include <cstring>

#include "common/dialog_items.h"
#include "input/key_names.h"
#include "input/key_scan.h"
#include "resource.h"

MousePage mousePage;

static const CaptureAction kMouseActions[kMouseSlots] = {
    {IDC_MOUSE_CONFIRM, IDC_MOUSE_CONFIRM_NAME},
    {IDC_MOUSE_CANCEL, IDC_MOUSE_CANCEL_NAME},
};

// A key cancels the capture; the first mouse button held, anywhere on the screen, is taken.
static CaptureLook LookAtMouse() {
    if (ScanKeys() != 0) {
        return {CaptureLook::kCancel, 0, AnyKeyHeld};
    }
    const uint8_t button = ScanMouseButtons();
    return {button != 0 ? CaptureLook::kTake : CaptureLook::kNothing, button, AnyMouseButtonHeld};
}

static void RefreshMouseLabels() {
    mousePage.RefreshLabels();
}

static const CaptureRules kMouseCapture = {
    kMouseActions,
    kMouseSlots,
    LookAtMouse,
    KeyName,
    AnyMouseButtonHeld,  // the click that pressed the capture button is never taken
    false,               // the focus stays where it is
    RefreshMouseLabels,
};

MousePage::MousePage() : capture(*this, kMouseCapture, mouseButtons) {}

void MousePage::InitControls(HWND dialog) {
    Attach(dialog);
    CheckItem(dialog, IDC_MOUSE_USE_DI, SettingsRecord.MouseUseDI != 0);
    CheckItem(dialog, IDC_MOUSE_USE_WHEEL, SettingsRecord.UseWheel != 0);
    CheckItem(dialog, IDC_MOUSE_WHEEL_VIEW, SettingsRecord.WheelReverse != 0);
    UpdateWheelView();
    memcpy(mouseButtons, SettingsRecord.Mouse, sizeof mouseButtons);
    RefreshLabels();
}

void MousePage::RefreshLabels() {
    capture.ShowCodes(true);
}

void MousePage::OnCommand(int id) {
    switch (id) {
        case IDC_MOUSE_DEFAULTS:
            RestoreDefaults();
            return;
        case IDC_MOUSE_USE_WHEEL:
            UpdateWheelView();
            return;
    }
    const int action = capture.ActionOf(id);
    if (action >= 0) {
        StartCapture(action);
    }
}

void MousePage::UpdateWheelView() {
    EnableItem(window, IDC_MOUSE_WHEEL_VIEW, IsItemChecked(window, IDC_MOUSE_USE_WHEEL));
}

void MousePage::RestoreDefaults() {
    capture.End();
    memcpy(mouseButtons, SettingsDefaults.Mouse, sizeof mouseButtons);
    CheckItem(window, IDC_MOUSE_USE_WHEEL, SettingsDefaults.UseWheel != 0);
    CheckItem(window, IDC_MOUSE_USE_DI, SettingsDefaults.MouseUseDI != 0);
    CheckItem(window, IDC_MOUSE_WHEEL_VIEW, SettingsDefaults.WheelReverse != 0);
    UpdateWheelView();
    RefreshLabels();
}

// "视角旋转" is stored as shown, also while it is disabled.
void MousePage::Collect() {
    if (!HasWindow()) {
        return;
    }
    memcpy(SettingsRecord.Mouse, mouseButtons, sizeof mouseButtons);
    SettingsRecord.MouseUseDI = IsItemChecked(window, IDC_MOUSE_USE_DI) ? 1 : 0;
    SettingsRecord.UseWheel = IsItemChecked(window, IDC_MOUSE_USE_WHEEL) ? 1 : 0;
    SettingsRecord.WheelReverse = IsItemChecked(window, IDC_MOUSE_WHEEL_VIEW) ? 1 : 0;
}

INT_PTR CALLBACK MousePageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            mousePage.InitControls(dialog);
            return TRUE;
        case WM_COMMAND:
            mousePage.OnCommand(LOWORD(wParam));
            return FALSE;
        case WM_TIMER:
            mousePage.OnCaptureTick();
            return FALSE;
        case WM_DESTROY:
            mousePage.OnDestroy();
            return FALSE;
    }
    return FALSE;
}
