#!/usr/bin/env bash
# Prepares what the language tests and screenshots need: the locales Wine
# takes the user's language and code page from (LANG), and font links in
# the Wine prefix so that Chinese texts are drawn with the installed CJK
# font (the dialogs ask for 宋体 and 細明體, which Debian does not have).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
LOCALES="$ROOT/build/locales"
if [ ! -f "$LOCALES/.ready" ]; then
  mkdir -p "$LOCALES"
  for l in en_US zh_CN zh_TW; do
    localedef -i "$l" -f UTF-8 "$LOCALES/$l.UTF-8" || [ -d "$LOCALES/$l.UTF-8" ]
  done
  touch "$LOCALES/.ready"
fi

. "$ROOT/scripts/wine-env.sh"
STAMP="$WINEPREFIX/.cjk-fonts"
[ -f "$STAMP" ] && exit 0
CJK="WenQuanYi Micro Hei"
FILE="wqy-microhei.ttc"
/usr/bin/python3 - "$WINEPREFIX/drive_c/cjk-fonts.reg" "$CJK" "$FILE" <<'PY'
import sys
path, face, file = sys.argv[1:4]
link = "%s,%s" % (file, face)
lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
for name in ("宋体", "細明體", "SimSun", "PMingLiU", "新細明體"):
    lines.append('"%s"="%s"' % (name, face))
lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
for name in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif", "System"):
    lines.append('"%s"=hex(7):%s' % (name, ",".join("%02x,%02x" % (ord(c) & 0xff, ord(c) >> 8) for c in link) + ",00,00,00,00"))
open(path, "w", encoding="utf-16").write("\r\n".join(lines) + "\r\n")
PY
trap stop_wine_and_display EXIT
trap_interrupts
start_xvfb
wine regedit /S 'C:\cjk-fonts.reg' >/dev/null 2>&1
wineserver -w
rm -f "$WINEPREFIX/drive_c/cjk-fonts.reg"
touch "$STAMP"
