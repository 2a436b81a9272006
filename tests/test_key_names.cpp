// Key and button names, and the key scan over a fake key-state source.
#include <gtest/gtest.h>

#include "input/key_names.h"
#include "input/key_scan.h"
#include "tests/support/fake_keys.h"

// Names from each region of the tables; each scan range's ends in order, keys around never taken.
TEST(KeyNamesTest, NamesByCodeAndPadButtonAndEachScanRangeInItsOrder) {
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
    FakeKeys held;
    FakeKeys::Hold({7, 25, 135, 144, 145, 160, 185, 193, 218, 223, 225, 227});  // never reported
    EXPECT_EQ(ScanKeys(), 0);
    EXPECT_FALSE(AnyKeyHeld());
    const int reported[] = {186, 192, 219, 222, 226, 8, 26, 134};  // in scan order
    for (int i = std::size(reported) - 1; i >= 0; --i) {           // each with those after it held
        FakeKeys::Hold({reported[i]});
        EXPECT_EQ(ScanKeys(), reported[i]);
        EXPECT_TRUE(AnyKeyHeld()) << reported[i];
    }
}
