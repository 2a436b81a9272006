// One-line helpers over dialog items that every page uses.
#pragma once
#include <windows.h>

#include "common/dialog_text.h"

inline void CheckItem(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
inline bool IsItemChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
inline void EnableItem(HWND dialog, int id, bool enable) {
    EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}
// A radio pair: the first button checked when on, the second when off.
inline void SetRadioPair(HWND dialog, int onId, int offId, bool on) {
    CheckItem(dialog, onId, on);
    CheckItem(dialog, offId, !on);
}

// A trackbar from 0 to maximum with a tick at every position.
void InitTrackbar(HWND dialog, int id, int maximum, int position);
void SetTrackbarPosition(HWND dialog, int id, int position);
int TrackbarPosition(HWND dialog, int id);

// Combo-box lists of the video and gamepad pages. Texts are the program's own (GBK) unless a
// code page is given (CP_ACP for names the system handed over).
void ClearList(HWND dialog, int id);
inline int ListCount(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}
inline void SelectListEntry(HWND dialog, int id, int position) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, position, 0);
}
// Adds an entry with its item data; returns its position, or CB_ERR.
int AddListItem(HWND dialog, int id, const char* text, LPARAM data,
                UINT codePage = kProgramCodePage);
// The item data of the selected entry; CB_ERR when nothing is selected.
LPARAM SelectedItemData(HWND dialog, int id);

// The entry last chosen in an editable drop-down list. Only a pick of another entry changes it:
// focus, opening and closing the list, and text typed into its field choose nothing, and the
// page acts and stores by this choice only.
class ListChoice {
  public:
    explicit ListChoice(int id) : id_(id) {}
    // Takes the list's selection as the choice, after the page filled or selected the list.
    void Remember(HWND dialog);
    // On a command of the list, with its notification code: true when the player picked another
    // entry. Once the focus has left the list, its field shows the choice again.
    bool Changed(HWND dialog, WORD notification);
    int Position() const { return position_; }  // -1 when nothing is chosen
    LPARAM Data(HWND dialog) const;             // the chosen entry's item data, or CB_ERR

  private:
    int id_;
    int position_ = -1;
};
