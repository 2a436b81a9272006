#!/usr/bin/env bash
# Installs what is missing, builds setloom.exe and starts it under Wine in a ready game folder
# (build/game). Without a DISPLAY it runs on a virtual display, saves a screenshot, cancels the
# dialog and says where the picture is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"

setloom_build_program
if [ "$SETLOOM_RUN_ARCH" != i686 ]; then
    echo "setloom: this machine cannot run 32-bit Wine; running the same program built for x86-64"
fi

game="$root/build/game"
mkdir -p "$game"
cp "$SETLOOM_PROGRAM_EXE" "$game/"
cd "$game"

if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" WINEDEBUG=-all
    exec "$SETLOOM_WINE" setloom.exe
fi

wine_session_start
LC_ALL=zh_CN.UTF-8 "$SETLOOM_WINE" setloom.exe >/dev/null 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "Lumenreach" | head -n 1)
sleep 3  # a fresh prefix paints the first window slowly, and the window manager frames it
import -window root "$game/screenshot.png"
# Alt+F4 closes the dialog without storing, as "取消" does.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4 || true
for _ in $(seq 300); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "setloom: the dialog did not close; ending Wine"
    wineserver -k || true
fi
echo "setloom: screenshot saved to $game/screenshot.png"
