// The main dialog (106): start-up, the four buttons, and the end of the program.
#pragma once
#include <windows.h>

// The caption of dialog 106, which also finds a running copy.
extern const wchar_t kMainCaption[];

extern HWND mainDialog;

// Tells the player that Direct3D 8 is missing, in a message box of its own (there is no dialog
// yet to own it).
void ReportMissingDirect3D();

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
