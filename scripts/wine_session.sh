#!/usr/bin/env bash
# A private Wine session: a fresh prefix, a virtual display with a window manager when none is
# given, one persistent wine server and one hidden window that keeps Wine's desktop process up.
# Sourced after setup.sh.
# wine_session_start [keeper.exe]; wine_session_stop (also run on exit).

wine_session_start() {
    WINEPREFIX=$(mktemp -d /tmp/setloom-wine.XXXXXX)
    export WINEPREFIX WINEDEBUG=-all
    if [ "$SETLOOM_RUN_ARCH" = x86_64 ]; then
        export WINEARCH=win64
    else
        export WINEARCH=win32
    fi
    wine_session_xvfb=""
    wine_session_wm=""
    if [ -z "${DISPLAY:-}" ] || [ "${SETLOOM_OWN_DISPLAY:-0}" = 1 ]; then
        local display=90
        while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
            display=$((display + 1))
        done
        Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        wine_session_xvfb=$!
        export DISPLAY=":$display"
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X${display}" ] && break
            sleep 0.1
        done
        # Without a window manager Wine waits about 2 s for an answer each time a window is
        # hidden or destroyed; a player's desktop has one, so the tests run with one too.
        openbox --sm-disable >/dev/null 2>&1 &
        wine_session_wm=$!
    fi
    trap wine_session_stop EXIT
    echo "setloom: creating Wine prefix $WINEPREFIX on display $DISPLAY"
    LC_ALL=C.UTF-8 "$SETLOOM_WINE" wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    wineserver -p >/dev/null 2>&1
    if [ -n "${1:-}" ]; then
        "$SETLOOM_WINE" "$1" >/dev/null 2>&1 &
        sleep 1
    fi
}

wine_session_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ -n "${wine_session_wm:-}" ]; then
        kill "$wine_session_wm" >/dev/null 2>&1 || true
    fi
    if [ -n "${wine_session_xvfb:-}" ]; then
        kill "$wine_session_xvfb" >/dev/null 2>&1 || true
    fi
}
