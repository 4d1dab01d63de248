#!/usr/bin/env bash
# Builds the fuzz targets (fuzz_*) with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for a bounded time:
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 300)
# A target that finds a crash stops and leaves the input in build/fuzz/crashes.
# FUZZ_BUILD_ONLY=1 only builds them.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-300}
"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/fetch-codec-sources.sh"
cd "$ROOT"
if [ ! -f build/fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DFUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build/fuzz -j"$(nproc)" >build/build-fuzz.log 2>&1 || { tail -n 40 build/build-fuzz.log; exit 1; }
[ "${FUZZ_BUILD_ONLY:-}" != 1 ] || exit 0
mkdir -p build/fuzz/crashes
status=0
for target in $(find build/fuzz/fuzz -type f -name 'fuzz_*' -perm -u+x | sort); do
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$ROOT/fuzz/seeds/${name#fuzz_}"
  log="build/fuzz/$name.log"
  if "$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix=build/fuzz/crashes/"$name"- "$corpus" $( [ -d "$seeds" ] && echo "$seeds" ) >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    [ -n "$runs" ] || runs=$(grep -oE '#[0-9]+' "$log" | tail -n1 | tr -d '#')
    echo "fuzz: $name ran clean, $runs executions in ${SECONDS_EACH}s"
  else
    echo "fuzz: $name FAILED; see $log"
    tail -n 30 "$log"
    status=1
  fi
done
exit $status
