# Sourced by the scripts that run Windows programs: one Wine prefix for the
# build tree, quiet Wine, and an X display (a private Xvfb when there is
# none).
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# A program that ctest runs in a lane of the test run (scripts/lanes.sh)
# takes that lane's display and copy of the prefix; ctest names the lane in
# CTEST_RESOURCE_GROUP_0_LANES ("id:2,slots:1").
if [ -n "${CTEST_RESOURCE_GROUP_0_LANES:-}" ]; then
  SNAP_LANE=${CTEST_RESOURCE_GROUP_0_LANES#id:}
  SNAP_LANE=${SNAP_LANE%%,*}
  . "${SNAP_LANES_DIR:?set by scripts/lanes.sh}/$SNAP_LANE/env"
fi
# SNAP_WINEPREFIX lets a developer run tests in a private copy of the prefix.
export WINEPREFIX="${SNAP_WINEPREFIX:-$ROOT/build/wine/prefix}"
# Quiet, unless the test run checks the heap (scripts/heap-check.sh).
export WINEDEBUG=${SNAP_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
# The 64-bit lanes (scripts/test-x64.sh) say win64 and name a 64-bit prefix.
export WINEARCH=${SNAP_WINEARCH:-win32}
# Wine names files in the Unix locale's encoding: under the C locale (a
# minimal root, a service, `env -i`) it cannot make a name outside ASCII.
# Every Wine run gets a UTF-8 locale: the caller's when it is one (the
# language tests set theirs), else C.UTF-8, which every Debian has.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
  unset LANGUAGE
fi

# start_private_xvfb GEOMETRY STATE_DIR: starts an Xvfb on a display number
# that no other server of the machine holds (Xvfb picks it and says it once
# it accepts connections) and prints ":N"; its process number is left in
# STATE_DIR/xvfb.pid. Fails when no server came up within ten seconds.
start_private_xvfb() {
  local geometry=$1 state=$2 number=""
  mkdir -p "$state"
  rm -f "$state/display" "$state/xvfb.pid"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$state/display" >/dev/null 2>&1 </dev/null &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 200); do
    number=$(tr -dc 0-9 <"$state/display")
    [ -z "$number" ] || break
    kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$number" ]; then
    stop_private_xvfb "$state"
    echo "Xvfb did not start" >&2
    return 1
  fi
  echo ":$number"
}

# stop_private_xvfb STATE_DIR: ends the Xvfb that start_private_xvfb left
# there, if it still runs.
stop_private_xvfb() {
  local pid
  pid=$(cat "$1/xvfb.pid" 2>/dev/null) || return 0
  rm -f "$1/xvfb.pid" "$1/display"
  # The number of a server left by an interrupted run may belong to
  # another process by now.
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] || return 0
  kill "$pid" 2>/dev/null || true
  # Gone within a moment; its display number is then free again.
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
}

# Starts a private Xvfb for this script, unless told to use the caller's
# display or one was started already; stop_xvfb ends it.
start_xvfb() {
  if [ -n "${USE_USER_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  [ -z "${SNAP_XVFB_STATE:-}" ] || return 0
  SNAP_XVFB_STATE=$(mktemp -d /tmp/snap-xvfb.XXXXXX)
  local display
  display=$(start_private_xvfb 1280x1024x24 "$SNAP_XVFB_STATE") || { stop_xvfb; return 1; }
  export DISPLAY=$display
}

stop_xvfb() {
  [ -n "${SNAP_XVFB_STATE:-}" ] || return 0
  stop_private_xvfb "$SNAP_XVFB_STATE"
  rm -rf "$SNAP_XVFB_STATE"
  SNAP_XVFB_STATE=""
}

# Starts the Wine server detached, so that programs do not wait on
# inherited pipes.
start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null || true    # already running is fine
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Ends the prefix's Wine server and every program in it, and waits for it.
stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# Ends what start_wineserver and start_xvfb started, the server first: its
# programs draw on the display. Scripts set it as their EXIT trap.
stop_wine_and_display() {
  stop_wineserver
  stop_xvfb
}

# Makes an interrupted or terminated script end through its EXIT trap.
trap_interrupts() {
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
}
