// The two tab sets of the program: the main dialog's pages and the input page's sub-pages.
#pragma once
#include "common/page_framework.h"

// The main dialog's tabs: video, sound and input, with icons.
class MainTabSet : public TabPageSet {
  public:
    HWND Build(HWND parentWindow, int tabControlId, int count) override;
};

// The input page's tabs: keyboard, mouse and gamepad, text only.
class InputTabSet : public TabPageSet {
  public:
    HWND Build(HWND parentWindow, int tabControlId, int count) override;
};

extern MainTabSet mainTabs;
extern InputTabSet inputTabs;
