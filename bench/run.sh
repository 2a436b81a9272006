#!/usr/bin/env bash
# The benchmark: bash bench/run.sh [RUNS]   (not part of the test command)
# Builds the shipped setloom.exe and the benchmark's programs (bench/: a floor program that only
# creates Direct3D 8, asks setloom's enumeration questions, creates DirectInput 8 and shows an
# empty dialog; a probe that starts and watches programs), runs them side by side under Wine
# (fresh prefix, Xvfb, openbox, one persistent wine server) and prints a Markdown table:
# start-up (median of RUNS alternating pairs of starts, default and at least 11), idle CPU over
# 5 s, close time from "OK" to the process's end, capture CPU (bench/hold_key.sh) and the size
# of setloom.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-11}
if [ "$runs" -lt 11 ]; then
    echo "bench: $runs pairs are too few for a median on this noisy machine; measuring 11" >&2
    runs=11
fi
source "$root/scripts/setup.sh"
source "$root/scripts/wine_session.sh"
if [ "$SETLOOM_RUN_ARCH" != i686 ]; then
    echo "bench: this machine runs no 32-bit Wine; the benchmark measures the shipped 32-bit program" >&2
    exit 1
fi

shipped="$root/build/shipped"
bench="$root/build/bench"
toolchain="$root/cmake/toolchain-mingw-i686-xp.cmake"
cmake -S "$root" -B "$shipped" -DCMAKE_BUILD_TYPE=Release -DSETLOOM_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null
cmake -S "$root/bench" -B "$bench" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    >/dev/null
cmake --build "$shipped" -j "$(nproc)" >/dev/null
cmake --build "$bench" -j "$(nproc)" >/dev/null

work=$(mktemp -d /tmp/setloom-bench.XXXXXX)
mkdir -p "$work/game" "$work/floor"
cp "$shipped/bin/setloom.exe" "$work/game/"
cp "$bench/bin/floor.exe" "$work/floor/"
SETLOOM_OWN_DISPLAY=1 wine_session_start "$bench/bin/keep_desktop.exe"
export LC_ALL=zh_CN.UTF-8
cleanup() {
    wine_session_stop
    rm -rf "$work"
}
trap cleanup EXIT
sleep 3  # a new prefix's services are still starting; they would skew the first figures

# Start-up and close: alternating starts, each closed again ("OK" for setloom).
"$SETLOOM_WINE" "$bench/bin/probe.exe" startup "$runs" "Z:$work/game/setloom.exe" \
    "Z:$work/floor/floor.exe" >"$work/startup.txt" 2>"$work/probe.err" ||
    { cat "$work/probe.err" >&2; exit 1; }

# Idle: both programs open side by side, their CPU time read from /proc over the same 5 s.
"$SETLOOM_WINE" "$bench/bin/probe.exe" idle "Z:$work/game/setloom.exe" \
    "Z:$work/floor/floor.exe" "Z:$work/ready" 9 >"$work/idle.txt" 2>&1 &
probe=$!
for _ in $(seq 1200); do
    [ -e "$work/ready" ] && break
    sleep 0.1
done
python3 "$root/bench/measure.py" idle "$work" 5 >"$work/idle_cpu.txt"
wait "$probe"

# Capture CPU: the keyboard page's 10 ms tick, and a key held during the wait for release.
bash "$root/bench/hold_key.sh" "$work/capture.txt" >"$work/hold_key.txt" 2>&1 ||
    { cat "$work/hold_key.txt" >&2; echo "bench: the capture figures failed" >&2; }
python3 "$root/bench/measure.py" table "$work" "$shipped/bin/setloom.exe" "$runs"
