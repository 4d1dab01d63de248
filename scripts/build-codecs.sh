#!/usr/bin/env bash
# Builds libjpeg-turbo, libtiff and giflib as static i686-w64-mingw32 libraries
# from Debian's source packages into a cached prefix. A second run returns at
# once when the prefix is complete.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS="$ROOT/build/deps"
PREFIX="$DEPS/i686"
SRC="$DEPS/src"
STAMP="$PREFIX/.complete"
TIFF_VERSION=4.5.0-6+deb12u4
TOOLCHAIN="$ROOT/cmake/toolchain-i686-mingw.cmake"

[ -f "$STAMP" ] && exit 0
rm -rf "$PREFIX" "$SRC"
mkdir -p "$SRC" "$PREFIX/lib" "$PREFIX/include"
cd "$SRC"

echo "fetching codec sources"
apt-get source --download-only -qq libjpeg-turbo giflib "tiff=$TIFF_VERSION" >/dev/null
for dsc in *.dsc; do dpkg-source -x "$dsc" >/dev/null; done

jobs=$(nproc)

echo "building libjpeg-turbo"
jpeg=$(ls -d libjpeg-turbo-*/ | head -n1)
cmake -S "$jpeg" -B jpeg-build -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DWITH_JPEG8=OFF >jpeg.log 2>&1
cmake --build jpeg-build -j"$jobs" >>jpeg.log 2>&1
cmake --install jpeg-build >>jpeg.log 2>&1

echo "building giflib"
gif=$(ls -d giflib-*/ | head -n1)
make -C "$gif" libgif.a CC=i686-w64-mingw32-gcc-posix AR=i686-w64-mingw32-ar \
  CFLAGS="-O2 -std=gnu99 -Wall" -j"$jobs" >gif.log 2>&1
cp "$gif/libgif.a" "$PREFIX/lib/"
cp "$gif/gif_lib.h" "$PREFIX/include/"

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
