#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, prepares the private Wine prefix,
# starts a private Xvfb and runs every test executable through CTest under Wine.
set -euo pipefail
HERE="$(dirname "$0")"
bash "$HERE/setup.sh"
bash "$HERE/build.sh"
source "$HERE/env.sh"
source "$HERE/xvfb.sh"
trap 'wineserver -k >/dev/null 2>&1 || true; stop_xvfb' EXIT
start_xvfb
bash "$HERE/prefix.sh"
export HOME="$HOME_FOR_WINE"
export PANOREL_ARTIFACTS="$BUILD/artifacts"
mkdir -p "$PANOREL_ARTIFACTS"
# A persistent server makes each Wine start cheap.
wineserver -p
cd "$BUILD"
ctest --output-on-failure "$@"
