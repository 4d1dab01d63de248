#!/usr/bin/env bash
# Builds the sample archive behind drive D: once a day (its newest folder is
# today's).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ARCHIVE="$ROOT/build/archive/d"
STAMP="$ROOT/build/archive/.built-on"
today=$(date +%F)
if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$today" ]; then exit 0; fi
mkdir -p "$ARCHIVE"
/usr/bin/python3 "$ROOT/tools/make_sample_archive.py" "$ARCHIVE" --today "$today"
echo "$today" > "$STAMP"
