#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the build's private prefix.
# CTest calls it for every test executable (CMAKE_CROSSCOMPILING_EMULATOR).
set -u
exe="$1"
if [ -z "${WINEPREFIX:-}" ]; then
  build="$(cd "$(dirname "$exe")/.." && pwd)"
  export WINEPREFIX="$build/wineprefix"
  export HOME="$build/home"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
fi
# Wine's own service processes (services.exe, explorer.exe) outlive the test and inherit
# its output handles: write to a file, not to CTest's pipe, or CTest waits for them forever.
out="$(mktemp)"
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
