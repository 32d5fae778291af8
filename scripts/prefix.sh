#!/usr/bin/env bash
# Creates the private Wine prefix of a build folder once; later runs reuse it.
# Needs DISPLAY set (a private Xvfb is fine).
set -euo pipefail
source "$(dirname "$0")/env.sh"
mkdir -p "$HOME_FOR_WINE"
export HOME="$HOME_FOR_WINE"
if [ ! -f "$WINEPREFIX/.panorel-ready" ]; then
  echo "prefix: creating $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  REG='C:\windows\system32\reg.exe'
  # Without a window manager, hiding a managed window blocks: keep windows unmanaged.
  wine "$REG" add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing test must fail, not wait for someone to close the crash dialog.
  wine "$REG" add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.panorel-ready"
fi
