#!/usr/bin/env bash
# Opens the browser through SnapHost.exe on the sample archive (today's
# folder of channel 01). With an X display the host runs there for you to
# use; without one it runs headless under Xvfb and leaves a screenshot in
# build/demo/.
#
#   scripts/demo.sh                 interactive, or headless without a display
#   scripts/demo.sh --headless OUT  always headless, screenshot to OUT
#   scripts/demo.sh --screenshots DIR   headless: a page and single mode,
#                                   saved as DIR/page.png and DIR/single.png
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SKIP_NATIVE=1 "$ROOT/scripts/build.sh"
"$ROOT/scripts/setup-prefix.sh"
"$ROOT/scripts/sample-archive.sh"
"$ROOT/scripts/setup-printer.sh"

headless=0
shots=""
shot="$ROOT/build/demo/browser.png"
if [ "${1:-}" = "--headless" ]; then headless=1; shot=${2:-$shot}; fi
if [ "${1:-}" = "--screenshots" ]; then headless=1; shots=${2:-$ROOT/docs}; fi
if [ $headless = 0 ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then headless=1; fi

. "$ROOT/scripts/wine-env.sh"
BIN="$ROOT/build/win32/bin"

if [ $headless = 0 ]; then
  export USE_USER_DISPLAY=1
  start_wineserver
  echo "opening the browser on your display; leave it with File > Exit, close the host to end"
  wine "$BIN/SnapHost.exe" --open
  exit 0
fi

unset USE_USER_DISPLAY
start_xvfb
start_wineserver
mkdir -p "$(dirname "$shot")"
wine "$BIN/SnapHost.exe" --open >/dev/null 2>&1 &
host=$!
# Give the browser time to open and paint its first page.
sleep "${DEMO_WAIT:-6}"
capture() { import -window root -crop 1024x768+0+0 +repage "$1"; }
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  # The first page of today's folder, then its second picture alone.
  wine "$BIN/demo_driver.exe" command 0x8037 && sleep 2
  capture "$shots/page.png"
  wine "$BIN/demo_driver.exe" single && sleep 2
  capture "$shots/single.png"
  shot="$shots/page.png and $shots/single.png"
else
  capture "$shot"
fi
kill $host 2>/dev/null || true
stop_wineserver
echo "headless demo: screenshot of the opened browser in $shot"
