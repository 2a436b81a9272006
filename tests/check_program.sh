#!/usr/bin/env bash
# The shipped program is a 32-bit Windows GUI executable that needs no MinGW runtime DLL, loads
# Direct3D 8 and DirectInput 8 only at run time, and imports nothing Windows XP SP3 lacks.
set -u
exe=$1
fail=0
info=$(i686-w64-mingw32-objdump -p "$exe") || { echo "cannot read $exe"; exit 1; }
grep -q "^Magic.*010b" <<<"$info" || { echo "not a 32-bit (PE32) image"; fail=1; }
grep -q "file format pei-i386" < <(i686-w64-mingw32-objdump -f "$exe") || { echo "not i386"; fail=1; }
grep -q "Subsystem.*(Windows GUI)" <<<"$info" || { echo "not a GUI program"; fail=1; }
imports=$(grep "DLL Name" <<<"$info" | awk '{print tolower($3)}')
echo "imports:" $imports
for banned in d3d8.dll dinput8.dll libgcc_s_dw2-1.dll libgcc_s_sjlj-1.dll libstdc++-6.dll libwinpthread-1.dll; do
    if grep -qx "$banned" <<<"$imports"; then
        echo "imports $banned"
        fail=1
    fi
done
for needed in user32.dll kernel32.dll comctl32.dll shell32.dll; do
    grep -qx "$needed" <<<"$imports" || { echo "does not import $needed"; fail=1; }
done
# Functions newer than XP that the MinGW runtime (libwinpthread, emutls, libstdc++) pulls in.
newer_than_xp="GetTickCount64 InitializeConditionVariable WakeConditionVariable
WakeAllConditionVariable SleepConditionVariableCS SleepConditionVariableSRW InitializeSRWLock
AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared
TryAcquireSRWLockExclusive InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete
FlsAlloc FlsFree FlsGetValue FlsSetValue GetSystemTimePreciseAsFileTime
GetCurrentProcessorNumber CreateSymbolicLinkW GetFinalPathNameByHandleW SetThreadDescription"
symbols=$(awk '/^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print $3}' <<<"$info")
[ -n "$symbols" ] || { echo "no imported function names found"; fail=1; }
for name in $newer_than_xp; do
    if grep -qx "$name" <<<"$symbols"; then
        echo "imports $name, which Windows XP does not have"
        fail=1
    fi
done
[ $fail = 0 ] && echo "program checks passed"
exit $fail
