# Sourced by the scripts: where the build and its private Wine prefix live.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${PANOREL_BUILD:-$ROOT/build}"
export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$BUILD/wineprefix}"
export HOME_FOR_WINE="$BUILD/home"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
