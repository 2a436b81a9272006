// The video page (101): adapter, device, screen mode and texture filter from DeviceCaps, the
// picture options, and three presets.
#pragma once
#include "common/dialog_items.h"
#include "common/page_framework.h"
#include "resource.h"

class VideoPage : public OptionPage {
  public:
    void InitControls(HWND dialog);
    void Collect();

    // Each fill selects an entry and returns the selected position (-1 for an empty list).
    int FillAdapterList(HWND dialog, int adapter);
    int FillDeviceList(HWND dialog, int adapter, int device);
    int FillResolutionList(HWND dialog, int adapter, int device, int width, int height, int bits);
    void FillFilterList(HWND dialog, int adapter, int device, int filter);
    void FillAntiAliasList(HWND dialog, int adapter, int device, int mode, bool windowed,
                           int wanted);
    void UpdateWindowModeEnable(HWND dialog, int adapter, int device);
    void UpdateGlowEnable(HWND dialog);
    void FollowChosenMode(HWND dialog, int adapter, int device, int mode, int filter,
                          int antiAlias);

    // The list commands, with their notification codes: each acts only when the player picked
    // another entry.
    void OnAdapterCommand(HWND dialog, WORD notification);
    void OnDeviceCommand(HWND dialog, WORD notification);
    void OnModeCommand(HWND dialog, WORD notification);
    void OnFilterCommand(HWND dialog, WORD notification);
    void OnWindowModeCommand(HWND dialog);

    void ApplyStandardPreset(HWND dialog);
    void ApplyLowEndPreset(HWND dialog);
    void ApplyHighQualityPreset(HWND dialog);

  private:
    void RefillAntiAliasList(HWND dialog);

    // The entries last chosen; the fills remember what they select.
    ListChoice adapterChoice{IDC_ADAPTER_LIST};
    ListChoice deviceChoice{IDC_DEVICE_LIST};
    ListChoice modeChoice{IDC_RESOLUTION_LIST};
    ListChoice filterChoice{IDC_FILTER_LIST};
};

extern VideoPage videoPage;

INT_PTR CALLBACK VideoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
