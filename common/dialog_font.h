// Dialogs and message boxes drawn in a face that has glyphs for the program's Chinese texts.
#pragma once
#include <windows.h>

// Creates a dialog from its template, as CreateDialogParamW does. Where the template's face has
// no glyphs for the program's Chinese texts (a non-Chinese system maps "宋体" to a Latin font),
// the dialog is made from a copy of the template that names an installed face that has them.
// Style bits in removedStyle are taken off the dialog's style (WS_VISIBLE: created hidden).
HWND CreateProgramDialog(HINSTANCE instance, int dialogId, HWND parent, DLGPROC procedure,
                         LPARAM parameter, DWORD removedStyle = 0);

// MessageBoxW. When the system's message font has no glyphs for the text, the box's text is
// drawn in a face that has them while the box is shown, and the box grows to fit it.
int ProgramMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
