// The Direct3D enumeration rules against a fake Direct3D 8: which adapters, devices and modes
// are listed, in which order, with which depth-stencil formats and multisample masks, and the
// default choice.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "display/device_caps.h"
#include "tests/support/fake_direct3d.h"

namespace {

class EnumerationTest : public ::testing::Test {
  protected:
    void SetUp() override { DeviceCaps.BumpSupport = {true, true}; }
    void TearDown() override {
        if (DeviceCaps.direct3d != nullptr) {
            DeviceCaps.direct3d->Release();
            DeviceCaps.direct3d = nullptr;
        }
        EXPECT_EQ(fake_.references, 1);
    }
    void Enumerate() {
        UseFakeDirect3D use(&fake_);
        ASSERT_TRUE(CreateDirect3D());
        ASSERT_EQ(DeviceCaps.direct3d, &fake_);
    }
    FakeDirect3D fake_;
};

// "width x height / format" of every mode of a listed device, in table order.
std::vector<std::string> ModesOf(int adapter, int device) {
    std::vector<std::string> modes;
    const DeviceInfo* info = ListedDevice(adapter, device);
    for (UINT i = 0; info != nullptr && i < info->modeCount; ++i) {
        const ModeInfo& mode = info->modes[i];
        modes.push_back(std::to_string(mode.width) + "x" + std::to_string(mode.height) + "/" +
                        std::to_string(static_cast<int>(mode.format)));
    }
    return modes;
}

TEST(UsableModes, OnlyFourThirdsFromVgaUpInTheSixFormats) {
    const struct {
        UINT width, height;
        D3DFORMAT format;
        bool usable;
    } cases[] = {
        {640, 480, D3DFMT_X8R8G8B8, true},    {1280, 960, D3DFMT_R5G6B5, true},
        {1600, 1200, D3DFMT_R8G8B8, true},    {800, 600, D3DFMT_A1R5G5B5, true},
        {1280, 1024, D3DFMT_X8R8G8B8, false}, {1280, 720, D3DFMT_X8R8G8B8, false},
        {640, 400, D3DFMT_X8R8G8B8, false},   {720, 480, D3DFMT_X8R8G8B8, false},
        {320, 240, D3DFMT_X8R8G8B8, false},   {640, 480, D3DFMT_A4R4G4B4, false},
        {640, 480, D3DFMT_P8, false},         {640, 480, D3DFMT_A2B10G10R10, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUsableMode(c.width, c.height, c.format), c.usable)
            << c.width << "x" << c.height << " format " << c.format;
    }
}

TEST(FormatBitsTable, KnownFormatsAndTheRest) {
    const struct {
        D3DFORMAT format;
        int bits;
    } cases[] = {
        {D3DFMT_R8G8B8, 24},       {D3DFMT_X8R8G8B8, 32}, {D3DFMT_A8R8G8B8, 32},
        {D3DFMT_D24S8, 32},        {D3DFMT_R5G6B5, 16},   {D3DFMT_X1R5G5B5, 16},
        {D3DFMT_D16, 16},          {D3DFMT_P8, 8},        {D3DFMT_A4L4, 8},
        {D3DFMT_DXT1, 0},          {D3DFMT_UYVY, 0},      {D3DFMT_VERTEXDATA, 0},
        {D3DFMT_A2B10G10R10, 255}, {D3DFMT_UNKNOWN, 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatBits(c.format), c.bits) << "format " << c.format;
    }
}

TEST_F(EnumerationTest, ModesAreFilteredMergedAndSortedByFormatThenSize) {
    FakeAdapter adapter = HalAdapter("Card", 0x10de, 0x0001);
    adapter.Mode(1280, 1024, D3DFMT_X8R8G8B8)
        .Mode(1280, 960, D3DFMT_X8R8G8B8)
        .Mode(800, 600, D3DFMT_X8R8G8B8, 60)
        .Mode(800, 600, D3DFMT_X8R8G8B8, 85)
        .Mode(640, 400, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X1R5G5B5)
        .Mode(640, 480, D3DFMT_R5G6B5)
        .Mode(640, 480, D3DFMT_X1R5G5B5)
        .Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(640, 480, D3DFMT_A4R4G4B4);
    fake_.adapters = {adapter};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 1u);
    EXPECT_EQ(DeviceCaps.adapters[0].deviceCount, 1u);  // REF takes no format
    EXPECT_EQ(ModesOf(0, 0), (std::vector<std::string>{"640x480/24", "1024x768/24", "640x480/23",
                                                       "640x480/22", "800x600/22", "1280x960/22"}));
    const DeviceInfo& hal = DeviceCaps.adapters[0].devices[0];
    EXPECT_STREQ(hal.name, "HAL");
    EXPECT_EQ(hal.deviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(hal.modes[0].depthStencilFormat, D3DFMT_D24S8);
    EXPECT_TRUE(hal.canRenderWindowed);
    EXPECT_STREQ(DeviceCaps.adapters[0].identifier.Description, "Card");
}

TEST_F(EnumerationTest, DepthStencilFailureDropsTheFormatButItsMultisampleIsStillAsked) {
    FakeAdapter adapter = HalAdapter("Card", 1, 2);
    adapter.Mode(640, 480, D3DFMT_R5G6B5).Mode(640, 480, D3DFMT_X8R8G8B8);
    adapter.types[kFakeHal].withoutDepth = {D3DFMT_R5G6B5};
    adapter.types[kFakeHal].depthStencil = D3DFMT_D32;  // the last candidate
    adapter.types[kFakeHal].multiSampleFullscreen = (1u << 0) | (1u << 2) | (1u << 4);
    adapter.types[kFakeHal].multiSampleWindowed = (1u << 0) | (1u << 16);
    fake_.adapters = {adapter};
    Enumerate();
    EXPECT_EQ(ModesOf(0, 0), std::vector<std::string>{"640x480/22"});
    const ModeInfo& mode = DeviceCaps.adapters[0].devices[0].modes[0];
    EXPECT_EQ(mode.depthStencilFormat, D3DFMT_D32);
    EXPECT_EQ(mode.multiSampleFullscreen, (1u << 0) | (1u << 2) | (1u << 4));
    EXPECT_EQ(mode.multiSampleWindowed, (1u << 0) | (1u << 16));
    // 16 types, full-screen and windowed, on HAL; REF refuses the format before that.
    EXPECT_EQ(fake_.multiSampleQuestions[D3DFMT_R5G6B5], 32);
    EXPECT_EQ(fake_.multiSampleTypesAsked.count(1), 0u);
    EXPECT_EQ(fake_.multiSampleTypesAsked.size(), 16u);
}

TEST_F(EnumerationTest, RefIsListedOnlyWithAUsableFormatAndComesAfterHal) {
    FakeAdapter withoutDepth = HalAdapter("No usable REF", 1, 1);
    withoutDepth.Mode(640, 480, D3DFMT_X8R8G8B8);
    withoutDepth.types[kFakeRef].formats = {D3DFMT_X8R8G8B8};
    withoutDepth.types[kFakeRef].withoutDepth = {D3DFMT_X8R8G8B8};
    FakeAdapter withRef = withoutDepth;
    withRef.description = "Usable REF";
    withRef.types[kFakeRef].withoutDepth.clear();
    withRef.types[kFakeRef].caps = FullCaps();
    fake_.adapters = {withoutDepth, withRef};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 2u);
    EXPECT_EQ(DeviceCaps.adapters[0].deviceCount, 1u);
    ASSERT_EQ(DeviceCaps.adapters[1].deviceCount, 2u);
    EXPECT_STREQ(DeviceCaps.adapters[1].devices[0].name, "HAL");
    EXPECT_STREQ(DeviceCaps.adapters[1].devices[1].name, "REF");
    EXPECT_EQ(DeviceCaps.adapters[1].devices[1].deviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(ModesOf(1, 1), std::vector<std::string>{"640x480/22"});
}

TEST_F(EnumerationTest, AnAdapterWithoutDevicesIsLeftOutAndBumpMappingAsksTheRightOne) {
    FakeAdapter unusable = HalAdapter("Only wide modes", 1, 1);
    unusable.Mode(1280, 1024, D3DFMT_X8R8G8B8).Mode(1280, 720, D3DFMT_X8R8G8B8);
    FakeAdapter weak = HalAdapter("Weak card", 2, 2);
    weak.Mode(640, 480, D3DFMT_X8R8G8B8);
    weak.types[kFakeHal].caps.PixelShaderVersion = D3DPS_VERSION(1, 0);
    weak.types[kFakeHal].caps.MaxSimultaneousTextures = 1;
    fake_.adapters = {unusable, weak};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 1u);
    EXPECT_STREQ(DeviceCaps.adapters[0].identifier.Description, "Weak card");
    EXPECT_EQ(DeviceCaps.adapters[0].ordinal, 1u);

    fake_.capsAskedOf.clear();
    EXPECT_TRUE(CheckSupportsBumpMapping(0, 0, 0));
    EXPECT_EQ(fake_.capsAskedOf, std::vector<UINT>{1});
    EXPECT_FALSE(DeviceCaps.BumpSupport.PixelShader11);
    EXPECT_FALSE(DeviceCaps.BumpSupport.TwoTextureStages);

    // An index that is not listed asks nothing and changes nothing.
    DeviceCaps.BumpSupport = {true, true};
    fake_.capsAskedOf.clear();
    EXPECT_FALSE(CheckSupportsBumpMapping(1, 0, 0));
    EXPECT_FALSE(CheckSupportsBumpMapping(0, 1, 0));
    EXPECT_FALSE(CheckSupportsBumpMapping(-1, -1, -1));
    EXPECT_TRUE(fake_.capsAskedOf.empty());
    EXPECT_TRUE(DeviceCaps.BumpSupport.PixelShader11);
}

TEST_F(EnumerationTest, WindowedRenderingNeedsTheDesktopFormatAndTheCapsBit) {
    const struct {
        bool desktopPasses;
        bool capsBit;
        bool expected;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        FakeAdapter adapter = HalAdapter("Card", 1, 1);
        adapter.Mode(640, 480, D3DFMT_R5G6B5);
        adapter.desktopFormat = D3DFMT_X8R8G8B8;
        if (!c.desktopPasses) {
            adapter.types[kFakeHal].formats.erase(D3DFMT_X8R8G8B8);
        }
        if (!c.capsBit) {
            adapter.types[kFakeHal].caps.Caps2 = 0;
        }
        fake_.adapters = {adapter};
        Enumerate();
        ASSERT_EQ(DeviceCaps.adapterCount, 1u);
        EXPECT_EQ(DeviceCaps.adapters[0].devices[0].canRenderWindowed != FALSE, c.expected)
            << c.desktopPasses << c.capsBit;
        DeviceCaps.direct3d->Release();
    }
    DeviceCaps.direct3d = nullptr;
}

TEST_F(EnumerationTest, DefaultModeIsTheLastListEntryThatTheFirstMatchingDeviceOffers) {
    FakeAdapter sixteenOnly = HalAdapter("16-bit only", 1, 1);
    sixteenOnly.Mode(640, 480, D3DFMT_R5G6B5).Mode(800, 600, D3DFMT_R5G6B5);
    FakeAdapter both = HalAdapter("Both", 2, 2);
    both.Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(640, 480, D3DFMT_R8G8B8)
        .Mode(1024, 768, D3DFMT_A8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8);
    fake_.adapters = {sixteenOnly, both};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 2u);
    // Start-up (list 0): the second adapter, its R8G8B8 640 x 480 (the list's last entry).
    EXPECT_EQ(DeviceCaps.selectedAdapter, 1u);
    EXPECT_EQ(ModesOf(1, 0),
              (std::vector<std::string>{"640x480/22", "1024x768/22", "1024x768/21", "640x480/20"}));
    EXPECT_EQ(DeviceCaps.adapters[1].devices[0].selectedMode, 3u);

    EXPECT_TRUE(PickDefaultMode(2));
    EXPECT_EQ(DeviceCaps.selectedAdapter, 1u);
    EXPECT_EQ(DeviceCaps.adapters[1].devices[0].selectedMode, 2u);  // A8R8G8B8 comes later

    EXPECT_TRUE(PickDefaultMode(1));
    EXPECT_EQ(DeviceCaps.selectedAdapter, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].devices[0].selectedMode, 0u);
}

TEST_F(EnumerationTest, NoMatchAnywhereFallsBackToTheFirstOfEverything) {
    FakeAdapter adapter = HalAdapter("32-bit only", 1, 1);
    adapter.Mode(640, 480, D3DFMT_X8R8G8B8).Mode(800, 600, D3DFMT_X8R8G8B8);
    adapter.types[kFakeRef] = adapter.types[kFakeHal];
    fake_.adapters = {adapter};
    Enumerate();
    DeviceCaps.adapters[0].selectedDevice = 1;
    DeviceCaps.adapters[0].devices[0].selectedMode = 1;
    DeviceCaps.adapters[0].devices[1].selectedMode = 1;
    EXPECT_FALSE(PickDefaultMode(1));
    EXPECT_EQ(DeviceCaps.selectedAdapter, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].selectedDevice, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].devices[0].selectedMode, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].devices[1].selectedMode, 1u);  // other devices keep theirs
}

TEST_F(EnumerationTest, NoAdapterAtAllListsNothingAndDefaultsToZero) {
    Enumerate();
    EXPECT_EQ(DeviceCaps.adapterCount, 0u);
    EXPECT_EQ(DeviceCaps.selectedAdapter, 0u);
    EXPECT_EQ(ListedAdapter(0), nullptr);
    EXPECT_EQ(ListedMode(0, 0, 0), nullptr);
}

TEST_F(EnumerationTest, TablesStopAtTheirLimits) {
    // 12 adapters fit 10; 130 distinct usable modes of one adapter are cut to 100.
    FakeAdapter many = HalAdapter("Many modes", 1, 1);
    for (UINT i = 0; i < 130; ++i) {
        many.Mode(640 + 4 * i, 480 + 3 * i, D3DFMT_X8R8G8B8);
        many.Mode(640 + 4 * i, 480 + 3 * i, D3DFMT_X8R8G8B8, 75);  // duplicates do not count
    }
    many.types[kFakeRef] = many.types[kFakeHal];
    fake_.adapters.assign(12, many);
    for (size_t i = 0; i < fake_.adapters.size(); ++i) {
        fake_.adapters[i].description = "Card " + std::to_string(i);
    }
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, kMaxAdapters);
    EXPECT_STREQ(DeviceCaps.adapters[9].identifier.Description, "Card 9");
    for (UINT a = 0; a < kMaxAdapters; ++a) {
        ASSERT_EQ(DeviceCaps.adapters[a].deviceCount, kMaxDevices);
        EXPECT_EQ(DeviceCaps.adapters[a].devices[1].modeCount, kMaxDistinctModes);
    }
    // The first 100 distinct modes, in size order.
    const ModeInfo& last = DeviceCaps.adapters[9].devices[1].modes[kMaxDistinctModes - 1];
    EXPECT_EQ(last.width, 640u + 4 * 99);
    EXPECT_EQ(last.height, 480u + 3 * 99);
}

}  // namespace
