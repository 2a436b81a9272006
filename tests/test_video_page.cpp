// The video page in the real main dialog, over a fake Direct3D 8 (and once over Wine's own):
// what it shows for stored values, adapter and device changes, presets, enabling rules, and
// what "OK" stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "app/tab_sets.h"
#include "common/dialog_items.h"
#include "common/runtime.h"
#include "display/device_caps.h"
#include "resource.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_direct3d.h"
#include "tests/support/test_files.h"

namespace {

class VideoPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=vpt");
        path_ = ModuleFolder() + "save\\qr6_win3.vpt";
        DeleteFileA(path_.c_str());
        DeviceCaps.BumpSupport = {true, true};
    }
    void TearDown() override {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
        // The main dialog released what CreateDirect3D took.
        EXPECT_EQ(fake_.references, 1);
        EXPECT_EQ(DeviceCaps.direct3d, nullptr);
    }
    // Opens the main dialog over the fake (or over d3d8.dll when asked).
    void Open(const std::string& fileText = std::string(), bool realDirect3D = false) {
        if (!fileText.empty()) {
            CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
            ASSERT_TRUE(WriteFileText(path_, fileText));
        }
        if (realDirect3D) {
            dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                         MainDialogProc, 0);
        } else {
            UseFakeDirect3D use(&fake_);
            dialog_ = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                         MainDialogProc, 0);
        }
        ASSERT_NE(dialog_, nullptr);
        mainDialog = dialog_;
        PumpPending();
        page_ = mainTabs.Page(0);
        ASSERT_NE(page_, nullptr);
    }
    void PressOk() {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
    }
    std::string Stored(const char* key) const {
        return IniValue(ReadFileText(path_), "Video", key);
    }

    FakeDirect3D fake_;
    HWND dialog_ = nullptr;
    HWND page_ = nullptr;
    std::string path_;
};

std::vector<std::wstring> ListTexts(HWND page, int id) {
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(page, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

int Selection(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

std::wstring SelectedText(HWND page, int id) {
    int selected = Selection(page, id);
    std::vector<std::wstring> texts = ListTexts(page, id);
    return selected >= 0 && selected < static_cast<int>(texts.size()) ? texts[selected] : L"";
}

// The list reports a notification the way the combo box itself would.
void NotifyList(HWND page, int id, WORD code) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void ChooseEntry(HWND page, int id, int index) {
    SendDlgItemMessageW(page, id, CB_SETCURSEL, index, 0);
    NotifyList(page, id, CBN_SELCHANGE);
}

TEST_F(VideoPageTest, ShowsWhatDirect3DOffersAndTheFirstModeForAStoredModeNotOffered) {
    FakeAdapter card = HalAdapter("Fake Card 9000", 0x10de, 0x0dc4);
    card.Mode(640, 480, D3DFMT_R5G6B5)
        .Mode(800, 600, D3DFMT_R5G6B5)
        .Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8)
        .Mode(640, 480, D3DFMT_R8G8B8);
    card.types[kFakeHal].caps.MaxAnisotropy = 1;  // no anisotropic filter
    fake_.adapters = {card};
    // 24 bits load as 32, and 800 x 600 comes in 16 bits only.
    Open(
        "[Video]\r\nScreenWidth=800\r\nScreenHeight=600\r\nScreenBitCount=24\r\n"
        "TextureFilter=3\r\nShadowQuality=5\r\nFullAntiAlias=4\r\n");
    EXPECT_TRUE(IsWindowVisible(page_));
    EXPECT_EQ(ListTexts(page_, IDC_ADAPTER_LIST), std::vector<std::wstring>{L"Fake Card 9000"});
    EXPECT_EQ(Selection(page_, IDC_ADAPTER_LIST), 0);
    EXPECT_EQ(ListTexts(page_, IDC_DEVICE_LIST), std::vector<std::wstring>{L"HAL"});
    EXPECT_EQ(ListTexts(page_, IDC_RESOLUTION_LIST),
              (std::vector<std::wstring>{L"640 x 480 x 16", L"800 x 600 x 16", L"640 x 480 x 32",
                                         L"1024 x 768 x 32", L"640 x 480 x 24"}));
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);
    EXPECT_EQ(ListTexts(page_, IDC_FILTER_LIST),
              (std::vector<std::wstring>{L"Point", L"Bilinear"}));
    EXPECT_EQ(SelectedText(page_, IDC_FILTER_LIST), L"Bilinear");
    EXPECT_EQ(TrackbarPosition(page_, IDC_SHADOW_QUALITY), 2);
    EXPECT_EQ(GetDlgItem(page_, IDC_ANTI_ALIAS_LIST), nullptr);

    ChooseEntry(page_, IDC_RESOLUTION_LIST, 4);
    PressOk();
    EXPECT_EQ(Stored("Adapter"), "0");
    EXPECT_EQ(Stored("Device"), "0");
    EXPECT_EQ(Stored("ScreenWidth"), "640");
    EXPECT_EQ(Stored("ScreenHeight"), "480");
    EXPECT_EQ(Stored("ScreenBitCount"), "24");
    EXPECT_EQ(Stored("VendorID"), "4318");
    EXPECT_EQ(Stored("DeviceID"), "3524");
    EXPECT_EQ(Stored("TextureFilter"), "2");
    EXPECT_EQ(Stored("ShadowQuality"), "2");
    EXPECT_EQ(Stored("FullAntiAlias"), "0");
}

TEST_F(VideoPageTest, StoredControlsAreShownAndStoredBack) {
    FakeAdapter card = HalAdapter("Card", 1, 2);
    card.Mode(640, 480, D3DFMT_X8R8G8B8).Mode(640, 480, D3DFMT_A8R8G8B8);
    fake_.adapters = {card};
    Open(
        "[Video]\r\nScreenWidth=640\r\nScreenHeight=480\r\nScreenBitCount=32\r\n"
        "LowTexture=1\r\nUseMipmap=0\r\nFpsMode=1\r\nWaitVSync=0\r\nLowEffect=1\r\n"
        "GlowOn=2\r\nMoviePlay=0\r\nHardwareVertexShader=0\r\nWindowMode=1\r\n"
        "ShadowQuality=1\r\nTextureFilter=1\r\nVendorID=77\r\n");
    // Both modes read 640 x 480 x 32: the later one (A8R8G8B8) is taken.
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 1);
    EXPECT_EQ(SelectedText(page_, IDC_FILTER_LIST), L"Point");
    const struct {
        int id;
        bool checked;
    } shown[] = {{IDC_TEXTURE_LOW, true}, {IDC_TEXTURE_STANDARD, false},
                 {IDC_MIPMAP_OFF, true},  {IDC_MIPMAP_ON, false},
                 {IDC_FPS_30, true},      {IDC_FPS_AUTO, false},
                 {IDC_VSYNC, false},      {IDC_EFFECTS_OFF, true},
                 {IDC_EFFECTS_ON, false}, {IDC_GLOW_ON, true},
                 {IDC_GLOW_OFF, false},   {IDC_MOVIES_OFF, true},
                 {IDC_MOVIES_ON, false},  {IDC_HARDWARE_VERTEX_SHADER, false},
                 {IDC_WINDOW_MODE, true}};
    for (const auto& control : shown) {
        EXPECT_EQ(IsChecked(page_, control.id), control.checked) << control.id;
    }
    EXPECT_EQ(TrackbarPosition(page_, IDC_SHADOW_QUALITY), 1);
    PressOk();
    const struct {
        const char* key;
        const char* value;
    } stored[] = {{"LowTexture", "1"},    {"UseMipmap", "0"},
                  {"FpsMode", "1"},       {"WaitVSync", "0"},
                  {"LowEffect", "1"},     {"GlowOn", "1"},
                  {"MoviePlay", "0"},     {"HardwareVertexShader", "0"},
                  {"WindowMode", "1"},    {"ShadowQuality", "1"},
                  {"TextureFilter", "1"}, {"VendorID", "1"},
                  {"DeviceID", "2"},      {"ScreenBitCount", "32"}};
    for (const auto& entry : stored) {
        EXPECT_EQ(Stored(entry.key), entry.value) << entry.key;
    }
}

// Two adapters: the first with HAL and REF, the second with a HAL that can neither render in
// a window nor bump-map.
void TwoAdapters(FakeDirect3D& fake) {
    FakeAdapter first = HalAdapter("First", 0x1002, 0x4e44);
    first.Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(800, 600, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8);
    first.types[kFakeRef] = first.types[kFakeHal];
    FakeAdapter second = HalAdapter("Second", 0x8086, 0x2572);
    second.Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(800, 600, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8);
    second.types[kFakeHal].caps.Caps2 = 0;
    second.types[kFakeHal].caps.PixelShaderVersion = D3DPS_VERSION(1, 0);
    fake.adapters = {first, second};
}

TEST_F(VideoPageTest, ChangingTheAdapterFollowsItsDevicesModesAndCaps) {
    TwoAdapters(fake_);
    Open(
        "[Video]\r\nAdapter=0\r\nDevice=1\r\nWindowMode=1\r\nScreenWidth=1024\r\n"
        "ScreenHeight=768\r\nScreenBitCount=32\r\n");
    EXPECT_EQ(ListTexts(page_, IDC_DEVICE_LIST), (std::vector<std::wstring>{L"HAL", L"REF"}));
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 1);
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 2);
    EXPECT_TRUE(IsEnabled(page_, IDC_WINDOW_MODE));
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_ON));

    // The second adapter has one device: its lists follow the HAL, asked of adapter number 1.
    fake_.capsAskedOf.clear();
    ChooseEntry(page_, IDC_ADAPTER_LIST, 1);
    EXPECT_EQ(ListTexts(page_, IDC_DEVICE_LIST), std::vector<std::wstring>{L"HAL"});
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 0);
    EXPECT_EQ(fake_.capsAskedOf, std::vector<UINT>{1});
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);  // REF's mode has no counterpart
    EXPECT_FALSE(IsEnabled(page_, IDC_WINDOW_MODE));
    EXPECT_TRUE(IsChecked(page_, IDC_WINDOW_MODE));
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_OFF));

    // Back to the first adapter: the same position of the HAL's list is kept.
    ChooseEntry(page_, IDC_RESOLUTION_LIST, 2);
    ChooseEntry(page_, IDC_ADAPTER_LIST, 0);
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 0);
    EXPECT_EQ(SelectedText(page_, IDC_RESOLUTION_LIST), L"1024 x 768 x 32");
    EXPECT_TRUE(IsEnabled(page_, IDC_WINDOW_MODE));
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_ON));

    // Any notice of the device list, focus included, starts again from the first mode.
    NotifyList(page_, IDC_DEVICE_LIST, CBN_SETFOCUS);
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);

    ChooseEntry(page_, IDC_ADAPTER_LIST, 1);
    ChooseEntry(page_, IDC_RESOLUTION_LIST, 1);
    PressOk();
    EXPECT_EQ(Stored("Adapter"), "1");
    EXPECT_EQ(Stored("Device"), "0");
    EXPECT_EQ(Stored("ScreenWidth"), "800");
    EXPECT_EQ(Stored("WindowMode"), "1");  // disabled, still stored as shown
    EXPECT_EQ(Stored("VendorID"), std::to_string(0x8086));
    EXPECT_EQ(Stored("DeviceID"), std::to_string(0x2572));
}

TEST_F(VideoPageTest, StoredIndicesOutOfRangeShowTheDefaults) {
    TwoAdapters(fake_);
    Open("[Video]\r\nAdapter=7\r\nDevice=5\r\nVendorID=32902\r\n");
    EXPECT_EQ(Selection(page_, IDC_ADAPTER_LIST), 0);
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 0);
    // The vendor in the file does not choose the adapter.
    EXPECT_EQ(SelectedText(page_, IDC_ADAPTER_LIST), L"First");
    PressOk();
    EXPECT_EQ(Stored("Adapter"), "0");
    EXPECT_EQ(Stored("Device"), "0");
    EXPECT_EQ(Stored("VendorID"), std::to_string(0x1002));
}

TEST_F(VideoPageTest, PresetsSetTheirRowsAndLeaveTheRestAlone) {
    const struct {
        int button;
        const wchar_t* mode;
        const wchar_t* filter;
        bool lowTexture, vertexShader, lowEffect;
        int shadow;
        bool glow, movies;
    } presets[] = {
        {IDC_PRESET_STANDARD, L"640 x 480 x 32", L"Bilinear", false, true, false, 2, true, true},
        {IDC_PRESET_LOW_END, L"640 x 480 x 16", L"Bilinear", true, false, true, 0, false, false},
        {IDC_PRESET_HIGH_QUALITY, L"1024 x 768 x 32", L"Anisotropy", false, false, false, 2, true,
         false},
    };
    for (const auto& preset : presets) {
        FakeAdapter card = HalAdapter("Card", 1, 1);
        card.Mode(640, 480, D3DFMT_R5G6B5)
            .Mode(640, 480, D3DFMT_X8R8G8B8)
            .Mode(800, 600, D3DFMT_X8R8G8B8)
            .Mode(1024, 768, D3DFMT_X8R8G8B8);
        fake_.adapters = {card};
        Open(
            "[Video]\r\nScreenWidth=800\r\nScreenHeight=600\r\nHardwareVertexShader=0\r\n"
            "MoviePlay=0\r\nLowTexture=1\r\nLowEffect=1\r\nShadowQuality=1\r\nGlowOn=0\r\n"
            "WaitVSync=0\r\nFpsMode=1\r\nUseMipmap=0\r\nTextureFilter=1\r\nWindowMode=1\r\n");
        ASSERT_EQ(SelectedText(page_, IDC_RESOLUTION_LIST), L"800 x 600 x 32");
        const bool glowEnabled = IsEnabled(page_, IDC_GLOW_ON);
        EXPECT_FALSE(glowEnabled);  // effects are off

        ClickButton(page_, preset.button);
        EXPECT_EQ(SelectedText(page_, IDC_RESOLUTION_LIST), preset.mode) << preset.button;
        EXPECT_EQ(SelectedText(page_, IDC_FILTER_LIST), preset.filter) << preset.button;
        EXPECT_EQ(IsChecked(page_, IDC_TEXTURE_LOW), preset.lowTexture);
        EXPECT_NE(IsChecked(page_, IDC_TEXTURE_STANDARD), preset.lowTexture);
        EXPECT_TRUE(IsChecked(page_, IDC_MIPMAP_ON));
        EXPECT_TRUE(IsChecked(page_, IDC_FPS_AUTO));
        EXPECT_FALSE(IsChecked(page_, IDC_FPS_30));
        EXPECT_TRUE(IsChecked(page_, IDC_VSYNC));
        EXPECT_EQ(IsChecked(page_, IDC_HARDWARE_VERTEX_SHADER), preset.vertexShader);
        EXPECT_EQ(IsChecked(page_, IDC_EFFECTS_OFF), preset.lowEffect);
        EXPECT_EQ(TrackbarPosition(page_, IDC_SHADOW_QUALITY), preset.shadow);
        EXPECT_EQ(IsChecked(page_, IDC_GLOW_ON), preset.glow);
        EXPECT_NE(IsChecked(page_, IDC_GLOW_OFF), preset.glow);
        EXPECT_EQ(IsChecked(page_, IDC_MOVIES_ON), preset.movies);
        EXPECT_TRUE(IsChecked(page_, IDC_WINDOW_MODE));
        // A preset sets check states only; enabling follows the player's own choices.
        EXPECT_EQ(IsEnabled(page_, IDC_GLOW_ON), glowEnabled);
        DestroyWindow(dialog_);
        PumpPending();
    }
}

TEST_F(VideoPageTest, GlowNeedsTheEffectsOnAndABumpMappingDevice) {
    TwoAdapters(fake_);
    Open("[Video]\r\nGlowOn=1\r\n");
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_ON));
    SetCheck(page_, IDC_EFFECTS_OFF, true);
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_OFF));
    EXPECT_TRUE(IsChecked(page_, IDC_GLOW_ON));
    SetCheck(page_, IDC_EFFECTS_ON, true);
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_OFF));

    ChooseEntry(page_, IDC_ADAPTER_LIST, 1);  // no pixel shader 1.1
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));
    SetCheck(page_, IDC_EFFECTS_OFF, true);
    SetCheck(page_, IDC_EFFECTS_ON, true);
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));
    PressOk();
    EXPECT_EQ(Stored("GlowOn"), "1");
    EXPECT_EQ(Stored("LowEffect"), "0");
}

TEST_F(VideoPageTest, WithNothingListedTheListsAreEmptyAndTheFileKeepsItsMode) {
    FakeAdapter wide = HalAdapter("Wide only", 5, 6);
    wide.Mode(1280, 1024, D3DFMT_X8R8G8B8).Mode(1920, 1080, D3DFMT_X8R8G8B8);
    fake_.adapters = {wide};
    Open(
        "[Video]\r\nAdapter=0\r\nDevice=0\r\nScreenWidth=800\r\nScreenHeight=600\r\n"
        "ScreenBitCount=16\r\nVendorID=4318\r\nDeviceID=7\r\nTextureFilter=3\r\n");
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        EXPECT_TRUE(ListTexts(page_, id).empty()) << id;
        EXPECT_EQ(Selection(page_, id), -1) << id;
        EXPECT_FALSE(IsEnabled(page_, id)) << id;
    }
    EXPECT_FALSE(IsEnabled(page_, IDC_WINDOW_MODE));
    // Nothing to choose from: every command still leaves the lists empty.
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST}) {
        NotifyList(page_, id, CBN_SELCHANGE);
    }
    for (int id : {IDC_PRESET_STANDARD, IDC_PRESET_LOW_END, IDC_PRESET_HIGH_QUALITY}) {
        ClickButton(page_, id);
    }
    EXPECT_TRUE(ListTexts(page_, IDC_RESOLUTION_LIST).empty());
    PressOk();
    EXPECT_EQ(Stored("Adapter"), "-1");
    EXPECT_EQ(Stored("Device"), "-1");
    EXPECT_EQ(Stored("ScreenWidth"), "800");
    EXPECT_EQ(Stored("ScreenHeight"), "600");
    EXPECT_EQ(Stored("ScreenBitCount"), "16");
    EXPECT_EQ(Stored("VendorID"), "4318");
    EXPECT_EQ(Stored("DeviceID"), "7");
    EXPECT_EQ(Stored("TextureFilter"), "3");
}

TEST_F(VideoPageTest, WinesOwnDirect3DListsAnAdapterAndItsModes) {
    Open(std::string(), true);
    EXPECT_GE(ListTexts(page_, IDC_ADAPTER_LIST).size(), 1u);
    EXPECT_EQ(Selection(page_, IDC_ADAPTER_LIST), 0);
    std::vector<std::wstring> modes = ListTexts(page_, IDC_RESOLUTION_LIST);
    ASSERT_GE(modes.size(), 1u);
    for (const std::wstring& mode : modes) {
        int width = 0, height = 0, bits = 0;
        ASSERT_EQ(swscanf(mode.c_str(), L"%d x %d x %d", &width, &height, &bits), 3);
        EXPECT_EQ(width * 3, height * 4) << mode;
        EXPECT_TRUE(bits == 16 || bits == 24 || bits == 32) << mode;
    }
    PressOk();
    EXPECT_EQ(Stored("Adapter"), "0");
}

}  // namespace
