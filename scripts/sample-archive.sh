#!/usr/bin/env bash
# Builds the sample archive behind drives D: and E: once a day (its newest
# folders are today's), and links both drives into the Wine prefixes. The
# links are checked on every run, so a prefix made before drive E: existed
# gets it too.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ARCHIVE="$ROOT/build/archive"
STAMP="$ARCHIVE/.built-on"
today=$(date +%F)
stamp="$today d+e, 27 today, 4 large"    # what the archive holds; a change rebuilds it
if ! { [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$stamp" ]; }; then
  mkdir -p "$ARCHIVE/d" "$ARCHIVE/e"
  /usr/bin/python3 "$ROOT/tools/make_sample_archive.py" "$ARCHIVE/d" --second "$ARCHIVE/e" --today "$today"
  echo "$stamp" > "$STAMP"
fi
# The 32-bit prefix and, where it was made, the 64-bit one.
for PREFIX in "$ROOT/build/wine/prefix" "$ROOT/build/wine/prefix64"; do
  [ -d "$PREFIX/dosdevices" ] || continue
  for drive in d e; do
    [ "$(readlink "$PREFIX/dosdevices/$drive:" 2>/dev/null)" = "$ARCHIVE/$drive" ] ||
      ln -sfn "$ARCHIVE/$drive" "$PREFIX/dosdevices/$drive:"
  done
done
