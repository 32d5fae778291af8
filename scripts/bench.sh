#!/usr/bin/env bash
# Builds, prepares the private Wine prefix and a private Xvfb as the tests do, then runs every
# benchmark (bench/*.cpp) under Wine and prints its figures. Arguments name the benchmarks to
# run (for example: startup_bench); none runs them all. PANOREL_BENCH_RUNS sets the repetitions
# of the benchmarks that take a count.
set -euo pipefail
HERE="$(dirname "$0")"
bash "$HERE/setup.sh"
bash "$HERE/build.sh"
source "$HERE/env.sh"
source "$HERE/xvfb.sh"
OUT="$(mktemp)"
trap 'wineserver -k >/dev/null 2>&1 || true; stop_xvfb; rm -f "$OUT"' EXIT
start_xvfb
bash "$HERE/prefix.sh"
export HOME="$HOME_FOR_WINE"
# A persistent server makes each Wine start cheap, as it does for the tests.
wineserver -p
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for src in "$ROOT"/bench/*.cpp; do
    names+=("$(basename "$src" .cpp)")
  done
fi
status=0
for name in "${names[@]}"; do
  exe="$BUILD/bin/$name.exe"
  echo "== $name"
  if [ ! -f "$exe" ]; then
    echo "missing: $exe" >&2
    status=1
    continue
  fi
  # Wine's service processes inherit the output handles and outlive the run: go through a file.
  rc=0
  wine "$exe" ${PANOREL_BENCH_RUNS:-} </dev/null >"$OUT" 2>&1 || rc=$?
  cat "$OUT"
  [ $rc -eq 0 ] || { echo "$name exited with $rc"; status=1; }
done
exit $status
