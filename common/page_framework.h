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
// without a procedure has no page; selecting it shows nothing.
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
    // Hides the current page and shows the one at index over the tab control's display area,
    // creating it first if it does not exist yet.
    virtual void Select(int index);
    // Creates the page at index, hidden, unless its creation was tried before; returns the page
    // (null for a tab without one or a page that could not be created).
    HWND CreatePage(int index);
    // Creates the first page not tried yet, in tab order; false when none is left.
    bool CreateNextPage();
    // Fed with the code of the tab control's WM_NOTIFY.
    void OnNotify(int code);
    // A WM_NOTIFY the parent received: only this set's tab control is answered.
    void OnParentNotify(const NMHDR* header);

    HWND Page(int index) const;
    int CurrentIndex() const { return currentIndex; }
    HWND TabControl() const { return tabControl; }
    HIMAGELIST ImageList() const { return imageList; }

  protected:
    // Inserts the tabs. Their pages are created by Select or CreatePage; none is selected yet.
    void BuildTabs(const TabPageEntry* tabEntries, int entryCount, bool withIcons);

    HWND pages[kMaxPages];
    const TabPageEntry* entries;
    bool tried[kMaxPages];  // the page's creation was tried
    HWND tabControl;
    HWND parent;
    int currentIndex;
    HIMAGELIST imageList;
    int pageCount;
};
