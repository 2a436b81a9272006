// The video page in the real main dialog over a fake Direct3D 8: what it shows for stored
// values, adapter and device changes, presets, enabling rules, and what "OK" stores.
#include <vector>

#include "app/tab_sets.h"
#include "common/dialog_items.h"
#include "tests/support/main_dialog_test.h"

namespace {

using Names = std::vector<std::wstring>;

class VideoPageTest : public MainDialogTest {
  protected:
    void OpenVideo(const std::string& lines) {
        Open("[Video]\r\n" + lines);
        page_ = mainTabs.Page(0);
        ASSERT_TRUE(IsWindowVisible(page_));
    }
    // The first adapter has HAL and REF; the second a HAL that can neither render in a window
    // nor bump-map.
    void TwoAdapters() {
        FakeAdapter first("First", 0x1002, 0x4e44), second("Second", 0x8086, 0x2572);
        for (FakeAdapter* card : {&first, &second}) {
            card->Mode(640, 480, D3DFMT_X8R8G8B8)
                .Mode(800, 600, D3DFMT_X8R8G8B8)
                .Mode(1024, 768, D3DFMT_X8R8G8B8);
        }
        first.types[1] = first.types[0];
        second.types[0].caps.Caps2 = 0;
        second.types[0].caps.PixelShaderVersion = D3DPS_VERSION(1, 0);
        direct3d_.adapters = {first, second};
    }
    HWND page_ = nullptr;
};

TEST_F(VideoPageTest, StoredValuesNotOfferedShowDefaultsAndOkStoresWhatIsShown) {
    FakeAdapter card("Fake Card 9000", 0x10de, 0x0dc4);
    card.Mode(640, 480, D3DFMT_R5G6B5)
        .Mode(800, 600, D3DFMT_R5G6B5)
        .Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(640, 480, D3DFMT_A8R8G8B8)
        .Mode(640, 480, D3DFMT_R8G8B8);
    card.types[0].caps.MaxAnisotropy = 1;
    direct3d_.adapters = {card};
    // 24 bits load as 32, and 800 x 600 comes in 16 bits only.
    OpenVideo(
        "Adapter=3\r\nDevice=5\r\nScreenWidth=800\r\nScreenHeight=600\r\nScreenBitCount=24\r\n"
        "TextureFilter=3\r\nShadowQuality=5\r\nFullAntiAlias=4\r\nLowTexture=1\r\nUseMipmap=0\r\n"
        "FpsMode=1\r\nWaitVSync=0\r\nLowEffect=1\r\nGlowOn=2\r\nMoviePlay=0\r\nWindowMode=1\r\n"
        "HardwareVertexShader=0\r\n");
    EXPECT_EQ(Entries(page_, IDC_ADAPTER_LIST), Names{L"Fake Card 9000"});
    EXPECT_EQ(Entries(page_, IDC_DEVICE_LIST), Names{L"HAL"});
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 0);
    EXPECT_EQ(Entries(page_, IDC_RESOLUTION_LIST),
              (Names{L"640 x 480 x 16", L"800 x 600 x 16", L"640 x 480 x 32", L"640 x 480 x 32",
                     L"640 x 480 x 24"}));
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);
    EXPECT_EQ(Entries(page_, IDC_FILTER_LIST), (Names{L"Point", L"Bilinear"}));
    EXPECT_EQ(SelectedEntry(page_, IDC_FILTER_LIST), L"Bilinear");
    EXPECT_EQ(TrackbarPosition(page_, IDC_SHADOW_QUALITY), 2);
    EXPECT_TRUE(IsChecked(page_, IDC_GLOW_ON));
    EXPECT_EQ(GetDlgItem(page_, IDC_ANTI_ALIAS_LIST), nullptr);

    SelectEntry(page_, IDC_RESOLUTION_LIST, 4);
    PressOk();
    ExpectStored("Video",
                 "Adapter=0 Device=0 ScreenWidth=640 ScreenHeight=480 ScreenBitCount=24 "
                 "VendorID=4318 DeviceID=3524 TextureFilter=2 ShadowQuality=2 FullAntiAlias=0 "
                 "LowTexture=1 UseMipmap=0 FpsMode=1 WaitVSync=0 LowEffect=1 GlowOn=1 MoviePlay=0 "
                 "WindowMode=1 HardwareVertexShader=0");
}

TEST_F(VideoPageTest, AdapterAndDeviceChangesFollowTheirModesAndCaps) {
    TwoAdapters();
    OpenVideo("Device=1\r\nWindowMode=1\r\nScreenWidth=1024\r\nScreenHeight=768\r\n");
    EXPECT_EQ(Entries(page_, IDC_DEVICE_LIST), (Names{L"HAL", L"REF"}));
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 1);
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 2);
    EXPECT_TRUE(IsEnabled(page_, IDC_WINDOW_MODE));
    // Glow needs the effects on.
    SetCheck(page_, IDC_EFFECTS_OFF, true);
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));
    SetCheck(page_, IDC_EFFECTS_ON, true);
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_OFF));

    // One device on the second adapter: its HAL is shown and asked of adapter number 1.
    direct3d_.capsAskedOf.clear();
    SelectEntry(page_, IDC_ADAPTER_LIST, 1);
    EXPECT_EQ(Entries(page_, IDC_DEVICE_LIST), Names{L"HAL"});
    EXPECT_EQ(Selection(page_, IDC_DEVICE_LIST), 0);
    EXPECT_EQ(direct3d_.capsAskedOf, std::vector<UINT>{1});
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);
    EXPECT_FALSE(IsEnabled(page_, IDC_WINDOW_MODE));
    EXPECT_TRUE(IsChecked(page_, IDC_WINDOW_MODE));
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));

    // Back on the first adapter the same position of its HAL list is kept.
    SelectEntry(page_, IDC_RESOLUTION_LIST, 2);
    SelectEntry(page_, IDC_ADAPTER_LIST, 0);
    EXPECT_EQ(SelectedEntry(page_, IDC_RESOLUTION_LIST), L"1024 x 768 x 32");
    EXPECT_TRUE(IsEnabled(page_, IDC_GLOW_ON));
    // Another device starts again from the first mode.
    SelectEntry(page_, IDC_DEVICE_LIST, 1);
    EXPECT_EQ(Selection(page_, IDC_RESOLUTION_LIST), 0);

    SelectEntry(page_, IDC_ADAPTER_LIST, 1);
    SelectEntry(page_, IDC_RESOLUTION_LIST, 1);
    PressOk();
    // The window mode disabled is stored as shown.
    ExpectStored("Video", "Adapter=1 ScreenWidth=800 WindowMode=1 VendorID=32902");
}

// Focusing, opening, closing and leaving each list chooses nothing, also where the list opens on
// the first entry that begins with the name shown.
TEST_F(VideoPageTest, LookingThroughTheListsKeepsEveryChoice) {
    FakeAdapter pro("Radeon 9800 Pro"), plain("Radeon 9800");
    for (FakeAdapter* card : {&pro, &plain}) {
        card->Mode(640, 480, D3DFMT_R5G6B5)
            .Mode(800, 600, D3DFMT_X8R8G8B8)
            .Mode(1024, 768, D3DFMT_X8R8G8B8);
        card->types[1] = card->types[0];
    }
    direct3d_.adapters = {pro, plain};
    OpenVideo("Adapter=1\r\nDevice=1\r\nTextureFilter=1\r\n");
    SelectEntry(page_, IDC_RESOLUTION_LIST, 2);
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        HWND list = GetDlgItem(page_, id);
        const std::string shown = ItemText(page_, id);
        SetFocus(list);
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        PumpPending();
        SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        EXPECT_EQ(ItemText(page_, id), shown);
        SetFocus(GetDlgItem(page_, IDC_VSYNC));
    }
    PressOk();
    ExpectStored("Video",
                 "Adapter=1 Device=1 ScreenWidth=1024 ScreenHeight=768 ScreenBitCount=32 "
                 "TextureFilter=1");
}

// Text typed over a list's field chooses nothing: the field shows the choice again once left,
// and "OK" pressed while typing stores the choices.
TEST_F(VideoPageTest, TypingIntoAListChoosesNothing) {
    TwoAdapters();
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        SCOPED_TRACE(id);
        OpenVideo("Adapter=1\r\nTextureFilter=3\r\n");
        SelectEntry(page_, IDC_RESOLUTION_LIST, 2);
        SelectEntry(page_, IDC_FILTER_LIST, 0);
        const std::string shown = ItemText(page_, id);
        for (bool leave : {true, false}) {
            SetFocus(GetDlgItem(page_, id));
            SendDlgItemMessageW(page_, id, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetDlgItemTextW(page_, id, L"x");
            Notify(page_, id, CBN_EDITCHANGE);
            if (leave) {
                SetFocus(GetDlgItem(page_, IDC_VSYNC));
                EXPECT_EQ(ItemText(page_, id), shown);
            }
        }
        PressOk();
        ExpectStored("Video",
                     "Adapter=1 Device=0 ScreenWidth=1024 ScreenHeight=768 TextureFilter=1");
    }
}

// The page is created hidden and filled once: no focus notification refills its lists before it
// is shown. Start-up asks the caps once per device type while enumerating, then once for bump
// mapping, of the adapter shown.
TEST_F(VideoPageTest, StartUpFillsThePageOnce) {
    TwoAdapters();
    OpenVideo("Adapter=1\r\nScreenWidth=800\r\nScreenHeight=600\r\n");
    EXPECT_EQ(direct3d_.capsAskedOf, (std::vector<UINT>{0, 0, 1, 1, 1}));
    EXPECT_EQ(Selection(page_, IDC_ADAPTER_LIST), 1);
    EXPECT_EQ(SelectedEntry(page_, IDC_RESOLUTION_LIST), L"800 x 600 x 32");
    EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));  // the second adapter has no pixel shader 1.1
}

TEST_F(VideoPageTest, PresetsSetTheirRowsAndLeaveTheRestAlone) {
    const struct {
        int button;
        const wchar_t *mode, *filter;
        bool lowTexture, vertexShader, lowEffect;
        int shadow;
        bool glow, movies;
    } presets[] = {
        {IDC_PRESET_STANDARD, L"640 x 480 x 32", L"Bilinear", false, true, false, 2, true, true},
        {IDC_PRESET_LOW_END, L"640 x 480 x 16", L"Bilinear", true, false, true, 0, false, false},
        {IDC_PRESET_HIGH_QUALITY, L"1024 x 768 x 32", L"Anisotropy", false, false, false, 2, true,
         false},
    };
    FakeAdapter card("Card");
    card.Mode(640, 480, D3DFMT_R5G6B5)
        .Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(800, 600, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8);
    direct3d_.adapters = {card};
    for (const auto& preset : presets) {
        OpenVideo(
            "ScreenWidth=800\r\nScreenHeight=600\r\nHardwareVertexShader=0\r\nMoviePlay=0\r\n"
            "LowTexture=1\r\nLowEffect=1\r\nShadowQuality=1\r\nGlowOn=0\r\nWaitVSync=0\r\n"
            "FpsMode=1\r\nUseMipmap=0\r\nTextureFilter=1\r\nWindowMode=1\r\n");
        ASSERT_FALSE(IsEnabled(page_, IDC_GLOW_ON));  // effects are off
        ClickButton(page_, preset.button);
        SCOPED_TRACE(preset.button);
        EXPECT_EQ(SelectedEntry(page_, IDC_RESOLUTION_LIST), preset.mode);
        EXPECT_EQ(SelectedEntry(page_, IDC_FILTER_LIST), preset.filter);
        EXPECT_EQ(IsChecked(page_, IDC_TEXTURE_LOW), preset.lowTexture);
        EXPECT_NE(IsChecked(page_, IDC_TEXTURE_STANDARD), preset.lowTexture);
        EXPECT_TRUE(IsChecked(page_, IDC_MIPMAP_ON) && IsChecked(page_, IDC_FPS_AUTO) &&
                    IsChecked(page_, IDC_VSYNC) && IsChecked(page_, IDC_WINDOW_MODE));
        EXPECT_EQ(IsChecked(page_, IDC_HARDWARE_VERTEX_SHADER), preset.vertexShader);
        EXPECT_EQ(IsChecked(page_, IDC_EFFECTS_OFF), preset.lowEffect);
        EXPECT_EQ(TrackbarPosition(page_, IDC_SHADOW_QUALITY), preset.shadow);
        EXPECT_EQ(IsChecked(page_, IDC_GLOW_ON), preset.glow);
        EXPECT_NE(IsChecked(page_, IDC_GLOW_OFF), preset.glow);
        EXPECT_EQ(IsChecked(page_, IDC_MOVIES_ON), preset.movies);
        EXPECT_FALSE(IsEnabled(page_, IDC_GLOW_ON));  // presets set check states only
    }
}

TEST_F(VideoPageTest, WithNothingListedTheListsAreEmptyAndTheFileKeepsItsMode) {
    FakeAdapter wide("Wide only");
    wide.Mode(1280, 1024, D3DFMT_X8R8G8B8);
    direct3d_.adapters = {wide};
    OpenVideo(
        "Adapter=0\r\nDevice=0\r\nScreenWidth=800\r\nScreenHeight=600\r\nScreenBitCount=16\r\n"
        "VendorID=4318\r\nDeviceID=7\r\nTextureFilter=3\r\n");
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        EXPECT_TRUE(Entries(page_, id).empty() && Selection(page_, id) == -1 &&
                    !IsEnabled(page_, id))
            << id;
        Notify(page_, id, CBN_SELCHANGE);
    }
    EXPECT_FALSE(IsEnabled(page_, IDC_WINDOW_MODE));
    for (int id : {IDC_PRESET_STANDARD, IDC_PRESET_LOW_END, IDC_PRESET_HIGH_QUALITY}) {
        ClickButton(page_, id);
    }
    EXPECT_TRUE(Entries(page_, IDC_RESOLUTION_LIST).empty());
    PressOk();
    ExpectStored("Video",
                 "Adapter=-1 Device=-1 ScreenWidth=800 ScreenHeight=600 ScreenBitCount=16 "
                 "VendorID=4318 DeviceID=7 TextureFilter=3");
}

}  // namespace
