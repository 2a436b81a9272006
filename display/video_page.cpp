// The video page (101): adapter, device, screen mode and texture filter from DeviceCaps, the
// picture options, and three presets.
#include "display/video_page.h"

#include <commctrl.h>
#include <cstdio>
#include <initializer_list>

#include "common/dialog_items.h"
#include "common/trace.h"
#include "display/device_caps.h"
#include "resource.h"
#include "settings/settings_record.h"

VideoPage videoPage;

static const int kShadowQualityMax = 2;

// Texture filters as the game numbers them.
static const int kFilterPoint = 1;
static const int kFilterBilinear = 2;
static const int kFilterAnisotropy = 3;

static const DWORD kPointFilterCaps =
    D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
static const DWORD kLinearFilterCaps =
    D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFLINEAR;
static const DWORD kAnisotropicFilterCaps =
    D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;

// A list without the focus shows its text unmarked, as any field without the focus does. (The
// dialog manager marks the text of a list it gives the focus to, and Wine's lists keep the mark
// when the focus leaves.)
static void UnmarkUnfocusedLists(HWND dialog) {
    HWND focus = GetFocus();
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        HWND list = GetDlgItem(dialog, id);
        if (focus != list && !IsChild(list, focus)) {
            SendMessageW(list, CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
        }
    }
}

// An empty list offers nothing to choose.
static void EnableListWhenFilled(HWND dialog, int id) {
    EnableItem(dialog, id, ListCount(dialog, id) > 0);
}

int VideoPage::FillAdapterList(HWND dialog, int adapter) {
    ClearList(dialog, IDC_ADAPTER_LIST);
    for (UINT i = 0; i < DeviceCaps.adapterCount; ++i) {
        // The driver's text, in the system's code page; cut to its field even when unterminated.
        const D3DADAPTER_IDENTIFIER8& identifier = DeviceCaps.adapters[i].identifier;
        char description[MAX_DEVICE_IDENTIFIER_STRING + 1] = {};
        snprintf(description, sizeof description, "%.*s", MAX_DEVICE_IDENTIFIER_STRING,
                 identifier.Description);
        AddListItem(dialog, IDC_ADAPTER_LIST, description, static_cast<LPARAM>(i), CP_ACP);
    }
    int selected = -1;
    if (ListedAdapter(adapter) != nullptr) {
        selected = adapter;
    } else if (ListedAdapter(static_cast<int>(DeviceCaps.selectedAdapter)) != nullptr) {
        selected = static_cast<int>(DeviceCaps.selectedAdapter);
    }
    SelectListEntry(dialog, IDC_ADAPTER_LIST, selected);
    adapterChoice.Remember(dialog);
    EnableListWhenFilled(dialog, IDC_ADAPTER_LIST);
    return selected;
}

int VideoPage::FillDeviceList(HWND dialog, int adapter, int device) {
    ClearList(dialog, IDC_DEVICE_LIST);
    int selected = -1;
    if (const AdapterInfo* info = ListedAdapter(adapter)) {
        for (UINT i = 0; i < info->deviceCount; ++i) {
            AddListItem(dialog, IDC_DEVICE_LIST, info->devices[i].name,
                        static_cast<LPARAM>(info->devices[i].deviceType));
        }
        if (ListedDevice(adapter, device) != nullptr) {
            selected = device;
        } else if (info->selectedDevice < info->deviceCount) {
            selected = static_cast<int>(info->selectedDevice);
        } else {
            selected = 0;
        }
    }
    SelectListEntry(dialog, IDC_DEVICE_LIST, selected);
    deviceChoice.Remember(dialog);
    EnableListWhenFilled(dialog, IDC_DEVICE_LIST);
    return selected;
}

int VideoPage::FillResolutionList(HWND dialog, int adapter, int device, int width, int height,
                                  int bits) {
    ClearList(dialog, IDC_RESOLUTION_LIST);
    int selected = -1;
    if (const DeviceInfo* info = ListedDevice(adapter, device)) {
        selected = 0;
        for (UINT i = 0; i < info->modeCount; ++i) {
            const ModeInfo& mode = info->modes[i];
            const int modeBits = FormatBits(mode.format);
            char text[64];
            snprintf(text, sizeof text, "%d x %d x %d", static_cast<int>(mode.width),
                     static_cast<int>(mode.height), modeBits);
            AddListItem(dialog, IDC_RESOLUTION_LIST, text, static_cast<LPARAM>(i));
            // The last entry of the same size and depth wins.
            if (static_cast<int>(mode.width) == width && static_cast<int>(mode.height) == height &&
                modeBits == bits) {
                selected = static_cast<int>(i);
            }
        }
    }
    SelectListEntry(dialog, IDC_RESOLUTION_LIST, selected);
    modeChoice.Remember(dialog);
    EnableListWhenFilled(dialog, IDC_RESOLUTION_LIST);
    return selected;
}

void VideoPage::FillFilterList(HWND dialog, int adapter, int device, int filter) {
    ClearList(dialog, IDC_FILTER_LIST);
    // Positions of the entries by filter number; -1 when not offered.
    int positions[kFilterAnisotropy + 1] = {-1, -1, -1, -1};
    if (const DeviceInfo* info = ListedDevice(adapter, device)) {
        const DWORD caps = info->caps.TextureFilterCaps;
        if (caps & kPointFilterCaps) {
            positions[kFilterPoint] = AddListItem(dialog, IDC_FILTER_LIST, "Point", kFilterPoint);
        }
        if (caps & kLinearFilterCaps) {
            positions[kFilterBilinear] =
                AddListItem(dialog, IDC_FILTER_LIST, "Bilinear", kFilterBilinear);
        }
        if (info->caps.MaxAnisotropy >= 2 && (caps & kAnisotropicFilterCaps)) {
            positions[kFilterAnisotropy] =
                AddListItem(dialog, IDC_FILTER_LIST, "Anisotropy", kFilterAnisotropy);
        }
    }
    int selected = -1;
    if (filter >= kFilterPoint && filter <= kFilterAnisotropy) {
        selected = positions[filter];
    }
    for (int fallback : {kFilterBilinear, kFilterAnisotropy, kFilterPoint}) {
        if (selected < 0) {
            selected = positions[fallback];
        }
    }
    SelectListEntry(dialog, IDC_FILTER_LIST, selected);
    filterChoice.Remember(dialog);
    EnableListWhenFilled(dialog, IDC_FILTER_LIST);
}

// The anti-alias list keeps the game's identifier 1004, which this page's template does not
// hold: every message sent there finds no window, and FullAntiAlias is collected as 0.
void VideoPage::FillAntiAliasList(HWND dialog, int adapter, int device, int mode, bool windowed,
                                  int wanted) {
    ClearList(dialog, IDC_ANTI_ALIAS_LIST);
    const ModeInfo* info = ListedMode(adapter, device, mode);
    if (info == nullptr) {
        EnableItem(dialog, IDC_ANTI_ALIAS_LIST, false);
        return;
    }
    const DWORD mask = windowed ? info->multiSampleWindowed : info->multiSampleFullscreen;
    int count = 0;
    int selected = 0;
    for (int t = 0; t <= 16; ++t) {
        if (t == 1 || (mask & (1u << t)) == 0) {
            continue;
        }
        char text[32];
        snprintf(text, sizeof text, t == 0 ? "NONE" : "%dSamples", t);
        int position = AddListItem(dialog, IDC_ANTI_ALIAS_LIST, text, t);
        if (t == (wanted & 0xFF) && position >= 0) {
            selected = position;
        }
        ++count;
    }
    EnableItem(dialog, IDC_ANTI_ALIAS_LIST, count != 1);
    SelectListEntry(dialog, IDC_ANTI_ALIAS_LIST, count == 1 ? 0 : selected);
}

void VideoPage::UpdateWindowModeEnable(HWND dialog, int adapter, int device) {
    const DeviceInfo* info = ListedDevice(adapter, device);
    EnableItem(dialog, IDC_WINDOW_MODE, info != nullptr && info->canRenderWindowed);
}

void VideoPage::UpdateGlowEnable(HWND dialog) {
    const bool enable = !IsItemChecked(dialog, IDC_EFFECTS_OFF) &&
                        DeviceCaps.BumpSupport.PixelShader11 &&
                        DeviceCaps.BumpSupport.TwoTextureStages;
    EnableItem(dialog, IDC_GLOW_OFF, enable);
    EnableItem(dialog, IDC_GLOW_ON, enable);
}

void VideoPage::InitControls(HWND dialog) {
    Attach(dialog);
    Settings& record = SettingsRecord;
    // A stored adapter or device that is not listed shows the default one.
    const int shownAdapter = ListedAdapter(record.Adapter) != nullptr
                                 ? record.Adapter
                                 : static_cast<int>(DeviceCaps.selectedAdapter);
    if (record.Adapter == -1) {
        record.Adapter = static_cast<int>(DeviceCaps.selectedAdapter);
    }
    if (record.Device == -1) {
        record.Device = static_cast<int>(DeviceCaps.adapters[shownAdapter].selectedDevice);
    }
    const int adapter = FillAdapterList(dialog, record.Adapter);
    const int device = FillDeviceList(dialog, adapter, record.Device);
    const int mode = FillResolutionList(dialog, adapter, device, record.ScreenWidth,
                                        record.ScreenHeight, record.ScreenBitCount);
    FillFilterList(dialog, adapter, device, record.TextureFilter);
    SetRadioPair(dialog, IDC_TEXTURE_LOW, IDC_TEXTURE_STANDARD, record.LowTexture != 0);
    FillAntiAliasList(dialog, adapter, device, mode, record.WindowMode != 0, record.FullAntiAlias);
    SetRadioPair(dialog, IDC_MIPMAP_ON, IDC_MIPMAP_OFF, record.UseMipmap != 0);
    SetRadioPair(dialog, IDC_FPS_AUTO, IDC_FPS_30, record.FpsMode == 0);
    CheckItem(dialog, IDC_HARDWARE_VERTEX_SHADER, record.HardwareVertexShader != 0);
    CheckItem(dialog, IDC_WINDOW_MODE, record.WindowMode != 0);
    CheckItem(dialog, IDC_VSYNC, record.WaitVSync != 0);
    SetRadioPair(dialog, IDC_EFFECTS_OFF, IDC_EFFECTS_ON, record.LowEffect != 0);
    // A stored quality above 2 shows at 2: the trackbar keeps positions in its range.
    InitTrackbar(dialog, IDC_SHADOW_QUALITY, kShadowQualityMax, record.ShadowQuality);
    SetRadioPair(dialog, IDC_GLOW_ON, IDC_GLOW_OFF, record.GlowOn != 0);
    SetRadioPair(dialog, IDC_MOVIES_ON, IDC_MOVIES_OFF, record.MoviePlay != 0);
    UpdateWindowModeEnable(dialog, adapter, device);
    CheckSupportsBumpMapping(adapter, device, mode);
    UpdateGlowEnable(dialog);
    UnmarkUnfocusedLists(dialog);
}

// What follows another adapter or device once its mode is chosen: the lists and switches that
// depend on the card keep the player's choice where the card offers it.
void VideoPage::FollowChosenMode(HWND dialog, int adapter, int device, int mode, int filter,
                                 int antiAlias) {
    UpdateWindowModeEnable(dialog, adapter, device);
    FillAntiAliasList(dialog, adapter, device, mode, IsItemChecked(dialog, IDC_WINDOW_MODE),
                      antiAlias);
    FillFilterList(dialog, adapter, device, filter);
    UpdateGlowEnable(dialog);
}

void VideoPage::OnAdapterCommand(HWND dialog, WORD notification) {
    if (adapterChoice.Changed(dialog, notification)) {
        const int adapter = adapterChoice.Position();
        const int oldDevice = deviceChoice.Position();
        const int oldMode = modeChoice.Position();
        const int filter = static_cast<int>(filterChoice.Data(dialog));
        const int antiAlias = static_cast<int>(SelectedItemData(dialog, IDC_ANTI_ALIAS_LIST));
        // The entry at the old position of the new adapter's list decides the mode to keep.
        const ModeInfo* wanted = ListedMode(adapter, oldDevice, oldMode);
        // The new adapter may have fewer devices: everything after follows the device shown.
        const int device = FillDeviceList(dialog, adapter, oldDevice);
        CheckSupportsBumpMapping(adapter, device, oldMode);
        const int mode = wanted != nullptr
                             ? FillResolutionList(dialog, adapter, device, wanted->width,
                                                  wanted->height, FormatBits(wanted->format))
                             : FillResolutionList(dialog, adapter, device, -1, -1, -1);
        FollowChosenMode(dialog, adapter, device, mode, filter, antiAlias);
    }
    UnmarkUnfocusedLists(dialog);
}

// Another device starts again from its first mode.
void VideoPage::OnDeviceCommand(HWND dialog, WORD notification) {
    if (deviceChoice.Changed(dialog, notification)) {
        const int adapter = adapterChoice.Position();
        const int device = deviceChoice.Position();
        const int oldMode = modeChoice.Position();
        const int filter = static_cast<int>(filterChoice.Data(dialog));
        const int antiAlias = static_cast<int>(SelectedItemData(dialog, IDC_ANTI_ALIAS_LIST));
        CheckSupportsBumpMapping(adapter, device, oldMode);
        const int mode = FillResolutionList(dialog, adapter, device, 0, 0, 0);
        FollowChosenMode(dialog, adapter, device, mode, filter, antiAlias);
    }
    UnmarkUnfocusedLists(dialog);
}

void VideoPage::RefillAntiAliasList(HWND dialog) {
    FillAntiAliasList(dialog, adapterChoice.Position(), deviceChoice.Position(),
                      modeChoice.Position(), IsItemChecked(dialog, IDC_WINDOW_MODE),
                      static_cast<int>(SelectedItemData(dialog, IDC_ANTI_ALIAS_LIST)));
}

void VideoPage::OnModeCommand(HWND dialog, WORD notification) {
    if (modeChoice.Changed(dialog, notification)) {
        RefillAntiAliasList(dialog);
    }
    UnmarkUnfocusedLists(dialog);
}

void VideoPage::OnFilterCommand(HWND dialog, WORD notification) {
    filterChoice.Changed(dialog, notification);
    UnmarkUnfocusedLists(dialog);
}

void VideoPage::OnWindowModeCommand(HWND dialog) {
    RefillAntiAliasList(dialog);
}

namespace {
// What a preset button sets; the controls it leaves alone keep what they show.
struct Preset {
    int preferenceList;
    int filter;
    bool lowTexture;
    bool setsVertexShaderAndMovies;
    bool lowEffect;
    int shadowQuality;
    bool glow;
};
}  // namespace

static const Preset kStandardPreset = {0, kFilterBilinear, false, true, false, 2, true};
static const Preset kLowEndPreset = {1, kFilterBilinear, true, false, true, 0, false};
static const Preset kHighQualityPreset = {2, kFilterAnisotropy, false, false, false, 2, true};

// Only the lists and the check states change; the enabled states stay as the last adapter or
// device choice left them.
static void ApplyPreset(VideoPage& page, HWND dialog, const Preset& preset) {
    PickDefaultMode(preset.preferenceList);
    const int adapter = static_cast<int>(DeviceCaps.selectedAdapter);
    const int device = static_cast<int>(DeviceCaps.adapters[adapter].selectedDevice);
    const int mode = static_cast<int>(DeviceCaps.adapters[adapter].devices[device].selectedMode);
    const ModeInfo* chosen = ListedMode(adapter, device, mode);
    const int width = chosen != nullptr ? static_cast<int>(chosen->width) : -1;
    const int height = chosen != nullptr ? static_cast<int>(chosen->height) : -1;
    const int bits = chosen != nullptr ? FormatBits(chosen->format) : -1;
    if (preset.preferenceList == 2) {
        DebugTrace("找到了2 %d  %d %d %d\n", mode, width, height, bits);
    }
    page.FillAdapterList(dialog, adapter);
    page.FillDeviceList(dialog, adapter, device);
    page.FillResolutionList(dialog, adapter, device, width, height, bits);
    page.FillFilterList(dialog, adapter, device, preset.filter);
    SetRadioPair(dialog, IDC_TEXTURE_LOW, IDC_TEXTURE_STANDARD, preset.lowTexture);
    page.FillAntiAliasList(dialog, adapter, device, mode, false, 0);
    SetRadioPair(dialog, IDC_MIPMAP_ON, IDC_MIPMAP_OFF, true);
    SetRadioPair(dialog, IDC_FPS_AUTO, IDC_FPS_30, true);
    CheckItem(dialog, IDC_VSYNC, true);
    if (preset.setsVertexShaderAndMovies) {
        CheckItem(dialog, IDC_HARDWARE_VERTEX_SHADER, true);
    }
    SetRadioPair(dialog, IDC_EFFECTS_OFF, IDC_EFFECTS_ON, preset.lowEffect);
    SetTrackbarPosition(dialog, IDC_SHADOW_QUALITY, preset.shadowQuality);
    SetRadioPair(dialog, IDC_GLOW_ON, IDC_GLOW_OFF, preset.glow);
    if (preset.setsVertexShaderAndMovies) {
        SetRadioPair(dialog, IDC_MOVIES_ON, IDC_MOVIES_OFF, true);
    }
    UnmarkUnfocusedLists(dialog);
}

void VideoPage::ApplyStandardPreset(HWND dialog) {
    ApplyPreset(*this, dialog, kStandardPreset);
}

void VideoPage::ApplyLowEndPreset(HWND dialog) {
    ApplyPreset(*this, dialog, kLowEndPreset);
}

void VideoPage::ApplyHighQualityPreset(HWND dialog) {
    ApplyPreset(*this, dialog, kHighQualityPreset);
}

// Disabled controls are read like the others. Without a listed adapter, device or mode the
// fields that come from them keep what the file held.
void VideoPage::Collect() {
    if (!HasWindow()) {
        return;
    }
    Settings& record = SettingsRecord;
    record.Adapter = adapterChoice.Position();
    record.Device = deviceChoice.Position();
    const int mode = modeChoice.Position();
    if (const ModeInfo* info = ListedMode(record.Adapter, record.Device, mode)) {
        record.ScreenWidth = static_cast<int32_t>(info->width);
        record.ScreenHeight = static_cast<int32_t>(info->height);
        record.ScreenBitCount = FormatBits(info->format);
    }
    if (const AdapterInfo* info = ListedAdapter(record.Adapter)) {
        record.AdapterIdentifier = info->identifier;
    }
    if (filterChoice.Position() >= 0) {
        record.TextureFilter = static_cast<uint8_t>(filterChoice.Data(window));
    }
    record.UseMipmap = IsItemChecked(window, IDC_MIPMAP_ON) ? 1 : 0;
    record.HardwareVertexShader = IsItemChecked(window, IDC_HARDWARE_VERTEX_SHADER) ? 1 : 0;
    record.WindowMode = IsItemChecked(window, IDC_WINDOW_MODE) ? 1 : 0;
    record.LowTexture = IsItemChecked(window, IDC_TEXTURE_LOW) ? 1 : 0;
    record.FpsMode = IsItemChecked(window, IDC_FPS_AUTO) ? 0 : 1;
    record.WaitVSync = IsItemChecked(window, IDC_VSYNC) ? 1 : 0;
    record.FullAntiAlias = static_cast<uint8_t>(SelectedItemData(window, IDC_ANTI_ALIAS_LIST));
    record.LowEffect = IsItemChecked(window, IDC_EFFECTS_OFF) ? 1 : 0;
    record.ShadowQuality = static_cast<uint8_t>(TrackbarPosition(window, IDC_SHADOW_QUALITY));
    record.GlowOn = IsItemChecked(window, IDC_GLOW_ON) ? 1 : 0;
    record.MoviePlay = IsItemChecked(window, IDC_MOVIES_ON) ? 1 : 0;
}

INT_PTR CALLBACK VideoPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            videoPage.InitControls(dialog);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_ADAPTER_LIST:
                    videoPage.OnAdapterCommand(dialog, HIWORD(wParam));
                    break;
                case IDC_DEVICE_LIST:
                    videoPage.OnDeviceCommand(dialog, HIWORD(wParam));
                    break;
                case IDC_RESOLUTION_LIST:
                    videoPage.OnModeCommand(dialog, HIWORD(wParam));
                    break;
                case IDC_WINDOW_MODE:
                    videoPage.OnWindowModeCommand(dialog);
                    break;
                case IDC_FILTER_LIST:
                    videoPage.OnFilterCommand(dialog, HIWORD(wParam));
                    break;
                case IDC_PRESET_STANDARD:
                    videoPage.ApplyStandardPreset(dialog);
                    break;
                case IDC_PRESET_LOW_END:
                    videoPage.ApplyLowEndPreset(dialog);
                    break;
                case IDC_PRESET_HIGH_QUALITY:
                    videoPage.ApplyHighQualityPreset(dialog);
                    break;
                case IDC_EFFECTS_OFF:
                case IDC_EFFECTS_ON:
                    videoPage.UpdateGlowEnable(dialog);
                    break;
            }
            return FALSE;
    }
    return FALSE;
}
