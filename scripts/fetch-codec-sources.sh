#!/usr/bin/env bash
# Fetches the codec libraries' sources from Debian's source packages (with
# Debian's own patches) into build/deps/src and applies ours from
# scripts/codec-patches/<package>-*.patch. build/deps/src/giflib names the
# giflib source that both the cross and the native builds compile. A second
# run returns at once unless a patch changed.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SRC="$ROOT/build/deps/src"
TIFF_VERSION=4.5.0-6+deb12u4
PATCHES="$ROOT/scripts/codec-patches"
STAMP="$SRC/.fetched-$(cat "$PATCHES"/*.patch | sha1sum | cut -c1-12)"

# The zip library of the export (compiled by the CMake build, as giflib):
# fetched on its own, so that trees fetched before it keep their codecs.
fetch_minizip() {
  [ -f "$SRC/minizip/zip.c" ] && return 0
  mkdir -p "$SRC/minizip-fetch"
  ( cd "$SRC/minizip-fetch" && apt-get source --download-only -qq minizip && rm -rf minizip-*/ &&
    dpkg-source -x minizip_*.dsc ) >"$SRC/minizip-fetch.log" 2>&1 || { cat "$SRC/minizip-fetch.log"; exit 1; }
  ln -sfn "$(ls -d "$SRC"/minizip-fetch/minizip-*/ | head -n1)" "$SRC/minizip"
}

[ -f "$STAMP" ] && { fetch_minizip; exit 0; }
rm -rf "$SRC"
mkdir -p "$SRC"
cd "$SRC"
echo "fetching codec sources"
{
  apt-get source --download-only -qq libjpeg-turbo giflib "tiff=$TIFF_VERSION"
  for dsc in *.dsc; do dpkg-source -x "$dsc"; done
} >fetch.log 2>&1 || { cat fetch.log; exit 1; }
ln -sfn "$(ls -d giflib-*/ | head -n1)" giflib

for patch in "$PATCHES"/*.patch; do
  package=$(basename "$patch"); package=${package%%-*}
  folder=$(ls -d "$package"-*/ | head -n1)
  echo "patching $folder with $(basename "$patch")"
  patch -s -d "$folder" -p1 <"$patch"
done
touch "$STAMP"
fetch_minizip
