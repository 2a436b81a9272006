// A Direct3D 8 of the test's own making: adapters, modes, formats and answers chosen per test,
// handed to CreateDirect3D through its source seam.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include <map>
#include <set>
#include <string>
#include <vector>

constexpr int kFakeHal = 0;
constexpr int kFakeRef = 1;

struct FakeDeviceType {
    std::set<D3DFORMAT> formats;            // display formats that pass CheckDeviceType
    std::set<D3DFORMAT> withoutDepth;       // of those, formats no depth-stencil buffer matches
    D3DFORMAT depthStencil = D3DFMT_D24S8;  // the one depth-stencil format it accepts
    DWORD multiSampleFullscreen = 1;        // bit t: type t accepted full-screen
    DWORD multiSampleWindowed = 1;
    D3DCAPS8 caps = {};
};

struct FakeAdapter {
    std::string description;
    DWORD vendorId = 0;
    DWORD deviceId = 0;
    D3DFORMAT desktopFormat = D3DFMT_X8R8G8B8;
    std::vector<D3DDISPLAYMODE> modes;
    FakeDeviceType types[2];  // kFakeHal, kFakeRef

    // Adds a mode at 60 Hz (or the given rate).
    FakeAdapter& Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh = 60);
};

// Caps that allow everything the page looks at: every filter, windowed rendering, bump mapping.
D3DCAPS8 FullCaps();
// An adapter whose HAL takes 16- and 32-bit formats with full caps; no REF.
FakeAdapter HalAdapter(const std::string& description, DWORD vendorId, DWORD deviceId);

class FakeDirect3D : public IDirect3D8 {
  public:
    std::vector<FakeAdapter> adapters;
    LONG references = 1;
    std::vector<UINT> capsAskedOf;  // adapter numbers of every GetDeviceCaps
    std::map<D3DFORMAT, int> multiSampleQuestions;
    std::set<int> multiSampleTypesAsked;

    HRESULT WINAPI QueryInterface(REFIID, void** object) override;
    ULONG WINAPI AddRef() override;
    ULONG WINAPI Release() override;
    HRESULT WINAPI RegisterSoftwareDevice(void*) override;
    UINT WINAPI GetAdapterCount() override;
    HRESULT WINAPI GetAdapterIdentifier(UINT adapter, DWORD flags,
                                        D3DADAPTER_IDENTIFIER8* identifier) override;
    UINT WINAPI GetAdapterModeCount(UINT adapter) override;
    HRESULT WINAPI EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) override;
    HRESULT WINAPI GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override;
    HRESULT WINAPI CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display,
                                   D3DFORMAT backBuffer, BOOL windowed) override;
    HRESULT WINAPI CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                     DWORD usage, D3DRESOURCETYPE resourceType,
                                     D3DFORMAT checkFormat) override;
    HRESULT WINAPI CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format,
                                              BOOL windowed, D3DMULTISAMPLE_TYPE sample) override;
    HRESULT WINAPI CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                          D3DFORMAT renderTarget, D3DFORMAT depthStencil) override;
    HRESULT WINAPI GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HMONITOR WINAPI GetAdapterMonitor(UINT adapter) override;
    HRESULT WINAPI CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*,
                                IDirect3DDevice8**) override;

  private:
    const FakeDeviceType* Type(UINT adapter, D3DDEVTYPE type) const;
};

// While it lives, CreateDirect3D gets the given fake instead of loading d3d8.dll.
class UseFakeDirect3D {
  public:
    explicit UseFakeDirect3D(FakeDirect3D* fake);
    ~UseFakeDirect3D();
};
