// Direct3D 8 enumeration: the adapters, device types and full-screen modes this machine offers,
// asked once at start-up and kept in DeviceCaps for the video page.
#include "display/device_caps.h"

#include <algorithm>
#include <cstring>

#include "common/trace.h"

DeviceCapsRecord DeviceCaps = {nullptr, 0, {}, 0, 16, 0, true, {true, true}};

// d3d8.dll is loaded at run time: the program must start (and say what is missing) on a
// machine without it. The library stays loaded while the interface lives, to the end.
static IDirect3D8* LoadDirect3D8() {
    HMODULE library = LoadLibraryA("d3d8.dll");
    if (library == nullptr) {
        return nullptr;
    }
    using CreateProc = IDirect3D8*(WINAPI*)(UINT);
    // Through void (*)(void), the type that may stand for any function pointer.
    auto create = reinterpret_cast<CreateProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "Direct3DCreate8")));
    IDirect3D8* direct3d = create != nullptr ? create(kDirect3DSdkVersion) : nullptr;
    if (direct3d == nullptr) {
        FreeLibrary(library);
    }
    return direct3d;
}

static Direct3DSource direct3dSource = LoadDirect3D8;

Direct3DSource SetDirect3DSource(Direct3DSource source) {
    Direct3DSource previous = direct3dSource;
    direct3dSource = source != nullptr ? source : LoadDirect3D8;
    return previous;
}

bool CreateDirect3D() {
    DebugTrace("CreateDirect3D\n");
    DeviceCaps.direct3d = direct3dSource();
    if (DeviceCaps.direct3d == nullptr) {
        DeviceCaps.adapterCount = 0;
        return false;
    }
    memset(DeviceCaps.adapters, 0, sizeof DeviceCaps.adapters);
    DeviceCaps.adapterCount = 0;
    DeviceCaps.minStencilBits = 0;
    DeviceCaps.minDepthBits = 16;
    DeviceCaps.requireDepthStencil = true;
    EnumerateAdapters();
    return true;
}

bool IsUsableMode(UINT width, UINT height, D3DFORMAT format) {
    if (width < 640 || height < 480) {
        return false;
    }
    // 4:3 only: 1280 x 960 passes, 1280 x 1024 and 1280 x 720 do not.
    if (static_cast<double>(height) / static_cast<double>(width) != 0.75) {
        return false;
    }
    switch (format) {
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_R8G8B8:
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            return true;
        default:
            return false;
    }
}

namespace {

// One distinct usable mode of the adapter being enumerated.
struct ScratchMode {
    UINT width;
    UINT height;
    D3DFORMAT format;
};

// What one device type can do with one format of the adapter.
struct FormatState {
    D3DFORMAT format;
    bool usable;
    D3DFORMAT depthStencil;
    DWORD multiSampleFullscreen;
    DWORD multiSampleWindowed;
};

struct AdapterScratch {
    ScratchMode modes[kMaxDistinctModes];
    UINT modeCount;
    FormatState formats[kMaxFormats];
    UINT formatCount;
};

}  // namespace

// Format descending (16-bit modes before 32-bit, 24-bit last), then width, then height.
static int CompareModes(const ScratchMode& a, const ScratchMode& b) {
    if (a.format != b.format) {
        return a.format > b.format ? -1 : 1;
    }
    if (a.width != b.width) {
        return a.width < b.width ? -1 : 1;
    }
    if (a.height != b.height) {
        return a.height < b.height ? -1 : 1;
    }
    return 0;
}

static bool HasFormat(const AdapterScratch& scratch, D3DFORMAT format) {
    for (UINT i = 0; i < scratch.formatCount; ++i) {
        if (scratch.formats[i].format == format) {
            return true;
        }
    }
    return false;
}

static bool HasMode(const AdapterScratch& scratch, const D3DDISPLAYMODE& mode) {
    for (UINT i = 0; i < scratch.modeCount; ++i) {
        const ScratchMode& known = scratch.modes[i];
        if (known.width == mode.Width && known.height == mode.Height &&
            known.format == mode.Format) {
            return true;
        }
    }
    return false;
}

// The distinct usable modes of the adapter, sorted, and the formats they come in (the desktop
// format first).
static void CollectModes(IDirect3D8* direct3d, UINT ordinal, D3DFORMAT desktopFormat,
                         AdapterScratch& scratch) {
    scratch.modeCount = 0;
    scratch.formatCount = 1;
    scratch.formats[0].format = desktopFormat;
    UINT available = direct3d->GetAdapterModeCount(ordinal);
    for (UINT k = 0; k < available && scratch.modeCount < kMaxDistinctModes; ++k) {
        D3DDISPLAYMODE mode = {};
        if (FAILED(direct3d->EnumAdapterModes(ordinal, k, &mode))) {
            continue;
        }
        if (!IsUsableMode(mode.Width, mode.Height, mode.Format) || HasMode(scratch, mode)) {
            continue;
        }
        if (!HasFormat(scratch, mode.Format)) {
            if (scratch.formatCount >= kMaxFormats) {
                continue;
            }
            scratch.formats[scratch.formatCount++].format = mode.Format;
        }
        scratch.modes[scratch.modeCount++] = {mode.Width, mode.Height, mode.Format};
    }
    std::sort(scratch.modes, scratch.modes + scratch.modeCount,
              [](const ScratchMode& a, const ScratchMode& b) { return CompareModes(a, b) < 0; });
}

bool FindDepthStencilFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT format,
                            D3DFORMAT* depthStencil) {
    const UINT d = DeviceCaps.minDepthBits;
    const UINT s = DeviceCaps.minStencilBits;
    const struct {
        D3DFORMAT candidate;
        bool allowed;
    } candidates[] = {
        {D3DFMT_D16, d <= 16 && s == 0},     {D3DFMT_D15S1, d <= 15 && s <= 1},
        {D3DFMT_D24X8, d <= 24 && s == 0},   {D3DFMT_D24S8, d <= 24 && s <= 8},
        {D3DFMT_D24X4S4, d <= 24 && s <= 4}, {D3DFMT_D32, d <= 32 && s == 0},
    };
    IDirect3D8* direct3d = DeviceCaps.direct3d;
    for (const auto& entry : candidates) {
        if (!entry.allowed) {
            continue;
        }
        if (SUCCEEDED(direct3d->CheckDeviceFormat(adapter, deviceType, format,
                                                  D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                                  entry.candidate)) &&
            SUCCEEDED(direct3d->CheckDepthStencilMatch(adapter, deviceType, format, format,
                                                       entry.candidate))) {
            *depthStencil = entry.candidate;
            return true;
        }
    }
    return false;
}

// Which formats the device type can use, with their depth-stencil formats and multisample masks.
static void CheckFormats(UINT ordinal, D3DDEVTYPE deviceType, AdapterScratch& scratch) {
    IDirect3D8* direct3d = DeviceCaps.direct3d;
    for (UINT i = 0; i < scratch.formatCount; ++i) {
        FormatState& state = scratch.formats[i];
        const D3DFORMAT format = state.format;
        state = {format, false, D3DFMT_UNKNOWN, 0, 0};
        if (FAILED(direct3d->CheckDeviceType(ordinal, deviceType, format, format, FALSE))) {
            continue;
        }
        state.usable = true;
        if (DeviceCaps.requireDepthStencil) {
            state.usable = FindDepthStencilFormat(ordinal, deviceType, format, &state.depthStencil);
        }
        // Asked also when no depth-stencil format fits: the masks describe the format itself.
        for (int t = 0; t <= 16; ++t) {
            if (t == 1) {
                continue;
            }
            const D3DMULTISAMPLE_TYPE type = static_cast<D3DMULTISAMPLE_TYPE>(t);
            if (SUCCEEDED(direct3d->CheckDeviceMultiSampleType(ordinal, deviceType, format, FALSE,
                                                               type))) {
                state.multiSampleFullscreen |= 1u << t;
            }
            if (SUCCEEDED(direct3d->CheckDeviceMultiSampleType(ordinal, deviceType, format, TRUE,
                                                               type))) {
                state.multiSampleWindowed |= 1u << t;
            }
        }
    }
}

static const FormatState* FindFormat(const AdapterScratch& scratch, D3DFORMAT format) {
    for (UINT i = 0; i < scratch.formatCount; ++i) {
        if (scratch.formats[i].format == format) {
            return &scratch.formats[i];
        }
    }
    return nullptr;
}

// Fills the next device slot of the adapter; it counts only when it has a usable mode.
static void EnumerateDevice(UINT ordinal, D3DDEVTYPE deviceType, const char* name,
                            AdapterInfo& adapter, AdapterScratch& scratch) {
    DeviceInfo& device = adapter.devices[adapter.deviceCount];
    memset(&device, 0, sizeof device);
    device.deviceType = deviceType;
    device.name = name;
    DeviceCaps.direct3d->GetDeviceCaps(ordinal, deviceType, &device.caps);

    CheckFormats(ordinal, deviceType, scratch);
    for (UINT i = 0; i < scratch.modeCount && device.modeCount < kMaxModes; ++i) {
        const ScratchMode& entry = scratch.modes[i];
        const FormatState* state = FindFormat(scratch, entry.format);
        if (state == nullptr || !state->usable) {
            continue;
        }
        device.modes[device.modeCount++] = {entry.width,
                                            entry.height,
                                            entry.format,
                                            state->depthStencil,
                                            state->multiSampleFullscreen,
                                            state->multiSampleWindowed};
    }
    // The desktop format is the first of the list: a window shares the desktop's format.
    device.canRenderWindowed =
        (scratch.formats[0].usable && (device.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0)
            ? TRUE
            : FALSE;
    if (device.modeCount > 0) {
        ++adapter.deviceCount;
    }
}

void EnumerateAdapters() {
    static const struct {
        D3DDEVTYPE type;
        const char* name;
    } kDeviceTypes[] = {{D3DDEVTYPE_HAL, "HAL"}, {D3DDEVTYPE_REF, "REF"}};
    AdapterScratch scratch;  // one adapter at a time

    IDirect3D8* direct3d = DeviceCaps.direct3d;
    // The count is asked again after every adapter, as a driver may change it.
    for (UINT n = 0; n < direct3d->GetAdapterCount() && DeviceCaps.adapterCount < kMaxAdapters;
         ++n) {
        AdapterInfo& adapter = DeviceCaps.adapters[DeviceCaps.adapterCount];
        memset(&adapter, 0, sizeof adapter);
        adapter.ordinal = n;
        direct3d->GetAdapterIdentifier(n, D3DENUM_NO_WHQL_LEVEL, &adapter.identifier);
        direct3d->GetAdapterDisplayMode(n, &adapter.desktopMode);

        CollectModes(direct3d, n, adapter.desktopMode.Format, scratch);
        for (const auto& type : kDeviceTypes) {
            EnumerateDevice(n, type.type, type.name, adapter, scratch);
        }
        if (adapter.deviceCount > 0) {
            ++DeviceCaps.adapterCount;
        }
    }
    PickDefaultMode(0);
}

namespace {
struct Preference {
    UINT width;
    UINT height;
    D3DFORMAT format;
};
}  // namespace

static const Preference kStandardList[] = {
    {640, 480, D3DFMT_X8R8G8B8}, {640, 480, D3DFMT_A8R8G8B8}, {640, 480, D3DFMT_R8G8B8}};
static const Preference kLowEndList[] = {{640, 480, D3DFMT_R5G6B5},
                                         {640, 480, D3DFMT_X1R5G5B5},
                                         {640, 480, D3DFMT_A1R5G5B5},
                                         {640, 480, D3DFMT_A4R4G4B4}};
static const Preference kHighQualityList[] = {
    {1024, 768, D3DFMT_X8R8G8B8}, {1024, 768, D3DFMT_A8R8G8B8}, {1024, 768, D3DFMT_R8G8B8}};

// The first mode of the device that matches the entry, or -1.
static int FindMode(const DeviceInfo& device, const Preference& entry) {
    for (UINT i = 0; i < device.modeCount; ++i) {
        const ModeInfo& mode = device.modes[i];
        if (mode.width == entry.width && mode.height == entry.height &&
            mode.format == entry.format) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool PickDefaultMode(int list) {
    const Preference* entries = kHighQualityList;
    size_t entryCount = sizeof kHighQualityList / sizeof kHighQualityList[0];
    if (list == 0) {
        entries = kStandardList;
        entryCount = sizeof kStandardList / sizeof kStandardList[0];
    } else if (list == 1) {
        entries = kLowEndList;
        entryCount = sizeof kLowEndList / sizeof kLowEndList[0];
    }
    for (UINT a = 0; a < DeviceCaps.adapterCount; ++a) {
        AdapterInfo& adapter = DeviceCaps.adapters[a];
        for (UINT d = 0; d < adapter.deviceCount; ++d) {
            DeviceInfo& device = adapter.devices[d];
            // Each later entry the device offers replaces the earlier find.
            int found = -1;
            for (size_t e = 0; e < entryCount; ++e) {
                int index = FindMode(device, entries[e]);
                if (index < 0) {
                    continue;
                }
                found = index;
                if (list == 0) {
                    DebugTrace("找到了 %d %d\n", static_cast<int>(entries[e].format), index);
                } else if (list != 1) {
                    DebugTrace("找到了見つかった %d %d\n", static_cast<int>(entries[e].format),
                               index);
                }
            }
            if (found >= 0) {
                DeviceCaps.selectedAdapter = a;
                adapter.selectedDevice = d;
                device.selectedMode = static_cast<UINT>(found);
                return true;
            }
        }
    }
    DeviceCaps.selectedAdapter = 0;
    DeviceCaps.adapters[0].selectedDevice = 0;
    DeviceCaps.adapters[0].devices[0].selectedMode = 0;
    return false;
}

uint8_t FormatBits(D3DFORMAT format) {
    switch (static_cast<DWORD>(format)) {
        case D3DFMT_R8G8B8:
            return 24;
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_X8L8V8U8:
        case D3DFMT_Q8W8V8U8:
        case D3DFMT_V16U16:
        case D3DFMT_W11V11U10:
        case D3DFMT_D32:
        case D3DFMT_D24S8:
        case D3DFMT_D24X8:
        case D3DFMT_D24X4S4:
        case D3DFMT_INDEX32:
            return 32;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_A8R3G3B2:
        case D3DFMT_X4R4G4B4:
        case D3DFMT_A8P8:
        case D3DFMT_A8L8:
        case D3DFMT_V8U8:
        case D3DFMT_L6V5U5:
        case D3DFMT_D16_LOCKABLE:
        case D3DFMT_D15S1:
        case D3DFMT_D16:
        case D3DFMT_INDEX16:
            return 16;
        case D3DFMT_R3G3B2:
        case D3DFMT_A8:
        case D3DFMT_P8:
        case D3DFMT_L8:
        case D3DFMT_A4L4:
            return 8;
        case D3DFMT_VERTEXDATA:
        case D3DFMT_DXT1:
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
        case D3DFMT_YUY2:
        case D3DFMT_UYVY:
            return 0;
        default:
            return 255;
    }
}

const AdapterInfo* ListedAdapter(int adapter) {
    if (adapter < 0 || static_cast<UINT>(adapter) >= DeviceCaps.adapterCount) {
        return nullptr;
    }
    return &DeviceCaps.adapters[adapter];
}

const DeviceInfo* ListedDevice(int adapter, int device) {
    const AdapterInfo* info = ListedAdapter(adapter);
    if (info == nullptr || device < 0 || static_cast<UINT>(device) >= info->deviceCount) {
        return nullptr;
    }
    return &info->devices[device];
}

const ModeInfo* ListedMode(int adapter, int device, int mode) {
    const DeviceInfo* info = ListedDevice(adapter, device);
    if (info == nullptr || mode < 0 || static_cast<UINT>(mode) >= info->modeCount) {
        return nullptr;
    }
    return &info->modes[mode];
}

bool CheckSupportsBumpMapping(int adapter, int device, int mode) {
    DebugTrace("CheckSupportsBumpMapping %d %d %d\n", adapter, device, mode);
    const DeviceInfo* info = ListedDevice(adapter, device);
    if (DeviceCaps.direct3d == nullptr || info == nullptr) {
        return false;
    }
    // Asked of the adapter's own Direct3D number, which its index no longer is once an earlier
    // adapter was left out.
    D3DCAPS8 caps = {};
    if (FAILED(DeviceCaps.direct3d->GetDeviceCaps(DeviceCaps.adapters[adapter].ordinal,
                                                  info->deviceType, &caps))) {
        return false;
    }
    DebugTrace("%d %d\n", static_cast<int>(caps.MaxTextureBlendStages),
               static_cast<int>(caps.MaxSimultaneousTextures));
    DeviceCaps.BumpSupport.TwoTextureStages =
        caps.MaxTextureBlendStages >= 2 && caps.MaxSimultaneousTextures >= 2;
    DeviceCaps.BumpSupport.PixelShader11 = caps.PixelShaderVersion >= 0xFFFF0101u;
    return true;
}
