# Sourced by the scripts that run Windows programs: one Wine prefix for the
# build tree, quiet Wine, and an X display (Xvfb when there is none).
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# SNAP_WINEPREFIX lets a developer run tests in a private copy of the prefix.
export WINEPREFIX="${SNAP_WINEPREFIX:-$ROOT/build/wine/prefix}"
# Quiet, unless the test run checks the heap (scripts/heap-check.sh).
export WINEDEBUG=${SNAP_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win32
WINE_XVFB_DISPLAY=${WINE_XVFB_DISPLAY:-:97}

# Starts a private Xvfb unless told to use the caller's display.
start_xvfb() {
  if [ -n "${USE_USER_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  export DISPLAY=$WINE_XVFB_DISPLAY
  if ! xdpyinfo >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
}

# Starts the Wine server detached, so that programs do not wait on
# inherited pipes.
start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null || true    # already running is fine
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
}
