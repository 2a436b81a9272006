// One-line helpers over dialog items that every page uses.
#pragma once
#include <windows.h>

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
