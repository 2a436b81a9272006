// Driving dialogs in-process the way a player would.
#include "tests/support/dialog_driver.h"

#include <commctrl.h>

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ClickButton(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetCheck(HWND dialog, int id, bool checked) {
    HWND button = GetDlgItem(dialog, id);
    // A radio button's click also clears the others of its group, as BM_CLICK does.
    if (checked) {
        SendMessageW(button, BM_CLICK, 0, 0);
        if (SendMessageW(button, BM_GETCHECK, 0, 0) != BST_CHECKED) {
            SendMessageW(button, BM_CLICK, 0, 0);
        }
    } else if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        SendMessageW(button, BM_CLICK, 0, 0);
    }
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void MoveTrackbar(HWND dialog, int id, int position) {
    HWND trackbar = GetDlgItem(dialog, id);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(trackbar));
}

void SelectTab(HWND parent, int tabControlId, int index) {
    HWND tabs = GetDlgItem(parent, tabControlId);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header = {};
    header.hwndFrom = tabs;
    header.idFrom = static_cast<UINT_PTR>(tabControlId);
    header.code = TCN_SELCHANGE;
    SendMessageW(parent, WM_NOTIFY, tabControlId, reinterpret_cast<LPARAM>(&header));
}

RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
