// The keyboard page (116): a key for each keyboard action, assigned by capture.
#pragma once
#include <cstdint>

#include "common/page_framework.h"
#include "input/capture.h"
#include "settings/settings_record.h"

class KeyboardPage : public OptionPage {
  public:
    KeyboardPage();
    void InitControls(HWND dialog);
    // Enables the capture buttons and shows the name of each action's key.
    void RefreshLabels();
    // A capture button or the restore button.
    void OnCommand(int id);
    // Waits for every key to be up, then looks for the next key every 10 ms.
    void StartCapture(int action) { capture.Start(action); }
    // One look of a running capture: the first key held is taken.
    void OnCaptureTick() { capture.OnTick(); }
    void RestoreDefaults();
    void Collect();
    void OnDestroy() { capture.OnDestroy(); }

    const uint8_t* Keys() const { return keys; }
    int CaptureIndex() const { return capture.Index(); }

  private:
    uint8_t keys[kKeyboardSlots] = {};  // working copy of SettingsRecord.Keyboard
    InputCapture capture;
};

extern KeyboardPage keyboardPage;

// Keys that end a capture without changing anything: Esc, numeric 0, Enter, digits 1 to 4.
bool IsReservedKey(uint8_t key);

INT_PTR CALLBACK KeyboardPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
