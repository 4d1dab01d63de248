#!/usr/bin/python3
"""Draws the album browser's toolbar strip, res/toolbar.bmp.

Thirteen 50 x 56 button images side by side (650 x 56), in button order
(separators have no image), 4 bits per pixel with the standard 16-colour
palette on a light-grey background. The toolbar maps black, dark grey, light
grey and white to the system's button colours, so those four carry the
outlines, shadows and face; everything else uses the saturated colours.

Usage: make_toolbar_bitmap.py [output.bmp] [--png preview.png]
"""
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw

BUTTON_W, BUTTON_H = 50, 56

# The 16 colours of the standard palette, in their usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
BACKGROUND = SILVER


def new_button():
    image = Image.new("P", (BUTTON_W, BUTTON_H), BACKGROUND)
    image.putpalette([c for rgb in PALETTE for c in rgb])
    return image, ImageDraw.Draw(image)


def draw_glyph(draw, rows, x, y, scale, colour):
    """Draws a small bitmap glyph ('#' is ink) at a whole-pixel scale."""
    for dy, row in enumerate(rows):
        for dx, cell in enumerate(row):
            if cell == "#":
                draw.rectangle([x + dx * scale, y + dy * scale,
                                x + (dx + 1) * scale - 1, y + (dy + 1) * scale - 1], fill=colour)


def arrow_polygon(tip_x, y_mid, tail_x, shaft_half, head_half, head_len):
    """A block arrow pointing from tail_x towards tip_x (either direction)."""
    d = 1 if tip_x > tail_x else -1
    neck = tip_x - d * head_len
    return [(tail_x, y_mid - shaft_half), (neck, y_mid - shaft_half), (neck, y_mid - head_half),
            (tip_x, y_mid), (neck, y_mid + head_half), (neck, y_mid + shaft_half),
            (tail_x, y_mid + shaft_half)]


def page_arrow(pointing_left, with_bar):
    image, draw = new_button()
    mid = 28
    if pointing_left:
        tip, tail, bar_x = (13, 44, 6) if with_bar else (6, 44, None)
    else:
        tip, tail, bar_x = (36, 5, 38) if with_bar else (43, 5, None)
    draw.polygon(arrow_polygon(tip, mid, tail, 6, 15, 16), fill=BLUE, outline=BLACK)
    if bar_x is not None:
        draw.rectangle([bar_x, 11, bar_x + 5, 45], fill=BLUE, outline=BLACK)
    return image


def door_with_arrow():
    image, draw = new_button()
    # Door frame and the dark opening behind the swung door.
    draw.rectangle([20, 5, 45, 50], fill=BLACK)
    draw.rectangle([23, 8, 42, 50], fill=GREY)
    # Open door leaf in perspective, hinged on the right edge of the frame.
    draw.polygon([(42, 8), (32, 4), (32, 54), (42, 50)], fill=MAROON, outline=BLACK)
    draw.point((34, 30), fill=YELLOW)
    draw.point((35, 30), fill=YELLOW)
    # Floor line.
    draw.line([(2, 50), (47, 50)], fill=BLACK)
    # Green arrow entering through the door.
    draw.polygon(arrow_polygon(30, 28, 2, 4, 11, 12), fill=LIME, outline=BLACK)
    return image


def folder_with_turning_arrow():
    image, draw = new_button()
    # Back of the folder with its tab.
    draw.polygon([(4, 22), (8, 17), (19, 17), (22, 22), (42, 22), (42, 50), (4, 50)],
                 fill=OLIVE, outline=BLACK)
    # Front flap, opened towards the viewer.
    draw.polygon([(4, 50), (10, 29), (48, 29), (42, 50)], fill=YELLOW, outline=BLACK)
    # A turning arrow above the folder: an arc ending in a head.
    draw.arc([14, 2, 44, 30], start=190, end=350, fill=BLUE, width=4)
    draw.arc([13, 1, 45, 31], start=190, end=350, fill=BLACK, width=1)
    draw.polygon([(37, 12), (48, 12), (44, 22)], fill=BLUE, outline=BLACK)
    return image


def floppy(draw, x, y, size, body):
    s = size
    draw.polygon([(x, y), (x + s - 5, y), (x + s, y + 5), (x + s, y + s), (x, y + s)],
                 fill=body, outline=BLACK)
    # Metal shutter at the top and the white label at the bottom.
    draw.rectangle([x + 6, y, x + s - 9, y + 8], fill=SILVER, outline=BLACK)
    draw.rectangle([x + s - 15, y + 2, x + s - 12, y + 6], fill=body)
    draw.rectangle([x + 4, y + s - 12, x + s - 4, y + s], fill=WHITE, outline=BLACK)
    draw.line([(x + 7, y + s - 8), (x + s - 7, y + s - 8)], fill=GREY)
    draw.line([(x + 7, y + s - 4), (x + s - 7, y + s - 4)], fill=GREY)


def two_floppy_disks():
    image, draw = new_button()
    floppy(draw, 3, 6, 29, NAVY)
    floppy(draw, 17, 20, 29, BLUE)
    return image


GLYPH_A = [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"]
GLYPH_B = ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."]


def rename_letters():
    image, draw = new_button()
    draw.rectangle([1, 13, 40, 42], fill=TEAL, outline=BLACK)
    draw_glyph(draw, GLYPH_A, 4, 19, 2, WHITE)
    # A short arrow between the letters, at the height of their bowls.
    draw.line([(16, 29), (24, 29)], fill=WHITE, width=2)
    draw.polygon([(23, 25), (27, 29), (23, 33)], fill=WHITE)
    draw_glyph(draw, GLYPH_B, 29, 19, 2, WHITE)
    # Text cursor (I-beam) after the field.
    draw.line([(45, 12), (45, 43)], fill=BLACK, width=2)
    draw.line([(42, 11), (48, 11)], fill=BLACK, width=2)
    draw.line([(42, 43), (48, 43)], fill=BLACK, width=2)
    return image


def red_cross():
    image, draw = new_button()
    c_x, c_y, arm, half = 25, 28, 17, 5
    points = [(c_x - arm, c_y - arm + half), (c_x - arm + half, c_y - arm), (c_x, c_y - half),
              (c_x + arm - half, c_y - arm), (c_x + arm, c_y - arm + half), (c_x + half, c_y),
              (c_x + arm, c_y + arm - half), (c_x + arm - half, c_y + arm), (c_x, c_y + half),
              (c_x - arm + half, c_y + arm), (c_x - arm, c_y + arm - half), (c_x - half, c_y)]
    draw.polygon(points, fill=RED, outline=BLACK)
    return image


def small_photo(draw, x, y, w, h, sky, ground):
    draw.rectangle([x, y, x + w, y + h], fill=sky, outline=BLACK)
    draw.polygon([(x + 1, y + h - 1), (x + w // 3, y + h // 2), (x + w // 2, y + h * 2 // 3),
                  (x + w * 3 // 4, y + h // 3), (x + w - 1, y + h - 1)], fill=ground)
    draw.ellipse([x + 2, y + 2, x + 5, y + 5], fill=YELLOW)


def photo_album():
    image, draw = new_button()
    # Cover showing beneath the pages.
    draw.rectangle([2, 10, 47, 49], fill=MAROON, outline=BLACK)
    # Two open pages and the spine between them.
    draw.rectangle([4, 8, 24, 46], fill=WHITE, outline=BLACK)
    draw.rectangle([25, 8, 45, 46], fill=WHITE, outline=BLACK)
    draw.line([(24, 8), (24, 48)], fill=BLACK, width=2)
    small_photo(draw, 7, 11, 14, 14, CYAN, GREEN)
    small_photo(draw, 7, 29, 14, 13, BLUE, LIME)
    small_photo(draw, 28, 11, 14, 14, CYAN, OLIVE)
    small_photo(draw, 28, 29, 14, 13, CYAN, GREEN)
    return image


def stroke(draw, points, width, colour):
    """A thick round-ended stroke with a black outline, for fingers."""
    for w, c in ((width + 2, BLACK), (width, colour)):
        draw.line(points, fill=c, width=w)
        for (x, y) in (points[0], points[-1]):
            r = w // 2
            draw.ellipse([x - r, y - r, x + r, y + r], fill=c)


def hand_turning_pad():
    image, draw = new_button()
    # Pad: pages stacked behind, the front page with ruled lines.
    draw.rectangle([8, 10, 42, 50], fill=WHITE, outline=BLACK)
    draw.rectangle([5, 8, 39, 48], fill=WHITE, outline=BLACK)
    for y in range(17, 44, 5):
        draw.line([(8, y), (36, y)], fill=CYAN)
    # Spiral binding along the top edge.
    for x in range(8, 37, 5):
        draw.ellipse([x, 4, x + 3, 11], outline=BLACK)
    # The lower right corner being turned up.
    draw.polygon([(39, 30), (39, 48), (21, 48)], fill=BACKGROUND)
    draw.line([(39, 30), (39, 48)], fill=BLACK)
    draw.line([(21, 48), (39, 48)], fill=BLACK)
    draw.polygon([(39, 30), (21, 48), (25, 33)], fill=SILVER, outline=BLACK)
    # A gloved hand from the lower right, fingers pinching the turned corner.
    draw.polygon([(33, 44), (42, 38), (49, 44), (49, 55), (36, 55)], fill=WHITE, outline=BLACK)
    stroke(draw, [(40, 41), (27, 36)], 4, WHITE)     # index finger on the corner
    stroke(draw, [(40, 45), (29, 43)], 4, WHITE)
    stroke(draw, [(40, 49), (31, 49)], 4, WHITE)
    stroke(draw, [(44, 40), (41, 30)], 4, WHITE)     # thumb behind the page
    draw.polygon([(36, 42), (47, 40), (48, 54), (38, 54)], fill=WHITE)
    draw.line([(49, 44), (49, 55)], fill=BLACK)
    return image


def printer(draw, x, y):
    # Paper going in at the back, the body, and the printed sheet in front.
    draw.rectangle([x + 8, y, x + 30, y + 12], fill=WHITE, outline=BLACK)
    draw.polygon([(x, y + 10), (x + 38, y + 10), (x + 38, y + 27), (x, y + 27)],
                 fill=SILVER, outline=BLACK)
    draw.rectangle([x + 1, y + 22, x + 37, y + 26], fill=GREY)
    draw.rectangle([x + 30, y + 14, x + 34, y + 16], fill=LIME, outline=BLACK)
    draw.rectangle([x + 6, y + 24, x + 32, y + 38], fill=WHITE, outline=BLACK)
    for line_y in (y + 28, y + 31, y + 34):
        draw.line([(x + 9, line_y), (x + 29, line_y)], fill=BLACK)


def printer_button():
    image, draw = new_button()
    printer(draw, 5, 9)
    return image


def printer_with_magnifier():
    image, draw = new_button()
    printer(draw, 2, 5)
    # Magnifying glass over the printed sheet.
    draw.line([(37, 41), (46, 51)], fill=BLACK, width=5)
    draw.line([(38, 42), (45, 50)], fill=OLIVE, width=2)
    draw.ellipse([21, 24, 41, 44], fill=BLACK)
    draw.ellipse([24, 27, 38, 41], fill=CYAN)
    draw.arc([26, 29, 36, 39], start=180, end=270, fill=WHITE, width=2)
    return image


# Button order of the toolbar (slots without the separators).
BUTTONS = [
    door_with_arrow,                         # return to the host
    folder_with_turning_arrow,               # open another folder
    two_floppy_disks,                        # save as
    rename_letters,                          # rename
    red_cross,                               # delete
    lambda: page_arrow(True, True),          # first page
    lambda: page_arrow(True, False),         # previous page
    lambda: page_arrow(False, False),        # next page
    lambda: page_arrow(False, True),         # last page
    photo_album,                             # multi show
    hand_turning_pad,                        # automatic browse
    printer_button,                          # print
    printer_with_magnifier,                  # print preview
]


def draw_strip():
    strip = Image.new("P", (BUTTON_W * len(BUTTONS), BUTTON_H), BACKGROUND)
    strip.putpalette([c for rgb in PALETTE for c in rgb])
    for index, draw_button in enumerate(BUTTONS):
        strip.paste(draw_button(), (index * BUTTON_W, 0))
    return strip


def write_bmp_4bpp(image, path):
    """Pillow writes palette images at 8 bits, so the 4-bit file is laid
    out here: file header, info header, 16 palette entries, bottom-up rows
    padded to 4 bytes."""
    width, height = image.size
    pixels = image.load()
    stride = ((width * 4 + 31) // 32) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            index = pixels[x, y]
            if index > 15:
                raise ValueError(f"colour index {index} at {x},{y} is outside the 16-colour palette")
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    bits = b"".join(rows)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    Path(path).write_bytes(header + info + palette + bits)


def main(argv):
    root = Path(__file__).resolve().parent.parent
    output = root / "res" / "toolbar.bmp"
    preview = None
    args = list(argv)
    if "--png" in args:
        at = args.index("--png")
        preview = args[at + 1]
        del args[at:at + 2]
    if args:
        output = Path(args[0])
    strip = draw_strip()
    write_bmp_4bpp(strip, output)
    if preview:
        strip.convert("RGB").resize((strip.width * 4, strip.height * 4), Image.NEAREST).save(preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
