// Direct3D 8 enumeration: the adapters, device types and full-screen modes this machine offers,
// asked once at start-up and kept in DeviceCaps for the video page.
#pragma once
#include <windows.h>
#include <d3d8.h>
#include <cstdint>

// Limits of the tables below; enumeration skips whatever does not fit.
constexpr unsigned kMaxAdapters = 10;
constexpr unsigned kMaxDevices = 2;
constexpr unsigned kMaxModes = 150;
constexpr unsigned kMaxDistinctModes = 100;  // per adapter, while it is enumerated
constexpr unsigned kMaxFormats = 20;         // per adapter, while it is enumerated

// D3D_SDK_VERSION of Direct3D 8.1, as the game asks for it.
constexpr UINT kDirect3DSdkVersion = 220;

// One usable full-screen mode of a device; the refresh rate is not kept.
struct ModeInfo {
    UINT width;
    UINT height;
    D3DFORMAT format;
    D3DFORMAT depthStencilFormat;
    DWORD multiSampleFullscreen;  // bit t: D3DMULTISAMPLE_TYPE t works full-screen
    DWORD multiSampleWindowed;    // bit t: ... in a window
};

struct DeviceInfo {
    D3DDEVTYPE deviceType;
    D3DCAPS8 caps;
    const char* name;  // "HAL" or "REF"
    UINT modeCount;
    ModeInfo modes[kMaxModes];
    UINT selectedMode;
    BOOL canRenderWindowed;
};

struct AdapterInfo {
    UINT ordinal;  // the Direct3D adapter number: differs from the index once one was left out
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode;
    UINT deviceCount;
    DeviceInfo devices[kMaxDevices];
    UINT selectedDevice;
};

struct BumpSupportFlags {
    bool TwoTextureStages;
    bool PixelShader11;
};

struct DeviceCapsRecord {
    IDirect3D8* direct3d;
    UINT adapterCount;
    AdapterInfo adapters[kMaxAdapters];
    UINT selectedAdapter;
    UINT minDepthBits;
    UINT minStencilBits;
    bool requireDepthStencil;
    BumpSupportFlags BumpSupport;
};

extern DeviceCapsRecord DeviceCaps;

// Where CreateDirect3D gets its interface from. The program loads d3d8.dll at run time; tests
// hand in an interface of their own. Returns the previous source (null restores d3d8.dll).
using Direct3DSource = IDirect3D8* (*)();
Direct3DSource SetDirect3DSource(Direct3DSource source);

// Creates the interface and fills DeviceCaps. Without Direct3D 8 false is returned (telling the
// player is the caller's); DeviceCaps then lists nothing.
bool CreateDirect3D();
// Fills the adapter table from DeviceCaps.direct3d and picks the default mode.
void EnumerateAdapters();

bool IsUsableMode(UINT width, UINT height, D3DFORMAT format);
// Finds the first depth-stencil format (in a fixed order of candidates) that fits the format.
bool FindDepthStencilFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT format,
                            D3DFORMAT* depthStencil);
// Chooses the default adapter, device and mode from a preference list: 0 standard, 1 low-end,
// anything else high quality. False, with everything at 0, when no device offers an entry.
bool PickDefaultMode(int list);
// Bits per pixel of a format: 0 for compressed and video formats, 255 when unknown.
uint8_t FormatBits(D3DFORMAT format);
// Asks the device's caps again and sets BumpSupport. False, leaving BumpSupport alone, when the
// adapter or device is not listed or there is no interface.
bool CheckSupportsBumpMapping(int adapter, int device, int mode);

// The adapter, device and mode at these indices, or null when not listed.
const AdapterInfo* ListedAdapter(int adapter);
const DeviceInfo* ListedDevice(int adapter, int device);
const ModeInfo* ListedMode(int adapter, int device, int mode);
