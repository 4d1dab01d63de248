#!/usr/bin/env bash
# Installs what is missing, builds the codec libraries once, then builds the
# cross (build/win32) and native (build/native) trees, and of the 64-bit
# cross tree (build/win64) what the 64-bit hosts and tests need
# (SKIP_X64=1 leaves it out). Safe to run again.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/install-packages.sh"
"$ROOT/scripts/build-codecs.sh" i686
[ "${SKIP_X64:-}" = 1 ] || "$ROOT/scripts/build-codecs.sh" x86_64

jobs=$(nproc)

# Builds one tree; the compiler's output is shown only when it fails.
build_tree() {
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "$@" >"$ROOT/build/configure-$(basename "$dir").log" 2>&1 ||
      { cat "$ROOT/build/configure-$(basename "$dir").log"; return 1; }
  fi
  local log="$ROOT/build/build-$(basename "$dir").log"
  # BUILD_TARGETS: only these, else all of the tree.
  if ! cmake --build "$dir" -j"$jobs" ${BUILD_TARGETS:+--target $BUILD_TARGETS} >"$log" 2>&1; then
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
if [ "${SKIP_X64:-}" != 1 ]; then
  # The libraries, the hosts, the header checks and the test programs
  # that scripts/test-x64.sh runs (the tests labelled x64).
  echo "building the 64-bit Windows tree (build/win64)"
  BUILD_TARGETS="ImageBrowse ImageLoad SnapHost CHost public_headers_c99 public_headers_c11
    public_headers_cxx11 public_headers_cxx17 imageload_dll_tests e2e_tests operator_tests album_view_tests
    bench_picture bench_paint" \
    build_tree build/win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-x86_64-mingw.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh"
fi
if [ "${SKIP_NATIVE:-}" != 1 ]; then
  echo "building the native tree (build/native)"
  build_tree build/native
  echo "building the native tree under the sanitizers (build/asan)"
  build_tree build/asan -DSANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
