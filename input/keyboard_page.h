// The keyboard page (116): a key for each keyboard action, assigned by capture.
#pragma once
#include <cstdint>

#include "common/page_framework.h"
#include "settings/settings_record.h"

class KeyboardPage : public OptionPage {
  public:
    void InitControls(HWND dialog);
    // Enables the capture buttons and shows the name of each action's key.
    void RefreshLabels();
    // A capture button or the restore button.
    void OnCommand(int id);
    // Waits for every key to be up, then looks for the next key every 10 ms.
    void StartCapture(int action);
    // One look of a running capture: the first key held is taken.
    void OnCaptureTick();
    void RestoreDefaults();
    void Collect();
    void OnDestroy();

    const uint8_t* Keys() const { return keys; }
    int CaptureIndex() const { return captureIndex; }

  private:
    uint8_t keys[kKeyboardSlots] = {};  // working copy of SettingsRecord.Keyboard
    int captureIndex = -1;              // the action being captured, -1 for none
    UINT_PTR captureTimer = 0;
};

extern KeyboardPage keyboardPage;

// Keys that end a capture without changing anything: Esc, numeric 0, Enter, digits 1 to 4.
bool IsReservedKey(uint8_t key);

INT_PTR CALLBACK KeyboardPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
