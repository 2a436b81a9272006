// The mouse page (118): a mouse button for each mouse action, and the wheel switches.
#include "input/mouse_page.h"

#include <cstring>

#include "common/dialog_items.h"
#include "common/dialog_text.h"
#include "common/runtime.h"
#include "input/key_names.h"
#include "input/key_scan.h"
#include "resource.h"

MousePage mousePage;

struct MouseAction {
    int button;
    int label;
};
static const MouseAction kMouseActions[kMouseSlots] = {
    {IDC_MOUSE_CONFIRM, IDC_MOUSE_CONFIRM_NAME},
    {IDC_MOUSE_CANCEL, IDC_MOUSE_CANCEL_NAME},
};

static const UINT_PTR kCaptureTimerId = 1;
static const UINT kCaptureTickMs = 10;

void MousePage::InitControls(HWND dialog) {
    Attach(dialog);
    captureIndex = -1;
    CheckItem(dialog, IDC_MOUSE_USE_DI, SettingsRecord.MouseUseDI != 0);
    CheckItem(dialog, IDC_MOUSE_USE_WHEEL, SettingsRecord.UseWheel != 0);
    CheckItem(dialog, IDC_MOUSE_WHEEL_VIEW, SettingsRecord.WheelReverse != 0);
    UpdateWheelView();
    memcpy(mouseButtons, SettingsRecord.Mouse, sizeof mouseButtons);
    RefreshLabels();
}

void MousePage::RefreshLabels() {
    for (int i = 0; i < kMouseSlots; ++i) {
        EnableItem(window, kMouseActions[i].button, true);
        SetItemTextGbk(window, kMouseActions[i].label, KeyName(mouseButtons[i]));
    }
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
    for (int i = 0; i < kMouseSlots; ++i) {
        if (kMouseActions[i].button == id) {
            StartCapture(i);
            return;
        }
    }
}

void MousePage::StartCapture(int action) {
    for (const MouseAction& each : kMouseActions) {
        EnableItem(window, each.button, false);
    }
    captureIndex = action;
    SetItemTextGbk(window, kMouseActions[action].label, "");
    // The click that pressed the capture button is never taken. When the program is closing
    // meanwhile, the page may be gone: leave it alone.
    if (!PumpMessagesWhile(AnyKeyHeld) || !PumpMessagesWhile(AnyMouseButtonHeld) ||
        !IsWindow(window)) {
        captureIndex = -1;
        return;
    }
    captureTimer = SetTimer(window, kCaptureTimerId, kCaptureTickMs, nullptr);
}

void MousePage::EndCapture() {
    KillTimer(window, captureTimer);
    RefreshLabels();
    SetFocus(GetDlgItem(window, kMouseActions[captureIndex].button));
    captureIndex = -1;
}

void MousePage::OnCaptureTick() {
    if (captureIndex < 0) {
        return;
    }
    if (ScanKeys() != 0) {
        EndCapture();  // a key cancels: nothing is assigned
        PumpMessagesWhile(AnyKeyHeld);
        return;
    }
    uint8_t button = ScanMouseButtons();
    if (button == 0) {
        return;
    }
    int other = 1 - captureIndex;
    if (mouseButtons[other] == button) {
        mouseButtons[other] = mouseButtons[captureIndex];
    }
    mouseButtons[captureIndex] = button;
    EndCapture();
    // Nothing is touched after the waits, so a close meanwhile is harmless.
    PumpMessagesWhile(AnyMouseButtonHeld);
}

void MousePage::UpdateWheelView() {
    EnableItem(window, IDC_MOUSE_WHEEL_VIEW, IsItemChecked(window, IDC_MOUSE_USE_WHEEL));
}

void MousePage::RestoreDefaults() {
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

void MousePage::OnDestroy() {
    KillTimer(window, captureTimer);
    captureIndex = -1;
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
