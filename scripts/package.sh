#!/usr/bin/env bash
# Builds the shipped setloom.exe and packs it with the player's readme into
# build/package/setloom-<version>.zip (CPack), then checks what the zip holds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"

build="$root/build/shipped"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSETLOOM_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686-xp.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -rf "$root/build/package"
(cd "$build" && cpack -B "$root/build/package" >/dev/null)
zip=$(ls "$root"/build/package/setloom-*.zip)
python3 "$root/scripts/check_package.py" "$zip" "$build/bin/setloom.exe" "$root"
echo "setloom: package $zip"
