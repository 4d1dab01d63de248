#!/usr/bin/env bash
# Gives the build's Wine prefix a default PostScript printer whose port is
# the file C:\print.ps, so that Print and Print preview work without any
# printing system (Wine's own PostScript driver, Ghostscript's PPD).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
STAMP="$WINEPREFIX/.printer-ready"
[ -f "$STAMP" ] && exit 0
PPD=$(ls /usr/share/ghostscript/*/lib/ghostpdf.ppd 2>/dev/null | head -n1)
[ -n "$PPD" ] || { echo "ghostpdf.ppd not found (package ghostscript)"; exit 1; }
trap stop_wine_and_display EXIT
trap_interrupts
start_xvfb
cp "$PPD" "$WINEPREFIX/drive_c/ghostpdf.ppd"
wine "$ROOT/build/win32/bin/install_printer.exe" "File printer" 'C:\ghostpdf.ppd' 'C:\print.ps'
wineserver -w
touch "$STAMP"
