#!/usr/bin/env bash
# Runs a Windows test program under Wine on a private Xvfb screen of the
# given depth, and tells the program which depth to expect.
set -u
depth=$1
shift
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
. "$ROOT/scripts/wine-env.sh"
display=:$((170 + depth))
Xvfb "$display" -screen 0 640x480x"$depth" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null' EXIT
for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display PICTURE_TEST_SCREEN_BITS=$depth wine "$@"
