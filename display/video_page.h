// The video page (101): adapter, device, screen mode and texture filter from DeviceCaps, the
// picture options, and three presets.
#pragma once
#include "common/page_framework.h"

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

    // The list commands: any notification of the list runs them.
    void OnAdapterCommand(HWND dialog);
    void OnDeviceCommand(HWND dialog);
    void OnModeCommand(HWND dialog);
    void OnFilterCommand(HWND dialog);

    void ApplyStandardPreset(HWND dialog);
    void ApplyLowEndPreset(HWND dialog);
    void ApplyHighQualityPreset(HWND dialog);
};

extern VideoPage videoPage;

INT_PTR CALLBACK VideoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
