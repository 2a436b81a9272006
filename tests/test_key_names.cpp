// Key and button names, and the key and mouse-button scans over a fake key-state source.
#include <gtest/gtest.h>

#include "input/key_names.h"
#include "input/key_scan.h"
#include "tests/support/fake_keys.h"

namespace {

TEST(KeyNamesTest, NamesByCodeAndPadButton) {
    // A name from each region of the table, rows without one, and codes taken as one byte.
    const std::pair<int, const char*> keys[] = {
        {0, "error"},      {17, "Ctrl"},      {32, "Space"},      {65, "A"},
        {106, "*[10Key]"}, {186, ":"},        {226, "\\"},        {7, ""},
        {230, ""},         {255, "Button 1"}, {256 + 13, "Enter"}};
    const std::pair<int, const char*> pad[] = {
        {0, "Button 1"}, {31, "Button 32"}, {32, "error"}, {255, ""}, {256 + 1, "Button 2"}};
    for (const auto& [code, name] : keys) {
        EXPECT_STREQ(KeyName(code), name) << code;
    }
    for (const auto& [code, name] : pad) {
        EXPECT_STREQ(PadButtonName(code), name) << code;
    }
}

// "@" (192) before Space before "A"; a left Shift is down as 160 and as 16: the generic code is
// reported; the keys of the last case never are.
TEST(KeyScanTest, TheFirstHeldKeyOrButtonInScanOrderWins) {
    FakeKeys keys;
    const struct {
        std::initializer_list<int> held;
        int key, button;
    } cases[] = {{{}, 0, 0},           {{192, 32, 65}, 192, 0},
                 {{226, 219}, 219, 0}, {{222, 186}, 186, 0},
                 {{8}, 8, 0},          {{134}, 134, 0},
                 {{160, 16}, 16, 0},   {{2, 1}, 0, 1},
                 {{4, 2}, 0, 2},       {{4}, 0, 4},
                 {{5, 6}, 0, 0},       {{25, 135, 144, 145, 160, 7, 193}, 0, 0}};
    for (const auto& c : cases) {
        FakeKeys::ReleaseAll();
        FakeKeys::Hold(c.held);
        const std::vector<int> seen = {ScanKeys(), AnyKeyHeld(), ScanMouseButtons(),
                                       AnyMouseButtonHeld()};
        EXPECT_EQ(seen, (std::vector<int>{c.key, c.key != 0, c.button, c.button != 0}))
            << &c - cases;
    }
}

}  // namespace
