#!/usr/bin/env bash
# Runs a Windows program of the build under Wine (the tests' emulator). When
# the test run checks the heap, its output is kept and checked for heap
# reports, under the name of its test report (or of the program).
#   wine-run.sh [--host-unchecked] PROGRAM.exe ARGS...
# --host-unchecked runs the host that the program starts without the heap
# validation, for the tests that measure the host's memory.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"
[ -n "${DISPLAY:-}" ] || start_xvfb
if [ "$1" = --host-unchecked ]; then
  shift
  run=wine_run_host_unchecked
else
  run=wine_run
fi
name=$(basename "$1" .exe)
for arg in "$@"; do
  case $arg in --gtest_output=xml:*) name=$(basename "${arg#--gtest_output=xml:}" .xml) ;; esac
done
$run "$name" "$@"
