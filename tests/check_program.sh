#!/usr/bin/env bash
# The shipped program is a 32-bit Windows GUI executable that needs no MinGW runtime DLL, loads
# Direct3D 8 and DirectInput 8 only at run time, and imports nothing Windows XP SP3 lacks.
exe=$1
fail=0
problem() { echo "$1"; fail=1; }
info=$(i686-w64-mingw32-objdump -p "$exe") || { echo "cannot read $exe"; exit 1; }
grep -q "^Magic.*010b" <<<"$info" || problem "not a 32-bit (PE32) image"
i686-w64-mingw32-objdump -f "$exe" | grep -q "file format pei-i386" || problem "not i386"
grep -q "Subsystem.*(Windows GUI)" <<<"$info" || problem "not a GUI program"
imports=$(grep "DLL Name" <<<"$info" | awk '{print tolower($3)}')
echo "imports:" $imports
for dll in d3d8.dll dinput8.dll libgcc_s_dw2-1.dll libgcc_s_sjlj-1.dll libstdc++-6.dll \
    libwinpthread-1.dll; do
    ! grep -qx "$dll" <<<"$imports" || problem "imports $dll"
done
for dll in user32.dll kernel32.dll comctl32.dll shell32.dll; do
    grep -qx "$dll" <<<"$imports" || problem "does not import $dll"
done
# Functions newer than XP that the MinGW runtime (libwinpthread, emutls, libstdc++) pulls in.
symbols=$(awk '/^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print $3}' <<<"$info")
[ -n "$symbols" ] || problem "no imported function names found"
for name in GetTickCount64 InitializeConditionVariable WakeConditionVariable \
    WakeAllConditionVariable SleepConditionVariableCS SleepConditionVariableSRW InitializeSRWLock \
    AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared \
    TryAcquireSRWLockExclusive InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete \
    FlsAlloc FlsFree FlsGetValue FlsSetValue GetSystemTimePreciseAsFileTime \
    GetCurrentProcessorNumber CreateSymbolicLinkW GetFinalPathNameByHandleW SetThreadDescription; do
    ! grep -qx "$name" <<<"$symbols" || problem "imports $name, which Windows XP does not have"
done
[ $fail = 0 ] && echo "program checks passed"
exit $fail
