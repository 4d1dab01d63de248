#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the Windows unit
# and integration tests under Wine, and the end-to-end host scenarios.
# Prints one summary and exits non-zero on any failure.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/build.sh" || exit 1
"$ROOT/scripts/setup-prefix.sh" || exit 1
"$ROOT/scripts/sample-archive.sh" || exit 1
"$ROOT/scripts/setup-printer.sh" || exit 1
"$ROOT/scripts/setup-locales.sh" || exit 1

RESULTS="$ROOT/build/test-results"
rm -rf "$RESULTS"
mkdir -p "$RESULTS"
export TEST_RESULTS_DIR="$RESULTS"

. "$ROOT/scripts/heap-check.sh"
heap_check_environment
. "$ROOT/scripts/wine-env.sh"
start_xvfb
start_wineserver
# Every Windows program runs under the heap validation; the demo and the
# benchmarks, which run in the same prefix, do not.
heap_check_registry on
trap 'heap_check_registry off; stop_wineserver' EXIT

# Every registered program must leave a report; one that crashed did not.
for tree in build/asan build/win32; do
  ctest --test-dir "$tree" -N -L gtest_report -FA '.*' | sed -n 's/^ *Test *#[0-9]*: *//p'
done > "$RESULTS/programs.txt"

status=0
echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
ctest --test-dir build/asan --output-on-failure -j2 || status=1
echo "== fuzz targets, briefly"
"$ROOT/scripts/fuzz.sh" "${FUZZ_SECONDS:-15}" || status=1
echo "== Windows tests under Wine"
ctest --test-dir build/win32 --output-on-failure || status=1

/usr/bin/python3 "$ROOT/tools/test_summary.py" "$RESULTS" || status=1
exit $status
