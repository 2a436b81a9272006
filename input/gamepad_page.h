// The gamepad page (117): the controller in use, its sensitivity, and a controller button for
// each of the game's ten gamepad actions, assigned by capture.
#pragma once
#include <cstdint>

#include "common/dialog_items.h"
#include "common/page_framework.h"
#include "input/capture.h"
#include "settings/settings_record.h"

class GamepadPage : public OptionPage {
  public:
    GamepadPage();
    void InitControls(HWND dialog);
    void RefreshLabels();
    void RestoreDefaults();
    void Collect();

    // Refills the device list from InputDevices, selects entry index (0 when out of range) and
    // opens that controller. Without controllers the list is left as it is.
    void FillControllerList(int index);
    // The pad controls follow on, and are off whenever no controller is listed.
    void EnablePadControls(bool on);
    // Analog input moves by stick: walk/run then has no button.
    void ApplyAnalog(bool on);

    // Waits for every key to be up, then looks every 10 ms.
    void StartCapture(int action) { capture.Start(action); }
    // One look: a key cancels the capture, the lowest controller button held is taken.
    void OnCaptureTick() { capture.OnTick(); }
    void OnCommand(int id, WORD notification);
    void OnSensitivityMoved();
    void OnDestroy() { capture.OnDestroy(); }

    int CaptureIndex() const { return capture.Index(); }

  private:
    bool PadControlsOn() const;

    uint8_t buttons[kGamePadSlots] = {};  // working copy of SettingsRecord.GamePad
    InputCapture capture;
    ListChoice devices;  // the controller chosen in the device list
};

extern GamepadPage gamepadPage;

INT_PTR CALLBACK GamepadPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
