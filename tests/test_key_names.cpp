// Key and button names, and the key and mouse-button scans over a fake key-state source.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/key_names.h"
#include "input/key_scan.h"
#include "tests/support/fake_keys.h"

namespace {

struct NamedCode {
    int code;
    const char* name;
};

TEST(KeyNamesTest, NamesByCode) {
    // The first and last code of each run of names, and the texts two rows share.
    const NamedCode cases[] = {
        {0, "error"},      {1, "L-Button"},   {4, "M-Button"},    {8, "Back"},
        {13, "Enter"},     {16, "Shift"},     {21, "Kana"},       {23, "Junja"},
        {25, "Kanji"},     {27, "Esc"},       {31, "ModeChange"}, {32, "Space"},
        {47, "Help"},      {48, "0"},         {57, "9"},          {58, ":"},
        {64, "@"},         {65, "A"},         {90, "Z"},          {91, "L-Win"},
        {93, "Apps"},      {96, "0[10Key]"},  {105, "9[10Key]"},  {106, "*[10Key]"},
        {108, "@[10Key]"}, {111, "/[10Key]"}, {112, "F1"},        {135, "F24"},
        {144, "NumLock"},  {145, "Scroll"},   {160, "L-Shift"},   {165, "R-Alt"},
        {186, ":"},        {192, "@"},        {219, "["},         {222, "^"},
        {226, "\\"},       {255, "Button 1"}, {-1, "Button 1"},   {256 + 13, "Enter"},
    };
    for (const NamedCode& c : cases) {
        EXPECT_STREQ(KeyName(c.code), c.name) << c.code;
    }
    // Rows that share their text share the very same text.
    EXPECT_EQ(KeyNames[58], KeyNames[186]);
    EXPECT_EQ(KeyNames[220], KeyNames[226]);
}

TEST(KeyNamesTest, RowsWithoutANameGiveEmptyTextNeverNull) {
    const int emptyRanges[][2] = {{5, 7},     {10, 11},   {14, 15},   {22, 22},
                                  {26, 26},   {94, 95},   {136, 143}, {146, 159},
                                  {166, 185}, {193, 218}, {223, 225}, {227, 254}};
    int empty = 0;
    for (const auto& range : emptyRanges) {
        for (int code = range[0]; code <= range[1]; ++code) {
            ASSERT_NE(KeyName(code), nullptr) << code;
            EXPECT_STREQ(KeyName(code), "") << code;
            ++empty;
        }
    }
    // Every other key row has a name: nothing shifted the table.
    int named = 0;
    for (int code = 0; code < kPadButtonRow; ++code) {
        named += KeyName(code)[0] != '\0' ? 1 : 0;
    }
    EXPECT_EQ(named + empty, 255);
    EXPECT_EQ(named, 145);
}

TEST(KeyNamesTest, PadButtonNames) {
    const NamedCode cases[] = {{0, "Button 1"}, {9, "Button 10"}, {31, "Button 32"},
                               {32, "error"},   {100, "error"},   {254, "error"},
                               {255, ""},       {-1, ""},         {256 + 1, "Button 2"}};
    for (const NamedCode& c : cases) {
        EXPECT_STREQ(PadButtonName(c.code), c.name) << c.code;
    }
}

struct ScanCase {
    std::initializer_list<int> held;
    int expected;
};

TEST(KeyScanTest, TheFirstHeldKeyInScanOrderWins) {
    FakeKeys keys;
    const ScanCase cases[] = {
        {{}, 0},
        {{192, 32, 65}, 192},  // "@" before Space before "A"
        {{32, 65}, 32},
        {{65, 226}, 226},
        {{226, 219}, 219},
        {{222, 186}, 186},
        {{8}, 8},
        {{134}, 134},
        {{26}, 26},  // an unnamed code inside the range still counts
        // A left Shift is down as 160 and as 16: the generic code is reported.
        {{160, 16}, 16},
        {{163, 17}, 17},
        // Never reported.
        {{160}, 0},
        {{1, 2, 4}, 0},
        {{25}, 0},
        {{135}, 0},
        {{144, 145}, 0},
        {{7, 193}, 0},
    };
    for (const ScanCase& c : cases) {
        FakeKeys::ReleaseAll();
        FakeKeys::Hold(c.held);
        EXPECT_EQ(ScanKeys(), c.expected)
            << "first held " << (c.held.size() ? *c.held.begin() : -1);
        EXPECT_EQ(AnyKeyHeld(), c.expected != 0);
    }
}

TEST(KeyScanTest, MouseButtonsLeftBeforeRightBeforeMiddle) {
    FakeKeys keys;
    const ScanCase cases[] = {{{}, 0},        {{2, 1}, 1}, {{4, 2}, 2}, {{4}, 4},
                              {{4, 1, 2}, 1}, {{5, 6}, 0}, {{32}, 0}};
    for (const ScanCase& c : cases) {
        FakeKeys::ReleaseAll();
        FakeKeys::Hold(c.held);
        EXPECT_EQ(ScanMouseButtons(), c.expected);
        EXPECT_EQ(AnyMouseButtonHeld(), c.expected != 0);
    }
}

}  // namespace
