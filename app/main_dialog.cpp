// The main dialog (106): start-up, the four buttons, and the end of the program.
#include "app/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/input_page.h"
#include "app/splash.h"
#include "app/tab_sets.h"
#include "common/dialog_font.h"
#include "common/dialog_text.h"
#include "common/runtime.h"
#include "common/trace.h"
#include "display/device_caps.h"
#include "display/video_page.h"
#include "input/input_devices.h"
#include "resource.h"
#include "settings/save_folder.h"
#include "settings/settings_record.h"
#include "sound/sound_page.h"

const wchar_t kMainCaption[] = L"Lumenreach 环境设定";
static const char kGameFileName[] = "qr6_win3.exe";

HWND mainDialog;
static HICON mainIcon;
static int quitCode;  // 1 when the program ends because Direct3D 8 is missing
// Makes the pages not shown at start-up. A timer, not posted messages: WM_TIMER comes only when
// no input, paint or posted message waits, so the player is never kept waiting behind them.
static const UINT_PTR kPagesTimer = 1;

// A message box of the program's own GBK texts around a path in the system's code page.
static void ShowPathMessage(HWND dialog, const char* before, const char* path, const char* after) {
    wchar_t message[1024];
    int used = TextToWide(before, kProgramCodePage, message, 1024);
    used += TextToWide(path, CP_ACP, message + used, 1024 - used);
    TextToWide(after, kProgramCodePage, message + used, 1024 - used);
    ProgramMessageBox(dialog, message, kMainCaption, MB_OK | MB_ICONERROR);
}

void ReportMissingDirect3D() {
    ShowCursor(TRUE);
    MessageBoxGbk(nullptr, "本程序需要DirectX8.1支持。\n请安装DirectX8.1以上版本。",
                  "HalvorineⅥ 启动错误", MB_ICONERROR | MB_SETFOREGROUND);
    ShowCursor(FALSE);
}

static void OnInitDialog(HWND dialog) {
    splash.Show(instanceHandle);
    mainIcon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon));
    InitCommonControls();
    const bool settingsRead = LoadRegistry();
    quitCode = 0;
    if (!CreateDirect3D()) {
        // Without Direct3D 8 the game cannot run: the player is told, nothing is stored, and
        // the program ends with 1.
        ReportMissingDirect3D();
        quitCode = 1;
        splash.Close();
        DestroyWindow(dialog);
        return;
    }
    // Without DirectInput the program still starts; the gamepad page then stays disabled.
    InitDirectInput(dialog);
    ShowWindow(dialog, SW_SHOW);
    mainTabs.Build(dialog, IDC_MAIN_TABS, 3);
    // Without the timer the pages are made when shown or stored.
    SetTimer(dialog, kPagesTimer, USER_TIMER_MINIMUM, nullptr);
    splash.Close();
    if (!settingsRead) {
        // Told before anything is changed: what the pages show is not the player's settings.
        ShowPathMessage(dialog, "无法读取设定文件：\n", SettingsFilePath,
                        "\n\n该文件存在，但现在无法打开或读取（也许正被其他程序使用）。"
                        "为了不覆盖其中的设定，本次不会保存任何更改，各页显示的是默认设定。"
                        "请关闭使用该文件的程序，然后重新启动本程序。");
    }
}

// Tells the player that the settings did not reach the file.
static void ShowStoreFailure(HWND dialog) {
    ShowPathMessage(dialog, "设定没有保存成功，无法写入设定文件：\n", SettingsFilePath,
                    "\n\n请确认该文件不是只读文件、存盘文件夹可以写入，然后再试一次。");
}

// Every page copies its controls into SettingsRecord (a page still waiting to be made is made
// first), then the file is written. False when the store failed: the player has been told and
// the dialog stays open.
static bool StoreSettings(HWND dialog) {
    CreateWaitingPages();
    videoPage.Collect();
    soundPage.Collect();
    inputPage.Collect();
    if (SaveRegistry()) {
        return true;
    }
    ShowStoreFailure(dialog);
    return false;
}

static void OnStartGame(HWND dialog) {
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(dialog);
    if (!StoreSettings(dialog)) {
        return;
    }
    // The game is looked up beside this program, not in whatever folder we were started from,
    // and runs with that folder as its own.
    char game[kPathSize];
    HINSTANCE started = nullptr;
    if (CopyText(game, sizeof game, moduleDirectory) &&
        AppendText(game, sizeof game, kGameFileName)) {
        started = ShellExecuteA(nullptr, "open", game, nullptr, moduleDirectory, SW_SHOWNORMAL);
    }
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        DebugTrace("StartGame: '%s' not started\n", game);
        ShowPathMessage(dialog, "游戏无法启动，找不到或无法运行：\n", game, "\n\n设定已经保存。");
        return;
    }
    DestroyWindow(dialog);
}

static void OnOk(HWND dialog) {
    if (StoreSettings(dialog)) {
        DestroyWindow(dialog);
    }
}

static void OnOpenSaveFolder(HWND dialog) {
    char path[kPathSize];
    char folder[kPathSize];
    // A folder path that does not fit comes back empty: never open a cut one.
    HINSTANCE opened = nullptr;
    MakeSavePath(path, folder, kSettingsFileName);
    if (folder[0] != '\0') {
        opened = ShellExecuteA(nullptr, "explore", folder, nullptr, nullptr, SW_SHOW);
    }
    if (reinterpret_cast<INT_PTR>(opened) <= 32) {
        DebugTrace("OpenSaveFolder: '%s' not opened\n", folder);
        ShowPathMessage(dialog, "无法打开存盘文件夹：\n", folder, "");
    }
}

static void OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDC_START_GAME:
            OnStartGame(dialog);
            break;
        case IDC_OK:
            OnOk(dialog);
            break;
        case IDC_CANCEL:
            DestroyWindow(dialog);
            break;
        case IDC_SAVE_FOLDER:
            OnOpenSaveFolder(dialog);
            break;
        default:
            break;  // IDCANCEL from the Esc key included: Esc does not close the dialog
    }
}

static void OnTimer(HWND dialog, UINT_PTR id) {
    if (id == kPagesTimer && !CreateNextWaitingPage()) {
        KillTimer(dialog, kPagesTimer);
    }
}

static void OnDestroy() {
    if (mainIcon != nullptr) {
        DestroyIcon(mainIcon);
        mainIcon = nullptr;
    }
    if (DeviceCaps.direct3d != nullptr) {
        DeviceCaps.direct3d->Release();
        DeviceCaps.direct3d = nullptr;
    }
    ReleaseDirectInput();
    PostQuitMessage(quitCode);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return FALSE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam));
            return FALSE;
        case WM_TIMER:
            OnTimer(dialog, wParam);
            return FALSE;
        case WM_NOTIFY:
            mainTabs.OnParentNotify(reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        case WM_CLOSE:
            // The close box and Alt+F4 act as the cancel button: nothing is stored.
            PostMessageW(dialog, WM_COMMAND, IDC_CANCEL, 0);
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
    }
    return FALSE;
}
