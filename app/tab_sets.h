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

constexpr int kInputTabIndex = 2;

// Start-up creates only the page shown, the video page; the others are made while the dialog
// waits for the player, in tab order: sound, input, then the input page's keyboard, mouse and
// gamepad. One page per call; false when none is left to make.
bool CreateNextWaitingPage();
// Makes every page not made yet: what a store collects must come from every page.
void CreateWaitingPages();
