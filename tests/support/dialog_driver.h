// Driving dialogs in-process the way a player would: each helper changes a control and sends
// the notification the control itself would send.
#pragma once
#include <windows.h>

void PumpPending();  // dispatches every message waiting for this thread
void ClickButton(HWND dialog, int id);
void SetCheck(HWND dialog, int id, bool checked);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
void MoveTrackbar(HWND dialog, int id, int position);
// The tab control reports a new selection (TCM_SETCURSEL alone sends nothing).
void SelectTab(HWND parent, int tabControlId, int index);
// The client rectangle of a child window in its parent's client coordinates.
RECT ChildRect(HWND child);
