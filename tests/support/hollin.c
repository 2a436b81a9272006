/* Test stand-in for the maker's path library hollin.dll. HOLLIN_ANSWER decides whether
   GetUserPath reports success; the tests read back how it was called. */
#include <string.h>
#include <windows.h>

static int callCount;
static char lastUser[260];

__declspec(dllexport) int __cdecl GetUserPath(const char* userName, char* buffer) {
    ++callCount;
    lstrcpynA(lastUser, userName, sizeof lastUser);
    strcpy(buffer, "C:\\hollin-answer\\");
    return HOLLIN_ANSWER;
}

__declspec(dllexport) int __cdecl HollinCallCount(void) {
    return callCount;
}

__declspec(dllexport) const char* __cdecl HollinLastUser(void) {
    return lastUser;
}
