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

char* ComputeModuleDirectory(HINSTANCE instance, char* buffer) {
    buffer[0] = '\0';
    GetModuleFileNameA(instance, buffer, kPathSize);
    return TrimToFolder(buffer);
}

UINT PumpMessages() {
    if (!PeekMessageW(&pumpMessage, nullptr, 0, 0, PM_REMOVE)) {
        return pumpMessage.message;
    }
    if (pumpMessage.message == WM_QUIT) {
        // Taken out of the queue here, the quit would never reach the main loop.
        PostQuitMessage(static_cast<int>(pumpMessage.wParam));
        return WM_QUIT;
    }
    TranslateMessage(&pumpMessage);
    DispatchMessageW(&pumpMessage);
    return pumpMessage.message;
}
