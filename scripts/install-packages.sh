#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: does nothing when all packages are already present.
set -euo pipefail

PACKAGES=(
  # cross toolchain and Wine
  g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 libz-mingw-w64-dev nasm
  # and the same for 64-bit hosts: the x86_64 cross compilers and 64-bit Wine
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine64
  wine wine32:i386 fonts-wine fonts-wqy-microhei xvfb xauth x11-utils
  # native build, tests, fuzzers
  cmake make g++ clang libclang-rt-14-dev pkg-config
  libjpeg62-turbo-dev libtiff-dev zlib1g-dev libgtest-dev googletest
  # codec sources (Debian's, patched by us where needed)
  dpkg-dev patch
  # independent tools for test pictures and print checks
  imagemagick netpbm libtiff-tools giflib-tools libjpeg-turbo-progs python3-pil ghostscript locales
  # the run's own tools (scripts/run-guard.sh, tools/)
  python3
)

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

need_i386() { ! dpkg --print-foreign-architectures | grep -qx i386; }
need_src()  { ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ 2>/dev/null && ! grep -qs '^deb-src' /etc/apt/sources.list 2>/dev/null; }

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

changed=0
if need_i386; then $SUDO dpkg --add-architecture i386; changed=1; fi
if need_src; then
  # Codec sources come from Debian's source packages: enable deb-src next to deb.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
  done
  changed=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $changed -eq 0 ]; then exit 0; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
