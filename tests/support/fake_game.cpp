// Stand-in for qr6_win3.exe: copies the settings file it finds at start to game_saw.ini
// ("missing" when there is none), renamed at the end so a test never reads half a record.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!CopyFileA("save\\qr6_win3.ini", "game_saw.tmp", FALSE)) {
        HANDLE file = CreateFileA("game_saw.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, 0);
        DWORD written = 0;
        WriteFile(file, "missing", 7, &written, nullptr);
        CloseHandle(file);
    }
    return !MoveFileExA("game_saw.tmp", "game_saw.ini", MOVEFILE_REPLACE_EXISTING);
}
