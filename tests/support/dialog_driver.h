// Driving dialogs in-process the way a player would: each helper changes a control and sends
// the notification the control itself would send.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

void PumpPending();                           // dispatches every message waiting for this thread
void Notify(HWND dialog, int id, WORD code);  // WM_COMMAND as the control sends it
inline void ClickButton(HWND dialog, int id) {
    Notify(dialog, id, BN_CLICKED);
}
void SetCheck(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
inline void Tick(HWND page) {  // the pages' 10 ms timer
    SendMessageW(page, WM_TIMER, 1, 0);
}
std::string ItemText(HWND dialog, int id);
// Combo boxes: a new selection with its notification, the entries, the selected one.
void SelectEntry(HWND dialog, int id, int index);
std::vector<std::wstring> Entries(HWND dialog, int id);
int Selection(HWND dialog, int id);
std::wstring SelectedEntry(HWND dialog, int id);  // empty when nothing is selected
// The tab control reports a new selection (TCM_SETCURSEL alone sends nothing).
void SelectTab(HWND parent, int tabControlId, int index);
// The client rectangle of a child window in its parent's client coordinates.
RECT ChildRect(HWND child);
