// The main dialog (106): start-up, the four buttons, and the end of the program.
#pragma once
#include <windows.h>

// The caption of dialog 106, which also finds a running copy.
extern const wchar_t kMainCaption[];

extern HWND mainDialog;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
