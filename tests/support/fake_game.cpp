// Stand-in for qr6_win3.exe: copies the settings file it finds at start to game_saw.ini
// ("missing" when there is none), renamed at the end so a test never reads half a record.
#include <windows.h>

#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!CopyFileA("save\\qr6_win3.ini", "game_saw.tmp", FALSE)) {
        std::ofstream("game_saw.tmp") << "missing";
    }
    return !MoveFileExA("game_saw.tmp", "game_saw.ini", MOVEFILE_REPLACE_EXISTING);
}
