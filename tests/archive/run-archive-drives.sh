#!/usr/bin/env bash
# Runs the archive tests of one drive setting in a private copy of the Wine
# prefix, inside a private mount namespace so that tmpfs and read-only
# mounts vanish with it. The shared prefix is only read.
#   run-archive-drives.sh SETTING PROGRAM.exe REPORT.xml
# Settings: no_drives, fixed_and_cd, free_dNNN_eNNN (tmpfs sizes in MB),
# read_only, small_xNNN (drive X: a tmpfs of NNN MB, for the tests named
# SmallDrive.* of any program).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
setting=$1 program=$2 report=$3
source_prefix=${SNAP_WINEPREFIX:-$ROOT/build/wine/prefix}

. "$ROOT/tests/support/private-namespace.sh"
skip_unless_private_namespace "$report" "archive_drives_$setting"
enter_private_namespace archive-drives "$0" "$@"

. "$ROOT/scripts/wine-env.sh"
. "$ROOT/scripts/heap-check.sh"
export WINEPREFIX="$work/prefix"    # wine-env.sh names the shared one
# Run by hand without a display, it gets a private one for the while.
if [ -z "${DISPLAY:-}" ]; then
  trap stop_xvfb EXIT
  start_xvfb
fi
cp -a "$source_prefix" "$WINEPREFIX"
rm -f "$WINEPREFIX"/dosdevices/[a-y]:
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
link_drive() {      # letter folder
  mkdir -p "$2"
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
}
drive_type() {      # letter type, before the server starts
  sed -i "s/^\"z:\"=\"network\"\$/&\n\"$1:\"=\"$2\"/" "$WINEPREFIX/system.reg"
  grep -q "^\"$1:\"=\"$2\"" "$WINEPREFIX/system.reg"
}
tmpfs_drive() {     # letter megabytes
  mkdir -p "$work/$1"
  mount -t tmpfs -o "size=${2}m" tmpfs "$work/$1"
  link_drive "$1" "$work/$1"
}

filter=
case $setting in
  no_drives) filter='NoArchiveDrive.*:NoArchiveDriveChooser.*' ;;
  fixed_and_cd)
    link_drive d "$work/d"; link_drive e "$work/e"; link_drive f "$work/f"
    drive_type f cdrom
    filter='FixedAndCd.*:Chooser.*' ;;
  free_d*_e*)
    dmb=${setting#free_d}; dmb=${dmb%%_*}; emb=${setting##*_e}
    tmpfs_drive d "$dmb"; tmpfs_drive e "$emb"
    export ARCHIVE_D_FREE_MB=$dmb ARCHIVE_E_FREE_MB=$emb
    if [ "$dmb" -ge 920 ]; then ARCHIVE_EXPECT_RECORD=d
    elif [ "$emb" -ge 920 ]; then ARCHIVE_EXPECT_RECORD=e
    else ARCHIVE_EXPECT_RECORD=d; fi
    export ARCHIVE_EXPECT_RECORD
    filter='RecordDrive.*' ;;
  read_only)
    mkdir -p "$work/d-source" "$work/d"
    mount --bind "$work/d-source" "$work/d"
    mount -o remount,bind,ro "$work/d"
    link_drive d "$work/d"; link_drive e "$work/e"
    filter='ReadOnlyDrive.*' ;;
  small_x*)
    tmpfs_drive x "${setting#small_x}"
    filter='SmallDrive.*' ;;
  *) echo "unknown setting $setting" >&2; exit 2 ;;
esac

# The server of this prefix is started inside the namespace, so that it
# sees the mounts.
start_wineserver
[ "${SNAP_HEAP_CHECK:-}" != 1 ] || heap_check_registry on
status=0
wine_run "archive_drives_$setting" "$program" --gtest_filter="$filter" "--gtest_output=xml:Z:$report" || status=$?
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
exit $status
