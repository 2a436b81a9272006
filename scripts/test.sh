#!/usr/bin/env bash
# Installs what is missing, builds setloom and every test, and runs them all under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"

jobs=$(nproc)
configure_and_build() {  # build folder, toolchain, tests ON/OFF
    cmake -S "$root" -B "$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" \
        -DSETLOOM_BUILD_TESTS="$3" -DSETLOOM_SHIPPED_EXE="$root/build/shipped/bin/setloom.exe" \
        >/dev/null
    cmake --build "$1" -j "$jobs"
}

# The shipped program: 32-bit, win32 thread model, runs on Windows XP SP3 and later.
configure_and_build "$root/build/shipped" toolchain-mingw-i686-xp.cmake OFF
# The 32-bit tests compile on every machine, so a calling-convention fault fails everywhere;
# they run where 32-bit Wine runs, and the 64-bit build runs the same tests elsewhere.
configure_and_build "$root/build/i686" toolchain-mingw-i686.cmake ON
test_build="$root/build/i686"
if [ "$SETLOOM_RUN_ARCH" = x86_64 ]; then
    test_build="$root/build/x86_64"
    configure_and_build "$test_build" toolchain-mingw-x86_64.cmake ON
fi

SETLOOM_OWN_DISPLAY=1 wine_session_start "$test_build/bin/keep_desktop.exe"
cd "$test_build"
ctest --output-on-failure --timeout 300
