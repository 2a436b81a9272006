// The main dialog's tabs and pages other than the input assignments, from a settings file to the
// file written by "OK": the video page over a fake Direct3D 8, the sound page, the radio pairs.
#include <sstream>

#include "common/dialog_items.h"
#include "tests/support/main_dialog_test.h"

namespace {

using PagesTest = MainDialogTest;

// "恢复初始状态" resets the sound controls only (also those "不使用DirectSound" had disabled), and
// "取消" leaves the file as it was.
TEST_F(PagesTest, ARestoreSetsTheControlsOnlyAndCancelStoresNothing) {
    const std::string file = "[Sound]\r\nNotUseDirectSound=1\r\nBgmVolume=2\r\nSeOff=1\r\n";
    Open(file);
    HWND page = mainTabs.Page(1);
    EXPECT_FALSE(IsEnabled(page, IDC_SE_VOLUME) || IsEnabled(page, IDC_SE_OFF));
    ClickButton(page, IDC_SOUND_DEFAULTS);
    EXPECT_FALSE(IsChecked(page, IDC_NO_DIRECTSOUND) || IsChecked(page, IDC_SE_OFF));
    EXPECT_TRUE(IsEnabled(page, IDC_SE_VOLUME) && TrackbarPosition(page, IDC_BGM_VOLUME) == 6);
    ClickButton(dialog_, IDC_CANCEL);
    EXPECT_EQ(ReadFileText(path_), file);
}

// Each switch shows its own key and stores what it shows: every key at 0 but one at 1, then every
// key at 2 (only 1 sets an option). A volume above the range shows and is stored at 9.
TEST_F(PagesTest, EachSwitchShowsAndStoresItsOwnKey) {
    for (int chosen = -1; chosen < 9; ++chosen) {
        // The sound page's switches, then the input page's radio pairs.
        std::istringstream keys(
            "BgmOff SeOff BtVoiceOff SoftwareSoundBuffer NotUseDirectSound3d "
            "NotUseDirectSound DefaultRun Camera45Deg ChrTrans");
        std::string lines[2], stored[2], key;  // [Sound], [Control]
        for (int i = 0; keys >> key; ++i) {
            lines[i / 6] += key + "=" + std::to_string(chosen < 0 ? 2 : i == chosen) + "\n";
            stored[i / 6] += key + (i == chosen ? "=1 " : "=0 ");
        }
        Open("[Sound]\nBgmVolume=12\n" + lines[0] + "[Control]\n" + lines[1]);
        PressOk();
        ExpectStored("Sound", stored[0] + "BgmVolume=9");
        ExpectStored("Control", stored[1]);
    }
}

// "OK" before the hidden pages are made (at once, or after the input tab made its first page)
// stores the very file stored once every page is made, also where pages show other values.
TEST_F(PagesTest, OkBeforeThePagesAreMadeStoresWhatEveryPageStores) {
    FakeAdapter card("Card");
    card.Modes(D3DFMT_X8R8G8B8, {{640, 480}}).Modes(D3DFMT_R5G6B5, {{1024, 768}});
    direct3d_.adapters = {card};
    fakeControllers.assign(2, {});
    const std::string file =
        "[Video]\nAdapter=4\nScreenWidth=800\nScreenHeight=600\nScreenBitCount=24\nGlowOn=2\n"
        "[Sound]\nBgmVolume=12\nSeVolume=255\n[Control]\nPadDeviceNo=5\nPadSensitivity=150\n"
        "GamePad=20fe1fff402101020304\nMouse=07e6\nDefaultRun=3\n";
    std::string stored[3];  // every page made; "OK" at once; the input tab first
    for (int start = 0; start < 3; ++start) {
        Open(file, start != 0);
        if (start == 2) {
            SelectTab(dialog_, IDC_MAIN_TABS, 2);
            EXPECT_TRUE(IsWindowVisible(inputTabs.Page(0)) && inputTabs.Page(1) == nullptr);
        }
        EXPECT_EQ(mainTabs.Page(1) != nullptr, start == 0) << start;
        PressOk();
        stored[start] = ReadFileText(path_);
    }
    ExpectIniValues(stored[0], "Video", "Adapter=0 ScreenWidth=1024 ScreenBitCount=16 GlowOn=1");
    ExpectIniValues(stored[0], "Sound", "BgmVolume=9");
    EXPECT_EQ(stored[1], stored[0]);
    EXPECT_EQ(stored[2], stored[0]);
}

using VideoPageTest = MainDialogTest;

// Each card's caps decide its lists and switches (a card without a 4:3 mode is left out); looking
// through a list or typing into it chooses nothing, also where the list opens on a name that
// begins like the one shown.
TEST_F(VideoPageTest, ChangesFollowTheirCardsAndLookingOrTypingChoosesNothing) {
    FakeAdapter wide("Wide"), first("Second Pro"), second("Second", 0x8086);
    wide.Modes(D3DFMT_X8R8G8B8, {{1280, 1024}});
    first.Modes(D3DFMT_X8R8G8B8, {{640, 480}, {800, 600}, {1024, 768}}).hasRef = true;
    for (LONG i = 0; i < 130; ++i) {
        second.Modes(D3DFMT_X8R8G8B8, {{640 + 4 * i, 480 + 3 * i}});
    }
    second.caps.Caps2 = 0;
    second.caps.PixelShaderVersion = D3DPS_VERSION(1, 0);
    second.caps.MaxAnisotropy = 1;
    direct3d_.adapters = {wide, first};
    direct3d_.adapters.resize(13, second);
    OpenSection("Video", "Device=1 WindowMode=1 ScreenWidth=1024 ScreenHeight=768 TextureFilter=3");
    HWND page = mainTabs.Page(0);
    EXPECT_EQ(Entries(page, IDC_DEVICE_LIST) + ItemText(page, IDC_RESOLUTION_LIST),
              "HAL,REF,1024 x 768 x 32");
    EXPECT_TRUE(IsEnabled(page, IDC_WINDOW_MODE));
    SelectEntry(page, IDC_ADAPTER_LIST, 1);
    EXPECT_EQ(Entries(page, IDC_DEVICE_LIST) + Entries(page, IDC_FILTER_LIST) +
                  ItemText(page, IDC_FILTER_LIST) + ItemText(page, IDC_RESOLUTION_LIST),
              "HAL,Point,Bilinear,Bilinear640 x 480 x 32");
    EXPECT_FALSE(IsEnabled(page, IDC_WINDOW_MODE) || IsEnabled(page, IDC_GLOW_ON));
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_ADAPTER_LIST, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_RESOLUTION_LIST, CB_GETCOUNT, 0, 0), 100);
    SelectEntry(page, IDC_RESOLUTION_LIST, 2);
    SelectEntry(page, IDC_ADAPTER_LIST, 0);
    EXPECT_EQ(ItemText(page, IDC_RESOLUTION_LIST), "1024 x 768 x 32");
    EXPECT_TRUE(IsEnabled(page, IDC_GLOW_ON));
    SelectEntry(page, IDC_DEVICE_LIST, 1);
    EXPECT_EQ(ItemText(page, IDC_RESOLUTION_LIST), "640 x 480 x 32");
    SelectEntry(page, IDC_ADAPTER_LIST, 9);
    SelectEntry(page, IDC_RESOLUTION_LIST, 99);
    PressOk();
    ExpectStored("Video",
                 "Adapter=9 Device=0 ScreenWidth=1036 WindowMode=1 VendorID=32902 TextureFilter=2");
    for (int id : {IDC_ADAPTER_LIST, IDC_DEVICE_LIST, IDC_RESOLUTION_LIST, IDC_FILTER_LIST}) {
        OpenSection("Video", "Adapter=5 TextureFilter=1 ShadowQuality=5");
        page = mainTabs.Page(0);
        HWND list = GetDlgItem(page, id);
        SelectEntry(page, IDC_RESOLUTION_LIST, 2);
        const std::string shown = ItemText(page, id);
        SetFocus(list);
        SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
        PumpPending();
        SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
        EXPECT_EQ(ItemText(page, id), shown) << id;
        for (bool leave : {true, false}) {
            SetFocus(list);
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetWindowTextW(list, L"x");
            Notify(page, id, CBN_EDITCHANGE);
            if (leave) {
                SetFocus(GetDlgItem(page, IDC_VSYNC));
                EXPECT_EQ(ItemText(page, id), shown) << id;
            }
        }
        PressOk();
        ExpectStored("Video", "Adapter=5 Device=0 ScreenWidth=648 TextureFilter=1 ShadowQuality=2");
    }
}

// The 4:3 modes, each once, 16 bits first; a preset sets what it covers, not the enabled states.
// Without a listed mode (0: every preset) the file keeps its mode, adapter identity and filter.
TEST_F(VideoPageTest, ModesListedAndPresets) {
    const std::pair<int, const char*> cases[] = {
        {IDC_PRESET_STANDARD, "ScreenBitCount=24 DeviceID=3524 HardwareVertexShader=1 GlowOn=1"},
        {IDC_PRESET_LOW_END, "ScreenBitCount=16 LowTexture=1 LowEffect=1 ShadowQuality=0 GlowOn=0"},
        {IDC_PRESET_HIGH_QUALITY, "ScreenWidth=1024 TextureFilter=3 LowTexture=0 ShadowQuality=2"},
        {0, "Adapter=-1 ScreenWidth=1280 ScreenBitCount=16 DeviceID=7 TextureFilter=1"}};
    FakeAdapter card("Fake Card 9000", 0x10de, 0x0dc4), wide("Wide");
    card.Modes(D3DFMT_R5G6B5, {{800, 600}, {640, 480}})
        .Modes(D3DFMT_X8R8G8B8, {{1280, 960}, {1280, 1024}, {1024, 768}, {640, 480}, {640, 400}})
        .Modes(D3DFMT_X8R8G8B8, {{640, 480}}, 85)
        .Modes(D3DFMT_A8R8G8B8, {{640, 480}})
        .Modes(D3DFMT_R8G8B8, {{640, 480}})
        .Modes(D3DFMT_A4R4G4B4, {{640, 480}});
    wide.Modes(D3DFMT_X8R8G8B8, {{1280, 1024}});
    for (const auto& [preset, stored] : cases) {
        direct3d_.adapters = {preset != 0 ? card : wide};
        OpenSection(
            "Video",
            "ScreenWidth=1280 ScreenHeight=1024 ScreenBitCount=16 DeviceID=7 TextureFilter=1 "
            "ShadowQuality=1 LowTexture=1 UseMipmap=0 FpsMode=1 WaitVSync=0 LowEffect=1 "
            "GlowOn=0 MoviePlay=0 HardwareVertexShader=0");
        HWND page = mainTabs.Page(0);
        EXPECT_EQ(Entries(page, IDC_DEVICE_LIST) + Entries(page, IDC_FILTER_LIST) +
                      Entries(page, IDC_RESOLUTION_LIST) + ItemText(page, IDC_RESOLUTION_LIST),
                  preset == 0 ? ""
                              : "HAL,Point,Bilinear,Anisotropy,640 x 480 x 16,800 x 600 x 16,"
                                "640 x 480 x 32,1024 x 768 x 32,1280 x 960 x 32,640 x 480 x 32,"
                                "640 x 480 x 24,640 x 480 x 16");
        for (int button : {IDC_PRESET_STANDARD, IDC_PRESET_LOW_END, IDC_PRESET_HIGH_QUALITY}) {
            if (preset == 0 || preset == button) {
                ClickButton(page, button);
            }
        }
        EXPECT_FALSE(IsEnabled(page, IDC_GLOW_ON));  // as the effects off left it
        EXPECT_EQ(IsEnabled(page, IDC_RESOLUTION_LIST), preset != 0);
        PressOk();
        ExpectStored("Video", stored + std::string(" UseMipmap=1 FpsMode=0 WaitVSync=1"));
    }
}

}  // namespace
