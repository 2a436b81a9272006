// The sound page (103): music and effect volumes and the sound switches.
#pragma once
#include "common/page_framework.h"

class SoundPage : public OptionPage {
  public:
    void InitControls(HWND dialog);
    // "不使用DirectSound " switches the other sound options off (their values are kept).
    void UpdateEnabled();
    void RestoreDefaults(HWND dialog);
    void Collect();
};

extern SoundPage soundPage;

INT_PTR CALLBACK SoundPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
