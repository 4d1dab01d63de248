#!/usr/bin/env bash
# Long runs through the host (not part of `make test`): 1,000 openings and
# closings, an hour of automatic browse in each mode with a resource sample
# a minute, and the album of 100,000 names. Prints the start and end of
# every sampled count ("soak:" lines). SNAP_SOAK_MINUTES and
# SNAP_SOAK_OPENINGS shorten a run, SNAP_SOAK_FILTER picks the checks; BUILD
# picks the cross-build tree.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build/win32}
[ -n "${SKIP_BUILD:-}" ] || "$ROOT/scripts/build.sh"
. "$ROOT/scripts/heap-check.sh"
# SNAP_SOAK_HEAP_CHECK=1 runs the host under the heap validation of the
# tests (much slower); a report fails the run.
[ "${SNAP_SOAK_HEAP_CHECK:-}" != 1 ] || heap_check_environment
. "$ROOT/scripts/wine-env.sh"
start_xvfb
start_wineserver
if [ "${SNAP_SOAK_HEAP_CHECK:-}" = 1 ]; then
  export TEST_RESULTS_DIR="$ROOT/build/soak-results"
  heap_check_registry on
else
  heap_check_registry off
fi
export SNAP_SOAK_OPENINGS=${SNAP_SOAK_OPENINGS:-1000}
export SNAP_SOAK_MINUTES=${SNAP_SOAK_MINUTES:-60}
export SNAP_LOAD_NAMES=${SNAP_LOAD_NAMES:-100000}
status=0
wine_run soak "$BUILD/bin/operator_tests.exe" --gtest_filter="${SNAP_SOAK_FILTER:-Soak.*:AlbumLoad.*}" || status=1
heap_check_registry off
stop_wineserver
exit $status
