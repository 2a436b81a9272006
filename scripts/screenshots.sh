#!/usr/bin/env bash
# Takes a screenshot of every page and of a message box under Wine, on a virtual display with a
# window manager so the title bar shows as on a player's desktop: bash scripts/screenshots.sh
# SETLOOM_LOCALE picks the locale Wine runs under (default zh_CN.UTF-8, a Chinese system; C.UTF-8
# shows what a player with an English system sees). The pictures go to SETLOOM_SHOTS, by default
# docs/ for zh_CN.UTF-8 and build/screenshots/<locale>/ for any other locale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"
locale=${SETLOOM_LOCALE:-zh_CN.UTF-8}
shots=${SETLOOM_SHOTS:-$root/docs}
if [ "$locale" != zh_CN.UTF-8 ] && [ -z "${SETLOOM_SHOTS:-}" ]; then
    shots="$root/build/screenshots/$locale"
fi
mkdir -p "$shots"

setloom_build_program

game=$(mktemp -d /tmp/setloom-shots.XXXXXX)
cp "$SETLOOM_PROGRAM_EXE" "$game/"
SETLOOM_OWN_DISPLAY=1 wine_session_start
trap 'wine_session_stop; rm -rf "$game"' EXIT
cd "$game"
LC_ALL=$locale "$SETLOOM_WINE" setloom.exe >/dev/null 2>&1 &
window=$(timeout 60 xdotool search --sync --onlyvisible --name "Lumenreach" | head -n 1)
sleep 3  # a fresh prefix paints the first window slowly

shoot() {  # picture [window]
    sleep 1
    # -frame takes the window manager's frame too: the title bar a player sees.
    import -window "${2:-$window}" -frame "$shots/$1"
    echo "setloom: $shots/$1"
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
# Enter is "游戏开始": the settings are stored in this scratch folder, which holds no game, so
# the program says it cannot start it. The box bears the main dialog's caption.
xdotool key Return
box=""
for _ in $(seq 50); do
    box=$(xdotool search --onlyvisible --name "Lumenreach" | grep -vx "$window" | head -n 1 || true)
    [ -n "$box" ] && break
    sleep 0.2
done
if [ -n "$box" ]; then
    shoot screenshot-message.png "$box"
    xdotool key Return || true
else
    echo "setloom: no message box appeared"
fi
xdotool key --clearmodifiers alt+F4 || true
