// Tab pages: the page base class and the tab set that creates pages and switches between them.
#include "common/page_framework.h"

#include <algorithm>

#include "common/dialog_font.h"
#include "common/dialog_text.h"

TabPageSet::TabPageSet()
    : pages(),
      entries(nullptr),
      tried(),
      tabControl(nullptr),
      parent(nullptr),
      currentIndex(0),
      imageList(nullptr),
      pageCount(0) {}

TabPageSet::~TabPageSet() {
    if (imageList != nullptr) {
        ImageList_Destroy(imageList);
        imageList = nullptr;
    }
}

HWND TabPageSet::Build(HWND parentWindow, int tabControlId, int count) {
    pageCount = std::clamp(count, 0, kMaxPages);
    parent = parentWindow;
    tabControl = GetDlgItem(parentWindow, tabControlId);
    return tabControl;
}

HWND TabPageSet::Page(int index) const {
    return (index >= 0 && index < kMaxPages) ? pages[index] : nullptr;
}

void TabPageSet::BuildTabs(const TabPageEntry* tabEntries, int entryCount, bool withIcons) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    entries = tabEntries;
    pageCount = std::min(pageCount, entryCount);
    currentIndex = 0;
    std::fill(pages, pages + kMaxPages, nullptr);
    std::fill(tried, tried + kMaxPages, false);
    if (withIcons) {
        if (imageList != nullptr) {
            ImageList_Destroy(imageList);
        }
        // 24-bit colour: the default of 16 colours would spoil the 256-colour tab icons.
        imageList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, pageCount, 0);
        SendMessageW(tabControl, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imageList));
    }
    for (int i = 0; i < pageCount; ++i) {
        const TabPageEntry& entry = entries[i];
        wchar_t text[64];
        TextToWide(entry.text, kProgramCodePage, text, 64);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        if (withIcons) {
            // Loaded at the list's size: LoadIcon would stretch the 16-pixel image to 32 first.
            HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(entry.iconId),
                                                       IMAGE_ICON, 16, 16, LR_SHARED));
            item.mask |= TCIF_IMAGE;
            item.iImage = ImageList_ReplaceIcon(imageList, -1, icon);
        }
        SendMessageW(tabControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

HWND TabPageSet::CreatePage(int index) {
    if (index < 0 || index >= pageCount || entries == nullptr) {
        return nullptr;
    }
    const TabPageEntry& entry = entries[index];
    const bool first = !tried[index];
    tried[index] = true;  // once: a page that failed, or a tab without one, is not tried again
    if (first && entry.procedure != nullptr) {
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
        // Created hidden, whatever the template says. A visible page template (DS_CONTROL with
        // WS_VISIBLE) is shown and given the focus while it is created: the focus notifications
        // would run the page's list commands again, and a page made while the player works on
        // another would take the focus from it. Select shows the page.
        pages[index] =
            CreateProgramDialog(instance, entry.dialogId, parent, entry.procedure, 0, WS_VISIBLE);
        if (pages[index] != nullptr) {
            ShowWindow(pages[index], SW_HIDE);
        }
    }
    return pages[index];
}

bool TabPageSet::CreateNextPage() {
    for (int i = 0; i < pageCount; ++i) {
        if (!tried[i]) {
            CreatePage(i);
            return true;
        }
    }
    return false;
}

void TabPageSet::Select(int index) {
    if (index < 0 || index >= pageCount) {
        return;
    }
    if (pages[currentIndex] != nullptr) {
        ShowWindow(pages[currentIndex], SW_HIDE);
    }
    currentIndex = index;
    HWND page = CreatePage(index);
    if (page != nullptr) {
        // Without the tab control's rectangle the page keeps the place it has.
        RECT area = {};
        if (GetWindowRect(tabControl, &area)) {
            MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
            SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
            MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       TRUE);
        }
        ShowWindow(page, SW_SHOWNORMAL);
        SendMessageW(page, WM_PAGESHOWN, 0, 0);
    }
    SetFocus(tabControl);
}

// Every selection change arrives here, so the tab shown and the page shown always agree.
// TCN_SELCHANGING is ignored: a page change is never refused.
void TabPageSet::OnNotify(int code) {
    if (code == static_cast<int>(TCN_SELCHANGE)) {
        Select(static_cast<int>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0)));
    }
}

void TabPageSet::OnParentNotify(const NMHDR* header) {
    if (tabControl != nullptr &&
        header->idFrom == static_cast<UINT_PTR>(GetDlgCtrlID(tabControl))) {
        OnNotify(static_cast<int>(header->code));
    }
}
