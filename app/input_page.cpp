// The input page (105): the inner tab control of the assignment pages and three radio pairs.
#include "app/input_page.h"

#include "app/tab_sets.h"
#include "common/dialog_items.h"
#include "input/gamepad_page.h"
#include "input/keyboard_page.h"
#include "input/mouse_page.h"
#include "resource.h"
#include "settings/settings_record.h"

InputPage inputPage;

void InputPage::OnShown() {
    inputTabs.OnNotify(TCN_SELCHANGE);
}

void InputPage::InitControls(HWND dialog) {
    Attach(dialog);
    inputTabs.Build(dialog, IDC_INPUT_TABS, 3);
    SetRadioPair(dialog, IDC_MOVE_RUN, IDC_MOVE_WALK, SettingsRecord.DefaultRun != 0);
    SetRadioPair(dialog, IDC_CAMERA_45, IDC_CAMERA_FREE, SettingsRecord.Camera45Deg != 0);
    SetRadioPair(dialog, IDC_HIDDEN_SHOW, IDC_HIDDEN_HIDE, SettingsRecord.ChrTrans != 0);
}

void InputPage::Collect() {
    if (!HasWindow()) {
        return;
    }
    SettingsRecord.DefaultRun = IsItemChecked(window, IDC_MOVE_RUN) ? 1 : 0;
    SettingsRecord.Camera45Deg = IsItemChecked(window, IDC_CAMERA_45) ? 1 : 0;
    SettingsRecord.ChrTrans = IsItemChecked(window, IDC_HIDDEN_SHOW) ? 1 : 0;
    keyboardPage.Collect();
    gamepadPage.Collect();
    mousePage.Collect();
}

INT_PTR CALLBACK InputPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            inputPage.InitControls(dialog);
            return TRUE;
        case WM_SHOWWINDOW:
            // Shown by the main tabs: start from the first sub-page; WM_PAGESHOWN that follows
            // brings back the one whose tab is current.
            if (wParam) {
                inputTabs.Select(0);
            }
            return FALSE;
        case WM_NOTIFY:
            inputTabs.OnParentNotify(reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        case WM_PAGESHOWN:
            inputPage.OnShown();
            return FALSE;
    }
    return FALSE;
}
