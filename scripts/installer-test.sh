#!/usr/bin/env bash
# Runs the installer's end-to-end test in a Wine prefix made fresh for it, as on a computer
# that never had the product. CTest calls it: installer-test.sh <test exe> <installer exe>.
set -u
exe="$1"
setup="$2"
build="$(cd "$(dirname "$exe")/.." && pwd)"
export WINEPREFIX="$build/installprefix"
export HOME="$build/installhome"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
wine wineboot -i >/dev/null 2>&1 || true
REG='C:\windows\system32\reg.exe'
wine "$REG" add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine "$REG" add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
export PANOREL_SETUP="$(winepath -w "$setup" 2>/dev/null)"
export PANOREL_ARTIFACTS="${PANOREL_ARTIFACTS:-$build/artifacts}"
out="$(mktemp)"
wine "$exe" --gtest_color=no </dev/null >"$out" 2>&1
rc=$?
grep -v "^wine: Read access denied" "$out"
rm -f "$out"
wineserver -k >/dev/null 2>&1 || true
exit $rc
