#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds, prepares the private Wine prefix,
# starts a private Xvfb and runs every test executable through CTest under Wine.
set -euo pipefail
HERE="$(dirname "$0")"
bash "$HERE/setup.sh"
# PANOREL_BUILD_TARGET limits the build to one target (and what it needs).
bash "$HERE/build.sh" ${PANOREL_BUILD_TARGET:+--target "$PANOREL_BUILD_TARGET"}
source "$HERE/env.sh"
source "$HERE/xvfb.sh"
trap 'wineserver -k >/dev/null 2>&1 || true; stop_xvfb' EXIT
start_xvfb
# The tests have a FAT volume of their own (see prefix.sh).
export PANOREL_FAT_DRIVE=1
bash "$HERE/prefix.sh"
export HOME="$HOME_FOR_WINE"
export PANOREL_ARTIFACTS="$BUILD/artifacts"
mkdir -p "$PANOREL_ARTIFACTS"
# A persistent server makes each Wine start cheap.
wineserver -p
cd "$BUILD"
ctest --output-on-failure "$@"
