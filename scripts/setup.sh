#!/usr/bin/env bash
# Installs what building, running and testing setloom needs on a Debian or Ubuntu machine, and
# decides which build runs under Wine here. Sourced by run.sh and test.sh; it sets:
#   SETLOOM_RUN_ARCH   i686 when this machine runs 32-bit Wine, else x86_64
#   SETLOOM_WINE       the Wine loader for that architecture
set -euo pipefail

setloom_sudo=""
if [ "$(id -u)" -ne 0 ]; then
    setloom_sudo="sudo"
fi

setloom_packages=(
    cmake googletest python3
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
    wine wine64 wine32:i386
    libgl1 libgl1-mesa-dri libglx-mesa0 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
    xvfb xauth xdotool imagemagick fonts-wqy-microhei locales openbox
)

setloom_missing=()
for package in "${setloom_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        setloom_missing+=("$package")
    fi
done
if [ "${#setloom_missing[@]}" -gt 0 ]; then
    echo "setloom: installing ${setloom_missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $setloom_sudo dpkg --add-architecture i386
    fi
    $setloom_sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $setloom_sudo apt-get install -y -q --no-install-recommends \
        "${setloom_missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    $setloom_sudo sed -i 's/^# *zh_CN.UTF-8/zh_CN.UTF-8/' /etc/locale.gen
    $setloom_sudo locale-gen >/dev/null
fi

# Some kernels (and container hosts) run no 32-bit code at all; 32-bit Wine cannot start there.
# The same sources are then run as a 64-bit build, while the shipped program stays 32-bit.
# SETLOOM_FORCE_ARCH=x86_64 takes the 64-bit route on a machine that could run 32-bit Wine, to
# try here what such hosts do.
if [ "${SETLOOM_FORCE_ARCH:-}" != x86_64 ] && timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    SETLOOM_RUN_ARCH=i686
    SETLOOM_WINE=/usr/lib/wine/wine
else
    SETLOOM_RUN_ARCH=x86_64
    SETLOOM_WINE=/usr/lib/wine/wine64
fi
export SETLOOM_RUN_ARCH SETLOOM_WINE
echo "setloom: Wine runs the $SETLOOM_RUN_ARCH build on this machine"

# Builds the program Wine runs here (the shipped build where 32-bit Wine runs, elsewhere the same
# program built for x86-64) and sets SETLOOM_PROGRAM_EXE to it.
setloom_build_program() {
    local build="$root/build/shipped" toolchain=toolchain-mingw-i686-xp.cmake
    if [ "$SETLOOM_RUN_ARCH" != i686 ]; then
        build="$root/build/x86_64-program"
        toolchain=toolchain-mingw-x86_64.cmake
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSETLOOM_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
    cmake --build "$build" -j "$(nproc)" >/dev/null
    SETLOOM_PROGRAM_EXE="$build/bin/setloom.exe"
}
