#!/usr/bin/env bash
# Writes the pictures the DLL tests load, each by an independent tool, and
# beside each the pixels that tool (or its sibling reader) says it holds.
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out"
cd "$out"
/usr/bin/convert -size 61x37 gradient:'#204080-#f0c020' -fill '#10e030' -draw 'rectangle 10,5 30,20' -depth 8 ref.ppm
/usr/bin/convert ref.ppm -colors 200 -depth 8 ref256.ppm
/usr/bin/convert ref.ppm BMP3:pic.bmp
ppmtobmp -bpp 8 ref256.ppm > pal.bmp 2>/dev/null
/usr/bin/convert ref256.ppm pic.gif
ppmtopcx -24bit ref.ppm > pic.pcx 2>/dev/null
ppmtotga -rgb ref.ppm > pic.tga 2>/dev/null
cjpeg -quality 90 ref.ppm > pic.jpg
cjpeg -progressive -sample 2x1 ref.ppm > progressive.jpg
djpeg -pnm pic.jpg > pic.jpg.ppm
/usr/bin/convert ref.ppm -compress LZW pic.tif
cp pic.tga same-bytes.dat
: > empty.bmp
echo "just some text, not a picture" > text.bmp
