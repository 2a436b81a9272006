# The shipped program: 32-bit Windows with the win32 thread model. The posix model links
# libwinpthread, which imports kernel32 functions that Windows XP lacks (GetTickCount64);
# the program uses no threads, so it needs none of that. Tests build with the posix model.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
