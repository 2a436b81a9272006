// The capture the keyboard, mouse and gamepad pages share: the action's button is clicked, the
// next key or button is taken. Each page owns one and says how to look, name and wait.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/page_framework.h"

// A capture button and the label that shows its action's code.
struct CaptureAction {
    int button;
    int label;
};

// What one look at the input found.
struct CaptureLook {
    enum Kind { kNothing, kCancel, kTake } kind;
    uint8_t code;    // the code taken
    bool (*held)();  // waited for after the end, so no control acts on it; null: no wait
};

// What differs between the pages.
struct CaptureRules {
    const CaptureAction* actions;  // in the order of the page's codes
    int count;
    CaptureLook (*look)();
    const char* (*name)(int code);
    bool (*heldAtStart)();  // waited for after the keys before a capture starts, or null
    bool dropFocus;         // no control holds the keyboard focus while the capture runs
    void (*refresh)();      // the page's labels and enabling, once a capture ends
};

class InputCapture {
  public:
    InputCapture(const OptionPage& page, const CaptureRules& rules, uint8_t* codes)
        : page(page), rules(rules), codes(codes) {}

    // Waits for the keys (and what the page adds) to be up, then looks every 10 ms. A page the
    // player cannot see starts nothing.
    void Start(int action);
    // One look: a code taken goes to the action, swapped with the action that held it. A page
    // out of sight ends the capture without a change.
    void OnTick();
    // Ends a running capture without a change; the page shows its labels again. A restore or
    // update calls it first, or the capture would take the next key over the new values.
    void End();
    void OnDestroy();
    // Shows each action's code name and enables or disables the capture buttons.
    void ShowCodes(bool enableButtons) const;
    // The action of a capture button, or -1.
    int ActionOf(int id) const;
    int Index() const { return captureIndex; }

  private:
    bool CanBeSeen() const;

    const OptionPage& page;
    const CaptureRules& rules;
    uint8_t* codes;
    int captureIndex = -1;  // the action being captured, -1 for none
    // Counts starts and ends: a wait for release sees whether its capture ended meanwhile.
    unsigned changes = 0;
};

// How the capture's timer is started: SetTimer's signature. Tests put in one that fails.
using CaptureTimerStarter = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
CaptureTimerStarter SetCaptureTimerStarter(CaptureTimerStarter starter);
