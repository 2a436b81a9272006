// Every text of the splash, the main dialog, every page and a message box has glyphs in the font
// it is drawn with. CTest runs this under zh_CN.UTF-8 and under C.UTF-8, where Wine maps the
// templates' "宋体" to a Latin font.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/splash.h"
#include "app/tab_sets.h"
#include "display/device_caps.h"
#include "tests/support/main_dialog_test.h"

namespace {

// The characters of text that font has no glyph for; line breaks and tabs are not drawn.
std::wstring Missing(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    std::wstring missing;
    for (wchar_t c : text) {
        WORD glyph = 0xFFFF;
        if (c >= L' ' && (GetGlyphIndicesW(dc, &c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != 1 ||
                          glyph == 0xFFFF)) {
            missing += c;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return missing;
}

// What a control shows: its text, and the entries of a combo box or the tabs of a tab control.
std::wstring Shown(HWND control) {
    wchar_t text[256] = {};
    GetWindowTextW(control, text, 256);
    // A picture's "text" is 0xFFFF and its resource number.
    std::wstring shown = text[0] != 0xFFFF ? text : L"";
    GetClassNameW(control, text, 256);
    const bool combo = lstrcmpiW(text, L"ComboBox") == 0;
    const bool tabs = lstrcmpiW(text, WC_TABCONTROLW) == 0;
    const int count = static_cast<int>(combo  ? SendMessageW(control, CB_GETCOUNT, 0, 0)
                                       : tabs ? SendMessageW(control, TCM_GETITEMCOUNT, 0, 0)
                                              : 0);
    for (int i = 0; i < count; ++i) {
        text[0] = L'\0';
        if (combo && SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < 256) {
            SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        } else if (tabs) {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 256;
            SendMessageW(control, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        shown += text;
    }
    return shown;
}

// Each control of the dialog (pages inside it are dialogs of their own) draws its texts with
// glyphs. Where Wine maps "宋体" to a Chinese font (a Chinese code page), the face is left alone.
void ExpectGlyphs(HWND dialog, const char* name) {
    ASSERT_NE(dialog, nullptr) << name;
    LOGFONTW face = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof face, &face);
    if (GetACP() == 936) {
        EXPECT_STREQ(face.lfFaceName, L"宋体") << name;
    }
    int chinese = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            continue;
        }
        const std::wstring shown = Shown(control);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        EXPECT_EQ(Missing(font, shown), L"") << name << " control " << GetDlgCtrlID(control);
        for (wchar_t c : shown) {
            chinese += c >= 0x4E00 && c <= 0x9FFF;
        }
    }
    EXPECT_GT(chinese, 0) << name << ": no Chinese text looked at";
}

using DialogGlyphsTest = MainDialogTest;

TEST_F(DialogGlyphsTest, SplashMainDialogAndEveryPageDrawTheirTextsWithGlyphs) {
    ASSERT_TRUE(splash.Show(instanceHandle));
    ExpectGlyphs(splash.window, "splash");
    splash.Close();
    Open();
    const struct {
        HWND dialog;
        const char* name;
    } dialogs[] = {{dialog_, "main"},
                   {mainTabs.Page(0), "video"},
                   {mainTabs.Page(1), "sound"},
                   {mainTabs.Page(2), "input"},
                   {inputTabs.Page(0), "keyboard"},
                   {inputTabs.Page(1), "mouse"},
                   {inputTabs.Page(2), "gamepad"}};
    for (const auto& shown : dialogs) {
        ExpectGlyphs(shown.dialog, shown.name);
    }
}

// Looked at while the box is up, from a timer its modal loop dispatches; then closed.
std::wstring boxMissing;
int boxTextsSeen;
bool boxTextFits;

BOOL CALLBACK InspectBox(HWND box, LPARAM) {
    wchar_t text[256] = {};
    GetClassNameW(box, text, 256);
    if (!IsWindowVisible(box) || lstrcmpW(text, L"#32770") != 0) {
        return TRUE;
    }
    for (HWND control = GetWindow(box, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        GetWindowTextW(control, text, 256);
        if (std::wstring(text).find(L"本程序需要DirectX8.1支持") == std::wstring::npos) {
            continue;
        }
        ++boxTextsSeen;
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        boxMissing += Missing(font, text);
        // Measured in its own font, the text fits its control: nothing is cut off.
        RECT client = {};
        GetClientRect(control, &client);
        RECT needed = client;
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        boxTextFits = needed.right <= client.right && needed.bottom <= client.bottom;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return FALSE;
}

VOID CALLBACK LookForBox(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), InspectBox, 0);
}

TEST(MessageBoxGlyphsTest, TheNoDirect3DBoxDrawsItsWholeTextWithGlyphs) {
    boxMissing.clear();
    boxTextsSeen = 0;
    boxTextFits = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, LookForBox);
    ReportMissingDirect3D();
    KillTimer(nullptr, timer);
    ASSERT_EQ(boxTextsSeen, 1);
    EXPECT_EQ(boxMissing, L"");
    EXPECT_TRUE(boxTextFits);
}

}  // namespace
