#!/usr/bin/env bash
# Opens the browser through SnapHost.exe on the sample archive (today's
# folder of channel 01). With an X display the host runs there for you to
# use; without one it runs headless under Xvfb and leaves a screenshot in
# build/demo/.
#
#   scripts/demo.sh                 interactive, or headless without a display
#   scripts/demo.sh --headless OUT  always headless, screenshot to OUT
#   scripts/demo.sh --screenshots DIR   headless: a page, one with marks, single mode, a 4K
#                                   snapshot zoomed in at its number plate,
#                                   the toolbar docked on the left and
#                                   floating, the print preview zoomed in:
#                                   DIR/*.png
#   scripts/demo.sh --languages DIR     headless: the File menu, the chooser
#                                   and the rename dialog in English and
#                                   both Chinese sets, DIR/<lang>-*.png
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# One demo at a time in a checkout; all it starts goes when it ends.
. "$ROOT/scripts/run-guard.sh"
run_guard demo "$@"
cd "$ROOT"
skip_x64=1
[ "${ARCH:-}" != x64 ] || skip_x64=
SKIP_NATIVE=1 SKIP_X64=$skip_x64 "$ROOT/scripts/build.sh"
"$ROOT/scripts/setup-prefix.sh"
"$ROOT/scripts/sample-archive.sh"
"$ROOT/scripts/setup-printer.sh"

headless=0
shots=""
shot="$ROOT/build/demo/browser.png"
if [ "${1:-}" = "--headless" ]; then headless=1; shot=${2:-$shot}; fi
if [ "${1:-}" = "--screenshots" ]; then headless=1; shots=${2:-$ROOT/docs}; fi
languages=""
if [ "${1:-}" = "--languages" ]; then headless=1; languages=${2:-$ROOT/docs/languages}; fi
if [ $headless = 0 ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then headless=1; fi

# ARCH=x64: the 64-bit host and libraries in the 64-bit prefix (the plain
# opening only: the screenshot drivers are 32-bit programs).
BIN="$ROOT/build/win32/bin"
if [ "${ARCH:-}" = x64 ]; then
  "$ROOT/scripts/setup-prefix.sh" win64
  "$ROOT/scripts/sample-archive.sh"
  export SNAP_WINEARCH=win64 SNAP_WINEPREFIX="$ROOT/build/wine/prefix64"
  export SNAP_LANE_PREFIX="$SNAP_WINEPREFIX"
  BIN="$ROOT/build/win64/bin"
  [ -z "$shots$languages" ] || { echo "screenshots and languages are made with the 32-bit build" >&2; exit 2; }
fi
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"

if [ $headless = 0 ]; then
  export USE_USER_DISPLAY=1
  start_wineserver
  # The prefix is the build's own: its server goes with the demo.
  run_at_end stop_wineserver
  heap_check_registry off     # left behind by an interrupted test run
  echo "opening the browser on your display; leave it with File > Exit, close the host to end"
  wine "$BIN/SnapHost.exe" --open
  exit 0
fi

# Headless: a display and a copy of the prefix of its own, with its Wine
# server started once the display is there (scripts/lanes.sh); all go when
# the demo ends, also when it fails or is interrupted.
unset USE_USER_DISPLAY
[ -z "$languages" ] || "$ROOT/scripts/setup-locales.sh"
. "$ROOT/scripts/lanes.sh"
run_at_end lanes_stop
lanes_start 1
lane_enter 1
# Captures the virtual desktop; while Wine is still bringing the windows
# up the picture is a bare desktop, so it tries again for a while.
capture() {
  for _ in $(seq 15); do
    import -window root -crop 1024x768+0+0 +repage "$1"
    [ "$(/usr/bin/convert "$1" -format %k info:)" -gt 16 ] && return 0
    sleep 1
  done
}

if [ -n "$languages" ]; then
  # The en-US-tagged variant beside its own host: Wine's loader would
  # always pick a neutral set (see bridge/CMakeLists.txt).
  mkdir -p "$languages"
  ENUS="$ROOT/build/win32/bin-enus"
  for locale in en_US zh_CN zh_TW; do
    stop_wineserver
    export LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 LANGUAGE= LOCPATH="$ROOT/build/locales"
    start_wineserver
    wine "$ENUS/SnapHost.exe" --open >/dev/null 2>&1 &
    host=$!
    # The first program after Wine changed its language starts slowly.
    wine "$ENUS/demo_driver.exe" wait && sleep 4
    wine "$ENUS/demo_driver.exe" menu && sleep 2 && capture "$languages/$locale-menu.png"
    wine "$ENUS/demo_driver.exe" escape && wine "$ENUS/demo_driver.exe" escape && sleep 1
    wine "$ENUS/demo_driver.exe" command 0xE101 && sleep 2 && capture "$languages/$locale-chooser.png"
    wine "$ENUS/demo_driver.exe" escape && sleep 1
    wine "$ENUS/demo_driver.exe" single && sleep 2
    wine "$ENUS/demo_driver.exe" command 0x802E && sleep 2 && capture "$languages/$locale-rename.png"
    wine "$ENUS/demo_driver.exe" escape && sleep 1
    kill $host 2>/dev/null || true
    stop_wineserver
  done
  echo "language screenshots in $languages"
  exit 0
fi

mkdir -p "$(dirname "$shot")"
wine "$BIN/SnapHost.exe" --open >/dev/null 2>&1 &
host=$!
# Give the browser time to open and paint its first page.
sleep "${DEMO_WAIT:-6}"
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  # The first page of today's folder, then its second picture alone.
  wine "$BIN/demo_driver.exe" command 0x8037 && sleep 2
  capture "$shots/page.png"
  # Three of its pictures marked by Ctrl+click, then the marks cleared.
  wine "$BIN/demo_driver.exe" mark 1 4 5 && sleep 2
  capture "$shots/marked.png"
  wine "$BIN/demo_driver.exe" command 0x8052 && sleep 1
  wine "$BIN/demo_driver.exe" single && sleep 2
  capture "$shots/single.png"
  # Today's first 3840 x 2160 snapshot (tools/make_sample_archive.py)
  # alone, then two notches of the wheel with Ctrl over its number plate.
  wine "$BIN/demo_driver.exe" multi && sleep 1
  wine "$BIN/demo_driver.exe" alone "-21.48.00-00.jpg" && sleep 2
  wine "$BIN/demo_driver.exe" zoom-at 1920 1394 3840 2160 2 && sleep 2
  capture "$shots/zoomed.png"
  wine "$BIN/demo_driver.exe" multi && sleep 1
  wine "$BIN/demo_driver.exe" dock-left && sleep 2
  capture "$shots/toolbar-left.png"
  wine "$BIN/demo_driver.exe" float && sleep 2
  capture "$shots/toolbar-floating.png"
  wine "$BIN/demo_driver.exe" zoom && sleep 3
  capture "$shots/preview-zoomed.png"
  shot="$shots/*.png"
else
  capture "$shot"
fi
kill $host 2>/dev/null || true
echo "headless demo: screenshot of the opened browser in $shot"
