#!/usr/bin/env bash
# Installs what is missing, builds setloom and every test, and runs them all under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"

jobs=$(nproc)
# The shipped program: 32-bit. Its tests run in this build when the machine runs 32-bit Wine.
with_tests=OFF
[ "$SETLOOM_RUN_ARCH" = i686 ] && with_tests=ON
cmake -S "$root" -B "$root/build/i686" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DSETLOOM_BUILD_TESTS=$with_tests \
    -DSETLOOM_SHIPPED_EXE="$root/build/i686/bin/setloom.exe" >/dev/null
cmake --build "$root/build/i686" -j "$jobs"

test_build="$root/build/i686"
if [ "$SETLOOM_RUN_ARCH" = x86_64 ]; then
    test_build="$root/build/x86_64"
    cmake -S "$root" -B "$test_build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" -DSETLOOM_BUILD_TESTS=ON \
        -DSETLOOM_SHIPPED_EXE="$root/build/i686/bin/setloom.exe" >/dev/null
    cmake --build "$test_build" -j "$jobs"
fi

SETLOOM_OWN_DISPLAY=1 wine_session_start "$test_build/bin/keep_desktop.exe"
cd "$test_build"
ctest --output-on-failure --timeout 300
