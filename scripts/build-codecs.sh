#!/usr/bin/env bash
# Builds libjpeg-turbo and libtiff (and GoogleTest) as static mingw-w64
# libraries from Debian's source packages into a cached prefix per
# architecture (build/deps/i686, build/deps/x86_64). giflib, with a patch of
# ours, is compiled by the CMake build itself from the same fetched sources.
# A second run returns at once when the prefix is complete.
#   build-codecs.sh [i686|x86_64]      (i686 when not named)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
ARCH=${1:-i686}
case $ARCH in i686|x86_64) ;; *) echo "unknown architecture: $ARCH" >&2; exit 2 ;; esac
DEPS="$ROOT/build/deps"
PREFIX="$DEPS/$ARCH"
SRC="$DEPS/src"
TOOLCHAIN="$ROOT/cmake/toolchain-$ARCH-mingw.cmake"
MINGW_ROOT=/usr/$ARCH-w64-mingw32

"$ROOT/scripts/fetch-codec-sources.sh"
# Sources fetched or patched anew make the libraries anew.
fetched=$(basename "$(ls "$SRC"/.fetched-*)")
STAMP="$PREFIX/.complete-$fetched"
[ -f "$STAMP" ] && exit 0
rm -rf "$PREFIX" "$SRC"/*-build-"$ARCH"
mkdir -p "$PREFIX/lib" "$PREFIX/include"
cd "$SRC"

jobs=$(nproc)

echo "building libjpeg-turbo ($ARCH)"
jpeg=$(ls -d libjpeg-turbo-*/ | head -n1)
cmake -S "$jpeg" -B jpeg-build-"$ARCH" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DWITH_JPEG8=OFF >jpeg-$ARCH.log 2>&1
cmake --build jpeg-build-"$ARCH" -j"$jobs" >>jpeg-$ARCH.log 2>&1
cmake --install jpeg-build-"$ARCH" >>jpeg-$ARCH.log 2>&1

echo "building libtiff ($ARCH)"
tiff=$(ls -d tiff-*/ | head -n1)
cmake -S "$tiff" -B tiff-build-"$ARCH" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF \
  -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
  -Dwebp=OFF -Dzstd=OFF -Dlzma=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF \
  -Djpeg=ON -DJPEG_INCLUDE_DIR="$PREFIX/include" -DJPEG_LIBRARY="$PREFIX/lib/libjpeg.a" \
  -Dzlib=ON -DZLIB_INCLUDE_DIR="$MINGW_ROOT/include" \
  -DZLIB_LIBRARY="$MINGW_ROOT/lib/libz.a" >tiff-$ARCH.log 2>&1
grep -q 'JPEG support:.*Support:TRUE' tiff-$ARCH.log || { echo "libtiff configure dropped JPEG support"; grep -i jpeg tiff-$ARCH.log; exit 1; }
cmake --build tiff-build-"$ARCH" -j"$jobs" >>tiff-$ARCH.log 2>&1
cmake --install tiff-build-"$ARCH" >>tiff-$ARCH.log 2>&1

echo "building googletest ($ARCH)"
cmake -S /usr/src/googletest -B gtest-build-"$ARCH" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=OFF \
  -Dgtest_disable_pthreads=OFF >gtest-$ARCH.log 2>&1
cmake --build gtest-build-"$ARCH" -j"$jobs" >>gtest-$ARCH.log 2>&1
cmake --install gtest-build-"$ARCH" >>gtest-$ARCH.log 2>&1

touch "$STAMP"
echo "codec libraries ready in $PREFIX"
