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

void Notify(HWND dialog, int id, WORD code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetCheck(HWND dialog, int id, bool checked) {
    // BM_CLICK as a player's click: a radio button also clears the others of its group.
    HWND button = GetDlgItem(dialog, id);
    for (int clicks = 0; clicks < 2 && IsChecked(dialog, id) != checked; ++clicks) {
        SendMessageW(button, BM_CLICK, 0, 0);
    }
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void SelectEntry(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    Notify(dialog, id, CBN_SELCHANGE);
}

std::vector<std::wstring> Entries(HWND dialog, int id) {
    std::vector<std::wstring> texts(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < texts.size(); ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts[i] = text;
    }
    return texts;
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

std::wstring SelectedEntry(HWND dialog, int id) {
    int selected = Selection(dialog, id);
    return selected < 0 ? L"" : Entries(dialog, id).at(selected);
}

void SelectTab(HWND parent, int tabControlId, int index) {
    HWND tabs = GetDlgItem(parent, tabControlId);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header = {tabs, static_cast<UINT_PTR>(tabControlId), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(parent, WM_NOTIFY, tabControlId, reinterpret_cast<LPARAM>(&header));
}

RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
