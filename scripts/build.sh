#!/usr/bin/env bash
# Installs what is missing, builds the codec libraries once, then builds the
# cross (build/win32) and native (build/native) trees. Safe to run again.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build-codecs.sh"

jobs=$(nproc)

# Builds one tree; the compiler's output is shown only when it fails.
build_tree() {
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "$@" >"$ROOT/build/configure-$(basename "$dir").log" 2>&1 ||
      { cat "$ROOT/build/configure-$(basename "$dir").log"; return 1; }
  fi
  local log="$ROOT/build/build-$(basename "$dir").log"
  if ! cmake --build "$dir" -j"$jobs" >"$log" 2>&1; then
    grep -E 'error|Error' -A3 "$log" | head -n 60
    echo "build of $dir failed; full output in $log"
    return 1
  fi
  grep -E 'warning:' "$log" | sort -u | head -n 20 || true
}

mkdir -p build
echo "building the Windows tree (build/win32)"
build_tree build/win32 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh"
if [ "${SKIP_NATIVE:-}" != 1 ]; then
  echo "building the native tree (build/native)"
  build_tree build/native
  echo "building the native tree under the sanitizers (build/asan)"
  build_tree build/asan -DSANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
