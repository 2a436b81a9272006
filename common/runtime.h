// Process-wide state of the program: its instance, its folder, and the one-message pump.
#pragma once
#include <windows.h>

#include "common/text_bounds.h"

extern HINSTANCE instanceHandle;
// The program's own folder with a final backslash; empty when the module path has no backslash.
extern char moduleDirectory[kPathSize];

// Fills buffer (260 bytes) with the module's full file name; empty when it cannot be had.
char* GetModuleFile(HINSTANCE instance, char* buffer);
// Fills buffer (260 bytes) with the folder of the module, ending with a backslash.
char* ComputeModuleDirectory(HINSTANCE instance, char* buffer);
// Cuts a module path (260 bytes) just past its last backslash; no backslash leaves it empty.
char* TrimToFolder(char* buffer);

// Waits while stillWaiting() holds, sleeping between looks until a message arrives or a short
// time has passed, and dispatching the messages that came one at a time; so a held key
// costs next to no processor time and the program stays responsive. Returns false as soon as a
// WM_QUIT was seen (it stays queued for the main loop): the caller's windows may be gone then.
bool PumpMessagesWhile(bool (*stillWaiting)());
