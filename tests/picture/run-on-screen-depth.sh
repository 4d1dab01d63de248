#!/usr/bin/env bash
# Runs a Windows test program under Wine on a private Xvfb screen of the
# given depth, and tells the program which depth to expect.
set -u
depth=$1
shift
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"
state=$(mktemp -d /tmp/snap-depth.XXXXXX)
# A Wine server keeps its desktop on the display it started with: this
# screen gets a copy of the build's prefix, and with it a server, of its
# own, checked as the run's lanes are (scripts/lanes.sh).
cp -a "$ROOT/build/wine/prefix" "$state/prefix" || exit 1
trap 'WINEPREFIX="$state/prefix" stop_wineserver; stop_private_xvfb "$state"; rm -rf "$state"' EXIT
trap_interrupts
display=$(start_private_xvfb 640x480x"$depth" "$state") || exit 1
export DISPLAY=$display PICTURE_TEST_SCREEN_BITS=$depth WINEPREFIX=$state/prefix
start_wineserver
[ "${SNAP_HEAP_CHECK:-}" != 1 ] || heap_check_registry on
name=$(basename "$1" .exe)_${depth}bit_screen
for arg in "$@"; do
  case $arg in --gtest_output=xml:*) name=$(basename "${arg#--gtest_output=xml:}" .xml) ;; esac
done
wine_run "$name" "$@"
