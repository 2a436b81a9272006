// Starts programs and watches them from outside, for the benchmark.
//   probe startup RUNS SETLOOM FLOOR   alternating starts; per run the time until the main
//                                      dialog is visible and answers, then the close time
//                                      (setloom: "OK" pressed; floor: WM_CLOSE) to the end
//   probe idle SETLOOM FLOOR READY SECONDS
//                                      starts both, writes READY once both answer, leaves them
//                                      alone for SECONDS, then closes them
// Lines go to standard output: "startup NAME MS", "close NAME MS".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

const wchar_t kSetloomCaption[] = L"Lumenreach 环境设定";
const wchar_t kFloorCaption[] = L"setloom floor";
const int kOkButton = 1103;      // setloom's "OK"
const int kCancelButton = 1104;  // setloom's "取消"

double Now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Running {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
    double readyMs = -1;
};

// The visible top-level dialog of the process with that caption, once it answers a message.
HWND ReadyDialog(DWORD processId, const wchar_t* caption) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", caption)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        DWORD_PTR result = 0;
        if (owner == processId && IsWindowVisible(found) &&
            SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result)) {
            return found;
        }
    }
    return nullptr;
}

// Starts the program in its own folder and waits for its dialog. Wine now and then fails to
// start a process at all; such a start is tried again, at most three times.
bool Start(const char* program, const wchar_t* caption, Running* run) {
    char folder[MAX_PATH];
    lstrcpynA(folder, program, MAX_PATH);
    char* slash = strrchr(folder, '\\');
    if (slash == nullptr) {
        slash = strrchr(folder, '/');
    }
    if (slash != nullptr) {
        *slash = '\0';
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        char command[MAX_PATH + 2];
        snprintf(command, sizeof command, "\"%s\"", program);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        double started = Now();
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr,
                            slash ? folder : nullptr, &startup, &run->process)) {
            return false;
        }
        while (Now() - started < 60000) {
            run->dialog = ReadyDialog(run->process.dwProcessId, caption);
            if (run->dialog != nullptr) {
                run->readyMs = Now() - started;
                return true;
            }
            if (WaitForSingleObject(run->process.hProcess, 1) == WAIT_OBJECT_0) {
                break;  // gone without a dialog
            }
        }
        TerminateProcess(run->process.hProcess, 1);
        CloseHandle(run->process.hThread);
        CloseHandle(run->process.hProcess);
        run->process = {};
    }
    return false;
}

// Closes the program (setloom by a button, the floor by WM_CLOSE) and returns the time from
// the request to the process's end, or -1.
double Close(Running* run, int button) {
    double asked = Now();
    if (button != 0) {
        PostMessageW(GetDlgItem(run->dialog, button), BM_CLICK, 0, 0);
    } else {
        PostMessageW(run->dialog, WM_CLOSE, 0, 0);
    }
    bool ended = WaitForSingleObject(run->process.hProcess, 30000) == WAIT_OBJECT_0;
    double ms = Now() - asked;
    if (!ended) {
        TerminateProcess(run->process.hProcess, 1);
    }
    CloseHandle(run->process.hThread);
    CloseHandle(run->process.hProcess);
    return ended ? ms : -1;
}

int Startup(int runs, const char* setloom, const char* floor) {
    // One start of each first, not counted: the first start pays for loading the libraries.
    for (int run = -1; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            bool isSetloom = (which + run) % 2 == 0;  // alternate which goes first
            Running program;
            if (!Start(isSetloom ? setloom : floor, isSetloom ? kSetloomCaption : kFloorCaption,
                       &program)) {
                fprintf(stderr, "probe: %s did not come up\n", isSetloom ? setloom : floor);
                return 1;
            }
            double closeMs = Close(&program, isSetloom ? kOkButton : 0);
            if (run >= 0) {
                const char* name = isSetloom ? "setloom" : "floor";
                printf("startup %s %.1f\nclose %s %.1f\n", name, program.readyMs, name, closeMs);
                fflush(stdout);
            }
        }
    }
    return 0;
}

int Idle(const char* setloom, const char* floor, const char* readyFile, int seconds) {
    Running first, second;
    if (!Start(setloom, kSetloomCaption, &first) || !Start(floor, kFloorCaption, &second)) {
        fprintf(stderr, "probe: a program did not come up\n");
        return 1;
    }
    Sleep(500);  // let both settle after their first paint
    HANDLE ready = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(ready);
    Sleep(1000 * seconds);
    Close(&first, kCancelButton);
    Close(&second, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && strcmp(argv[1], "startup") == 0) {
        return Startup(atoi(argv[2]), argv[3], argv[4]);
    }
    if (argc == 6 && strcmp(argv[1], "idle") == 0) {
        return Idle(argv[2], argv[3], argv[4], atoi(argv[5]));
    }
    fprintf(stderr, "usage: probe startup RUNS SETLOOM FLOOR | idle SETLOOM FLOOR READY SECONDS\n");
    return 2;
}
