#!/usr/bin/env bash
# Runs a Windows program of the build under Wine in the build's private prefix.
# CTest calls it for every test executable (CMAKE_CROSSCOMPILING_EMULATOR).
set -eu
exe="$1"
if [ -z "${WINEPREFIX:-}" ]; then
  build="$(cd "$(dirname "$exe")/.." && pwd)"
  export WINEPREFIX="$build/wineprefix"
  export HOME="$build/home"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG="${WINEDEBUG:--all}"
fi
exec wine "$@"
