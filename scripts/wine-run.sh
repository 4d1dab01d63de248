#!/usr/bin/env bash
# Runs a Windows program of the build under Wine (the tests' emulator).
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] || start_xvfb
exec wine "$@"
