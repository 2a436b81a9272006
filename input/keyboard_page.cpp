// The keyboard page (116): a key for each keyboard action, assigned by capture.
#include "input/keyboard_page.h"

#include <cstring>

#include "common/dialog_items.h"
#include "input/key_names.h"
#include "input/key_scan.h"
#include "resource.h"

KeyboardPage keyboardPage;

// The actions in the order of SettingsRecord.Keyboard. Entry 2 has no controls on the page:
// operations on its ids do nothing, but it takes part in swaps and is stored.
static const CaptureAction kKeyActions[kKeyboardSlots] = {
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

bool IsReservedKey(uint8_t key) {
    for (uint8_t reserved : ReservedKeys) {
        if (key == reserved) {
            return true;
        }
    }
    return false;
}

// The first key held is taken; a reserved one ends the capture without a change.
static CaptureLook LookAtKeys() {
    const uint8_t key = ScanKeys();
    if (key == 0) {
        return {CaptureLook::kNothing, 0, nullptr};
    }
    return {IsReservedKey(key) ? CaptureLook::kCancel : CaptureLook::kTake, key, AnyKeyHeld};
}

static void RefreshKeyLabels() {
    keyboardPage.RefreshLabels();
}

static const CaptureRules kKeyCapture = {
    kKeyActions,
    kKeyboardSlots,
    LookAtKeys,
    KeyName,
    nullptr,  // only the keys are waited for at the start
    true,     // no control may act on the keys pressed for the capture
    RefreshKeyLabels,
};

KeyboardPage::KeyboardPage() : capture(*this, kKeyCapture, keys) {}

void KeyboardPage::InitControls(HWND dialog) {
    Attach(dialog);
    CheckItem(dialog, IDC_KEYBOARD_USE_DI, SettingsRecord.KeyboardUseDI != 0);
    memcpy(keys, SettingsRecord.Keyboard, sizeof keys);
    RefreshLabels();
}

void KeyboardPage::RefreshLabels() {
    capture.ShowCodes(true);
}

void KeyboardPage::OnCommand(int id) {
    if (id == IDC_KEYBOARD_DEFAULTS) {
        RestoreDefaults();
        return;
    }
    const int action = capture.ActionOf(id);
    if (action >= 0) {
        StartCapture(action);
    }
}

void KeyboardPage::RestoreDefaults() {
    capture.End();
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
