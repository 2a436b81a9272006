// A Direct3D 8 of the test's own making: adapters, modes and answers chosen per test, handed to
// CreateDirect3D through its source seam. It records what it was asked.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "display/device_caps.h"

struct FakeDeviceType {
    std::set<D3DFORMAT> formats;            // display formats that pass CheckDeviceType
    std::set<D3DFORMAT> withoutDepth;       // formats no depth-stencil buffer matches
    D3DFORMAT depthStencil = D3DFMT_D24S8;  // the one depth-stencil format it takes
    DWORD multiSample[2] = {1, 1};          // bit t: type t works, full-screen / windowed
    D3DCAPS8 caps = {};
};

struct FakeAdapter {
    std::string description;
    DWORD vendorId = 0, deviceId = 0;
    D3DFORMAT desktopFormat = D3DFMT_X8R8G8B8;
    std::vector<D3DDISPLAYMODE> modes;
    FakeDeviceType types[2];  // HAL, REF: a HAL of the six mode formats that allows everything

    explicit FakeAdapter(const std::string& name, DWORD vendor = 0, DWORD device = 0)
        : description(name), vendorId(vendor), deviceId(device) {
        types[0].formats = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R8G8B8,
                            D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};
        D3DCAPS8& caps = types[0].caps;
        caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
        caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                                 D3DPTFILTERCAPS_MINFANISOTROPIC;
        caps.MaxAnisotropy = 16;
        caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = 8;
        caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    }
    FakeAdapter& Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh = 60) {
        modes.push_back(D3DDISPLAYMODE{width, height, refresh, format});
        return *this;
    }
};

class FakeDirect3D : public IDirect3D8 {
  public:
    std::vector<FakeAdapter> adapters;
    LONG references = 1;
    std::vector<UINT> capsAskedOf;  // adapter numbers of every GetDeviceCaps
    std::map<D3DFORMAT, int> multiSampleQuestions;

    HRESULT WINAPI QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG WINAPI AddRef() override { return static_cast<ULONG>(++references); }
    ULONG WINAPI Release() override { return static_cast<ULONG>(--references); }
    HRESULT WINAPI RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
    UINT WINAPI GetAdapterCount() override { return static_cast<UINT>(adapters.size()); }
    HRESULT WINAPI GetAdapterIdentifier(UINT n, DWORD, D3DADAPTER_IDENTIFIER8* id) override {
        *id = D3DADAPTER_IDENTIFIER8{};
        lstrcpynA(id->Description, adapters.at(n).description.c_str(), sizeof id->Description);
        id->VendorId = adapters[n].vendorId;
        id->DeviceId = adapters[n].deviceId;
        return D3D_OK;
    }
    UINT WINAPI GetAdapterModeCount(UINT n) override {
        return static_cast<UINT>(adapters.at(n).modes.size());
    }
    HRESULT WINAPI EnumAdapterModes(UINT n, UINT k, D3DDISPLAYMODE* mode) override {
        *mode = adapters.at(n).modes.at(k);
        return D3D_OK;
    }
    HRESULT WINAPI GetAdapterDisplayMode(UINT n, D3DDISPLAYMODE* mode) override {
        *mode = D3DDISPLAYMODE{1024, 768, 60, adapters.at(n).desktopFormat};
        return D3D_OK;
    }
    HRESULT WINAPI CheckDeviceType(UINT n, D3DDEVTYPE type, D3DFORMAT display, D3DFORMAT back,
                                   BOOL) override {
        return Answer(display == back && Type(n, type).formats.count(display) != 0);
    }
    HRESULT WINAPI CheckDeviceFormat(UINT n, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                     D3DRESOURCETYPE resource, D3DFORMAT format) override {
        return Answer(usage == D3DUSAGE_DEPTHSTENCIL && resource == D3DRTYPE_SURFACE &&
                      DepthFits(Type(n, type), adapterFormat, format));
    }
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT n, D3DDEVTYPE type, D3DFORMAT format,
                                              BOOL windowed, D3DMULTISAMPLE_TYPE t) override {
        ++multiSampleQuestions[format];
        return Answer(t != 1 && (Type(n, type).multiSample[windowed ? 1 : 0] >> t) & 1);
    }
    HRESULT WINAPI CheckDepthStencilMatch(UINT n, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                          D3DFORMAT target, D3DFORMAT depth) override {
        return Answer(adapterFormat == target && DepthFits(Type(n, type), adapterFormat, depth));
    }
    HRESULT WINAPI GetDeviceCaps(UINT n, D3DDEVTYPE type, D3DCAPS8* caps) override {
        capsAskedOf.push_back(n);
        *caps = Type(n, type).caps;
        return D3D_OK;
    }
    HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice8**) override {
        return E_NOTIMPL;  // the program never creates a device
    }

  private:
    static HRESULT Answer(bool ok) { return ok ? D3D_OK : D3DERR_NOTAVAILABLE; }
    const FakeDeviceType& Type(UINT n, D3DDEVTYPE type) const {
        return adapters.at(n).types[type == D3DDEVTYPE_REF ? 1 : 0];
    }
    static bool DepthFits(const FakeDeviceType& type, D3DFORMAT adapterFormat, D3DFORMAT depth) {
        return depth == type.depthStencil && type.withoutDepth.count(adapterFormat) == 0;
    }
};

// While it lives, CreateDirect3D gets the given fake instead of loading d3d8.dll.
class UseFakeDirect3D {
  public:
    explicit UseFakeDirect3D(FakeDirect3D* fake) {
        active = fake;
        SetDirect3DSource(Source);
    }
    ~UseFakeDirect3D() { SetDirect3DSource(nullptr); }

  private:
    static IDirect3D8* Source() {
        active->AddRef();
        return active;
    }
    static inline FakeDirect3D* active = nullptr;
};
