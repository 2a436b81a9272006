// Process-wide state of the program: its instance, its folder, and the one-message pump.
#include "common/runtime.h"

HINSTANCE instanceHandle;
char moduleDirectory[kPathSize];

// Separate from the main loop's MSG: callers read the last identifier back on an empty queue.
static MSG pumpMessage;

char* TrimToFolder(char* buffer) {
    buffer[kPathSize - 1] = '\0';  // GetModuleFileName does not terminate a cut path on XP
    char* last = FindLastBackslash(buffer);
    if (last != nullptr) {
        last[1] = '\0';
    } else {
        buffer[0] = '\0';
    }
    return buffer;
}

char* GetModuleFile(HINSTANCE instance, char* buffer) {
    buffer[0] = '\0';
    GetModuleFileNameA(instance, buffer, kPathSize);
    buffer[kPathSize - 1] = '\0';  // XP leaves a name that fills the buffer unterminated
    return buffer;
}

char* ComputeModuleDirectory(HINSTANCE instance, char* buffer) {
    return TrimToFolder(GetModuleFile(instance, buffer));
}

// Takes and dispatches one pending message; false when the queue was empty. A WM_QUIT is not
// dispatched: taken out of the queue here it would never reach the main loop, so it is posted
// again.
static bool TakeOneMessage() {
    if (!PeekMessageW(&pumpMessage, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (pumpMessage.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(pumpMessage.wParam));
        return true;
    }
    TranslateMessage(&pumpMessage);
    DispatchMessageW(&pumpMessage);
    return true;
}

// Long enough to leave the processor idle, short enough that a release is seen at once.
static const DWORD kPoliteWaitMs = 10;

bool PumpMessagesWhile(bool (*stillWaiting)()) {
    while (stillWaiting()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPoliteWaitMs, QS_ALLINPUT);
        while (TakeOneMessage()) {
            if (pumpMessage.message == WM_QUIT) {
                return false;
            }
        }
    }
    return true;
}
