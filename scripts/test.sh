#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the Windows unit
# and integration tests under Wine, and the end-to-end host scenarios.
# Prints one summary and exits non-zero on any failure.
#
# The Windows tests run side by side in lanes (scripts/lanes.sh), one per
# processor unless SNAP_TEST_LANES says otherwise; each lane has a display
# and a copy of the Wine prefix of its own, and goes when the run ends, also
# when it fails or is interrupted. One run at a time in a checkout: a second
# refuses at once (scripts/run-guard.sh), and every process a run starts
# goes when it ends, also on Ctrl+C.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/run-guard.sh"
run_guard test "$@"
cd "$ROOT"
run_step "$ROOT/scripts/build.sh" || exit 1
FUZZ_BUILD_ONLY=1 run_step "$ROOT/scripts/fuzz.sh" || exit 1
run_step "$ROOT/scripts/setup-prefix.sh" || exit 1
run_step "$ROOT/scripts/sample-archive.sh" || exit 1
run_step "$ROOT/scripts/setup-printer.sh" || exit 1
run_step "$ROOT/scripts/setup-locales.sh" || exit 1

RESULTS="$ROOT/build/test-results"
rm -rf "$RESULTS"
mkdir -p "$RESULTS/ctest"
export TEST_RESULTS_DIR="$RESULTS"

. "$ROOT/scripts/heap-check.sh"
# Every Windows program runs under the heap validation, in every lane (the
# demo's, the benchmarks' and the soak run's lanes go without it).
heap_check_environment
. "$ROOT/scripts/lanes.sh"
run_at_end lanes_stop
lanes=${SNAP_TEST_LANES:-$(nproc)}
lanes_start "$lanes" || exit 1

# Every registered program must leave a report; one that crashed did not.
for tree in build/asan build/win32; do
  ctest --test-dir "$tree" -N -L gtest_report -FA '.*' | sed -n 's/^ *Test *#[0-9]*: *//p'
done > "$RESULTS/programs.txt"
[ "${SKIP_X64:-}" = 1 ] ||
  ctest --test-dir build/win64 -N -L '^x64$' | sed -n 's/^ *Test *#[0-9]*: *//p' | grep '^x64_' >> "$RESULTS/programs.txt"

# A program that hangs fails after this many seconds (the longest take two
# minutes on a busy machine).
timeout=600

# The native tests and the fuzz targets need no display and little of the
# time: they run beside the Windows tests, and their output follows.
native_log="$RESULTS/native.log"
(
  status=0
  echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
  ctest --test-dir build/asan --output-on-failure -j"$(nproc)" --timeout "$timeout" \
    --output-junit "$RESULTS/ctest/asan.xml" || status=1
  echo "== fuzz targets, briefly"
  "$ROOT/scripts/fuzz.sh" "${FUZZ_SECONDS:-15}" || status=1
  exit $status
) >"$native_log" 2>&1 &
native=$!

# The 64-bit libraries under 64-bit Wine, in a lane of their own beside
# the 32-bit lanes; their output follows the others'.
x64_log="$RESULTS/x64.log" x64=""
if [ "${SKIP_X64:-}" != 1 ]; then
  "$ROOT/scripts/test-x64.sh" >"$x64_log" 2>&1 &
  x64=$!
fi

status=0
echo "== Windows tests under Wine, in $lanes lanes"
run_step ctest --test-dir build/win32 --output-on-failure -j"$lanes" --timeout "$timeout" \
  --resource-spec-file "$SNAP_LANES_DIR/lanes.json" --output-junit "$RESULTS/ctest/win32.xml" || status=1
wait $native || status=1
cat "$native_log"
if [ -n "$x64" ]; then
  wait $x64 || status=1
  cat "$x64_log"
fi

run_step /usr/bin/python3 "$ROOT/tools/test_summary.py" "$RESULTS" || status=1
exit $status
