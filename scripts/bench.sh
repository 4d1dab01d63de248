#!/usr/bin/env bash
# Builds the native tree and runs every benchmark program (bench_*). Each
# prints its figures as "bench: <name> = <value> <unit>" lines.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# One benchmark run at a time in a checkout; all it starts goes when it ends.
. "$ROOT/scripts/run-guard.sh"
run_guard bench "$@"
# Everything printed is kept, so that one table of all figures ends the run.
# The copy is not marked as the run's: it ends by itself once the run's
# output closes, after the last line.
FIGURES=$(mktemp)
run_at_end 'rm -f "$FIGURES"'
exec > >(env -u SNAP_RUN tee "$FIGURES") 2>&1
run_step "$ROOT/scripts/build.sh"
run_step "$ROOT/scripts/sample-archive.sh"
status=0
for program in $(find "$ROOT/build/native/bench" -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$program")"
  run_step "$program" || status=1
done

# Benchmarks of the Windows code run under Wine, with a display and a copy
# of the prefix of their own (scripts/lanes.sh), which go when the run ends.
run_step "$ROOT/scripts/setup-prefix.sh"
. "$ROOT/scripts/lanes.sh"
run_at_end lanes_stop
lanes_start 1
lane_enter 1
SNAPSHOTS="$ROOT/build/bench/snapshots-1920x1080"
SNAPSHOTS_4K="$ROOT/build/bench/snapshots-3840x2160"
/usr/bin/python3 "$ROOT/tools/make_bench_snapshots.py" "$SNAPSHOTS" 27 1920 1080
/usr/bin/python3 "$ROOT/tools/make_bench_snapshots.py" "$SNAPSHOTS_4K" 27 3840 2160
echo "== bench_picture (32-bit Windows build)"
run_step wine "$ROOT/build/win32/bin/bench_picture.exe" i686_ || status=1
echo "== bench_paint"
run_step wine "$ROOT/build/win32/bin/bench_paint.exe" "$(winepath -w "$SNAPSHOTS")" "$(winepath -w "$SNAPSHOTS_4K")" || status=1
# The same two with the 64-bit build under 64-bit Wine, in this run.
[ "${SKIP_X64:-}" = 1 ] || run_step "$ROOT/scripts/bench-x64.sh" "$SNAPSHOTS" "$SNAPSHOTS_4K" || status=1
echo "== bench_export"
run_step wine "$ROOT/build/win32/bin/bench_export.exe" "$(winepath -w "$SNAPSHOTS_4K")" 1000 || status=1
echo "== bench_list_build"
run_step wine "$ROOT/build/win32/bin/bench_list_build.exe" || status=1
# Folders of 100 and 100,000 empty snapshot names, made here: Wine looks
# each new name up in the whole folder, so 100,000 written through it take
# half an hour.
for names in 100 100000; do
  /usr/bin/python3 - "$ROOT/build/bench/watch-$names" "$names" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
wanted = {"01way-2026-12-08-%06d-00.jpg" % i for i in range(count)}
for name in set(os.listdir(folder)) - wanted:
    os.remove(os.path.join(folder, name))
for name in wanted - set(os.listdir(folder)):
    open(os.path.join(folder, name), "w").close()
PY
done
echo "== bench_folder_watch"
run_step wine "$ROOT/build/win32/bin/bench_folder_watch.exe" "$(winepath -w "$ROOT/build/bench/watch-100")" \
  "$(winepath -w "$ROOT/build/bench/watch-100000")" || status=1
echo "== bench_archive_load"
run_step "$ROOT/bench/archive/run-archive-load-bench.sh" "$ROOT/build/win32/bin" || status=1

echo
echo "== all figures"
sed -n 's/^bench: \(.*\) = \([^ ]*\) \(.*\)$/\1\t\2\t\3/p' "$FIGURES" |
  awk -F'\t' '{ printf "%-48s %14s  %s\n", $1, $2, $3 }'
exit $status
