#!/usr/bin/python3
"""Draws the album browser's application icon, res/app.ico: a camera in
front of a snapshot, at 16 x 16 and 32 x 32 pixels with 256 colours.

Pillow writes icons as embedded PNG images, which older loaders do not read,
so the file is laid out here: icon directory, then for each size a
BITMAPINFOHEADER (height doubled for the mask), a 256-entry palette, the
8-bit colour rows and the 1-bit transparency mask, both bottom-up.

Usage: make_app_icon.py [output.ico] [--png preview.png]
"""
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw

TRANSPARENT = 0
OUTLINE, BODY, BODY_LIGHT, LENS, LENS_SHINE, FLASH, PHOTO, SKY, HILL, SUN = range(1, 11)
COLOURS = {
    TRANSPARENT: (255, 0, 255),
    OUTLINE: (0, 0, 0),
    BODY: (64, 64, 72),
    BODY_LIGHT: (128, 128, 140),
    LENS: (0, 64, 160),
    LENS_SHINE: (150, 200, 255),
    FLASH: (255, 255, 255),
    PHOTO: (255, 255, 240),
    SKY: (96, 176, 240),
    HILL: (40, 150, 40),
    SUN: (255, 210, 0),
}


def palette_bytes():
    """256 entries: the drawing colours first, the rest black."""
    entries = [COLOURS.get(i, (0, 0, 0)) for i in range(256)]
    return entries


def draw_icon(size):
    """Draws on a 32-unit grid scaled to the size; the 16-pixel icon drops
    the details that would turn into noise."""
    s = size / 32
    image = Image.new("P", (size, size), TRANSPARENT)
    image.putpalette([c for rgb in palette_bytes() for c in rgb])
    d = ImageDraw.Draw(image)

    def box(x0, y0, x1, y1):
        return [round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1]

    # A snapshot behind the camera, tilted up on the left.
    d.rectangle(box(2, 1, 22, 17), fill=PHOTO, outline=OUTLINE)
    d.rectangle(box(4, 3, 20, 15), fill=SKY)
    d.polygon([(round(4 * s), round(15 * s) - 1), (round(10 * s), round(8 * s)),
               (round(15 * s), round(12 * s)), (round(20 * s) - 1, round(15 * s) - 1)], fill=HILL)
    if size >= 32:
        d.ellipse(box(15, 4, 19, 8), fill=SUN)
    # Camera body with its viewfinder hump and flash.
    d.rectangle(box(11, 9, 21, 14), fill=BODY, outline=OUTLINE)
    d.rectangle(box(6, 13, 31, 30), fill=BODY, outline=OUTLINE)
    d.rectangle(box(7, 14, 30, 17), fill=BODY_LIGHT)
    d.rectangle(box(25, 15, 29, 18), fill=FLASH, outline=OUTLINE)
    # Lens.
    d.ellipse(box(11, 15, 26, 30), fill=OUTLINE)
    d.ellipse(box(13, 17, 24, 28), fill=LENS)
    if size >= 32:
        d.ellipse(box(15, 19, 19, 23), fill=LENS_SHINE)
    else:
        d.point((8, 10), fill=LENS_SHINE)
    return image


def icon_image_bytes(image):
    size = image.width
    pixels = image.load()
    colour_stride = (size + 3) // 4 * 4
    mask_stride = ((size + 31) // 32) * 4
    colour_rows, mask_rows = [], []
    for y in range(size - 1, -1, -1):
        row = bytearray(colour_stride)
        mask = bytearray(mask_stride)
        for x in range(size):
            index = pixels[x, y]
            row[x] = index
            if index == TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        colour_rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    bits = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(bits), 0, 0, 256, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette_bytes())
    return header + palette + bits


def write_ico(images, path):
    blobs = [icon_image_bytes(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for image, blob in zip(images, blobs):
        # A colour count of 0 in the directory means 256 or more.
        entries += struct.pack("<BBBBHHII", image.width, image.height, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    Path(path).write_bytes(directory + entries + b"".join(blobs))


def main(argv):
    root = Path(__file__).resolve().parent.parent
    output = root / "res" / "app.ico"
    preview = None
    args = list(argv)
    if "--png" in args:
        at = args.index("--png")
        preview = args[at + 1]
        del args[at:at + 2]
    if args:
        output = Path(args[0])
    images = [draw_icon(16), draw_icon(32)]
    write_ico(images, output)
    if preview:
        sheet = Image.new("RGB", (16 * 8 + 32 * 8 + 16, 32 * 8), (200, 200, 200))
        sheet.paste(images[0].convert("RGB").resize((128, 128), Image.NEAREST), (0, 0))
        sheet.paste(images[1].convert("RGB").resize((256, 256), Image.NEAREST), (144, 0))
        sheet.save(preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
