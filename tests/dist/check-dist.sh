#!/usr/bin/env bash
# The integrator's packages as `make dist` writes them, from the built
# trees: each architecture's zip holds what its README says ships, every
# file passes `sha256sum -c`, the libraries are of the package's machine,
# and the MSVC import libraries name the undecorated exports of the .def.
#   check-dist.sh OUTDIR
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=$1
rm -rf "$OUT"
DIST_SKIP_BUILD=1 "$ROOT/scripts/dist.sh" "$OUT" >/dev/null || { echo "dist.sh failed"; exit 1; }
version=$(head -n1 "$ROOT/VERSION")
status=0
fail() { echo "FAIL: $*"; status=1; }

for arch in win32:pei-i386 win64:pei-x86-64; do
  name=${arch%%:*} format=${arch#*:}
  zip="$OUT/SnapAlbum-$version-$name.zip"
  [ -f "$zip" ] || { fail "$zip missing"; continue; }
  (cd "$OUT" && /usr/bin/python3 -m zipfile -e "$zip" .) || fail "$zip does not unpack"
  dir="$OUT/SnapAlbum-$version-$name"
  for file in bin/ImageBrowse.dll bin/ImageLoad.dll include/ImageBrowse.h include/ImageLoad.h \
      lib/mingw/libImageBrowse.dll.a lib/mingw/libImageLoad.dll.a lib/msvc/ImageBrowse.lib lib/msvc/ImageLoad.lib \
      examples/CHost.c README.txt SHA256SUMS; do
    [ -s "$dir/$file" ] || fail "$name: $file missing"
  done
  (cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "$name: sha256sum -c"
  # Every file but the sums themselves is summed.
  [ "$(cd "$dir" && find . -type f ! -name SHA256SUMS | wc -l)" = "$(wc -l <"$dir/SHA256SUMS")" ] ||
    fail "$name: SHA256SUMS does not cover every file"
  for dll in ImageBrowse ImageLoad; do
    grep -q "file format $format" <<<"$(objdump -f "$dir/bin/$dll.dll")" || fail "$name: $dll.dll is not $format"
  done
  # The import library's entries carry the names the DLL exports.
  exports=$(objdump -p "$dir/bin/ImageBrowse.dll") imports=$(strings "$dir/lib/msvc/ImageBrowse.lib")
  for export in SetImageBrowsePath LoadImageBrowse; do
    grep -Eq "\] $export\$" <<<"$exports" || fail "$name: the DLL does not export $export"
    grep -qx "$export" <<<"$imports" || fail "$name: ImageBrowse.lib does not import $export"
  done
  grep -q "SnapAlbum $version ($name)" "$dir/README.txt" || fail "$name: README does not name the version"
done
[ $status = 0 ] && echo "both packages pass"
exit $status
