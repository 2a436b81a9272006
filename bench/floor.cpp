// The benchmark's floor: only what the platform makes unavoidable for a settings program like
// setloom. It creates Direct3D 8, asks every enumeration question setloom asks at start-up,
// creates DirectInput 8 and shows an empty dialog of the main dialog's size until it is closed.
#include <windows.h>
#include <d3d8.h>
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

namespace {

typedef IDirect3D8*(WINAPI* Direct3DCreate8Function)(UINT);
typedef HRESULT(WINAPI* DirectInput8CreateFunction)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

const D3DFORMAT kModeFormats[] = {D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5,
                                  D3DFMT_R8G8B8,   D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8};
const D3DFORMAT kDepthFormats[] = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4,
                                   D3DFMT_D32};

bool Usable(const D3DDISPLAYMODE& mode) {
    bool format = false;
    for (D3DFORMAT f : kModeFormats) {
        format = format || mode.Format == f;
    }
    return format && mode.Width >= 640 && mode.Height >= 480 &&
           static_cast<double>(mode.Height) / mode.Width == 0.75;
}

// The same questions as setloom's enumeration, answers thrown away.
void Enumerate(IDirect3D8* d3d) {
    for (UINT n = 0; n < d3d->GetAdapterCount(); ++n) {
        D3DADAPTER_IDENTIFIER8 identifier;
        d3d->GetAdapterIdentifier(n, D3DENUM_NO_WHQL_LEVEL, &identifier);
        D3DDISPLAYMODE desktop;
        d3d->GetAdapterDisplayMode(n, &desktop);
        D3DFORMAT formats[8];
        int formatCount = 0;
        for (UINT k = 0; k < d3d->GetAdapterModeCount(n); ++k) {
            D3DDISPLAYMODE mode;
            d3d->EnumAdapterModes(n, k, &mode);
            bool known = false;
            for (int i = 0; i < formatCount; ++i) {
                known = known || formats[i] == mode.Format;
            }
            if (Usable(mode) && !known && formatCount < 8) {
                formats[formatCount++] = mode.Format;
            }
        }
        const D3DDEVTYPE types[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
        for (D3DDEVTYPE type : types) {
            D3DCAPS8 caps;
            d3d->GetDeviceCaps(n, type, &caps);
            for (int i = 0; i < formatCount; ++i) {
                D3DFORMAT f = formats[i];
                if (FAILED(d3d->CheckDeviceType(n, type, f, f, FALSE))) {
                    continue;
                }
                for (D3DFORMAT depth : kDepthFormats) {
                    if (SUCCEEDED(d3d->CheckDeviceFormat(n, type, f, D3DUSAGE_DEPTHSTENCIL,
                                                         D3DRTYPE_SURFACE, depth)) &&
                        SUCCEEDED(d3d->CheckDepthStencilMatch(n, type, f, f, depth))) {
                        break;
                    }
                }
                for (int t = 0; t <= 16; ++t) {
                    if (t == 1) {
                        continue;
                    }
                    D3DMULTISAMPLE_TYPE sample = static_cast<D3DMULTISAMPLE_TYPE>(t);
                    d3d->CheckDeviceMultiSampleType(n, type, f, FALSE, sample);
                    d3d->CheckDeviceMultiSampleType(n, type, f, TRUE, sample);
                }
            }
        }
    }
}

INT_PTR CALLBACK FloorDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
    }
    return FALSE;
}

// An empty dialog template of setloom's main dialog size, caption "setloom floor".
struct FloorTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    wchar_t caption[14];
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    IDirect3D8* d3d = nullptr;
    HMODULE d3dLibrary = LoadLibraryA("d3d8.dll");
    Direct3DCreate8Function create =
        d3dLibrary ? reinterpret_cast<Direct3DCreate8Function>(
                         reinterpret_cast<void*>(GetProcAddress(d3dLibrary, "Direct3DCreate8")))
                   : nullptr;
    if (create != nullptr && (d3d = create(D3D_SDK_VERSION)) != nullptr) {
        Enumerate(d3d);
    }
    IDirectInput8A* input = nullptr;
    HMODULE inputLibrary = LoadLibraryA("dinput8.dll");
    DirectInput8CreateFunction createInput =
        inputLibrary ? reinterpret_cast<DirectInput8CreateFunction>(reinterpret_cast<void*>(
                           GetProcAddress(inputLibrary, "DirectInput8Create")))
                     : nullptr;
    if (createInput != nullptr) {
        createInput(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                    reinterpret_cast<void**>(&input), nullptr);
    }

    FloorTemplate layout = {};
    layout.header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER;
    layout.header.cx = 237;
    layout.header.cy = 311;
    lstrcpyW(layout.caption, L"setloom floor");
    HWND dialog = CreateDialogIndirectParamW(instance, &layout.header, nullptr, FloorDialogProc, 0);
    ShowWindow(dialog, show);
    MSG msg;
    while (dialog != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (input != nullptr) {
        input->Release();
    }
    if (d3d != nullptr) {
        d3d->Release();
    }
    return 0;
}
