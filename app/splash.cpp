// The splash window shown while the main dialog starts up.
#include "app/splash.h"

#include "common/dialog_font.h"
#include "resource.h"

SplashWindow splash;

static INT_PTR CALLBACK SplashDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SplashWindow* owner = reinterpret_cast<SplashWindow*>(lParam);
            owner->window = dialog;
            owner->creationParameter = owner;
            return TRUE;
        }
    }
    return FALSE;
}

bool SplashWindow::Show(HINSTANCE instance) {
    window = CreateProgramDialog(instance, IDD_SPLASH, nullptr, SplashDialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        return false;
    }
    // Start-up runs inside the main dialog's creation, before any message loop.
    UpdateWindow(window);
    return true;
}

void SplashWindow::Close() {
    if (window != nullptr) {
        DestroyWindow(window);
    }
    window = nullptr;
}
