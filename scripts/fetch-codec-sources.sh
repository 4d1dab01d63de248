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

[ -f "$STAMP" ] && exit 0
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
