// Tab pages: the page base class and the tab set that creates pages and switches between them.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Sent to a page right after its tab set has shown it.
constexpr UINT WM_PAGESHOWN = WM_USER + 1;

class OptionPage {
  public:
    OptionPage() : window(nullptr) {}
    virtual void OnShown() {}
    void Attach(HWND dialog) { window = dialog; }
    HWND Window() const { return window; }
    // A page whose window was never created (or is gone) has nothing to collect.
    bool HasWindow() const { return window != nullptr && IsWindow(window); }

  protected:
    HWND window;
};

// One tab of a set: its GBK text, its icon (0 for none), and the page dialog behind it. A tab
// without a procedure has no page yet; selecting it shows nothing.
struct TabPageEntry {
    const char* text;
    int iconId;
    int dialogId;
    DLGPROC procedure;
};

class TabPageSet {
  public:
    static constexpr int kMaxPages = 10;

    TabPageSet();
    virtual ~TabPageSet();
    TabPageSet(const TabPageSet&) = delete;
    TabPageSet& operator=(const TabPageSet&) = delete;

    // Binds the set to the parent dialog and its tab control; returns the tab control.
    virtual HWND Build(HWND parentWindow, int tabControlId, int count);
    // Hides the current page and shows the one at index over the tab control's display area.
    virtual void Select(int index);
    // Fed with the code of the tab control's WM_NOTIFY.
    void OnNotify(int code);
    // A WM_NOTIFY the parent received: only this set's tab control is answered.
    void OnParentNotify(const NMHDR* header);

    HWND Page(int index) const;
    int CurrentIndex() const { return currentIndex; }
    HWND TabControl() const { return tabControl; }
    HIMAGELIST ImageList() const { return imageList; }

  protected:
    // Inserts the tabs and creates their pages (hidden), then selects the first.
    void BuildTabs(const TabPageEntry* entries, int entryCount, bool withIcons);

    HWND pages[kMaxPages];
    HWND tabControl;
    HWND parent;
    int currentIndex;
    HIMAGELIST imageList;
    int pageCount;
};
