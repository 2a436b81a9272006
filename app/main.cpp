// Entry point: one running copy, the main dialog, and the message loop.
#include <windows.h>
#include <objbase.h>

#include "app/main_dialog.h"
#include "app/splash.h"
#include "common/dialog_font.h"
#include "common/runtime.h"
#include "common/trace.h"
#include "resource.h"

static const char kMutexName[] = "qr63_config";

// Another copy runs: bring its window forward and end.
static void ActivateRunningCopy() {
    HWND running = FindWindowW(L"#32770", kMainCaption);
    if (running == nullptr) {
        return;
    }
    if (IsIconic(running)) {
        ShowWindow(running, SW_RESTORE);
    }
    BringWindowToTop(running);
    SetForegroundWindow(running);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (existing != nullptr) {
        CloseHandle(existing);
        ActivateRunningCopy();
        return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    // The shell's ShellExecute may hand work to COM objects, which want an apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ComputeModuleDirectory(hInstance, moduleDirectory);
    instanceHandle = hInstance;

    mainDialog = CreateProgramDialog(hInstance, IDD_MAIN, nullptr, MainDialogProc, 0);
    if (mainDialog == nullptr) {
        // Never stay running without a window; the next start must not find the mutex.
        DebugTrace("WinMain: main dialog not created (%lu)\n", GetLastError());
        splash.Close();
        if (mutex != nullptr) {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
        return 1;
    }
    ShowWindow(mainDialog, nCmdShow);

    MSG msg = {};
    BOOL got;
    int exitCode = 0;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            exitCode = 1;
            break;
        }
        if (!IsDialogMessageW(mainDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (got == 0) {
        exitCode = static_cast<int>(msg.wParam);
    }
    ReleaseMutex(mutex);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
