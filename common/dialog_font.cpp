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

// Where a dialog template (DLGTEMPLATEEX, or DLGTEMPLATE) keeps its style and its font.
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

// False when the template is too short to hold its header; a font that cannot be read is
// reported as none.
bool ReadLayout(const BYTE* data, DWORD size, TemplateLayout* layout) {
    *layout = TemplateLayout{};
    if (size < 18) {
        return false;
    }
    // An extended template starts with version 1 and 0xFFFF; its style follows the help id and
    // the extended style. A plain template starts with its style.
    const bool extended = WordAt(data, 0) == 1 && WordAt(data, 2) == 0xFFFF;
    DWORD offset = extended ? 26 : 18;
    layout->styleOffset = extended ? 12 : 0;
    DWORD style;
    memcpy(&style, data + layout->styleOffset, sizeof style);
    if ((style & DS_SETFONT) == 0 || size < offset || !SkipNameOrOrdinal(data, size, &offset) ||
        !SkipNameOrOrdinal(data, size, &offset) || !SkipString(data, size, &offset) ||
        offset + (extended ? 6 : 2) > size) {
        return true;
    }
    layout->points = WordAt(data, offset);
    layout->font.lfCharSet = DEFAULT_CHARSET;
    if (extended) {
        layout->font.lfWeight = WordAt(data, offset + 2);
        layout->font.lfItalic = data[offset + 4];
        layout->font.lfCharSet = data[offset + 5];
    }
    offset += extended ? 6 : 2;
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
