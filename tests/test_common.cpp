// common/: the polite wait, bounded texts, texts that read right with glyphs on any code page.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/splash.h"
#include "common/dialog_text.h"
#include "common/runtime.h"
#include "common/text_bounds.h"
#include "tests/support/main_dialog_test.h"
#include "tests/support/test_files.h"

namespace {

// The key goes up from a thread timer, which only a wait that dispatches messages ever sees.
TEST(PumpMessagesWhileTest, SleepsBetweenLooksAndAQuitStaysForTheMainLoop) {
    static int looks = 0;
    FakeKeys keys;
    FakeKeys::Hold({'A'});
    FakeKeys::ReleaseAllSoon(100);
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PumpMessagesWhile([] { return ++looks > 0 && AnyKeyHeld(); }));
    EXPECT_LE(looks,
              static_cast<int>(GetTickCount() - start) / 5 + 5);  // a look per 10 ms, no spin
    FakeKeys::Hold({'A'});
    PostQuitMessage(3);
    EXPECT_FALSE(PumpMessagesWhile(AnyKeyHeld));
    MSG msg = {};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was lost";
    EXPECT_EQ(msg.wParam, 3u);
}

// Nothing past a buffer is looked at or touched; a GBK character (5C second byte too) stays whole.
TEST(TextBoundsTest, FoldersCopiesAndSearchesStayInsideAndKeepDoubleByteCharactersWhole) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8, as CTest does";
    char buffer[kPathSize + 8] = "setloom.exe";
    EXPECT_STREQ(TrimToFolder(buffer), "");
    EXPECT_EQ(std::string(ComputeModuleDirectory(nullptr, buffer)), ModuleFolder());
    memset(buffer, 'x', sizeof buffer);  // a cut path without a terminator
    buffer[2] = buffer[kPathSize + 2] = '\\';
    EXPECT_STREQ(TrimToFolder(buffer), "xx\\");
    EXPECT_EQ(buffer[kPathSize], 'x');
    memset(buffer, '#', sizeof buffer);
    EXPECT_TRUE(CopyText(buffer, 8, "abc"));
    EXPECT_FALSE(AppendText(buffer, 8, "defghij"));
    EXPECT_STREQ(buffer, "abcdefg");
    EXPECT_EQ(buffer[8], '#');
    EXPECT_FALSE(CopyText(buffer, 4, "存盘"));  // four bytes in GBK
    EXPECT_STREQ(buffer, "存");
    char path[] = "C:\\\x81\x5C\\x";
    EXPECT_EQ(FindFirstBackslash(path), path + 2);
    EXPECT_EQ(FindLastBackslash(path), path + 5);
}

// The characters a control's font has no glyph for and, where the text must be whole, " cut" when
// it does not fit (the sound page's "max" labels are narrower than their text by design).
std::wstring Unreadable(HWND control, const std::wstring& text, bool whole = false) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::wstring wrong;
    for (wchar_t c : text) {
        WORD glyph = 0xFFFF;  // so also when the call fails
        GetGlyphIndicesW(dc, &c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
        wrong += c >= L' ' && glyph == 0xFFFF ? std::wstring(1, c) : L"";
    }
    RECT client = {};
    GetClientRect(control, &client);
    RECT needed = client;
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    const bool cut = needed.right > client.right || needed.bottom > client.bottom;
    return whole && cut ? wrong + L" cut" : wrong;
}

// The text of a control; a picture's "text" (0xFFFF and its resource number) is none.
std::wstring TextOf(HWND control) {
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    return text[0] != 0xFFFF ? text : L"";
}

// The box is looked at while it is up, from a timer its modal loop dispatches, then closed.
std::wstring boxText, boxUnreadable = L"not seen";
VOID CALLBACK LookForBox(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
        HWND text = GetDlgItem(box, 0xFFFF);  // a message box's text
        if (GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId() &&
            TextOf(text).find(L"DirectX8.1") != std::wstring::npos) {
            boxText = TextOf(text);
            boxUnreadable = Unreadable(text, boxText, true);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
}

// Every dialog's and the no-Direct3D box's texts are readable (on a Chinese code page in 宋体).
TEST_F(MainDialogTest, GlyphsAndTextsOfEveryDialogAndTheNoDirect3DBox) {
    Open();
    ASSERT_TRUE(splash.Show(instanceHandle));
    const HWND dialogs[] = {splash.window,     dialog_,          mainTabs.Page(0),
                            mainTabs.Page(1),  mainTabs.Page(2), inputTabs.Page(0),
                            inputTabs.Page(1), inputTabs.Page(2)};
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(dialogs[i], nullptr) << "dialog " << i;
        LOGFONTW face = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialogs[i], WM_GETFONT, 0, 0)), sizeof face,
                   &face);
        EXPECT_TRUE(GetACP() != 936 || std::wstring(face.lfFaceName) == L"宋体") << "dialog " << i;
        int chinese = 0;
        for (HWND control = GetWindow(dialogs[i], GW_CHILD); control;
             control = GetWindow(control, GW_HWNDNEXT)) {
            const std::wstring text = TextOf(control);
            EXPECT_EQ(Unreadable(control, text), L"") << i << ": " << GetDlgCtrlID(control);
            chinese += std::count_if(text.begin(), text.end(),
                                     [](wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; });
        }
        EXPECT_GT(chinese, 0) << "dialog " << i << ": no Chinese text looked at";
    }
    splash.Close();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, LookForBox);
    ReportMissingDirect3D();
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxText, L"本程序需要DirectX8.1支持。\n请安装DirectX8.1以上版本。");
    EXPECT_EQ(boxUnreadable, L"");
    wchar_t text[4 + 2];
    wmemset(text, L'#', 6);
    EXPECT_EQ(TextToWide("存盘文件夹", kProgramCodePage, text, 4), 3);
    EXPECT_EQ(std::wstring(text), L"存盘文");
    EXPECT_EQ(text[4], L'#');
    EXPECT_EQ(TextToWide("\xE9t\xE9", 1252, text, 4), 3);
    EXPECT_EQ(std::wstring(text), L"été");
    SetItemTextGbk(dialog_, IDC_OK, "确定");
    EXPECT_EQ(TextOf(GetDlgItem(dialog_, IDC_OK)), L"确定");
    EXPECT_EQ(FormatItemText(dialog_, IDC_CANCEL, "%s %d", std::string(400, 'x').c_str(), 5), 255);
    EXPECT_EQ(TextOf(GetDlgItem(dialog_, IDC_CANCEL)), std::wstring(255, L'x'));
}

}  // namespace
