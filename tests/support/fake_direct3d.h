// A Direct3D 8 of the test's own making for CreateDirect3D's source seam: the adapters, their modes
// and caps, and whether a REF device comes with the HAL. Every format has a depth-stencil buffer.
#pragma once
#include <vector>

#include "display/device_caps.h"

struct FakeAdapter {
    D3DADAPTER_IDENTIFIER8 id = {};
    std::vector<D3DDISPLAYMODE> modes;
    bool hasRef = false;  // a REF device beside the HAL, with the same caps
    D3DCAPS8 caps = {};   // a HAL that allows everything unless a test says

    explicit FakeAdapter(const char* name, DWORD vendor = 0, DWORD device = 0) {
        lstrcpynA(id.Description, name, sizeof id.Description);
        id.VendorId = vendor;
        id.DeviceId = device;
        caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
        caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                                 D3DPTFILTERCAPS_MINFANISOTROPIC;
        caps.MaxAnisotropy = 16;
        caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = 8;
        caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    }
    FakeAdapter& Modes(D3DFORMAT format, std::initializer_list<SIZE> sizes, UINT refresh = 60) {
        for (SIZE size : sizes) {
            modes.push_back({UINT(size.cx), UINT(size.cy), refresh, format});
        }
        return *this;
    }
};

class FakeDirect3D : public IDirect3D8 {
  public:
    std::vector<FakeAdapter> adapters;

    // clang-format off
    template <typename T> static HRESULT Put(T* out, const T& v) { *out = v; return D3D_OK; }
    HRESULT WINAPI QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    UINT WINAPI GetAdapterCount() override { return adapters.size(); }
    UINT WINAPI GetAdapterModeCount(UINT n) override { return adapters.at(n).modes.size(); }
    HRESULT WINAPI GetAdapterIdentifier(UINT n, DWORD, D3DADAPTER_IDENTIFIER8* id) override {
        return Put(id, adapters.at(n).id);
    }
    HRESULT WINAPI EnumAdapterModes(UINT n, UINT k, D3DDISPLAYMODE* mode) override {
        return Put(mode, adapters.at(n).modes.at(k));
    }
    HRESULT WINAPI GetAdapterDisplayMode(UINT, D3DDISPLAYMODE* mode) override {
        return Put(mode, D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8});
    }
    HRESULT WINAPI GetDeviceCaps(UINT n, D3DDEVTYPE, D3DCAPS8* caps) override {
        return Put(caps, adapters.at(n).caps);
    }
    HRESULT WINAPI CheckDeviceType(UINT n, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT, BOOL) override {
        return type != D3DDEVTYPE_REF || adapters.at(n).hasRef ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT WINAPI CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE,
                                     D3DFORMAT) override { return D3D_OK; }
    HRESULT WINAPI CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT,
                                          D3DFORMAT) override { return D3D_OK; }
    // The page has no anti-alias list, and the program creates no device.
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL,
                                              D3DMULTISAMPLE_TYPE) override { return E_NOTIMPL; }
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice8**) override { return E_NOTIMPL; }
    HRESULT WINAPI RegisterSoftwareDevice(void*) override { return E_NOTIMPL; }
    HMONITOR WINAPI GetAdapterMonitor(UINT) override { return nullptr; }
    // clang-format on
};
