# Sourced by the scripts that run Windows programs side by side: each lane
# has a virtual display of its own (a free number, scripts/wine-env.sh), a
# copy of the build's Wine prefix and that copy's Wine server, so that the
# windows, mouse and keyboard of one lane never meet another's, nor those of
# another run on the machine. ctest hands the lanes out as resources: a test
# that asks for one (cmake/Testing.cmake, run_in_lane) runs alone in it, and
# scripts/wine-env.sh takes the lane's display and prefix from what ctest
# tells the test.
#
#   lanes_start COUNT   makes the lanes and writes their ctest resource file,
#                       $SNAP_LANES_DIR/lanes.json
#   lane_enter N        gives this shell lane N's display and prefix, for a
#                       script that runs its programs itself
#   lanes_stop          ends their servers and displays and removes them
#
# Each script that sources this has lanes of its own (build/lanes/test,
# build/lanes/soak...), so that its runs never meet another script's.
# With the heap validation on (scripts/heap-check.sh), every lane's prefix
# gets it. SNAP_LANE_PREFIX and SNAP_WINEARCH make lanes of another prefix
# (the 64-bit one of scripts/test-x64.sh).
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export SNAP_LANES_DIR=${SNAP_LANES_DIR:-$ROOT/build/lanes/$(basename "$0" .sh)}
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"

lanes_start() {
  local count=$1 lane lanes="" pids=() failed=0
  lanes_stop
  mkdir -p "$SNAP_LANES_DIR"
  # The lanes are made side by side: most of it is copying the prefix.
  for lane in $(seq "$count"); do
    lane_make "$lane" &
    pids+=($!)
    lanes+="${lanes:+,}{\"id\":\"$lane\",\"slots\":1}"
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  [ $failed = 0 ] || { echo "the lanes could not be made" >&2; return 1; }
  printf '{"version":{"major":1,"minor":0},"local":[{"lanes":[%s]}]}\n' "$lanes" >"$SNAP_LANES_DIR/lanes.json"
}

# lane_make N: the copy of the prefix, the display, and the Wine server
# started once the display is there (the desktop's window lives on it),
# with the heap validation on or off as the run has it.
lane_make() {
  local dir="$SNAP_LANES_DIR/$1" display
  mkdir -p "$dir"
  cp -a "${SNAP_LANE_PREFIX:-$ROOT/build/wine/prefix}" "$dir/prefix" || return 1
  display=$(start_private_xvfb 1280x1024x24 "$dir") || return 1
  printf 'export DISPLAY=%s SNAP_WINEPREFIX=%s SNAP_LANE=%s SNAP_WINEARCH=%s\n' "$display" "$dir/prefix" "$1" \
    "${SNAP_WINEARCH:-win32}" >"$dir/env"
  lane_enter "$1"
  start_wineserver
  if [ "${SNAP_HEAP_CHECK:-}" = 1 ]; then
    heap_check_registry on
  else
    heap_check_registry off
  fi
}

lane_enter() {
  . "$SNAP_LANES_DIR/$1/env"
  export WINEPREFIX=$SNAP_WINEPREFIX
}

# The lanes stop side by side: a Wine server and a display each take a
# second or two to go.
lanes_stop() {
  local dir pids=()
  for dir in "$SNAP_LANES_DIR"/*/; do
    [ -d "$dir" ] || continue
    lane_stop "$dir" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || true; done
  rm -f "$SNAP_LANES_DIR/lanes.json"
}

lane_stop() {
  [ ! -d "$1/prefix" ] || WINEPREFIX="$1/prefix" stop_wineserver
  stop_private_xvfb "$1"
  rm -rf "$1"
}
