// A Direct3D 8 of the test's own making, handed to CreateDirect3D through its source seam.
#include "tests/support/fake_direct3d.h"

#include <cstdio>
#include <cstring>

#include "display/device_caps.h"

FakeAdapter& FakeAdapter::Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh) {
    modes.push_back(D3DDISPLAYMODE{width, height, refresh, format});
    return *this;
}

D3DCAPS8 FullCaps() {
    D3DCAPS8 caps = {};
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT |
                             D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFLINEAR |
                             D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;
    caps.MaxAnisotropy = 16;
    caps.MaxTextureBlendStages = 8;
    caps.MaxSimultaneousTextures = 8;
    caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    return caps;
}

FakeAdapter HalAdapter(const std::string& description, DWORD vendorId, DWORD deviceId) {
    FakeAdapter adapter;
    adapter.description = description;
    adapter.vendorId = vendorId;
    adapter.deviceId = deviceId;
    adapter.types[kFakeHal].formats = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R8G8B8,
                                       D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};
    adapter.types[kFakeHal].caps = FullCaps();
    return adapter;
}

static FakeDirect3D* activeFake;

static IDirect3D8* FakeSource() {
    activeFake->AddRef();
    return activeFake;
}

UseFakeDirect3D::UseFakeDirect3D(FakeDirect3D* fake) {
    activeFake = fake;
    SetDirect3DSource(FakeSource);
}

UseFakeDirect3D::~UseFakeDirect3D() {
    SetDirect3DSource(nullptr);
    activeFake = nullptr;
}

const FakeDeviceType* FakeDirect3D::Type(UINT adapter, D3DDEVTYPE type) const {
    if (adapter >= adapters.size()) {
        return nullptr;
    }
    if (type == D3DDEVTYPE_HAL) {
        return &adapters[adapter].types[kFakeHal];
    }
    if (type == D3DDEVTYPE_REF) {
        return &adapters[adapter].types[kFakeRef];
    }
    return nullptr;
}

HRESULT WINAPI FakeDirect3D::QueryInterface(REFIID, void** object) {
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI FakeDirect3D::AddRef() {
    return static_cast<ULONG>(++references);
}

ULONG WINAPI FakeDirect3D::Release() {
    return static_cast<ULONG>(--references);
}

HRESULT WINAPI FakeDirect3D::RegisterSoftwareDevice(void*) {
    return E_NOTIMPL;
}

UINT WINAPI FakeDirect3D::GetAdapterCount() {
    return static_cast<UINT>(adapters.size());
}

HRESULT WINAPI FakeDirect3D::GetAdapterIdentifier(UINT adapter, DWORD,
                                                  D3DADAPTER_IDENTIFIER8* identifier) {
    if (adapter >= adapters.size()) {
        return D3DERR_INVALIDCALL;
    }
    memset(identifier, 0, sizeof *identifier);
    snprintf(identifier->Description, sizeof identifier->Description, "%s",
             adapters[adapter].description.c_str());
    snprintf(identifier->Driver, sizeof identifier->Driver, "fake%u.dll", adapter);
    identifier->VendorId = adapters[adapter].vendorId;
    identifier->DeviceId = adapters[adapter].deviceId;
    return D3D_OK;
}

UINT WINAPI FakeDirect3D::GetAdapterModeCount(UINT adapter) {
    return adapter < adapters.size() ? static_cast<UINT>(adapters[adapter].modes.size()) : 0;
}

HRESULT WINAPI FakeDirect3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) {
    if (adapter >= adapters.size() || mode >= adapters[adapter].modes.size()) {
        return D3DERR_INVALIDCALL;
    }
    *out = adapters[adapter].modes[mode];
    return D3D_OK;
}

HRESULT WINAPI FakeDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) {
    if (adapter >= adapters.size()) {
        return D3DERR_INVALIDCALL;
    }
    *out = D3DDISPLAYMODE{1024, 768, 60, adapters[adapter].desktopFormat};
    return D3D_OK;
}

HRESULT WINAPI FakeDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display,
                                             D3DFORMAT backBuffer, BOOL) {
    const FakeDeviceType* device = Type(adapter, type);
    bool ok = device != nullptr && display == backBuffer && device->formats.count(display) != 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI FakeDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type,
                                               D3DFORMAT adapterFormat, DWORD usage,
                                               D3DRESOURCETYPE resourceType,
                                               D3DFORMAT checkFormat) {
    const FakeDeviceType* device = Type(adapter, type);
    bool ok = device != nullptr && usage == D3DUSAGE_DEPTHSTENCIL &&
              resourceType == D3DRTYPE_SURFACE && checkFormat == device->depthStencil &&
              device->withoutDepth.count(adapterFormat) == 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI FakeDirect3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type,
                                                        D3DFORMAT format, BOOL windowed,
                                                        D3DMULTISAMPLE_TYPE sample) {
    ++multiSampleQuestions[format];
    multiSampleTypesAsked.insert(static_cast<int>(sample));
    const FakeDeviceType* device = Type(adapter, type);
    if (device == nullptr) {
        return D3DERR_NOTAVAILABLE;
    }
    DWORD mask = windowed ? device->multiSampleWindowed : device->multiSampleFullscreen;
    return (mask & (1u << sample)) != 0 ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI FakeDirect3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type,
                                                    D3DFORMAT adapterFormat, D3DFORMAT renderTarget,
                                                    D3DFORMAT depthStencil) {
    const FakeDeviceType* device = Type(adapter, type);
    bool ok = device != nullptr && adapterFormat == renderTarget &&
              depthStencil == device->depthStencil &&
              device->withoutDepth.count(adapterFormat) == 0;
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI FakeDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
    capsAskedOf.push_back(adapter);
    const FakeDeviceType* device = Type(adapter, type);
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *caps = device->caps;
    caps->DeviceType = type;
    caps->AdapterOrdinal = adapter;
    return D3D_OK;
}

HMONITOR WINAPI FakeDirect3D::GetAdapterMonitor(UINT) {
    return nullptr;
}

HRESULT WINAPI FakeDirect3D::CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                          IDirect3DDevice8** device) {
    *device = nullptr;
    return E_NOTIMPL;  // the program never creates a device
}
