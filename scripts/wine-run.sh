#!/usr/bin/env bash
# Runs a Windows program of the build under Wine (the tests' emulator). When
# the test run checks the heap, its output is kept and checked for heap
# reports, under the name of its test report (or of the program).
#   wine-run.sh [--keep-files DIR FILE,...] PROGRAM.exe ARGS...
# --keep-files copies the named files of the prefix's drive C: into DIR
# after the run, for checks that read what the program left there (the
# prefix may be a lane's, which goes when the run ends).
# In a lane of the test run the program takes the lane's display and prefix
# (scripts/wine-env.sh); run by hand without a display, it gets a private
# one, which goes with the Wine server when the program ends.
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"
keep_dir="" keep=""
if [ "$1" = --keep-files ]; then
  keep_dir=$2 keep=$3
  shift 3
fi
if [ -z "${DISPLAY:-}" ]; then
  trap_interrupts
  trap stop_wine_and_display EXIT
  start_xvfb || exit 1
  start_wineserver
fi
name=$(basename "$1" .exe)
for arg in "$@"; do
  case $arg in --gtest_output=xml:*) name=$(basename "${arg#--gtest_output=xml:}" .xml) ;; esac
done
status=0
wine_run "$name" "$@" || status=$?
if [ -n "$keep_dir" ]; then
  mkdir -p "$keep_dir"
  for file in ${keep//,/ }; do
    [ ! -f "$WINEPREFIX/drive_c/$file" ] || cp "$WINEPREFIX/drive_c/$file" "$keep_dir/"
  done
fi
exit $status
