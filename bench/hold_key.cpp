// Drives a running setloom.exe for the hold-key benchmark: waits two seconds idle, starts a
// keyboard capture and lets its timer tick two seconds with no key down, holds "J" by SendInput
// for two seconds (the capture takes it and waits for its release), releases it and cancels.
// Each phase is marked by a line in the file named on the command line, so the script that
// reads the program's processor time from outside knows when to read it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "resource.h"

static FILE* marks;

static void Mark(const char* text) {
    fprintf(marks, "%s\n", text);
    fflush(marks);
}

static HWND FindPage(HWND parent, int idInPage) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (wcscmp(className, L"#32770") == 0 && GetDlgItem(child, idInPage) != nullptr) {
            return child;
        }
    }
    return nullptr;
}

static void SendKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

static const DWORD kPhaseMs = 2000;

int main(int argc, char** argv) {
    if (argc < 2 || (marks = fopen(argv[1], "w")) == nullptr) {
        fprintf(stderr, "usage: hold_key.exe marks-file\n");
        return 2;
    }
    // The dialog exists before its pages: wait for the keyboard page itself.
    HWND dialog = nullptr;
    HWND keyboard = nullptr;
    for (int waited = 0; waited < 600 && keyboard == nullptr; ++waited) {
        Sleep(50);
        dialog = FindWindowW(L"#32770", L"Lumenreach 环境设定");
        HWND input = dialog != nullptr ? FindPage(dialog, IDC_INPUT_TABS) : nullptr;
        keyboard = input != nullptr ? FindPage(input, IDC_KEY_WALK_RUN) : nullptr;
    }
    if (keyboard == nullptr) {
        Mark("error no keyboard page");
        return 1;
    }
    Sleep(1000);  // start-up settles
    // A capture runs only on a page the player can see: the input tab, two to the right of the
    // video tab the program starts on, brings the keyboard page to the front.
    HWND tabs = GetDlgItem(dialog, IDC_MAIN_TABS);
    for (int step = 0; step < 2; ++step) {
        PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
        PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);
    }
    for (int waited = 0; waited < 100 && !IsWindowVisible(keyboard); ++waited) {
        Sleep(50);
    }
    if (!IsWindowVisible(keyboard)) {
        Mark("error keyboard page not shown");
        return 1;
    }

    Mark("idle-start");
    Sleep(kPhaseMs);
    Mark("idle-end");

    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(keyboard, IDC_KEY_WALK_RUN), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                        &result);
    Sleep(100);  // the capture timer runs
    Mark("tick-start");
    Sleep(kPhaseMs);
    Mark("tick-end");
    SendKey('J', true);
    Sleep(100);  // the tick takes "J" and the page waits for its release
    Mark("hold-start");
    Sleep(kPhaseMs);
    Mark("hold-end");
    SendKey('J', false);

    wchar_t label[16] = {};
    SendMessageTimeoutW(GetDlgItem(keyboard, IDC_KEY_WALK_RUN_NAME), WM_GETTEXT, 16,
                        reinterpret_cast<LPARAM>(label), SMTO_NORMAL, 5000, &result);
    fprintf(marks, "label %ls\n", label);
    SendMessageTimeoutW(GetDlgItem(dialog, IDC_CANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
    Mark("done");
    fclose(marks);
    return 0;
}
