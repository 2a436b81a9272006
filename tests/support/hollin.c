/* Test stand-in for the maker's path library: HOLLIN_ANSWER says whether GetUserPath succeeds. */
#include <string.h>

__declspec(dllexport) int __cdecl GetUserPath(const char* userName, char* buffer) {
    (void)userName;
    strcpy(buffer, "C:\\hollin-answer\\");
    return HOLLIN_ANSWER;
}
