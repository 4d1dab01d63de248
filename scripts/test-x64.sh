#!/usr/bin/env bash
# Runs the tests labelled x64 of the 64-bit tree (build/win64: the 64-bit
# libraries, hosts and test programs) under 64-bit Wine, in lanes of their
# own copied from the 64-bit prefix (build/wine/prefix64), beside the
# 32-bit lanes of scripts/test.sh, which starts it with the environment of
# its run (reports into $TEST_RESULTS_DIR, the heap validation on or off).
#   test-x64.sh [LANES]   one lane unless told
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
export SNAP_WINEARCH=win64 SNAP_WINEPREFIX="$ROOT/build/wine/prefix64"
export SNAP_LANE_PREFIX="$SNAP_WINEPREFIX" SNAP_LANES_DIR="$ROOT/build/lanes/test-x64"
"$ROOT/scripts/setup-prefix.sh" win64 || exit 1
"$ROOT/scripts/sample-archive.sh" || exit 1
. "$ROOT/scripts/lanes.sh"
trap lanes_stop EXIT
trap_interrupts
lanes=${1:-1}
lanes_start "$lanes" || exit 1
results=${TEST_RESULTS_DIR:-$ROOT/build/test-results}
mkdir -p "$results/ctest"
echo "== 64-bit Windows tests under 64-bit Wine, in $lanes lane(s)"
ctest --test-dir build/win64 -L '^x64$' --output-on-failure -j"$lanes" --timeout 600 \
  --resource-spec-file "$SNAP_LANES_DIR/lanes.json" --output-junit "$results/ctest/win64.xml" &
wait $!
