// The keyboard page (116): a key for each keyboard action, assigned by capture.
#include "input/keyboard_page.h"

#include <cstring>

#include "common/dialog_items.h"
#include "common/dialog_text.h"
#include "common/runtime.h"
#include "input/key_names.h"
#include "input/key_scan.h"
#include "resource.h"

KeyboardPage keyboardPage;

// The actions in the order of SettingsRecord.Keyboard. Entry 2 has no controls on the page:
// operations on its ids do nothing, but it takes part in swaps and is stored.
struct KeyAction {
    int button;
    int label;
};
static const KeyAction kKeyActions[kKeyboardSlots] = {
    {IDC_KEY_CONFIRM, IDC_KEY_CONFIRM_NAME},
    {IDC_KEY_CANCEL, IDC_KEY_CANCEL_NAME},
    {IDC_KEY_ESCAPE, IDC_KEY_ESCAPE_NAME},
    {IDC_KEY_WALK_RUN, IDC_KEY_WALK_RUN_NAME},
    {IDC_KEY_TURN_RIGHT, IDC_KEY_TURN_RIGHT_NAME},
    {IDC_KEY_TURN_LEFT, IDC_KEY_TURN_LEFT_NAME},
    {IDC_KEY_UP, IDC_KEY_UP_NAME},
    {IDC_KEY_DOWN, IDC_KEY_DOWN_NAME},
    {IDC_KEY_LEFT, IDC_KEY_LEFT_NAME},
    {IDC_KEY_RIGHT, IDC_KEY_RIGHT_NAME},
    {IDC_KEY_STAR_CUP, IDC_KEY_STAR_CUP_NAME},
    {IDC_KEY_COOKING, IDC_KEY_COOKING_NAME},
    {IDC_KEY_STONE_MAP, IDC_KEY_STONE_MAP_NAME},
    {IDC_KEY_PLACE_NAMES, IDC_KEY_PLACE_NAMES_NAME},
    {IDC_KEY_ENLARGE_MAP, IDC_KEY_ENLARGE_MAP_NAME},
};

static const uint8_t ReservedKeys[] = {VK_ESCAPE, VK_NUMPAD0, VK_RETURN, '1', '2', '3', '4'};

static const UINT_PTR kCaptureTimerId = 1;
static const UINT kCaptureTickMs = 10;

bool IsReservedKey(uint8_t key) {
    for (uint8_t reserved : ReservedKeys) {
        if (key == reserved) {
            return true;
        }
    }
    return false;
}

void KeyboardPage::InitControls(HWND dialog) {
    Attach(dialog);
    captureIndex = -1;
    CheckItem(dialog, IDC_KEYBOARD_USE_DI, SettingsRecord.KeyboardUseDI != 0);
    memcpy(keys, SettingsRecord.Keyboard, sizeof keys);
    RefreshLabels();
}

void KeyboardPage::RefreshLabels() {
    for (int i = 0; i < kKeyboardSlots; ++i) {
        EnableItem(window, kKeyActions[i].button, true);
        SetItemTextGbk(window, kKeyActions[i].label, KeyName(keys[i]));
    }
}

void KeyboardPage::OnCommand(int id) {
    if (id == IDC_KEYBOARD_DEFAULTS) {
        RestoreDefaults();
        return;
    }
    for (int i = 0; i < kKeyboardSlots; ++i) {
        if (kKeyActions[i].button == id) {
            StartCapture(i);
            return;
        }
    }
}

void KeyboardPage::StartCapture(int action) {
    for (const KeyAction& each : kKeyActions) {
        EnableItem(window, each.button, false);
    }
    captureIndex = action;
    SetItemTextGbk(window, kKeyActions[action].label, "");
    // A key that pressed the button (Space, Enter) must be up first, or it would be taken.
    // When the program is closing meanwhile, the page may be gone: leave it alone.
    if (!PumpMessagesWhile(AnyKeyHeld) || !IsWindow(window)) {
        captureIndex = -1;
        return;
    }
    // No control may act on the keys pressed for the capture.
    SetFocus(nullptr);
    captureTimer = SetTimer(window, kCaptureTimerId, kCaptureTickMs, nullptr);
}

void KeyboardPage::OnCaptureTick() {
    if (captureIndex < 0) {
        return;
    }
    uint8_t key = ScanKeys();
    if (key == 0) {
        return;
    }
    KillTimer(window, captureTimer);
    if (!IsReservedKey(key)) {
        // The action that held the key gets the captured action's old one.
        for (int j = 0; j < kKeyboardSlots; ++j) {
            if (j != captureIndex && keys[j] == key) {
                keys[j] = keys[captureIndex];
                break;
            }
        }
        keys[captureIndex] = key;
    }
    RefreshLabels();
    SetFocus(GetDlgItem(window, kKeyActions[captureIndex].button));
    captureIndex = -1;
    // Released while a control has the focus, the key would act on it. Nothing is touched after
    // this wait, so a close meanwhile is harmless.
    PumpMessagesWhile(AnyKeyHeld);
}

void KeyboardPage::RestoreDefaults() {
    memcpy(keys, SettingsDefaults.Keyboard, sizeof keys);
    CheckItem(window, IDC_KEYBOARD_USE_DI, SettingsDefaults.KeyboardUseDI != 0);
    RefreshLabels();
}

void KeyboardPage::Collect() {
    if (!HasWindow()) {
        return;
    }
    memcpy(SettingsRecord.Keyboard, keys, sizeof keys);
    SettingsRecord.KeyboardUseDI = IsItemChecked(window, IDC_KEYBOARD_USE_DI) ? 1 : 0;
}

void KeyboardPage::OnDestroy() {
    KillTimer(window, captureTimer);
    captureIndex = -1;
}

INT_PTR CALLBACK KeyboardPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            keyboardPage.InitControls(dialog);
            return TRUE;
        case WM_COMMAND:
            keyboardPage.OnCommand(LOWORD(wParam));
            return FALSE;
        case WM_TIMER:
            keyboardPage.OnCaptureTick();
            return FALSE;
        case WM_DESTROY:
            keyboardPage.OnDestroy();
            return FALSE;
    }
    return FALSE;
}
