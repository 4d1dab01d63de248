#!/usr/bin/env bash
# Builds both architectures and writes, for each, the integrator's package
# build/dist/SnapAlbum-<version>-<win32|win64>.zip: the two libraries, the
# public headers, import libraries for MinGW (.a) and for MSVC (.lib, made
# from the .def files with the undecorated names), the C host's source,
# the integrator's README and a SHA256SUMS of all of it.
#   dist.sh [OUTDIR]   build/dist unless told (the test writes elsewhere)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(mkdir -p "${1:-$ROOT/build/dist}" && cd "${1:-$ROOT/build/dist}" && pwd)
cd "$ROOT"
[ "${DIST_SKIP_BUILD:-}" = 1 ] || SKIP_NATIVE=1 "$ROOT/scripts/build.sh"
version=$(head -n1 VERSION)

# package TREE NAME MACHINE TOOLPREFIX
package() {
  local tree=$1 name=$2 machine=$3 tool=$4
  local stage="$OUT/SnapAlbum-$version-$name" library
  rm -rf "$stage" "$stage.zip"
  mkdir -p "$stage/bin" "$stage/include" "$stage/lib/mingw" "$stage/lib/msvc" "$stage/examples"
  cp "$tree/bin/ImageBrowse.dll" "$tree/bin/ImageLoad.dll" "$stage/bin/"
  cp include/ImageBrowse.h include/ImageLoad.h "$stage/include/"
  for library in ImageBrowse ImageLoad; do
    cp "$tree/lib/lib$library.dll.a" "$stage/lib/mingw/"
    # Run in the folder: the library's inner names follow the path given.
    (cd "$stage/lib/msvc" && "$tool-dlltool" -d "$ROOT/$(def_of $library)" -D "$library.dll" -l "$library.lib" -m "$machine")
  done
  cp examples/CHost.c "$stage/examples/"
  sed "s/@VERSION@/$version/; s/@ARCH@/$name/" docs/INTEGRATORS.txt >"$stage/README.txt"
  (cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)
  (cd "$OUT" && /usr/bin/python3 -m zipfile -c "$(basename "$stage").zip" "$(basename "$stage")")
  rm -rf "$stage"
  echo "$OUT/$(basename "$stage").zip"
}

def_of() {
  case $1 in
    ImageBrowse) echo bridge/ImageBrowse.def ;;
    ImageLoad) echo imageload/ImageLoad.def ;;
  esac
}

package build/win32 win32 i386 i686-w64-mingw32
package build/win64 win64 i386:x86-64 x86_64-w64-mingw32
