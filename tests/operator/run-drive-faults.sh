#!/usr/bin/env bash
# Runs the drive fault scenarios in a private copy of the Wine prefix,
# inside a private mount namespace: drive R: is a read-only bind mount
# holding an album, drive D: a small tmpfs holding today's folder that the
# test unplugs while the browser shows it (it writes the file "unplug-d"
# into the work folder; this script then unmounts the drive, removes its
# link and answers with "unplugged-d"). Everything goes with the namespace
# and the work folder, on every path.
#   run-drive-faults.sh PROGRAM.exe REPORT.xml
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
program=$1 report=$2
source_prefix=${SNAP_WINEPREFIX:-$ROOT/build/wine/prefix}

. "$ROOT/tests/support/private-namespace.sh"
skip_unless_private_namespace "$report" drive_faults
enter_private_namespace drive-faults "$0" "$@"

. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"
export WINEPREFIX="$work/prefix"    # wine-env.sh names the shared one
# Run by hand without a display, it gets a private one for the while.
if [ -z "${DISPLAY:-}" ]; then
  trap stop_xvfb EXIT
  start_xvfb
fi
# The test program finds the work folder (and its signal files) here.
export DRIVE_FAULTS_WORK=$work
cp -a "$source_prefix" "$WINEPREFIX"
rm -f "$WINEPREFIX"/dosdevices/[a-y]:
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"

# A few snapshots of the sample archive's newest day of channel 01.
sample=$(ls -d "$ROOT"/build/archive/d/DataPic/*/01 | sort | tail -1)
copy_snapshots() {  # target-folder count
  mkdir -p "$1"
  ls "$sample" | head -"$2" | while read -r name; do cp "$sample/$name" "$1/"; done
  chmod -R u+w "$1"
}

# R: read-only, with an album and a folder to save into.
copy_snapshots "$work/r-source/album" 4
mkdir -p "$work/r" "$work/r-source/saved"
mount --bind "$work/r-source" "$work/r"
mount -o remount,bind,ro "$work/r"
ln -s "$work/r" "$WINEPREFIX/dosdevices/r:"

# D: the record drive that goes away; E: the second drive, empty.
mkdir -p "$work/d" "$work/e"
mount -t tmpfs -o size=64m tmpfs "$work/d"
copy_snapshots "$work/d/DataPic/$(date +%F)/01" 5
ln -s "$work/d" "$WINEPREFIX/dosdevices/d:"
ln -s "$work/e" "$WINEPREFIX/dosdevices/e:"

unplug_when_asked() {
  while [ ! -e "$work/unplug-d" ]; do sleep 0.1; done
  umount -l "$work/d"
  rm -f "$WINEPREFIX/dosdevices/d:"
  touch "$work/unplugged-d"
}
unplug_when_asked &
watcher=$!

# The server of this prefix is started inside the namespace, so that it
# sees the mounts.
start_wineserver
[ "${SNAP_HEAP_CHECK:-}" != 1 ] || heap_check_registry on
status=0
wine_run drive_faults "$program" "--gtest_output=xml:Z:$report" || status=$?
kill "$watcher" 2>/dev/null || true
wait "$watcher" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
exit $status
