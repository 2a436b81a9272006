// The input page (105): the inner tab control of the assignment pages and three radio pairs.
#pragma once
#include "common/page_framework.h"

class InputPage : public OptionPage {
  public:
    // Shows the sub-page of the inner tab control's current tab again.
    void OnShown() override;
    void InitControls(HWND dialog);
    void Collect();
};

extern InputPage inputPage;

INT_PTR CALLBACK InputPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
