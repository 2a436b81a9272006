// Starts setloom.exe in fresh game folders and drives it from another process, as a player
// would, then checks the settings file it leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "tests/support/test_files.h"

namespace {

const wchar_t kCaption[] = L"Lumenreach 环境设定";
const DWORD kStartTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 30000;

// A game folder holding a copy of the program (and, when asked, the stand-in game).
class GameFolder {
  public:
    explicit GameFolder(bool withGame = false) {
        std::string bin = ModuleFolder();
        // The shipped build when the run names it, else the one built beside the tests.
        const char* shipped = getenv("SETLOOM_PROGRAM");
        std::string program = shipped != nullptr ? shipped : bin + "setloom.exe";
        EXPECT_TRUE(CopyFileA(program.c_str(), (folder_ / "setloom.exe").c_str(), FALSE));
        if (withGame) {
            EXPECT_TRUE(CopyFileA((bin + "qr6_win3.exe").c_str(),
                                  (folder_ / "qr6_win3.exe").c_str(), FALSE));
        }
    }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    std::string SettingsFile() const { return folder_ / "save\\qr6_win3.ini"; }
    const std::string& path() const { return folder_.path(); }

  private:
    TempFolder folder_{"game"};
};

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One running setloom.exe.
class Program {
  public:
    explicit Program(const GameFolder& game)
        : command_("\"" + (game / "setloom.exe") + "\""), folder_(game.path()) {
        Start();
    }
    ~Program() { Release(); }
    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }

    // The visible main dialog of this process, or null when it did not come up in time.
    HWND WaitForDialog() {
        for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
            HWND found = nullptr;
            while ((found = FindWindowExW(nullptr, found, L"#32770", kCaption)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                // Start-up ends with the splash gone and only the main dialog left.
                if (owner == id() && GetWindow(found, GW_OWNER) == nullptr &&
                    VisibleWindowsOf(id()) == std::vector<HWND>{found}) {
                    return found;
                }
            }
            if (!started_ || WaitForSingleObject(process_.hProcess, 50) != WAIT_TIMEOUT) {
                // Now and then Wine fails to start a process at all: it is gone at once, having
                // shown nothing. Such a start is tried again a bounded number of times.
                if (GetTickCount() - startedAt_ < kFailedStartMs && starts_ < kMaxStarts) {
                    Release();
                    Sleep(500);
                    Start();
                    waited = 0;
                    continue;
                }
                ADD_FAILURE() << "setloom.exe ended before its dialog came up (exit "
                              << WaitForExit(0) << ", " << starts_ << " starts)";
                return nullptr;
            }
        }
        return nullptr;
    }

    // The exit code, or a negative value when the program is still running after the wait.
    long WaitForExit(DWORD timeoutMs = kExitTimeoutMs) const {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

  private:
    static const DWORD kFailedStartMs = 1000;
    static const int kMaxStarts = 3;

    void Start() {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = command_;
        ++starts_;
        startedAt_ = GetTickCount();
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder_.c_str(), &startup, &process_) != FALSE;
    }
    void Release() {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
            started_ = false;
        }
        process_ = PROCESS_INFORMATION{};
    }

    std::string command_;
    std::string folder_;
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
    int starts_ = 0;
    DWORD startedAt_ = 0;
};

void Press(HWND dialog, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &result);
    return text;
}

// A message box the program opened over its main dialog, or null.
HWND WaitForMessageBox(HWND dialog, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
            if (found != dialog && GetWindow(found, GW_OWNER) == dialog && IsWindowVisible(found)) {
                return found;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring all;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        all += TextOf(child) + L"\n";
    }
    return all;
}

TEST(EndToEnd, RunsOnTheExpectedSystemCodePage) {
    // The same tests run once on a Chinese and once on a Western code page, chosen by the
    // Linux locale Wine starts under.
    const char* locale = getenv("LC_ALL");
    ASSERT_NE(locale, nullptr);
    UINT expected = strncmp(locale, "zh_CN", 5) == 0 ? 936 : 1252;
    EXPECT_EQ(GetACP(), expected) << locale;
}

TEST(EndToEnd, OkFromNothingWritesTheDefaultFileAndTextsReadRight) {
    GameFolder game;
    Program program(game);
    ASSERT_TRUE(program.started());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(TextOf(dialog), L"Lumenreach 环境设定");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_START_GAME)), L"游戏开始");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_SAVE_FOLDER)), L"存盘文件夹");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_OK)), L"OK");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_CANCEL)), L"取消");
    // The splash is gone once the main dialog is up.
    EXPECT_EQ(VisibleWindowsOf(program.id()), std::vector<HWND>{dialog});
    EXPECT_TRUE(FolderExists(game / "save"));  // the load creates the folder
    EXPECT_FALSE(FileExists(game.SettingsFile()));

    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);

    std::string text = ReadFileText(game.SettingsFile());
    std::vector<IniEntry> entries = ParseIni(text);
    ASSERT_EQ(entries.size(), 48u) << text;
    EXPECT_EQ(entries[0], (IniEntry{"Video", "Adapter", "-1"}));
    EXPECT_EQ(entries[21], (IniEntry{"Video", "MoviePlay", "1"}));
    EXPECT_EQ(entries[22], (IniEntry{"Sound", "BgmOff", "0"}));
    EXPECT_EQ(entries[39], (IniEntry{"Control", "Keyboard", "20111b41585a2628252742434d1056"}));
    EXPECT_EQ(entries[40], (IniEntry{"Control", "GamePad", "01020407060003050809"}));
    EXPECT_EQ(entries[43], (IniEntry{"Control", "Mouse", "0102"}));
    EXPECT_EQ(entries[47], (IniEntry{"Mg05", "MG05Sensitive", "0"}));
    EXPECT_EQ(IniSections(text), (std::vector<std::string>{"Video", "Sound", "Control", "Mg05"}));
    EXPECT_EQ(text.find("EnvMapOn"), std::string::npos);
}

const char kExistingFile[] =
    "[Video]\r\nEnvMapOn=0\r\nWindowMode=1\r\nMinimapMode=-5\r\n[Other]\r\nMine=1\r\n";

TEST(EndToEnd, CancelCloseBoxAndEscStoreNothing) {
    GameFolder game;
    CreateDirectoryA((game / "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(game.SettingsFile(), kExistingFile));

    {
        Program program(game);
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        // Esc goes through the dialog manager as IDCANCEL, which the dialog ignores.
        PostMessageW(GetDlgItem(dialog, IDC_OK), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(GetDlgItem(dialog, IDC_OK), WM_KEYUP, VK_ESCAPE, 0);
        EXPECT_EQ(program.WaitForExit(1500), -1);
        EXPECT_TRUE(IsWindow(dialog));
        Press(dialog, IDC_CANCEL);
        EXPECT_EQ(program.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile);

    {
        Program program(game);
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and Alt+F4
        EXPECT_EQ(program.WaitForExit(), 0);
    }
    EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile);
}

TEST(EndToEnd, ASecondCopyEndsAtOnceWithoutAWindow) {
    GameFolder game;
    Program first(game);
    HWND dialog = first.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    // The first copy's load made the folder; without it we can tell whether the second reads.
    RemoveTree(game / "save");
    ASSERT_FALSE(FolderExists(game / "save"));

    Program second(game);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.WaitForExit(10000), 0);
    EXPECT_FALSE(FolderExists(game / "save"));
    int windows = 0;
    for (HWND found = nullptr;
         (found = FindWindowExW(nullptr, found, L"#32770", kCaption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        EXPECT_NE(owner, second.id());
        ++windows;
    }
    EXPECT_EQ(windows, 1);

    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(first.WaitForExit(), 0);

    // Once the first copy has ended, the program starts normally again.
    Program third(game);
    HWND again = third.WaitForDialog();
    ASSERT_NE(again, nullptr);
    Press(again, IDC_CANCEL);
    EXPECT_EQ(third.WaitForExit(), 0);
}

TEST(EndToEnd, StartGameStoresFirstThenStartsTheGameAndEnds) {
    GameFolder game(true);
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_START_GAME);
    EXPECT_EQ(program.WaitForExit(), 0);

    std::string record = game / "game_saw.ini";
    for (int waited = 0; waited < 300 && !FileExists(record); ++waited) {
        Sleep(100);
    }
    ASSERT_TRUE(FileExists(record)) << "the game was not started";
    std::string seen = ReadFileText(record);
    EXPECT_NE(seen, "missing");
    EXPECT_EQ(seen, ReadFileText(game.SettingsFile()));
    EXPECT_EQ(IniValue(seen, "Control", "Keyboard"), "20111b41585a2628252742434d1056");
}

// A store that fails keeps the dialog open and tells the player which file it could not write.
void ExpectStoreFailureReported(GameFolder& game, int button) {
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    // Posted: the button's handler runs the message box's own loop.
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    HWND box = WaitForMessageBox(dialog);
    ASSERT_NE(box, nullptr) << "no message box";
    std::wstring message = MessageBoxText(box);
    EXPECT_NE(message.find(L"qr6_win3.ini"), std::wstring::npos);
    EXPECT_NE(message.find(L"设定没有保存成功"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    EXPECT_EQ(program.WaitForExit(1500), -1) << "the dialog closed after a failed store";
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(FileExists(game / "game_saw.ini")) << "the game started without its settings";
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(EndToEnd, ASettingsFileThatCannotBeWrittenIsReportedAndNotLost) {
    GameFolder game(true);
    CreateDirectoryA((game / "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(game.SettingsFile(), "[Video]\r\nWindowMode=1\r\n"));
    // Held open without sharing, as an editor or a running game might: writes must fail. (A
    // read-only attribute would not do here: Wine run as root writes such files anyway.)
    HANDLE lock = CreateFileA(game.SettingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ExpectStoreFailureReported(game, IDC_OK);
    ExpectStoreFailureReported(game, IDC_START_GAME);
    CloseHandle(lock);
    EXPECT_EQ(ReadFileText(game.SettingsFile()), "[Video]\r\nWindowMode=1\r\n");
}

TEST(EndToEnd, ASaveFolderThatCannotBeCreatedIsReported) {
    GameFolder game(true);
    ASSERT_TRUE(WriteFileText(game / "save", "a file where the folder should be"));
    ExpectStoreFailureReported(game, IDC_OK);
}

TEST(EndToEnd, SaveFolderButtonCreatesTheFolderAndStoresNothing) {
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    RemoveTree(game / "save");
    ASSERT_FALSE(FolderExists(game / "save"));
    Press(dialog, IDC_SAVE_FOLDER);
    for (int waited = 0; waited < 100 && !FolderExists(game / "save"); ++waited) {
        Sleep(50);
    }
    EXPECT_TRUE(FolderExists(game / "save"));
    EXPECT_FALSE(FileExists(game.SettingsFile()));
    // The shell's folder window comes up showing the save folder; close it again.
    HWND browser = nullptr;
    for (int waited = 0; waited < 200 && browser == nullptr; ++waited) {
        browser = FindWindowW(nullptr, L"save");
        Sleep(50);
    }
    EXPECT_NE(browser, nullptr) << "the save folder was not opened";
    if (browser != nullptr) {
        PostMessageW(browser, WM_CLOSE, 0, 0);
        // Gone before the next test clicks where it stood.
        for (int waited = 0; waited < 300 && IsWindow(browser); ++waited) {
            Sleep(50);
        }
    }
    EXPECT_EQ(program.WaitForExit(500), -1);
    EXPECT_TRUE(IsWindow(dialog));
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// The page under the main dialog that holds a control with the given id.
HWND FindPage(HWND dialog, int idInPage) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"#32770" && GetDlgItem(child, idInPage) != nullptr) {
            return child;
        }
    }
    return nullptr;
}

// A real left click (mouse input) at a point of the screen, once no other window covers
// target's dialog there. (Seen from another process, the point is on the dialog's topmost child,
// the tab control, even where a page lies above it for the program.)
bool ClickAt(HWND target, POINT point) {
    HWND dialog = GetAncestor(target, GA_ROOT);
    for (int waited = 0; waited < 200 && GetAncestor(WindowFromPoint(point), GA_ROOT) != dialog;
         ++waited) {
        Sleep(50);
    }
    if (GetAncestor(WindowFromPoint(point), GA_ROOT) != dialog) {
        return false;
    }
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

// A real left click on the middle of a window.
bool ClickWindow(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return ClickAt(window, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

// Clicks a tab with real mouse input, at the tab's rectangle read from the other process.
bool ClickTab(HWND tabs, int index) {
    DWORD processId = 0;
    GetWindowThreadProcessId(tabs, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect = {};
    DWORD_PTR ok = 0;
    SendMessageTimeoutW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                        5000, &ok);
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, &rect, sizeof rect, &read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!ok || read != sizeof rect) {
        return false;
    }
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tabs, &point);
    return ClickAt(tabs, point);
}

bool WaitVisible(HWND window, bool visible, int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if ((IsWindowVisible(window) != FALSE) == visible) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

// Under Wine a synthesized click right after another program's window closed is now and then
// lost before it reaches any window; a tab that never switches still fails every try.
bool ClickTabUntilShown(HWND tabs, int index, HWND page) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (ClickTab(tabs, index) && WaitVisible(page, true, 2000)) {
            return true;
        }
    }
    return false;
}

TEST(EndToEnd, PagesChangedFromOutsideAreStoredByOk) {
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND tabs = GetDlgItem(dialog, IDC_MAIN_TABS);
    HWND sound = FindPage(dialog, IDC_SOUND_DEFAULTS);
    HWND input = FindPage(dialog, IDC_INPUT_TABS);
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(input, nullptr);
    EXPECT_FALSE(IsWindowVisible(sound));

    ASSERT_TRUE(ClickTabUntilShown(tabs, 1, sound)) << "a click did not open the sound tab";
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
    // The trackbar's own keyboard handling: one step to the left.
    HWND effects = GetDlgItem(sound, IDC_SE_VOLUME);
    PostMessageW(effects, WM_KEYDOWN, VK_LEFT, 0);
    PostMessageW(effects, WM_KEYUP, VK_LEFT, 0);
    Press(sound, IDC_BATTLE_VOICE_OFF);

    // The tab control's own keyboard handling: one tab to the right.
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(tabs, WM_KEYUP, VK_RIGHT, 0);
    ASSERT_TRUE(WaitVisible(input, true)) << "the right arrow did not open the input tab";
    EXPECT_FALSE(IsWindowVisible(sound));
    Press(input, IDC_MOVE_RUN);
    EXPECT_EQ(SendDlgItemMessageW(input, IDC_MOVE_WALK, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::string text = ReadFileText(game.SettingsFile());
    EXPECT_EQ(IniValue(text, "Sound", "SeVolume"), "5");
    EXPECT_EQ(IniValue(text, "Sound", "BgmVolume"), "6");
    EXPECT_EQ(IniValue(text, "Sound", "BtVoiceOff"), "1");
    EXPECT_EQ(IniValue(text, "Control", "DefaultRun"), "1");
    EXPECT_EQ(IniValue(text, "Control", "Camera45Deg"), "1");
}

bool WaitText(HWND window, const wchar_t* text, int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (TextOf(window) == text) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

// Clicks an action's capture button until its label empties: the capture runs.
bool StartCaptureByClick(HWND page, int button, int label) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (ClickWindow(GetDlgItem(page, button)) && WaitText(GetDlgItem(page, label), L"", 2000)) {
            return true;
        }
    }
    return false;
}

void SendInputOf(INPUT input) {
    SendInput(1, &input, sizeof input);
}

INPUT KeyInput(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return input;
}

INPUT MouseInput(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Presses a key or button until the capture's label shows its name, then lets it go. Like a
// click, an input now and then gets lost under Wine; one that never shows fails every try.
bool HoldUntilShown(INPUT down, INPUT up, HWND label, const wchar_t* name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SendInputOf(down);
        bool shown = WaitText(label, name, 2000);
        SendInputOf(up);
        if (shown) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

TEST(EndToEnd, AKeyAndAMouseButtonCapturedByRealInputAreStored) {
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND input = FindPage(dialog, IDC_INPUT_TABS);
    ASSERT_NE(input, nullptr);
    HWND keyboard = FindPage(input, IDC_KEY_WALK_RUN);
    HWND mouse = FindPage(input, IDC_MOUSE_CANCEL);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(mouse, nullptr);
    ASSERT_TRUE(ClickTabUntilShown(GetDlgItem(dialog, IDC_MAIN_TABS), 2, input));
    ASSERT_TRUE(WaitVisible(keyboard, true)) << "the keyboard page is the first sub-page";

    // "走/跑" takes "J", pressed on the keyboard while the capture runs.
    ASSERT_TRUE(StartCaptureByClick(keyboard, IDC_KEY_WALK_RUN, IDC_KEY_WALK_RUN_NAME));
    EXPECT_TRUE(HoldUntilShown(KeyInput('J', true), KeyInput('J', false),
                               GetDlgItem(keyboard, IDC_KEY_WALK_RUN_NAME), L"J"));

    // "取消/会话" takes the middle button.
    ASSERT_TRUE(ClickTabUntilShown(GetDlgItem(input, IDC_INPUT_TABS), 1, mouse));
    ASSERT_TRUE(StartCaptureByClick(mouse, IDC_MOUSE_CANCEL, IDC_MOUSE_CANCEL_NAME));
    EXPECT_TRUE(HoldUntilShown(MouseInput(MOUSEEVENTF_MIDDLEDOWN), MouseInput(MOUSEEVENTF_MIDDLEUP),
                               GetDlgItem(mouse, IDC_MOUSE_CANCEL_NAME), L"M-Button"));

    // "OK" while a capture still runs: the program stores what is shown and ends normally.
    ASSERT_TRUE(StartCaptureByClick(mouse, IDC_MOUSE_CONFIRM, IDC_MOUSE_CONFIRM_NAME));
    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::string text = ReadFileText(game.SettingsFile());
    EXPECT_EQ(IniValue(text, "Control", "Keyboard"), "20111b4a585a2628252742434d1056");
    EXPECT_EQ(IniValue(text, "Control", "Mouse"), "0104");
}

}  // namespace
