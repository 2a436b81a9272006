// The Direct3D enumeration rules against a fake Direct3D 8: which adapters, devices and modes
// are listed, in which order, and the default choice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_direct3d.h"

namespace {

class EnumerationTest : public ::testing::Test {
  protected:
    void SetUp() override { DeviceCaps.BumpSupport = {true, true}; }
    void TearDown() override {
        DeviceCaps.direct3d->Release();
        DeviceCaps.direct3d = nullptr;
        EXPECT_EQ(fake_.references, 1);
    }
    void Enumerate() {
        UseFakeDirect3D use(&fake_);
        ASSERT_TRUE(CreateDirect3D());
    }
    FakeDirect3D fake_;
};

// "width x height / format" of every mode of a listed device, in table order.
std::vector<std::string> ModesOf(int adapter, int device) {
    std::vector<std::string> modes;
    for (int i = 0; const ModeInfo* mode = ListedMode(adapter, device, i); ++i) {
        modes.push_back(std::to_string(mode->width) + "x" + std::to_string(mode->height) + "/" +
                        std::to_string(static_cast<int>(mode->format)));
    }
    return modes;
}

TEST_F(EnumerationTest, FourThirdsModesMergedAndSortedByFormatThenSize) {
    FakeAdapter card("Card");
    card.Mode(1280, 1024, D3DFMT_X8R8G8B8)
        .Mode(1280, 960, D3DFMT_X8R8G8B8)
        .Mode(800, 600, D3DFMT_X8R8G8B8, 60)
        .Mode(800, 600, D3DFMT_X8R8G8B8, 85)
        .Mode(640, 400, D3DFMT_X8R8G8B8)
        .Mode(1024, 768, D3DFMT_X1R5G5B5)
        .Mode(640, 480, D3DFMT_R5G6B5)
        .Mode(640, 480, D3DFMT_X1R5G5B5)
        .Mode(640, 480, D3DFMT_A4R4G4B4)
        .Mode(800, 600, D3DFMT_A1R5G5B5);
    // No depth-stencil buffer for A1R5G5B5: no modes, but its multisample types are asked.
    card.types[0].withoutDepth = {D3DFMT_A1R5G5B5};
    card.types[0].depthStencil = D3DFMT_D32;  // the last candidate
    card.types[0].multiSample[0] = (1u << 0) | (1u << 2) | (1u << 16);
    fake_.adapters = {card};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 1u);
    EXPECT_EQ(DeviceCaps.adapters[0].deviceCount, 1u);  // REF takes no format
    EXPECT_EQ(ModesOf(0, 0), (std::vector<std::string>{"640x480/24", "1024x768/24", "640x480/23",
                                                       "800x600/22", "1280x960/22"}));
    const ModeInfo& mode = DeviceCaps.adapters[0].devices[0].modes[0];
    EXPECT_EQ(mode.depthStencilFormat, D3DFMT_D32);
    EXPECT_EQ(mode.multiSampleFullscreen, (1u << 0) | (1u << 2) | (1u << 16));
    EXPECT_EQ(mode.multiSampleWindowed, 1u);
    EXPECT_EQ(fake_.multiSampleQuestions[D3DFMT_A1R5G5B5], 32);
}

TEST_F(EnumerationTest, AdaptersWithoutDevicesAreLeftOutAndKeepTheirNumberForCaps) {
    FakeAdapter wideOnly("Wide only");
    wideOnly.Mode(1280, 1024, D3DFMT_X8R8G8B8).Mode(1280, 720, D3DFMT_X8R8G8B8);
    FakeAdapter weak("Weak");
    weak.Mode(640, 480, D3DFMT_X8R8G8B8);
    weak.types[1] = weak.types[0];
    weak.types[1].withoutDepth = {D3DFMT_X8R8G8B8};  // REF passes the type check only
    weak.types[0].caps.PixelShaderVersion = D3DPS_VERSION(1, 0);
    FakeAdapter withRef("With REF");
    withRef.Mode(640, 480, D3DFMT_X8R8G8B8);
    withRef.types[1] = withRef.types[0];
    fake_.adapters = {wideOnly, weak, withRef};
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, 2u);
    EXPECT_STREQ(DeviceCaps.adapters[0].identifier.Description, "Weak");
    EXPECT_EQ(DeviceCaps.adapters[0].deviceCount, 1u);
    ASSERT_EQ(DeviceCaps.adapters[1].deviceCount, 2u);
    EXPECT_STREQ(DeviceCaps.adapters[1].devices[1].name, "REF");
    EXPECT_EQ(DeviceCaps.adapters[1].devices[1].deviceType, D3DDEVTYPE_REF);

    fake_.capsAskedOf.clear();
    EXPECT_TRUE(CheckSupportsBumpMapping(0, 0, 0));
    EXPECT_TRUE(CheckSupportsBumpMapping(1, 1, 0));
    EXPECT_EQ(fake_.capsAskedOf, (std::vector<UINT>{1, 2}));
    EXPECT_TRUE(DeviceCaps.BumpSupport.PixelShader11);
    EXPECT_TRUE(CheckSupportsBumpMapping(0, 0, 0));
    EXPECT_FALSE(DeviceCaps.BumpSupport.PixelShader11);
    // Indices that are not listed ask nothing and change nothing.
    EXPECT_FALSE(CheckSupportsBumpMapping(2, 0, 0));
    EXPECT_FALSE(CheckSupportsBumpMapping(0, 1, 0));
    EXPECT_FALSE(CheckSupportsBumpMapping(-1, -1, -1));
    EXPECT_EQ(fake_.capsAskedOf.size(), 3u);
    EXPECT_FALSE(DeviceCaps.BumpSupport.PixelShader11);
}

TEST_F(EnumerationTest, DefaultIsTheLastListEntryOfTheFirstDeviceWithAnyElseZero) {
    FakeAdapter sixteen("16-bit only");
    sixteen.Mode(640, 480, D3DFMT_R5G6B5).Mode(800, 600, D3DFMT_R5G6B5);
    FakeAdapter both("Both");
    both.Mode(640, 480, D3DFMT_X8R8G8B8)
        .Mode(640, 480, D3DFMT_R8G8B8)
        .Mode(1024, 768, D3DFMT_A8R8G8B8)
        .Mode(1024, 768, D3DFMT_X8R8G8B8);
    fake_.adapters = {sixteen, both};
    Enumerate();
    EXPECT_EQ(ModesOf(1, 0),
              (std::vector<std::string>{"640x480/22", "1024x768/22", "1024x768/21", "640x480/20"}));
    // Start-up: the first adapter has no 32-bit mode; on the second R8G8B8 is the last found.
    EXPECT_EQ(DeviceCaps.selectedAdapter, 1u);
    EXPECT_EQ(DeviceCaps.adapters[1].devices[0].selectedMode, 3u);
    EXPECT_TRUE(PickDefaultMode(2));
    EXPECT_EQ(DeviceCaps.adapters[1].devices[0].selectedMode, 2u);
    EXPECT_TRUE(PickDefaultMode(1));
    EXPECT_EQ(DeviceCaps.selectedAdapter, 0u);

    fake_.adapters.erase(fake_.adapters.begin());
    DeviceCaps.direct3d->Release();
    Enumerate();
    DeviceCaps.adapters[0].devices[0].selectedMode = 2;
    EXPECT_FALSE(PickDefaultMode(1));
    EXPECT_EQ(DeviceCaps.selectedAdapter, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].selectedDevice, 0u);
    EXPECT_EQ(DeviceCaps.adapters[0].devices[0].selectedMode, 0u);
}

TEST_F(EnumerationTest, TablesStopAtTheirLimits) {
    // 12 adapters fill the 10 slots; 130 distinct modes of one adapter are cut to 100.
    FakeAdapter many("Card");
    for (UINT i = 0; i < 130; ++i) {
        many.Mode(640 + 4 * i, 480 + 3 * i, D3DFMT_X8R8G8B8);
    }
    many.types[1] = many.types[0];
    fake_.adapters.assign(12, many);
    Enumerate();
    ASSERT_EQ(DeviceCaps.adapterCount, kMaxAdapters);
    const DeviceInfo& last = DeviceCaps.adapters[kMaxAdapters - 1].devices[kMaxDevices - 1];
    ASSERT_EQ(last.modeCount, kMaxDistinctModes);
    EXPECT_EQ(last.modes[kMaxDistinctModes - 1].width, 640u + 4 * 99);
}

TEST(FormatBitsTable, CompressedFormatsHaveNoBitsAndUnknownOnesAreMarked) {
    EXPECT_EQ(FormatBits(D3DFMT_DXT1), 0);
    EXPECT_EQ(FormatBits(D3DFMT_A2B10G10R10), 255);
    EXPECT_EQ(FormatBits(D3DFMT_R8G8B8), 24);
    EXPECT_EQ(FormatBits(D3DFMT_D24X4S4), 32);
    EXPECT_EQ(FormatBits(D3DFMT_D15S1), 16);
    EXPECT_EQ(FormatBits(D3DFMT_P8), 8);
}

}  // namespace
