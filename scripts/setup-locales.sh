#!/usr/bin/env bash
# Builds the locales the language tests and screenshots run Wine under
# (Wine takes the user's language and code page from LANG). Once.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
LOCALES="$ROOT/build/locales"
[ -f "$LOCALES/.ready" ] && exit 0
mkdir -p "$LOCALES"
for l in en_US zh_CN zh_TW; do
  localedef -i "$l" -f UTF-8 "$LOCALES/$l.UTF-8" 2>/dev/null || localedef -i "$l" -f UTF-8 "$LOCALES/$l.UTF-8"
done
touch "$LOCALES/.ready"
