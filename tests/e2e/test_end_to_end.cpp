// Starts setloom.exe in fresh game folders and drives it from another process, as a player
// would, then checks the settings file it leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <d3d8.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "resource.h"
#include "tests/support/test_files.h"

namespace {

const wchar_t kCaption[] = L"Lumenreach 环境设定";
const DWORD kStartTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 30000;

// A game folder holding a copy of the program (and, when asked, the stand-in game). With a
// length, the program sits in folders nested below the temporary one until its folder's path,
// with the final backslash, is that many bytes long.
class GameFolder {
  public:
    explicit GameFolder(bool withGame = false, size_t folderLength = 0) : path_(root_.path()) {
        while (path_.size() + 1 < folderLength) {
            path_ += std::string(std::min<size_t>(folderLength - path_.size() - 1, 100), 'd');
            path_ += "\\";
            EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_.size();
        }
        std::string bin = ModuleFolder();
        // The shipped build when the run names it, else the one built beside the tests.
        const char* shipped = getenv("SETLOOM_PROGRAM");
        std::string program = shipped != nullptr ? shipped : bin + "setloom.exe";
        EXPECT_TRUE(CopyFileA(program.c_str(), (*this / "setloom.exe").c_str(), FALSE));
        if (withGame) {
            EXPECT_TRUE(
                CopyFileA((bin + "qr6_win3.exe").c_str(), (*this / "qr6_win3.exe").c_str(), FALSE));
        }
    }
    std::string operator/(const std::string& name) const { return path_ + name; }
    std::string SettingsFile() const { return path_ + "save\\qr6_win3.ini"; }
    const std::string& path() const { return path_; }

  private:
    TempFolder root_{"game"};
    std::string path_;
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
    // Started in the game folder, as from the folder itself, or in another working folder, as
    // from a shortcut or launcher with another "Start in".
    explicit Program(const GameFolder& game, const std::string& workingFolder = "")
        : command_("\"" + (game / "setloom.exe") + "\""),
          folder_(workingFolder.empty() ? game.path() : workingFolder) {
        Start();
    }
    ~Program() { Release(); }
    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    HANDLE handle() const { return process_.hProcess; }

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

    // The file's contents are the in-process tests' business; here: it is written at all.
    std::string text = ReadFileText(game.SettingsFile());
    std::vector<IniEntry> entries = ParseIni(text);
    ASSERT_EQ(entries.size(), 48u) << text;
    EXPECT_EQ(entries[0], (IniEntry{"Video", "Adapter", "0"}));  // Wine's one adapter
    EXPECT_EQ(IniSections(text), (std::vector<std::string>{"Video", "Sound", "Control", "Mg05"}));
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

TEST(EndToEnd, SecondCopiesEndAtOnceWithoutAWindowAndTheFirstStoresAfterwards) {
    GameFolder game;
    Program first(game);
    HWND dialog = first.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    // The first copy's load made the folder; without it we can tell whether a second reads.
    RemoveTree(game / "save");
    ASSERT_FALSE(FolderExists(game / "save"));

    // Twenty in a row, as from an impatient double click on the program.
    for (int copy = 0; copy < 20; ++copy) {
        DWORD startedAt = GetTickCount();
        Program second(game);
        ASSERT_TRUE(second.started()) << "copy " << copy;
        ASSERT_EQ(second.WaitForExit(10000), 0) << "copy " << copy;
        EXPECT_LT(GetTickCount() - startedAt, 5000u) << "copy " << copy;
        EXPECT_FALSE(FolderExists(game / "save")) << "copy " << copy;
        int windows = 0;
        for (HWND found = nullptr;
             (found = FindWindowExW(nullptr, found, L"#32770", kCaption)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            EXPECT_NE(owner, second.id()) << "copy " << copy;
            ++windows;
        }
        EXPECT_EQ(windows, 1) << "copy " << copy;
    }

    // The first copy still answers and stores as usual.
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result), 0);
    Press(dialog, IDC_OK);
    EXPECT_EQ(first.WaitForExit(), 0);
    std::string stored = ReadFileText(game.SettingsFile());
    EXPECT_EQ(IniValue(stored, "Control", "Keyboard"), "20111b41585a2628252742434d1056");
    EXPECT_EQ(IniValue(stored, "Mg05", "MG05Sensitive"), "0");

    // Once the first copy has ended, the program starts normally again.
    Program third(game);
    HWND again = third.WaitForDialog();
    ASSERT_NE(again, nullptr);
    Press(again, IDC_CANCEL);
    EXPECT_EQ(third.WaitForExit(), 0);
}

TEST(EndToEnd, StartGameFromAnotherWorkingFolderStoresFirstThenStartsTheGame) {
    GameFolder game(true);
    TempFolder elsewhere{"elsewhere"};
    Program program(game, elsewhere.path());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_START_GAME);
    EXPECT_EQ(program.WaitForExit(), 0);

    // The stand-in game writes what it found into its working folder: the game's own.
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

// Posts a click on the button and expects a message box naming what went wrong, with the
// dialog staying open afterwards. Returns the message text.
std::wstring ExpectReportedAndStillOpen(Program& program, HWND dialog, int button) {
    // Posted: the button's handler runs the message box's own loop.
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    HWND box = WaitForMessageBox(dialog);
    EXPECT_NE(box, nullptr) << "no message box";
    if (box == nullptr) {
        return L"";
    }
    std::wstring message = MessageBoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(1500), -1) << "the dialog closed after a failure";
    EXPECT_TRUE(IsWindowVisible(dialog));
    return message;
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
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    for (int button : {IDC_OK, IDC_START_GAME}) {
        std::wstring message = ExpectReportedAndStillOpen(program, dialog, button);
        EXPECT_NE(message.find(L"qr6_win3.ini"), std::wstring::npos) << button;
        EXPECT_NE(message.find(L"设定没有保存成功"), std::wstring::npos) << button;
    }
    EXPECT_FALSE(FileExists(game / "game_saw.ini")) << "the game started without its settings";
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
    CloseHandle(lock);
    EXPECT_EQ(ReadFileText(game.SettingsFile()), "[Video]\r\nWindowMode=1\r\n");
}

TEST(EndToEnd, AMissingGameIsReportedAfterTheStore) {
    GameFolder game;  // no qr6_win3.exe beside the program
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::wstring message = ExpectReportedAndStillOpen(program, dialog, IDC_START_GAME);
    EXPECT_NE(message.find(L"qr6_win3.exe"), std::wstring::npos) << message;
    EXPECT_NE(message.find(L"游戏无法启动"), std::wstring::npos) << message;
    EXPECT_TRUE(FileExists(game.SettingsFile())) << "the settings were not stored first";
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(EndToEnd, ASettingsPathLongerThanWindowsAllowsIsAFailedStore) {
    // 243 bytes of folder, "save\\" and "qr6_win3.ini" need 261 bytes with the terminator.
    GameFolder game(false, 243);
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::wstring message = ExpectReportedAndStillOpen(program, dialog, IDC_OK);
    EXPECT_NE(message.find(L"设定没有保存成功"), std::wstring::npos) << message;
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
    // Nothing went into a file of a cut name.
    int files = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((game / "save\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    EXPECT_EQ(files, 0);
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
    HWND sound = FindPage(dialog, IDC_SE_VOLUME);  // 1030 is on the video page too
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

bool HasModule(HANDLE process, const char* name) {
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        return false;
    }
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        char base[MAX_PATH] = {};
        GetModuleBaseNameA(process, modules[i], base, MAX_PATH);
        if (lstrcmpiA(base, name) == 0) {
            return true;
        }
    }
    return false;
}

// Set for one run of this test: Wine then cannot load dinput8.dll in the programs started.
bool DirectInputDisabled() {
    const char* overrides = getenv("WINEDLLOVERRIDES");
    return overrides != nullptr && strstr(overrides, "dinput8=") != nullptr;
}

// No controller is attached under Wine here, and with "dinput8=" (a second run of this test)
// DirectInput cannot even be loaded. Either way the program starts, the gamepad page offers
// only "更新", and "OK" keeps the stored controller set-up.
TEST(EndToEnd, WithoutAControllerTheGamepadPageIsDisabledAndKeepsItsSetUp) {
    GameFolder game;
    CreateDirectoryA((game / "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(game.SettingsFile(),
                              "[Control]\r\nPadDeviceNo=3\r\nUseGamaPad=1\r\nAnalog=1\r\n"));
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(HasModule(program.handle(), "dinput8.dll"), !DirectInputDisabled());

    HWND page = FindPage(FindPage(dialog, IDC_INPUT_TABS), IDC_PAD_UPDATE);  // a sub-page
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PAD_UPDATE)));
    for (int id : {IDC_PAD_USE_DI, IDC_PAD_ANALOG, IDC_PAD_DEVICES, IDC_PAD_DEFAULTS,
                   IDC_PAD_SENSITIVITY, IDC_PAD_CONFIRM, IDC_PAD_MAP_ZOOM_LABEL}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    }
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_PAD_USE_DI, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_PAD_CONFIRM)), L"决定/会话");
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_PAD_CONFIRM_LABEL)), L"Button 2");

    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::string text = ReadFileText(game.SettingsFile());
    EXPECT_EQ(IniValue(text, "Control", "PadDeviceNo"), "3");
    EXPECT_EQ(IniValue(text, "Control", "UseGamaPad"), "1");
    EXPECT_EQ(IniValue(text, "Control", "Analog"), "1");
}

// What this machine's Direct3D 8 offers on adapter 0: "width height bits" of its 4:3 modes,
// and its identifier.
struct OfferedModes {
    std::vector<std::string> modes;
    D3DADAPTER_IDENTIFIER8 identifier = {};
};

OfferedModes AskDirect3D() {
    OfferedModes offered;
    HMODULE library = LoadLibraryA("d3d8.dll");
    using CreateProc = IDirect3D8*(WINAPI*)(UINT);
    auto create = reinterpret_cast<CreateProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "Direct3DCreate8")));
    IDirect3D8* direct3d = create != nullptr ? create(D3D_SDK_VERSION) : nullptr;
    if (direct3d == nullptr) {
        return offered;
    }
    direct3d->GetAdapterIdentifier(0, 0, &offered.identifier);
    for (UINT i = 0; i < direct3d->GetAdapterModeCount(0); ++i) {
        D3DDISPLAYMODE mode = {};
        direct3d->EnumAdapterModes(0, i, &mode);
        int bits = mode.Format == D3DFMT_X8R8G8B8 || mode.Format == D3DFMT_A8R8G8B8 ? 32
                   : mode.Format == D3DFMT_R8G8B8                                   ? 24
                                                                                    : 16;
        offered.modes.push_back(std::to_string(mode.Width) + " " + std::to_string(mode.Height) +
                                " " + std::to_string(bits));
    }
    direct3d->Release();
    return offered;
}

TEST(EndToEnd, OkStoresAModeAndAdapterThatDirect3DOffers) {
    OfferedModes offered = AskDirect3D();
    ASSERT_FALSE(offered.modes.empty()) << "no Direct3D 8 here";
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND video = FindPage(dialog, IDC_ADAPTER_LIST);
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(IsWindowVisible(video));
    EXPECT_GE(SendDlgItemMessageW(video, IDC_ADAPTER_LIST, CB_GETCOUNT, 0, 0), 1);
    int shown =
        static_cast<int>(SendDlgItemMessageW(video, IDC_RESOLUTION_LIST, CB_GETCURSEL, 0, 0));
    wchar_t text[64] = {};
    SendDlgItemMessageW(video, IDC_RESOLUTION_LIST, CB_GETLBTEXT, shown,
                        reinterpret_cast<LPARAM>(text));
    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);

    std::string file = ReadFileText(game.SettingsFile());
    std::string width = IniValue(file, "Video", "ScreenWidth");
    std::string height = IniValue(file, "Video", "ScreenHeight");
    std::string bits = IniValue(file, "Video", "ScreenBitCount");
    std::string stored = width + " " + height + " " + bits;
    EXPECT_NE(std::find(offered.modes.begin(), offered.modes.end(), stored), offered.modes.end())
        << stored;
    std::string listed = width + " x " + height + " x " + bits;  // what the page showed
    EXPECT_EQ(std::wstring(text), std::wstring(listed.begin(), listed.end()));
    EXPECT_EQ(IniValue(file, "Video", "VendorID"), std::to_string(offered.identifier.VendorId));
    EXPECT_EQ(IniValue(file, "Video", "DeviceID"), std::to_string(offered.identifier.DeviceId));
}

// The message box of a start without Direct3D 8, or null when none came up in time.
HWND WaitForStartError(DWORD processId) {
    for (int waited = 0; waited < 10000; waited += 50) {
        HWND box = FindWindowW(L"#32770", L"HalvorineⅥ 启动错误");
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (box != nullptr && owner == processId && IsWindowVisible(box)) {
            return box;
        }
        Sleep(50);
    }
    return nullptr;
}

// Runs on its own with WINEDLLOVERRIDES="d3d8=" (tests/CMakeLists.txt): Wine takes the override
// from the environment it starts with, not from one a Windows program hands on.
TEST(EndToEndWithoutDirect3D, TheProgramSaysSoAndEndsWithOneStoringNothing) {
    ASSERT_EQ(LoadLibraryA("d3d8.dll"), nullptr) << "run with WINEDLLOVERRIDES=d3d8=";
    GameFolder game;
    CreateDirectoryA((game / "save").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(game.SettingsFile(), kExistingFile));
    std::unique_ptr<Program> program;
    HWND box = nullptr;
    // Wine now and then fails to start a process at all; such a start is tried again.
    for (int start = 0; start < 3 && box == nullptr; ++start) {
        program = std::make_unique<Program>(game);
        box = WaitForStartError(program->id());
    }
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_NE(MessageBoxText(box).find(L"本程序需要DirectX8.1支持。\n请安装DirectX8.1以上版本。"),
              std::wstring::npos)
        << "message box text";
    HWND dialog = FindWindowW(L"#32770", kCaption);  // created, never shown
    EXPECT_TRUE(dialog == nullptr || !IsWindowVisible(dialog));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program->WaitForExit(), 1);
    EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile);
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
