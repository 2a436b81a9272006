// Keeps one hidden window open for a test run, so Wine's desktop process is started once and
// not by a test whose output CTest reads through a pipe. Ends on its own after an hour.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = CreateWindowW(L"STATIC", L"setloom test desktop", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, instance, nullptr);
    SetTimer(window, 1, 60 * 60 * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) {
        DispatchMessageW(&msg);
    }
    return 0;
}
