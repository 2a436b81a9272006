// One-line helpers over dialog items that every page uses.
#include "common/dialog_items.h"

#include <commctrl.h>

#include "common/dialog_text.h"

void InitTrackbar(HWND dialog, int id, int maximum, int position) {
    SendDlgItemMessageW(dialog, id, TBM_SETRANGEMAX, FALSE, maximum);
    SendDlgItemMessageW(dialog, id, TBM_SETTICFREQ, 1, 0);
    SetTrackbarPosition(dialog, id, position);
}

void SetTrackbarPosition(HWND dialog, int id, int position) {
    SendDlgItemMessageW(dialog, id, TBM_SETPOS, TRUE, position);
}

int TrackbarPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

void ClearList(HWND dialog, int id) {
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
}

int AddListItem(HWND dialog, int id, const char* text, LPARAM data, UINT codePage) {
    wchar_t wide[MAX_PATH];  // names handed over by drivers fill up to a path's length
    TextToWide(text, codePage, wide, MAX_PATH);
    LRESULT position =
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
    if (position >= 0) {
        SendDlgItemMessageW(dialog, id, CB_SETITEMDATA, position, data);
    }
    return static_cast<int>(position);
}

LPARAM SelectedItemData(HWND dialog, int id) {
    LRESULT position = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, position, 0);
}

void ListChoice::Remember(HWND dialog) {
    position_ = static_cast<int>(SendDlgItemMessageW(dialog, id_, CB_GETCURSEL, 0, 0));
}

bool ListChoice::Changed(HWND dialog, WORD notification) {
    HWND list = GetDlgItem(dialog, id_);
    const int now = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    if (notification == CBN_SELCHANGE && now >= 0 && now != position_) {
        position_ = now;
        return true;
    }
    if (notification == CBN_DROPDOWN) {
        // The list then opens on the first entry that begins with the field's text, another one
        // where two entries share a name: once open it shows the choice again.
        PostMessageW(list, CB_SETCURSEL, position_, 0);
        return false;
    }
    HWND focus = GetFocus();
    if (focus != list && !IsChild(list, focus)) {
        SendMessageW(list, CB_SETCURSEL, position_, 0);
    }
    return false;
}

LPARAM ListChoice::Data(HWND dialog) const {
    if (position_ < 0) {
        return CB_ERR;
    }
    return SendDlgItemMessageW(dialog, id_, CB_GETITEMDATA, position_, 0);
}
