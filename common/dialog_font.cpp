// Dialogs and message boxes drawn in a face that has glyphs for the program's Chinese texts.
#include "common/dialog_font.h"

#include <algorithm>
#include <cstring>

namespace {

// Characters of the program's texts. A Latin face lacks them all; a Japanese or Korean face
// lacks the simplified forms among them.
const wchar_t kProbeText[] = L"环境设定启动画面声音输入游戏开始存盘文件夹取消键盘鼠标手柄";

// The classic Windows faces for simplified Chinese, preferred in this order where installed,
// under their English and their Chinese names (the font list gives one or the other).
const wchar_t* const kClassicFaces[] = {L"SimSun",          L"宋体",     L"NSimSun", L"新宋体",
                                        L"Microsoft YaHei", L"微软雅黑", L"SimHei",  L"黑体"};
constexpr int kClassicCount = sizeof kClassicFaces / sizeof kClassicFaces[0];
constexpr int kMaxOtherFaces = 8;

// True when font has a glyph for every character of text; control characters are not drawn.
bool HasGlyphs(HDC dc, HFONT font, const wchar_t* text) {
    if (font == nullptr) {
        return false;
    }
    HGDIOBJ old = SelectObject(dc, font);
    bool all = true;
    for (const wchar_t* c = text; all && *c != L'\0'; ++c) {
        WORD glyph = 0xFFFF;
        if (*c >= L' ') {
            all = GetGlyphIndicesW(dc, c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
                  glyph != 0xFFFF;
        }
    }
    SelectObject(dc, old);
    return all;
}

// The font asked for, in the given face: does it have the glyphs of text?
bool FaceHasGlyphs(HDC dc, LOGFONTW asked, const wchar_t* face, const wchar_t* text) {
    lstrcpynW(asked.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&asked);
    const bool has = HasGlyphs(dc, font, text);
    if (font != nullptr) {
        DeleteObject(font);
    }
    return has;
}

struct FaceList {
    unsigned classicFound;  // bit i: kClassicFaces[i] is installed
    int otherCount;
    wchar_t others[kMaxOtherFaces][LF_FACESIZE];
};

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM parameter) {
    FaceList* list = reinterpret_cast<FaceList*>(parameter);
    const wchar_t* face = font->lfFaceName;
    if (face[0] == L'@') {
        return 1;  // the same face turned for vertical writing
    }
    for (int i = 0; i < kClassicCount; ++i) {
        if (lstrcmpiW(face, kClassicFaces[i]) == 0) {
            list->classicFound |= 1u << i;
            return 1;
        }
    }
    for (int i = 0; i < list->otherCount; ++i) {
        if (lstrcmpiW(face, list->others[i]) == 0) {
            return 1;
        }
    }
    if (list->otherCount < kMaxOtherFaces) {
        lstrcpynW(list->others[list->otherCount++], face, LF_FACESIZE);
    }
    return 1;
}

// An installed face for simplified Chinese with the glyphs of the program's texts: a classic
// face first, then any other. Looked for once per run, the first time a face lacks them.
const wchar_t* CoveringFace(HDC dc, const LOGFONTW& asked) {
    static bool searched = false;
    static wchar_t found[LF_FACESIZE];
    if (!searched) {
        searched = true;
        FaceList list = {};
        LOGFONTW wanted = {};
        wanted.lfCharSet = GB2312_CHARSET;
        EnumFontFamiliesExW(dc, &wanted, CollectFace, reinterpret_cast<LPARAM>(&list), 0);
        for (int i = 0; i < kClassicCount + list.otherCount && found[0] == L'\0'; ++i) {
            const wchar_t* face = nullptr;
            if (i >= kClassicCount) {
                face = list.others[i - kClassicCount];
            } else if ((list.classicFound >> i) & 1u) {
                face = kClassicFaces[i];
            }
            if (face != nullptr && FaceHasGlyphs(dc, asked, face, kProbeText)) {
                lstrcpynW(found, face, LF_FACESIZE);
            }
        }
    }
    return found[0] != L'\0' ? found : nullptr;
}

// The face to put in place of a dialog font's own, or null when its own has the glyphs (or no
// installed face has). Decided once per face name: every template names the same one.
const wchar_t* SubstituteFor(LOGFONTW asked, WORD points) {
    static wchar_t checkedFace[LF_FACESIZE];
    static const wchar_t* substitute;
    if (checkedFace[0] == L'\0' || lstrcmpW(checkedFace, asked.lfFaceName) != 0) {
        lstrcpynW(checkedFace, asked.lfFaceName, LF_FACESIZE);
        HDC dc = GetDC(nullptr);
        asked.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
        substitute = nullptr;
        if (!FaceHasGlyphs(dc, asked, asked.lfFaceName, kProbeText)) {
            substitute = CoveringFace(dc, asked);
        }
        ReleaseDC(nullptr, dc);
    }
    return substitute;
}

// Where an extended dialog template (DLGTEMPLATEEX, as every template of the program is) keeps
// its style and its font.
struct TemplateLayout {
    DWORD styleOffset;
    DWORD faceOffset;   // 0 when the template names no font
    DWORD itemsOffset;  // the first item: the DWORD boundary after the face name
    WORD points;
    LOGFONTW font;  // weight, italic, character set and face as the dialog manager takes them
};

WORD WordAt(const BYTE* data, DWORD offset) {
    WORD value;
    memcpy(&value, data + offset, sizeof value);
    return value;
}

// Moves offset past a terminated string; false when it runs past size.
bool SkipString(const BYTE* data, DWORD size, DWORD* offset) {
    for (;;) {
        if (*offset + 2 > size) {
            return false;
        }
        *offset += 2;
        if (WordAt(data, *offset - 2) == 0) {
            return true;
        }
    }
}

// A menu or class field: 0xFFFF and an ordinal, or a string (empty: none).
bool SkipNameOrOrdinal(const BYTE* data, DWORD size, DWORD* offset) {
    if (*offset + 2 <= size && WordAt(data, *offset) == 0xFFFF) {
        *offset += 4;
        return *offset <= size;
    }
    return SkipString(data, size, offset);
}

// False when the template is not an extended one; a font that cannot be read is reported as
// none.
bool ReadLayout(const BYTE* data, DWORD size, TemplateLayout* layout) {
    *layout = TemplateLayout{};
    // It starts with version 1 and 0xFFFF; its style follows the help id and extended style.
    if (size < 26 || WordAt(data, 0) != 1 || WordAt(data, 2) != 0xFFFF) {
        return false;
    }
    DWORD offset = 26;
    layout->styleOffset = 12;
    DWORD style;
    memcpy(&style, data + layout->styleOffset, sizeof style);
    if ((style & DS_SETFONT) == 0 || !SkipNameOrOrdinal(data, size, &offset) ||
        !SkipNameOrOrdinal(data, size, &offset) || !SkipString(data, size, &offset) ||
        offset + 6 > size) {
        return true;
    }
    layout->points = WordAt(data, offset);
    layout->font.lfWeight = WordAt(data, offset + 2);
    layout->font.lfItalic = data[offset + 4];
    layout->font.lfCharSet = data[offset + 5];
    offset += 6;
    const DWORD face = offset;
    if (!SkipString(data, size, &offset) || (offset - face) / 2 > LF_FACESIZE) {
        return true;
    }
    memcpy(layout->font.lfFaceName, data + face, offset - face);
    layout->faceOffset = face;
    layout->itemsOffset = std::min<DWORD>((offset + 3) & ~3u, size);
    return true;
}

// A copy of the template with face (when given) in place of its own face name and without the
// removed style bits. The items move by whole DWORDs, so their alignment holds. HeapFree it.
void* PatchedCopy(const BYTE* data, DWORD size, const TemplateLayout& layout, const wchar_t* face,
                  DWORD removedStyle) {
    DWORD faceEnd = 0;
    DWORD copySize = size;
    if (face != nullptr) {
        faceEnd = layout.faceOffset + static_cast<DWORD>((lstrlenW(face) + 1) * sizeof(wchar_t));
        copySize = ((faceEnd + 3) & ~3u) + (size - layout.itemsOffset);
    }
    BYTE* copy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, copySize));
    if (copy == nullptr) {
        return nullptr;
    }
    if (face == nullptr) {
        memcpy(copy, data, size);
    } else {
        memcpy(copy, data, layout.faceOffset);
        memcpy(copy + layout.faceOffset, face, faceEnd - layout.faceOffset);
        memcpy(copy + ((faceEnd + 3) & ~3u), data + layout.itemsOffset, size - layout.itemsOffset);
    }
    DWORD style;
    memcpy(&style, copy + layout.styleOffset, sizeof style);
    style &= ~removedStyle;
    memcpy(copy + layout.styleOffset, &style, sizeof style);
    return copy;
}

// The message box on show, and the font its text gets while it is up.
struct BoxFont {
    HHOOK hook;
    HFONT font;
    bool given;
};
BoxFont boxFont;

// The box's text is its static control with a text (the icon is a static control too).
HWND FindBoxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16];
        GetClassNameW(child, className, 16);
        const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        if (lstrcmpiW(className, L"Static") == 0 && type != SS_ICON && type != SS_BITMAP &&
            GetWindowTextLengthW(child) > 0) {
            return child;
        }
    }
    return nullptr;
}

RECT RectInParent(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The box measured its text in the system's font; in the new face the text needs more room.
// The text control grows to what the text needs (no wider than three quarters of the work area)
// and the box with it, keeping its centre; the buttons below the text move along.
void GrowToFit(HWND box, HWND text, HFONT font) {
    wchar_t content[1024];
    GetWindowTextW(text, content, 1024);
    RECT client;
    GetClientRect(text, &client);
    RECT boxRect;
    GetWindowRect(box, &boxRect);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int margins = (boxRect.right - boxRect.left) - client.right;
    RECT needed = {0, 0, std::max<LONG>(client.right, (work.right - work.left) * 3 / 4 - margins),
                   0};
    UINT format = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
    if ((GetWindowLongW(text, GWL_STYLE) & SS_NOPREFIX) != 0) {
        format |= DT_NOPREFIX;
    }
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, content, -1, &needed, format);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    const int dx = std::max<LONG>(0, needed.right - client.right);
    const int dy = std::max<LONG>(0, needed.bottom - client.bottom);
    if (dx == 0 && dy == 0) {
        return;
    }
    RECT boxClient;
    GetClientRect(box, &boxClient);
    const RECT textRect = RectInParent(text, box);
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = RectInParent(child, box);
        if (child != text && rect.top >= textRect.bottom) {
            // Centred buttons move by half the growth, right-aligned ones by all of it.
            const int x = rect.left + MulDiv(dx, (rect.left + rect.right) / 2, boxClient.right);
            SetWindowPos(child, nullptr, x, rect.top + dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left + dx,
                 textRect.bottom - textRect.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(box, nullptr, boxRect.left - dx / 2, boxRect.top - dy / 2,
                 boxRect.right - boxRect.left + dx, boxRect.bottom - boxRect.top + dy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The box is laid out and about to show when it is first activated.
LRESULT CALLBACK GiveBoxItsFont(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !boxFont.given) {
        boxFont.given = true;
        HWND box = reinterpret_cast<HWND>(wParam);
        HWND text = FindBoxText(box);
        if (text != nullptr) {
            SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(boxFont.font), FALSE);
            GrowToFit(box, text, boxFont.font);
        }
    }
    return CallNextHookEx(boxFont.hook, code, wParam, lParam);
}

// The message font in a face that has the glyphs of text; null when the message font has them
// itself, or when no installed face has them either.
HFONT MessageFontFor(const wchar_t* text) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    LOGFONTW asked = metrics.lfMessageFont;
    HDC dc = GetDC(nullptr);
    HFONT font = nullptr;
    if (!FaceHasGlyphs(dc, asked, asked.lfFaceName, text)) {
        const wchar_t* face = CoveringFace(dc, asked);
        if (face != nullptr) {
            lstrcpynW(asked.lfFaceName, face, LF_FACESIZE);
            font = CreateFontIndirectW(&asked);
            if (font != nullptr && !HasGlyphs(dc, font, text)) {
                DeleteObject(font);
                font = nullptr;
            }
        }
    }
    ReleaseDC(nullptr, dc);
    return font;
}

}  // namespace

HWND CreateProgramDialog(HINSTANCE instance, int dialogId, HWND parent, DLGPROC procedure,
                         LPARAM parameter, DWORD removedStyle) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(dialogId), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
    TemplateLayout layout;
    void* copy = nullptr;
    if (data != nullptr && ReadLayout(data, size, &layout)) {
        const wchar_t* face =
            layout.faceOffset != 0 ? SubstituteFor(layout.font, layout.points) : nullptr;
        if (face != nullptr || removedStyle != 0) {
            copy = PatchedCopy(data, size, layout, face, removedStyle);
        }
    }
    if (copy == nullptr) {
        // Nothing to change; or left to the dialog manager, which then fails the same way or
        // makes the dialog as its template says.
        return CreateDialogParamW(instance, MAKEINTRESOURCEW(dialogId), parent, procedure,
                                  parameter);
    }
    HWND dialog = CreateDialogIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(copy), parent,
                                             procedure, parameter);
    HeapFree(GetProcessHeap(), 0, copy);
    return dialog;
}

int ProgramMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    // A box shown while another is up keeps the system's font: the hook serves one box.
    HFONT font = boxFont.hook == nullptr ? MessageFontFor(text) : nullptr;
    if (font != nullptr) {
        boxFont.font = font;
        boxFont.given = false;
        boxFont.hook = SetWindowsHookExW(WH_CBT, GiveBoxItsFont, nullptr, GetCurrentThreadId());
    }
    const int result = MessageBoxW(owner, text, caption, type);
    if (font != nullptr) {
        if (boxFont.hook != nullptr) {
            UnhookWindowsHookEx(boxFont.hook);
        }
        boxFont = BoxFont{};
        DeleteObject(font);
    }
    return result;
}
