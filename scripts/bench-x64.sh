#!/usr/bin/env bash
# The benchmarks of the picture engine and of paging with the 64-bit build
# under 64-bit Wine, in a lane of their own made from the 64-bit prefix;
# scripts/bench.sh runs it after the same programs of the 32-bit build.
#   bench-x64.sh SNAPSHOTS_1080P SNAPSHOTS_4K   (Unix folders)
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export SNAP_WINEARCH=win64 SNAP_WINEPREFIX="$ROOT/build/wine/prefix64"
export SNAP_LANE_PREFIX="$SNAP_WINEPREFIX" SNAP_LANES_DIR="$ROOT/build/lanes/bench-x64"
"$ROOT/scripts/setup-prefix.sh" win64 || exit 1
. "$ROOT/scripts/lanes.sh"
trap lanes_stop EXIT
trap_interrupts
lanes_start 1 || exit 1
lane_enter 1
BIN="$ROOT/build/win64/bin"
status=0
echo "== bench_picture (64-bit Windows build)"
wine "$BIN/bench_picture.exe" x86_64_ || status=1
echo "== bench_paint (64-bit Windows build)"
wine "$BIN/bench_paint.exe" "$(winepath -w "$1")" "$(winepath -w "$2")" | sed 's/^bench: /bench: x86_64_/' || status=1
exit $status
