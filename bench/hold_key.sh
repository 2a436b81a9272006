#!/usr/bin/env bash
# Processor time of setloom.exe while a keyboard capture ticks and while a key is held during
# it, beside the same figure for the program idle, read from outside in /proc (GetProcessTimes
# tells nothing under Wine): bash bench/hold_key.sh [capture-figures-file]
# Measures the shipped build. With a file named, it also writes "tick setloom <percent>" and
# "capture setloom <percent>" lines there for bench/run.sh's table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
figures=${1:-}
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"
toolchain="$root/cmake/toolchain-mingw-i686-xp.cmake"
cmake -S "$root" -B "$root/build/shipped" -DCMAKE_BUILD_TYPE=Release -DSETLOOM_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake -S "$root/bench" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake --build "$root/build/shipped" -j "$(nproc)" >/dev/null
cmake --build "$root/build/bench" -j "$(nproc)" >/dev/null

SETLOOM_OWN_DISPLAY=1 wine_session_start
game=$(mktemp -d /tmp/setloom-bench.XXXXXX)
trap 'wine_session_stop; rm -rf "$game"' EXIT
cp "$root/build/shipped/bin/setloom.exe" "$root/build/bench/bin/hold_key.exe" "$game/"
cd "$game"

# The Linux process of a Windows program of this session's prefix.
session_pid() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return
        fi
    done
}

# User plus system time of a process, in clock ticks.
cpu_ticks() {
    sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}

wait_mark() {
    for _ in $(seq 600); do
        grep -q "^$1" marks.txt 2>/dev/null && return 0  # Windows line ends
        sleep 0.01
    done
    echo "bench: no mark '$1'" >&2
    cat marks.txt >&2 || true
    exit 1
}

LC_ALL=zh_CN.UTF-8 "$SETLOOM_WINE" setloom.exe >/dev/null 2>&1 &
"$SETLOOM_WINE" hold_key.exe marks.txt >/dev/null 2>&1 &
driver=$!
# Found once the driver sees the dialog's pages: by then the process is the program itself.
wait_mark idle-start
program_pid=$(session_pid setloom.exe)
server_pid=$(session_pid wineserver)
if [ -z "$program_pid" ] || [ -z "$server_pid" ]; then
    echo "bench: setloom.exe or the wine server not found" >&2
    exit 1
fi

tick=$(getconf CLK_TCK)
measure() {
    wait_mark "$1-start"
    local t0 p0 s0 t1 p1 s1
    t0=$(date +%s%N); p0=$(cpu_ticks "$program_pid"); s0=$(cpu_ticks "$server_pid")
    wait_mark "$1-end"
    t1=$(date +%s%N); p1=$(cpu_ticks "$program_pid"); s1=$(cpu_ticks "$server_pid")
    awk -v phase="$2" -v wall=$(((t1 - t0) / 1000000)) -v p=$((p1 - p0)) -v s=$((s1 - s0)) \
        -v hz="$tick" 'BEGIN {
            printf "%-34s %6.2f s   setloom.exe %5d ms (%5.1f %%)   wineserver %5d ms (%5.1f %%)\n",
                phase, wall / 1000, p * 1000 / hz, p * 100000 / hz / wall,
                s * 1000 / hz, s * 100000 / hz / wall }'
    if [ -n "$figures" ] && [ -n "${3:-}" ]; then
        awk -v kind="$3" -v wall=$(((t1 - t0) / 1000000)) -v p=$((p1 - p0)) -v hz="$tick" \
            'BEGIN { printf "%s setloom %.2f\n", kind, p * 100000 / hz / wall }' >>"$figures"
    fi
}
measure idle "idle, no capture"
measure tick "a capture ticking, no key down" tick
measure hold "key held during a capture" capture
wait "$driver" || true
grep '^label' marks.txt || true
