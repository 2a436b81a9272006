// Texts: bounded copies that never split a GBK character, and dialog texts that read right
// whatever the system code page is.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/dialog_text.h"
#include "common/text_bounds.h"
#include "resource.h"

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

TEST(DialogTextTest, GbkTextBecomesTheRightUtf16BoundedAndTerminated) {
    wchar_t wide[4 + 2];
    EXPECT_EQ(TextToWide("环境设定", kProgramCodePage, wide, 5), 4);
    EXPECT_EQ(std::wstring(wide), L"环境设定");
    wmemset(wide, L'#', 6);
    EXPECT_EQ(TextToWide("存盘文件夹", kProgramCodePage, wide, 4), 3);
    EXPECT_EQ(std::wstring(wide), L"存盘文");
    EXPECT_EQ(wide[4], L'#');
    EXPECT_EQ(TextToWide("", kProgramCodePage, wide, 4), 0);
    EXPECT_EQ(wide[0], L'\0');
}

INT_PTR CALLBACK NoOpProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(DialogTextTest, ItemTextsAreSetThroughTheWideFunctions) {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     NoOpProc, 0);
    ASSERT_NE(dialog, nullptr);
    wchar_t text[300];
    SetItemTextGbk(dialog, IDC_OK, "确定");
    GetDlgItemTextW(dialog, IDC_OK, text, 300);
    EXPECT_EQ(std::wstring(text), L"确定");

    std::string longText(400, 'x');
    EXPECT_EQ(FormatItemText(dialog, IDC_CANCEL, "%s %d", longText.c_str(), 5), 255);
    GetDlgItemTextW(dialog, IDC_CANCEL, text, 300);
    EXPECT_EQ(std::wstring(text), std::wstring(255, L'x'));
    EXPECT_EQ(FormatItemText(dialog, IDC_CANCEL, "按钮 %d", 12), 7);
    GetDlgItemTextW(dialog, IDC_CANCEL, text, 300);
    EXPECT_EQ(std::wstring(text), L"按钮 12");
    DestroyWindow(dialog);
}

}  // namespace
