#!/usr/bin/env bash
# Takes a screenshot of every page under Wine, on a virtual display with a window manager so the
# title bar shows as on a player's desktop, into docs/: bash scripts/screenshots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"

setloom_build_program

game=$(mktemp -d /tmp/setloom-shots.XXXXXX)
cp "$SETLOOM_PROGRAM_EXE" "$game/"
SETLOOM_OWN_DISPLAY=1 wine_session_start
trap 'wine_session_stop; rm -rf "$game"' EXIT
cd "$game"
LC_ALL=zh_CN.UTF-8 "$SETLOOM_WINE" setloom.exe >/dev/null 2>&1 &
window=$(timeout 60 xdotool search --sync --onlyvisible --name "Lumenreach" | head -n 1)
sleep 3  # a fresh prefix paints the first window slowly

shoot() {
    sleep 1
    # -frame takes the window manager's frame too: the title bar a player sees.
    import -window "$window" -frame "$root/docs/$1"
    echo "setloom: docs/$1"
}
# The main tabs have the keyboard focus at start; the arrow keys switch them. The input page's
# sub-pages are clicked (client coordinates of their tabs at the dialog's size under Wine).
click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
}
xdotool windowfocus --sync "$window"
shoot screenshot-video.png
xdotool key Right
shoot screenshot-sound.png
xdotool key Right
shoot screenshot-keyboard.png
click 94 152
shoot screenshot-mouse.png
click 151 152
shoot screenshot-gamepad.png
xdotool key --clearmodifiers alt+F4 || true
