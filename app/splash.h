// The splash window shown while the main dialog starts up.
#pragma once
#include <windows.h>

class SplashWindow {
  public:
    // Creates dialog 114 (visible, centred) and paints it at once: no message loop runs yet.
    bool Show(HINSTANCE instance);
    void Close();

    HWND window = nullptr;
    void* creationParameter = nullptr;  // the object's own address, as the dialog received it
};

extern SplashWindow splash;
