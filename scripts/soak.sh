#!/usr/bin/env bash
# Long runs through the host (not part of `make test`, which runs them
# briefly): 1,000 openings and closings, an hour of automatic browse in each
# mode and an hour of snapshots arriving in the album's folder, each with a
# resource sample a minute, and the album of 100,000 names.
# Prints the start and end of every sampled count ("soak:" lines).
# SNAP_SOAK_MINUTES, SNAP_SOAK_OPENINGS and SNAP_LOAD_NAMES shorten a run,
# SNAP_SOAK_FILTER picks the checks (a GoogleTest filter over both
# programs); BUILD picks the cross-build tree. The run has a display and a
# copy of the Wine prefix of its own (scripts/lanes.sh), which go when it
# ends, also when it fails or is interrupted; one soak runs at a time in a
# checkout (scripts/run-guard.sh).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/run-guard.sh"
run_guard soak "$@"
BUILD=${BUILD:-$ROOT/build/win32}
[ -n "${SKIP_BUILD:-}" ] || SKIP_NATIVE=1 run_step "$ROOT/scripts/build.sh" || exit 1
run_step "$ROOT/scripts/setup-prefix.sh" || exit 1
run_step "$ROOT/scripts/sample-archive.sh" || exit 1
. "$ROOT/scripts/heap-check.sh"
# SNAP_SOAK_HEAP_CHECK=1 runs the test programs and the hosts they start
# as SnapHost.exe under the heap validation of the tests (much slower); a
# report fails the run.
if [ "${SNAP_SOAK_HEAP_CHECK:-}" = 1 ]; then
  heap_check_environment
  export TEST_RESULTS_DIR="$ROOT/build/soak-results"
fi
. "$ROOT/scripts/lanes.sh"
run_at_end lanes_stop
lanes_start 1
lane_enter 1
export SNAP_SOAK_OPENINGS=${SNAP_SOAK_OPENINGS:-1000}
export SNAP_SOAK_MINUTES=${SNAP_SOAK_MINUTES:-60}
export SNAP_LOAD_NAMES=${SNAP_LOAD_NAMES:-100000}
filter=${SNAP_SOAK_FILTER:-HostOpenClose.*:Soak.*:AlbumLoad.*}
status=0
run_step wine_run soak-e2e "$BUILD/bin/e2e_tests.exe" --gtest_filter="$filter" || status=1
run_step wine_run soak-operator "$BUILD/bin/operator_tests.exe" --gtest_filter="$filter" || status=1
exit $status
