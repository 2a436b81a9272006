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

// A trackbar from 0 to maximum with a tick at every position.
void InitTrackbar(HWND dialog, int id, int maximum, int position);
void SetTrackbarPosition(HWND dialog, int id, int position);
int TrackbarPosition(HWND dialog, int id);

// Combo-box lists of the video and gamepad pages. Texts are the program's own (GBK) unless a
// code page is given (CP_ACP for names the system handed over).
void ClearList(HWND dialog, int id);
// Adds an entry with its item data; returns its position, or CB_ERR.
int AddListItem(HWND dialog, int id, const char* text, LPARAM data,
                UINT codePage = kProgramCodePage);
// The item data of the selected entry; CB_ERR when nothing is selected.
LPARAM SelectedItemData(HWND dialog, int id);
