#!/usr/bin/env bash
# Builds the native tree and runs every benchmark program (bench_*). Each
# prints its figures as "bench: <name> = <value> <unit>" lines.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/build.sh"
"$ROOT/scripts/sample-archive.sh"
status=0
for program in $(find "$ROOT/build/native/bench" -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$program")"
  "$program" || status=1
done
exit $status
