// Starts setloom.exe in fresh game folders and drives it from another process, as a player
// would: what only a separate process shows, then the settings file it leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <d3d8.h>

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

// Polls until done() holds; false when it still does not after the time.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs = 5000) {
    for (DWORD waited = 0; !done(); waited += 50) {
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

// A game folder holding a copy of the program (and, when asked, the stand-in game). With a
// length, the program sits in folders nested below the temporary one until its folder's path,
// with the final backslash, is that many bytes long.
class GameFolder {
  public:
    explicit GameFolder(bool withGame = false, size_t folderLength = 0,
                        const std::string& subfolder = "")
        : path_(root_.path()) {
        if (!subfolder.empty()) {
            path_ += subfolder + "\\";
            EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << subfolder;
        }
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
    const std::string& root() const { return root_.path(); }
    std::string SettingsFile() const { return path_ + "save\\qr6_win3.ini"; }
    const std::string& path() const { return path_; }
    // A settings file there before the program starts.
    void Write(const std::string& text) const {
        CreateDirectoryA((path_ + "save").c_str(), nullptr);
        EXPECT_TRUE(WriteFileText(SettingsFile(), text));
    }

  private:
    TempFolder root_{"game"};
    std::string path_;
};

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            found.push_back(window);
        }
    }
    return found;
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

// A visible message box of the process with that owner (and caption, when given), or null when
// none came up in time.
HWND WaitForMessageBox(DWORD processId, HWND owner, const wchar_t* caption = nullptr) {
    HWND box = nullptr;
    WaitFor(
        [&] {
            while ((box = FindWindowExW(nullptr, box, L"#32770", caption)) != nullptr) {
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (process == processId && GetWindow(box, GW_OWNER) == owner &&
                    IsWindowVisible(box)) {
                    return true;
                }
            }
            return false;
        },
        10000);
    return box;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring all;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        all += TextOf(child) + L"\n";
    }
    return all;
}

// The page under the main dialog that holds a control with the given id. Pages not shown at
// start-up come a little after the dialog: it is waited for, and until it answers a message, for
// its controls exist before the page has filled them.
HWND FindPage(HWND dialog, int idInPage) {
    HWND found = nullptr;
    DWORD_PTR result = 0;
    WaitFor([&] {
        for (found = GetWindow(dialog, GW_CHILD); found != nullptr;
             found = GetWindow(found, GW_HWNDNEXT)) {
            wchar_t className[16] = {};
            GetClassNameW(found, className, 16);
            if (std::wstring(className) == L"#32770" && GetDlgItem(found, idInPage) != nullptr) {
                return true;
            }
        }
        return false;
    });
    SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    return found;
}

// A real left click (mouse input) at a point of the screen, once no other window covers
// target's dialog there. (Seen from another process, the point is on the dialog's topmost child,
// the tab control, even where a page lies above it for the program.)
bool ClickAt(HWND target, POINT point) {
    HWND dialog = GetAncestor(target, GA_ROOT);
    if (!WaitFor([&] { return GetAncestor(WindowFromPoint(point), GA_ROOT) == dialog; }, 10000)) {
        return false;
    }
    INPUT inputs[3] = {};
    const DWORD flags[] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = point.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        inputs[i].mi.dy = point.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
    }
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

bool WaitVisible(HWND window, DWORD timeoutMs = 5000) {
    return WaitFor([window] { return IsWindowVisible(window) != FALSE; }, timeoutMs);
}

// Under Wine a synthesized click or key right after another program's window closed is now and
// then lost before it reaches any window; one that never works still fails every try. Each try
// does something and waits to see its effect.
template <typename Act, typename Effect>
bool TryThrice(Act act, Effect effect) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (act() && WaitFor(effect, 2000)) {
            return true;
        }
    }
    return false;
}

bool ClickTabUntilShown(HWND tabs, int index, HWND page) {
    return TryThrice([&] { return ClickTab(tabs, index); },
                     [&] { return IsWindowVisible(page) != FALSE; });
}

// Clicks an action's capture button until its label empties: the capture runs.
bool StartCaptureByClick(HWND page, int button, int label) {
    return TryThrice([&] { return ClickWindow(GetDlgItem(page, button)); },
                     [&] { return TextOf(GetDlgItem(page, label)).empty(); });
}

INPUT Input(DWORD type, WORD key, DWORD flags) {
    INPUT input = {};
    input.type = type;
    if (type == INPUT_KEYBOARD) {
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
    } else {
        input.mi.dwFlags = flags;
    }
    return input;
}

// Presses a key or button until the capture's label shows its name, then lets it go.
bool PressUntilShown(INPUT down, INPUT up, HWND label, const wchar_t* name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SendInput(1, &down, sizeof down);
        bool shown = WaitFor([&] { return TextOf(label) == name; }, 2000);
        SendInput(1, &up, sizeof up);
        if (shown) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// What this machine's Direct3D 8 offers on adapter 0: its modes as the video page shows them
// ("640 x 480 x 32"), and its identifier.
struct OfferedModes {
    std::vector<std::wstring> modes;
    D3DADAPTER_IDENTIFIER8 identifier = {};
};

OfferedModes AskDirect3D() {
    OfferedModes offered;
    using CreateProc = IDirect3D8*(WINAPI*)(UINT);
    auto create = reinterpret_cast<CreateProc>(reinterpret_cast<void (*)(void)>(
        GetProcAddress(LoadLibraryA("d3d8.dll"), "Direct3DCreate8")));
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
        offered.modes.push_back(std::to_wstring(mode.Width) + L" x " +
                                std::to_wstring(mode.Height) + L" x " + std::to_wstring(bits));
    }
    direct3d->Release();
    return offered;
}

// From nothing, one player's session: texts on this code page, Wine's real Direct3D 8 on the
// video page, the sound and input pages changed by real clicks and keys, a key and a mouse button
// captured by real input, and "OK" pressed while another capture still runs.
TEST(EndToEnd, APlayersChangesByRealInputAreStoredByOk) {
    // The tests run once on a Chinese and once on a Western code page, chosen by the Linux locale
    // Wine starts under.
    const char* locale = getenv("LC_ALL");
    ASSERT_NE(locale, nullptr);
    EXPECT_EQ(GetACP(), strncmp(locale, "zh_CN", 5) == 0 ? 936u : 1252u) << locale;
    OfferedModes offered = AskDirect3D();
    ASSERT_FALSE(offered.modes.empty()) << "no Direct3D 8 here";
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();  // the splash is gone by then
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), kCaption);
    const std::pair<int, const wchar_t*> buttons[] = {{IDC_START_GAME, L"游戏开始"},
                                                      {IDC_SAVE_FOLDER, L"存盘文件夹"},
                                                      {IDC_OK, L"OK"},
                                                      {IDC_CANCEL, L"取消"}};
    for (const auto& [id, text] : buttons) {
        EXPECT_EQ(TextOf(GetDlgItem(dialog, id)), text);
    }
    EXPECT_TRUE(FolderExists(game / "save"));  // the load creates the folder
    EXPECT_FALSE(FileExists(game.SettingsFile()));

    HWND video = FindPage(dialog, IDC_ADAPTER_LIST);
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(IsWindowVisible(video));
    EXPECT_GE(SendDlgItemMessageW(video, IDC_ADAPTER_LIST, CB_GETCOUNT, 0, 0), 1);
    wchar_t mode[64] = {};
    SendDlgItemMessageW(video, IDC_RESOLUTION_LIST, CB_GETLBTEXT,
                        SendDlgItemMessageW(video, IDC_RESOLUTION_LIST, CB_GETCURSEL, 0, 0),
                        reinterpret_cast<LPARAM>(mode));

    HWND tabs = GetDlgItem(dialog, IDC_MAIN_TABS);
    HWND sound = FindPage(dialog, IDC_SE_VOLUME);  // 1030 is on the video page too
    HWND input = FindPage(dialog, IDC_INPUT_TABS);
    ASSERT_TRUE(sound != nullptr && input != nullptr);
    HWND keyboard = FindPage(input, IDC_KEY_WALK_RUN);
    HWND mouse = FindPage(input, IDC_MOUSE_CANCEL);
    ASSERT_TRUE(keyboard != nullptr && mouse != nullptr);
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
    ASSERT_TRUE(WaitVisible(input)) << "the right arrow did not open the input tab";
    EXPECT_FALSE(IsWindowVisible(sound));
    Press(input, IDC_MOVE_RUN);
    EXPECT_EQ(SendDlgItemMessageW(input, IDC_MOVE_WALK, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // "走/跑" takes "J" on the keyboard page, the first sub-page.
    ASSERT_TRUE(WaitVisible(keyboard));
    ASSERT_TRUE(StartCaptureByClick(keyboard, IDC_KEY_WALK_RUN, IDC_KEY_WALK_RUN_NAME));
    EXPECT_TRUE(PressUntilShown(Input(INPUT_KEYBOARD, 'J', 0),
                                Input(INPUT_KEYBOARD, 'J', KEYEVENTF_KEYUP),
                                GetDlgItem(keyboard, IDC_KEY_WALK_RUN_NAME), L"J"));
    // "取消/会话" takes the middle button.
    ASSERT_TRUE(ClickTabUntilShown(GetDlgItem(input, IDC_INPUT_TABS), 1, mouse));
    ASSERT_TRUE(StartCaptureByClick(mouse, IDC_MOUSE_CANCEL, IDC_MOUSE_CANCEL_NAME));
    EXPECT_TRUE(PressUntilShown(Input(INPUT_MOUSE, 0, MOUSEEVENTF_MIDDLEDOWN),
                                Input(INPUT_MOUSE, 0, MOUSEEVENTF_MIDDLEUP),
                                GetDlgItem(mouse, IDC_MOUSE_CANCEL_NAME), L"M-Button"));
    // "OK" while a capture still runs: the program stores what is shown and ends normally.
    ASSERT_TRUE(StartCaptureByClick(mouse, IDC_MOUSE_CONFIRM, IDC_MOUSE_CONFIRM_NAME));
    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);

    // The mode shown is one the adapter offers, and the file holds it.
    EXPECT_NE(std::find(offered.modes.begin(), offered.modes.end(), mode), offered.modes.end());
    std::string text = ReadFileText(game.SettingsFile());
    std::string stored = IniValue(text, "Video", "ScreenWidth") + " x " +
                         IniValue(text, "Video", "ScreenHeight") + " x " +
                         IniValue(text, "Video", "ScreenBitCount");
    EXPECT_EQ(std::wstring(mode), std::wstring(stored.begin(), stored.end()));
    ExpectIniValues(text, "Video",
                    "Adapter=0 VendorID=" + std::to_string(offered.identifier.VendorId) +
                        " DeviceID=" + std::to_string(offered.identifier.DeviceId));
    ExpectIniValues(text, "Sound", "SeVolume=5 BgmVolume=6 BtVoiceOff=1");
    ExpectIniValues(
        text, "Control",
        "DefaultRun=1 Camera45Deg=1 Keyboard=20111b4a585a2628252742434d1056 Mouse=0104");
}

const char kExistingFile[] =
    "[Video]\r\nEnvMapOn=0\r\nWindowMode=1\r\nMinimapMode=-5\r\n[Other]\r\nMine=1\r\n";

TEST(EndToEnd, CancelCloseBoxAndEscStoreNothing) {
    GameFolder game;
    game.Write(kExistingFile);
    for (bool closeBox : {false, true}) {
        Program program(game);
        HWND dialog = program.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        if (closeBox) {
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box and Alt+F4
        } else {
            // Esc goes through the dialog manager as IDCANCEL, which the dialog ignores.
            PostMessageW(GetDlgItem(dialog, IDC_OK), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(GetDlgItem(dialog, IDC_OK), WM_KEYUP, VK_ESCAPE, 0);
            EXPECT_EQ(program.WaitForExit(1500), -1);
            EXPECT_TRUE(IsWindow(dialog));
            Press(dialog, IDC_CANCEL);
        }
        EXPECT_EQ(program.WaitForExit(), 0);
        EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile) << closeBox;
    }
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

// Posts a click on the button and expects a message box naming what went wrong, with the
// dialog staying open afterwards. Returns the message text.
std::wstring ExpectReportedAndStillOpen(Program& program, HWND dialog, int button) {
    // Posted: the button's handler runs the message box's own loop.
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    HWND box = WaitForMessageBox(program.id(), dialog);
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

// A settings file another program holds open without sharing when setloom starts (an editor, a
// sync tool, the game): the player is told at once, and no store of this run writes over the
// file, also once it is free again.
TEST(EndToEnd, ASettingsFileThatCannotBeReadAtStartIsNeverStoredOver) {
    GameFolder game(true);
    const std::string original = "[Video]\r\nWindowMode=1\r\n";
    game.Write(original);
    HANDLE lock = CreateFileA(game.SettingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Program program(game);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            while ((box = FindWindowExW(nullptr, box, L"#32770", kCaption)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(box, &owner);
                if (owner == program.id() && GetWindow(box, GW_OWNER) != nullptr &&
                    IsWindowVisible(box)) {
                    return true;
                }
            }
            return false;
        },
        kStartTimeoutMs))
        << "no message at start-up";
    std::wstring message = MessageBoxText(box);
    EXPECT_NE(message.find(L"无法读取设定文件"), std::wstring::npos);
    EXPECT_NE(message.find(L"qr6_win3.ini"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    CloseHandle(lock);
    for (int button : {IDC_OK, IDC_START_GAME}) {
        message = ExpectReportedAndStillOpen(program, dialog, button);
        EXPECT_NE(message.find(L"设定没有保存成功"), std::wstring::npos) << button;
    }
    EXPECT_FALSE(FileExists(game / "game_saw.ini")) << "the game started without its settings";
    EXPECT_EQ(ReadFileText(game.SettingsFile()), original);
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// Started from another working folder, as from a shortcut or launcher with another "Start
// in": "游戏开始" stores first, then starts the game in the game's own folder, where it finds
// the player's settings.
TEST(EndToEnd, StartGameStoresFirstAndStartsTheGameInItsFolder) {
    GameFolder game(true);
    game.Write("[Video]\r\nWindowMode=1\r\n");
    TempFolder elsewhere{"elsewhere"};
    Program program(game, elsewhere.path());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_START_GAME);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::string record = game / "game_saw.ini";  // what the stand-in game found at its start
    ASSERT_TRUE(WaitFor([&] { return FileExists(record); }, 30000)) << "the game was not started";
    std::string seen = ReadFileText(record);
    EXPECT_EQ(seen, ReadFileText(game.SettingsFile()));
    EXPECT_EQ(IniValue(seen, "Video", "WindowMode"), "1");
    EXPECT_EQ(IniValue(seen, "Control", "Keyboard"), "20111b41585a2628252742434d1056");
}

// No qr6_win3.exe beside the program: "存盘文件夹" still opens the save folder, "游戏开始"
// stores and then says the game cannot be started.
TEST(EndToEnd, SaveFolderOpensAndAMissingGameIsReportedAfterTheStore) {
    GameFolder game;
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    RemoveTree(game / "save");
    Press(dialog, IDC_SAVE_FOLDER);
    EXPECT_TRUE(WaitFor([&] { return FolderExists(game / "save"); }));
    EXPECT_FALSE(FileExists(game.SettingsFile()));
    // The shell's folder window comes up showing the save folder; closed again, and gone before
    // anything clicks where it stood.
    HWND browser = nullptr;
    EXPECT_TRUE(
        WaitFor([&] { return (browser = FindWindowW(nullptr, L"save")) != nullptr; }, 10000))
        << "the save folder was not opened";
    PostMessageW(browser, WM_CLOSE, 0, 0);
    WaitFor([&] { return !IsWindow(browser); }, 15000);

    std::wstring message = ExpectReportedAndStillOpen(program, dialog, IDC_START_GAME);
    EXPECT_NE(message.find(L"qr6_win3.exe"), std::wstring::npos) << message;
    EXPECT_NE(message.find(L"游戏无法启动"), std::wstring::npos) << message;
    EXPECT_TRUE(FileExists(game.SettingsFile())) << "the settings were not stored first";
    Press(dialog, IDC_CANCEL);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// Every file name below a folder, with its path from there ("save\\qr6_win3.ini"), unsorted.
void ListFiles(const std::string& folder, const std::string& prefix,
               std::vector<std::string>& names) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        names.push_back(prefix + name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder + name + "\\", prefix + name + "\\", names);
        }
    }
    FindClose(find);
}

// Settings that cannot land in the file the game reads: a path longer than Windows allows, a
// file where the save folder should be, a LOG_ID with path characters. "OK" reports the failed
// store, the dialog stays, and nothing is written anywhere else.
TEST(EndToEnd, AStoreThatCannotReachTheSettingsFileIsReportedAndWritesNothingElse) {
    struct Case {
        size_t folderLength;
        const char* saveFile;  // put where the save folder goes, or null
        const char* logId;     // or null
        std::vector<std::string> expected;
    };
    // 243 bytes of folder, "save\\" and "qr6_win3.ini" need 261 bytes with the terminator.
    const Case cases[] = {
        {243, nullptr, nullptr, {"save", "setloom.exe"}},
        {0, "a file", nullptr, {"save", "setloom.exe"}},
        {0, nullptr, "\\..", {"save", "setloom.exe"}},
        {0, nullptr, "/..", {"save", "setloom.exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logId != nullptr ? c.logId : c.saveFile != nullptr ? "file" : "long");
        SetEnvironmentVariableA("LOG_ID", c.logId);
        GameFolder game(false, c.folderLength);
        if (c.saveFile != nullptr) {
            ASSERT_TRUE(WriteFileText(game / "save", c.saveFile));
        }
        Program program(game);
        HWND dialog = program.WaitForDialog();
        SetEnvironmentVariableA("LOG_ID", nullptr);
        ASSERT_NE(dialog, nullptr);
        std::wstring message = ExpectReportedAndStillOpen(program, dialog, IDC_OK);
        EXPECT_NE(message.find(L"设定没有保存成功"), std::wstring::npos) << message;
        Press(dialog, IDC_CANCEL);
        EXPECT_EQ(program.WaitForExit(), 0);
        std::vector<std::string> files;
        ListFiles(game.path(), "", files);
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.expected);
        if (c.saveFile != nullptr) {
            EXPECT_EQ(ReadFileText(game / "save"), c.saveFile);
        }
    }
}

// A program folder named with a GBK character whose second byte is a backslash's code: the
// settings land in its own save folder, nowhere else.
// Runs under zh_CN.UTF-8 only (tests/CMakeLists.txt): elsewhere the bytes are no character.
TEST(EndToEndOnCodePage936, AFolderNameWithA5CSecondByteHoldsItsOwnSaveFolder) {
    ASSERT_EQ(GetACP(), 936u);
    GameFolder game(false, 0, "\x81\x5C");  // "乗"
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_OK);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::vector<std::string> files;
    ListFiles(game.root(), "", files);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{"\x81\x5C", "\x81\x5C\\save",
                                        "\x81\x5C\\save\\qr6_win3.ini", "\x81\x5C\\setloom.exe"}));
}

// No controller is attached under Wine here, and with "dinput8=" (a second run of this test)
// DirectInput cannot even be loaded. Either way the program starts, the gamepad page offers
// only "更新", and "OK" keeps the stored controller set-up.
TEST(EndToEnd, WithoutAControllerTheGamepadPageIsDisabledAndKeepsItsSetUp) {
    GameFolder game;
    game.Write("[Control]\r\nPadDeviceNo=3\r\nUseGamaPad=1\r\nAnalog=1\r\n");
    Program program(game);
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    // The override reaches every program of the run, this one and setloom.exe alike.
    const char* overrides = getenv("WINEDLLOVERRIDES");
    bool disabled = overrides != nullptr && strstr(overrides, "dinput8=") != nullptr;
    EXPECT_EQ(LoadLibraryA("dinput8.dll") == nullptr, disabled);

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
    ExpectIniValues(ReadFileText(game.SettingsFile()), "Control",
                    "PadDeviceNo=3 UseGamaPad=1 Analog=1");
}

// Runs on its own with WINEDLLOVERRIDES="d3d8=" (tests/CMakeLists.txt): Wine takes the override
// from the environment it starts with, not from one a Windows program hands on.
TEST(EndToEndWithoutDirect3D, TheProgramSaysSoAndEndsWithOneStoringNothing) {
    ASSERT_EQ(LoadLibraryA("d3d8.dll"), nullptr) << "run with WINEDLLOVERRIDES=d3d8=";
    GameFolder game;
    game.Write(kExistingFile);
    std::unique_ptr<Program> program;
    HWND box = nullptr;
    // Wine now and then fails to start a process at all; such a start is tried again.
    for (int start = 0; start < 3 && box == nullptr; ++start) {
        program = std::make_unique<Program>(game);
        box = WaitForMessageBox(program->id(), nullptr, L"HalvorineⅥ 启动错误");
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

}  // namespace
