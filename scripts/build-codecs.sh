#!/usr/bin/env bash
# Builds libjpeg-turbo and libtiff (and GoogleTest) as static i686-w64-mingw32
# libraries from Debian's source packages into a cached prefix. giflib, with
# a patch of ours, is compiled by the CMake build itself from the same
# fetched sources. A second run returns at once when the prefix is complete.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS="$ROOT/build/deps"
PREFIX="$DEPS/i686"
SRC="$DEPS/src"
TOOLCHAIN="$ROOT/cmake/toolchain-i686-mingw.cmake"

"$ROOT/scripts/fetch-codec-sources.sh"
# Sources fetched or patched anew make the libraries anew.
fetched=$(basename "$(ls "$SRC"/.fetched-*)")
STAMP="$PREFIX/.complete-$fetched"
[ -f "$STAMP" ] && exit 0
rm -rf "$PREFIX" "$SRC"/*-build
mkdir -p "$PREFIX/lib" "$PREFIX/include"
cd "$SRC"

jobs=$(nproc)

echo "building libjpeg-turbo"
jpeg=$(ls -d libjpeg-turbo-*/ | head -n1)
cmake -S "$jpeg" -B jpeg-build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DWITH_JPEG8=OFF >jpeg.log 2>&1
cmake --build jpeg-build -j"$jobs" >>jpeg.log 2>&1
cmake --install jpeg-build >>jpeg.log 2>&1

echo "building libtiff"
tiff=$(ls -d tiff-*/ | head -n1)
cmake -S "$tiff" -B tiff-build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF \
  -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
  -Dwebp=OFF -Dzstd=OFF -Dlzma=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF \
  -Djpeg=ON -DJPEG_INCLUDE_DIR="$PREFIX/include" -DJPEG_LIBRARY="$PREFIX/lib/libjpeg.a" \
  -Dzlib=ON -DZLIB_INCLUDE_DIR=/usr/i686-w64-mingw32/include \
  -DZLIB_LIBRARY=/usr/i686-w64-mingw32/lib/libz.a >tiff.log 2>&1
grep -q 'JPEG support:.*Support:TRUE' tiff.log || { echo "libtiff configure dropped JPEG support"; grep -i jpeg tiff.log; exit 1; }
cmake --build tiff-build -j"$jobs" >>tiff.log 2>&1
cmake --install tiff-build >>tiff.log 2>&1

echo "building googletest"
cmake -S /usr/src/googletest -B gtest-build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=OFF \
  -Dgtest_disable_pthreads=OFF >gtest.log 2>&1
cmake --build gtest-build -j"$jobs" >>gtest.log 2>&1
cmake --install gtest-build >>gtest.log 2>&1

touch "$STAMP"
echo "codec libraries ready in $PREFIX"
