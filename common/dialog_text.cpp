// Showing 8-bit texts in the Unicode dialogs, so they read right on any system code page.
#include "common/dialog_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/dialog_font.h"

int TextToWide(const char* text, UINT codePage, wchar_t* out, int outCount) {
    if (outCount <= 0) {
        return 0;
    }
    out[0] = L'\0';
    int length = static_cast<int>(strlen(text));
    if (length == 0) {
        return 0;
    }
    int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0) {
        return 0;
    }
    if (needed < outCount) {
        int written = MultiByteToWideChar(codePage, 0, text, length, out, outCount - 1);
        out[written] = L'\0';
        return written;
    }
    // Too long: convert whole into a scratch buffer and keep what fits.
    wchar_t* scratch =
        static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, needed * sizeof(wchar_t)));
    if (scratch == nullptr) {
        return 0;
    }
    MultiByteToWideChar(codePage, 0, text, length, scratch, needed);
    int kept = outCount - 1;
    if (kept > 0 && IS_HIGH_SURROGATE(scratch[kept - 1])) {
        --kept;
    }
    memcpy(out, scratch, kept * sizeof(wchar_t));
    out[kept] = L'\0';
    HeapFree(GetProcessHeap(), 0, scratch);
    return kept;
}

static BOOL SetItemTextIn(HWND dialog, int id, const char* text, UINT codePage) {
    wchar_t wide[1024];
    TextToWide(text, codePage, wide, 1024);
    return SetDlgItemTextW(dialog, id, wide);
}

BOOL SetItemTextGbk(HWND dialog, int id, const char* text) {
    return SetItemTextIn(dialog, id, text, kProgramCodePage);
}

BOOL SetItemTextSystem(HWND dialog, int id, const char* text) {
    return SetItemTextIn(dialog, id, text, CP_ACP);
}

int FormatItemText(HWND dialog, int id, const char* format, ...) {
    char buffer[256];
    memset(buffer, 0, sizeof buffer);
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    SetItemTextGbk(dialog, id, buffer);
    return static_cast<int>(strlen(buffer));
}

int MessageBoxGbk(HWND owner, const char* text, const char* caption, UINT type) {
    wchar_t wideText[1024];
    wchar_t wideCaption[256];
    TextToWide(text, kProgramCodePage, wideText, 1024);
    TextToWide(caption, kProgramCodePage, wideCaption, 256);
    return ProgramMessageBox(owner, wideText, wideCaption, type);
}
