// Bounded texts: fixed buffers are cut, never overrun, and never split a GBK character.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text_bounds.h"

namespace {

TEST(TextBoundsTest, CopyAndAppendCutAtTheBufferSize) {
    char buffer[8 + 4];
    memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(CopyText(buffer, 8, "abc"));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(AppendText(buffer, 8, "defghij"));
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(buffer[8], '#');
    EXPECT_FALSE(CopyText(buffer, 8, "0123456789"));
    EXPECT_STREQ(buffer, "0123456");
}

TEST(TextBoundsTest, DoubleByteCharactersStayWhole) {
    // CTest runs this suite under zh_CN.UTF-8; on any other code page the check would not bite.
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
    char buffer[4];
    // "存盘" is four bytes in GBK: only the first character fits in three.
    EXPECT_FALSE(CopyText(buffer, 4, "存盘"));
    EXPECT_STREQ(buffer, "存");
    char path[] = "C:\\\x81\x5C\\x";  // a character whose second byte is 0x5C
    EXPECT_EQ(FindFirstBackslash(path), path + 2);
    EXPECT_EQ(FindLastBackslash(path), path + 5);
}

}  // namespace
