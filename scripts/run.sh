#!/usr/bin/env bash
# Installs what is missing, builds, and starts panorel.exe under Wine in a private prefix
# (build/runprefix). Without a DISPLAY a private Xvfb is started for the program.
set -euo pipefail
HERE="$(dirname "$0")"
bash "$HERE/setup.sh"
bash "$HERE/build.sh" --target panorel
source "$HERE/env.sh"
export WINEPREFIX="$BUILD/runprefix"
source "$HERE/xvfb.sh"
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  trap 'stop_xvfb' EXIT
  echo "run: no DISPLAY; started a private Xvfb on $DISPLAY"
  echo "run: screenshot with: DISPLAY=$DISPLAY import -window root panorel.png"
fi
WINEPREFIX_OVERRIDE="$WINEPREFIX" bash "$HERE/prefix.sh"
export HOME="$HOME_FOR_WINE"
wine "$BUILD/bin/panorel.exe" "$@"
