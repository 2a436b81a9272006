// The mouse page (118): a mouse button for each mouse action, and the wheel switches.
#pragma once
#include <cstdint>

#include "common/page_framework.h"
#include "input/capture.h"
#include "settings/settings_record.h"

class MousePage : public OptionPage {
  public:
    MousePage();
    void InitControls(HWND dialog);
    void RefreshLabels();
    // A capture button, the restore button or "使用滑轮".
    void OnCommand(int id);
    // Waits for every key and mouse button to be up, then looks every 10 ms.
    void StartCapture(int action) { capture.Start(action); }
    // One look: a key cancels the capture, a mouse button is taken.
    void OnCaptureTick() { capture.OnTick(); }
    // "视角旋转" only means something while the wheel is used; its check mark stays.
    void UpdateWheelView();
    void RestoreDefaults();
    void Collect();
    void OnDestroy() { capture.OnDestroy(); }

    const uint8_t* Buttons() const { return mouseButtons; }
    int CaptureIndex() const { return capture.Index(); }

  private:
    uint8_t mouseButtons[kMouseSlots] = {};  // working copy of SettingsRecord.Mouse
    InputCapture capture;
};

extern MousePage mousePage;

INT_PTR CALLBACK MousePageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
