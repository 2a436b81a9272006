#!/usr/bin/env bash
# Runs a test program under Wine: wine_run.sh LOADER PROGRAM [ARGS...]. Now and then Wine fails
# to start a process at all (non-zero exit, not one line of output); such a start is tried
# again, three starts at most. A program that started and printed anything is never rerun.
loader=$1
shift
out=$(mktemp)
for attempt in 1 2 3; do
    "$loader" "$@" >"$out" 2>&1
    rc=$?
    [ "$rc" -eq 0 ] || [ -s "$out" ] && break
    echo "wine_run: Wine did not start $1 (exit $rc, attempt $attempt)" >&2
    sleep 1
done
cat "$out"
rm -f "$out"
exit "$rc"
