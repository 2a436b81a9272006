// The real main dialog over fake Direct3D 8, DirectInput and keys, with a settings file beside the
// test program. The helpers drive the controls as a player would, with the notifications they send.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_dialog.h"
#include "app/tab_sets.h"
#include "common/dialog_font.h"
#include "common/runtime.h"
#include "resource.h"
#include "tests/support/fake_direct3d.h"
#include "tests/support/fake_direct_input.h"
#include "tests/support/fake_keys.h"
#include "tests/support/test_files.h"

// A crash ends the run at once instead of waiting for Wine's debugger.
inline LONG CALLBACK EndOnCrash(EXCEPTION_POINTERS* crash) {
    fprintf(stderr, "crashed (%08lx)\n", crash->ExceptionRecord->ExceptionCode);
    ExitProcess(3);
}
inline const auto previousCrashFilter = SetUnhandledExceptionFilter(EndOnCrash);

class MainDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        instanceHandle = GetModuleHandleW(nullptr);
        ComputeModuleDirectory(nullptr, moduleDirectory);
        _putenv("LOG_ID=tst");
        path_ = ModuleFolder() + "save\\qr6_win3.tst";
        CreateDirectoryA((ModuleFolder() + "save").c_str(), nullptr);
        fakeControllers.clear();
        direct3d_.adapters.clear();
        SetDirectInputCreator(FakeDirectInput8Create);
    }
    void TearDown() override {
        Close();
        DeleteFileA(path_.c_str());
        _putenv("LOG_ID=");
        SetDirectInputCreator(nullptr);
    }
    // Writes the settings file (none for an empty text) and creates the main dialog over it;
    // then, unless atOnce, waits while it makes its other pages, as it does for a player.
    void Open(const std::string& fileText = "", bool atOnce = false) {
        Close();
        DeleteFileA(path_.c_str());
        ASSERT_TRUE(fileText.empty() || WriteFileText(path_, fileText));
        SetDirect3DSource([] { return static_cast<IDirect3D8*>(&direct3d_); });
        dialog_ = mainDialog =
            CreateProgramDialog(instanceHandle, IDD_MAIN, nullptr, MainDialogProc, 0);
        SetDirect3DSource(nullptr);
        ASSERT_NE(dialog_, nullptr);
        for (DWORD start = GetTickCount(); !atOnce && !IsChild(dialog_, inputTabs.Page(2));) {
            ASSERT_LT(GetTickCount() - start, 10000u) << "the pages were not made";
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            PumpPending();
        }
    }
    // The same over one section given as "Key=value Key=value ...".
    void OpenSection(const char* section, std::string entries) {
        std::replace(entries.begin(), entries.end(), ' ', '\n');
        Open(std::string("[") + section + "]\n" + entries + "\n");
    }
    void Close() {
        if (IsWindow(dialog_)) {
            DestroyWindow(dialog_);
        }
        PumpPending();  // takes the quit the dialog posts when it goes
    }
    void PressOk() {
        ClickButton(dialog_, IDC_OK);
        EXPECT_FALSE(IsWindow(dialog_));
    }
    // "Key=value Key=value ...": what the settings file holds in that section.
    void ExpectStored(const char* section, const std::string& entries) const {
        ExpectIniValues(ReadFileText(path_), section, entries);
    }

    static void PumpPending() {
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    static void Notify(HWND dialog, int id, WORD code) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    static void ClickButton(HWND dialog, int id) { Notify(dialog, id, BN_CLICKED); }
    static bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) != 0; }
    static bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
    // Clicks as a player does: a radio button clears the others of its group.
    static void SetCheck(HWND dialog, int id, bool checked) {
        if (IsChecked(dialog, id) != checked) {
            SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
        }
    }
    static void Tick(HWND page) { SendMessageW(page, WM_TIMER, 1, 0); }  // the capture timer
    static std::string ItemText(HWND dialog, int id) {  // of a combo box: its field
        char text[256] = {};
        return std::string(text, GetDlgItemTextA(dialog, id, text, sizeof text));
    }
    static void SelectEntry(HWND dialog, int id, int index) {
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
        Notify(dialog, id, CBN_SELCHANGE);
    }
    static std::string Entries(HWND dialog, int id) {
        std::string entries;
        for (int i = 0; i < SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
            std::string text(SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, i, 0) + 1, '\0');
            SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            entries += text.c_str() + std::string(",");
        }
        return entries;
    }
    // The tab control reports a new selection (TCM_SETCURSEL alone sends nothing).
    static void SelectTab(HWND parent, int tabControlId, int index) {
        HWND tabs = GetDlgItem(parent, tabControlId);
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
        NMHDR header = {tabs, static_cast<UINT_PTR>(tabControlId), TCN_SELCHANGE};
        SendMessageW(parent, WM_NOTIFY, tabControlId, reinterpret_cast<LPARAM>(&header));
    }

    static inline FakeDirect3D direct3d_;  // CreateDirect3D's source while a dialog is made
    FakeKeys keys_;
    HWND dialog_ = nullptr;
    std::string path_;
};
