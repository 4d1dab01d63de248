#!/usr/bin/env bash
# Runs bench_archive_load in a private copy of the Wine prefix whose drives
# D: to M: link to ten empty folders; the shared prefix is only read.
#   run-archive-load-bench.sh BIN_DIR   (holding bench_archive_load.exe and ImageBrowse.dll)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$(cd "$1" && pwd)
. "$ROOT/scripts/wine-env.sh"
work=$(mktemp -d /tmp/archive-bench.XXXXXX)
export WINEPREFIX="$work/prefix"
cleanup() {
  stop_wine_and_display
  rm -rf "$work"
}
trap cleanup EXIT
trap_interrupts
[ -n "${DISPLAY:-}" ] || start_xvfb
cp -a "$ROOT/build/wine/prefix" "$WINEPREFIX"
rm -f "$WINEPREFIX"/dosdevices/[d-y]:
for letter in d e f g h i j k l m; do
  mkdir -p "$work/drives/$letter"
  ln -s "$work/drives/$letter" "$WINEPREFIX/dosdevices/$letter:"
done
start_wineserver
wine "$BIN/bench_archive_load.exe" "$(winepath -w "$BIN/ImageBrowse.dll")"
