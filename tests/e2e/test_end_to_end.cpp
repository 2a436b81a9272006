// Drives setloom.exe from another process, as a player would: only what a separate process shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "resource.h"
#include "tests/support/test_files.h"

namespace {

const wchar_t kCaption[] = L"Lumenreach 环境设定";
const DWORD kLongWaitMs = 30000;
const char kExistingFile[] = "[Video]\r\nEnvMapOn=0\r\nWindowMode=1\r\n[Other]\r\nMine=1\r\n";

template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs = 5000) {
    for (DWORD waited = 0; waited < timeoutMs && !done(); waited += 50) {
        Sleep(50);
    }
    return done();
}

// The program (the shipped build when the run names it), the stand-in game and the settings.
struct GameFolder : TempFolder {
    explicit GameFolder(const std::string& settings) : TempFolder("game") {
        const char* shipped = getenv("SETLOOM_PROGRAM");
        std::string program = shipped != nullptr ? shipped : ModuleFolder() + "setloom.exe";
        EXPECT_TRUE(CopyFileA(program.c_str(), (*this / "setloom.exe").c_str(), FALSE));
        EXPECT_TRUE(CopyFileA((ModuleFolder() + "qr6_win3.exe").c_str(),
                              (*this / "qr6_win3.exe").c_str(), FALSE));
        CreateDirectoryA((*this / "save").c_str(), nullptr);
        EXPECT_TRUE(WriteFileText(SettingsFile(), settings));
    }
    std::string SettingsFile() const { return *this / "save\\qr6_win3.ini"; }
};

// Wine now and then fails to start a process: one meant to stay up gets three starts.
struct Program {
    PROCESS_INFORMATION process = {};
    Program(const GameFolder& game, const std::string& workingFolder = "", bool staysUp = true) {
        std::string command = "\"" + game / "setloom.exe" + "\"";
        for (int start = 0; start < 3; ++start) {
            Stop();
            STARTUPINFOA startup = {};
            startup.cb = sizeof startup;
            CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                           (workingFolder.empty() ? game.path() : workingFolder).c_str(), &startup,
                           &process);
            if (!staysUp || WaitForSingleObject(process.hProcess, 1000) == WAIT_TIMEOUT) {
                break;
            }
        }
    }
    ~Program() { Stop(); }
    void Stop() {  // each call fails harmlessly on a process that has ended or never started
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, kLongWaitMs);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        process = PROCESS_INFORMATION{};
    }

    long WaitForExit(DWORD timeoutMs = kLongWaitMs) const {  // -1 while it still runs
        DWORD code = 0;
        bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
        return ended && GetExitCodeProcess(process.hProcess, &code) ? static_cast<long>(code) : -1;
    }
};

// A visible window with that caption, owned or not (one program runs at a time).
HWND WaitForWindow(const wchar_t* caption, bool owned = false) {
    for (DWORD waited = 0; waited < kLongWaitMs; waited += 50, Sleep(50)) {
        for (HWND found = nullptr; (found = FindWindowExW(nullptr, found, nullptr, caption));) {
            if (IsWindowVisible(found) && (GetWindow(found, GW_OWNER) != nullptr) == owned) {
                return found;
            }
        }
    }
    return nullptr;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// A message box's text (none without a box); the box is closed and gone afterwards.
std::wstring ReadAndClose(HWND box) {
    const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([box] { return !IsWindow(box); });
    return text;
}

// The page (a dialog in the main dialog or in one of its pages) with a control of that id.
HWND PageOf(HWND parent, int id) {
    HWND page = nullptr, holder = nullptr;
    while (!holder && (page = FindWindowExW(parent, page, L"#32770", nullptr))) {
        holder = GetDlgItem(page, id) ? page : PageOf(page, id);
    }
    return holder;
}

bool ShowTab(HWND tabs, int steps, HWND page) {
    for (int i = 0; i < steps; ++i) {
        PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    }
    return WaitFor([page] { return IsWindowVisible(page) != FALSE; });
}

// Starts a capture, presses by real input until the label names it (Wine now and then loses one).
bool Capture(HWND page, int button, int label, const wchar_t* name, void (*press)(bool down)) {
    HWND shown = GetDlgItem(page, label);
    PostMessageW(GetDlgItem(page, button), BM_CLICK, 0, 0);
    if (!WaitFor([&] { return TextOf(shown).empty(); })) {
        return false;
    }
    bool named = false;
    for (int attempt = 0; attempt < 3 && !named; ++attempt) {
        press(false);
        press(true);
        named = WaitFor([&] { return TextOf(shown) == name; }, 2000);
    }
    press(false);
    return named;
}

// A session from a shortcut with another "Start in", with an impatient double click's copies;
// "游戏开始" while a capture runs stores, then starts the game in its own folder.
TEST(EndToEnd, SecondCopiesEndAtOnceAndRealInputReachesTheGameByStartGame) {
    const std::string locale = getenv("LC_ALL") ? getenv("LC_ALL") : "";
    EXPECT_EQ(GetACP(), locale.compare(0, 5, "zh_CN") == 0 ? 936u : 1252u) << locale;
    GameFolder game(kExistingFile);
    TempFolder elsewhere{"elsewhere"};
    Program program(game, elsewhere.path());
    HWND dialog = WaitForWindow(kCaption);
    ASSERT_NE(dialog, nullptr);
    RemoveTree(game / "save");  // a copy that loads makes it again
    for (int copy = 0; copy < 3; ++copy) {
        EXPECT_EQ(Program(game, "", false).WaitForExit(5000), 0) << "copy " << copy;
        EXPECT_EQ(GetFileAttributesA((game / "save").c_str()), INVALID_FILE_ATTRIBUTES) << copy;
    }
    HWND keyboard, mouse;  // made one by one after the dialog shows
    ASSERT_TRUE(WaitFor([&] {
        return (keyboard = PageOf(dialog, IDC_KEY_WALK_RUN)) &&
               (mouse = PageOf(dialog, IDC_MOUSE_CANCEL));
    }));
    // "走/跑" takes "J"; on the mouse page "取消/会话" takes the middle button.
    ASSERT_TRUE(ShowTab(GetDlgItem(dialog, IDC_MAIN_TABS), 2, keyboard));
    EXPECT_TRUE(Capture(keyboard, IDC_KEY_WALK_RUN, IDC_KEY_WALK_RUN_NAME, L"J",
                        [](bool down) { keybd_event('J', 0, down ? 0 : KEYEVENTF_KEYUP, 0); }));
    ASSERT_TRUE(ShowTab(GetDlgItem(GetParent(mouse), IDC_INPUT_TABS), 1, mouse));
    EXPECT_TRUE(Capture(mouse, IDC_MOUSE_CANCEL, IDC_MOUSE_CANCEL_NAME, L"M-Button", [](bool down) {
        mouse_event(down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP, 0, 0, 0, 0);
    }));
    PostMessageW(GetDlgItem(mouse, IDC_MOUSE_CONFIRM), BM_CLICK, 0, 0);  // a capture runs
    PostMessageW(GetDlgItem(dialog, IDC_START_GAME), BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
    std::string seen;  // the game's copy of the file it found
    ASSERT_TRUE(WaitFor([&] { return !(seen = ReadFileText(game / "game_saw.ini")).empty(); },
                        kLongWaitMs));
    EXPECT_EQ(seen, ReadFileText(game.SettingsFile()));
    ExpectIniValues(seen, "Video", "WindowMode=1");
    ExpectIniValues(seen, "Control", "Keyboard=20111b4a585a2628252742434d1056 Mouse=0104");
}

// A file another program holds at start (an editor, the game) is never stored over by this run.
TEST(EndToEnd, ASettingsFileThatCannotBeReadAtStartIsNeverStoredOver) {
    GameFolder game(kExistingFile);
    HANDLE lock = CreateFileA(game.SettingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    Program program(game);
    const std::wstring message = ReadAndClose(WaitForWindow(kCaption, true));
    EXPECT_NE(message.find(L"无法读取设定文件"), std::wstring::npos) << message;
    EXPECT_NE(message.find(L"qr6_win3.ini"), std::wstring::npos) << message;
    HWND dialog = WaitForWindow(kCaption);
    ASSERT_NE(dialog, nullptr);
    CloseHandle(lock);
    for (int button : {IDC_OK, IDC_START_GAME}) {
        PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);  // the box runs its own loop
        const std::wstring failed = ReadAndClose(WaitForWindow(kCaption, true));
        EXPECT_NE(failed.find(L"设定没有保存成功"), std::wstring::npos) << button;
    }
    EXPECT_EQ(ReadFileText(game / "game_saw.ini"), "") << "the game started without its settings";
    PostMessageW(GetDlgItem(dialog, IDC_OK), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(program.WaitForExit(1500), -1) << "the dialog closed after a failure or by Esc";
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile);
}

// Run with WINEDLLOVERRIDES="d3d8=": Wine takes it only from the environment it starts with.
TEST(EndToEndWithoutDirect3D, TheProgramSaysSoAndEndsWithOneStoringNothing) {
    ASSERT_EQ(LoadLibraryA("d3d8.dll"), nullptr) << "run with WINEDLLOVERRIDES=d3d8=";
    GameFolder game(kExistingFile);
    Program program(game);
    HWND box = WaitForWindow(L"HalvorineⅥ 启动错误");
    EXPECT_FALSE(IsWindowVisible(FindWindowW(L"#32770", kCaption)));  // created, never shown
    EXPECT_EQ(ReadAndClose(box), L"本程序需要DirectX8.1支持。\n请安装DirectX8.1以上版本。");
    EXPECT_EQ(program.WaitForExit(), 1);
    EXPECT_EQ(ReadFileText(game.SettingsFile()), kExistingFile);
}

}  // namespace
