#!/usr/bin/env bash
# Creates the build's Wine prefix once: UI fonts, a virtual desktop so that
# windows can be maximised, and the sample archive's drive D:.
#   setup-prefix.sh [win32|win64]   build/wine/prefix, or the 64-bit
#                                   build/wine/prefix64 for the x64 tests
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-win32}" = win64 ]; then
  export SNAP_WINEARCH=win64 SNAP_WINEPREFIX="$ROOT/build/wine/prefix64"
fi
. "$ROOT/scripts/wine-env.sh"
STAMP="$WINEPREFIX/.snapalbum-ready"
[ -f "$STAMP" ] && exit 0

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
trap stop_wine_and_display EXIT
trap_interrupts
start_xvfb
wineboot -i >/dev/null 2>&1
wineserver -w

# Debian's Wine does not load its own UI fonts.
cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# Every program runs inside one virtual desktop of a fixed size, which
# gives maximised windows a known client area.
cat > "$WINEPREFIX/drive_c/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"z:"="network"
REG
wine regedit /S 'C:\setup.reg' >/dev/null 2>&1
wineserver -w
rm -f "$WINEPREFIX/drive_c/setup.reg"

# Drives D: and E: are the sample archive (sample-archive.sh also adds
# them to a prefix made before E: existed).
mkdir -p "$ROOT/build/archive/d" "$ROOT/build/archive/e"
ln -sfn "$ROOT/build/archive/d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$ROOT/build/archive/e" "$WINEPREFIX/dosdevices/e:"
touch "$STAMP"
