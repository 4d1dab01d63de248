#!/usr/bin/python3
"""Checks the page the print test sent to the file printer: turned into a
picture by Ghostscript, it must hold the nine framed cells of the album page
in a 3 x 3 grid, each within 1 % of the proportions of the screen layout,
and no texts.

With --landscape the page must have been printed in landscape; it is turned
to read as printed before it is measured. With --pictures R,G,B the
pictures inside the cells must be of that colour (a page of one-coloured
pictures), and no cell may show the colour given with --not R,G,B.

usage: check_printed_page.py PRINT.PS WORKDIR [--landscape] [--pictures R,G,B --not R,G,B]"""
import os
import subprocess
import sys

from PIL import Image, ImageChops

CELL = (166, 202, 240)
SELECTED = (202, 224, 184)


def near(a, b, tolerance=6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def mask_of(img, colours, tolerance=6):
    """A picture that is white where img is near one of the colours."""
    bands = img.split()
    mask = None
    for colour in colours:
        parts = [band.point(lambda v, c=c: 255 if abs(v - c) <= tolerance else 0) for band, c in zip(bands, colour)]
        one = ImageChops.darker(ImageChops.darker(parts[0], parts[1]), parts[2])
        mask = one if mask is None else ImageChops.lighter(mask, one)
    return mask


def runs(marked, shortest=4):
    """(first, last) of each run of marked places at least shortest long."""
    found, start = [], None
    for i, m in enumerate(list(marked) + [False]):
        if m and start is None:
            start = i
        elif not m and start is not None:
            if i - start >= shortest:
                found.append((start, i - 1))
            start = None
    return found


def boxes(img, colours):
    """Bounding boxes (inclusive) of the areas of the colours laid out in
    rows of a grid: the bands of rows that hold them, then the runs of
    columns in each band."""
    mask = mask_of(img, colours)
    w, h = mask.size
    found = []
    for y0, y1 in runs(mask.crop((0, y, w, y + 1)).getbbox() is not None for y in range(h)):
        band = mask.crop((0, y0, w, y1 + 1))
        for x0, x1 in runs(band.crop((x, 0, x + 1, y1 - y0 + 1)).getbbox() is not None for x in range(w)):
            found.append((x0, y0, x1, y1))
    return found


def colour_arg(name):
    if name not in sys.argv:
        return None
    return tuple(int(v) for v in sys.argv[sys.argv.index(name) + 1].split(","))


def picture_colours(img, cell):
    """How many pixels inside a cell (away from its frame) are each colour."""
    px = img.load()
    x0, y0, x1, y1 = cell
    counts = {}
    for y in range(y0 + 3, y1 - 2):
        for x in range(x0 + 3, x1 - 2):
            counts[px[x, y]] = counts.get(px[x, y], 0) + 1
    return counts


def main():
    ps, work = sys.argv[1], sys.argv[2]
    png = os.path.join(work, os.path.splitext(os.path.basename(ps))[0] + ".png")
    # Fine enough that a pixel is well under 1 % of a cell's side.
    subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r200",
                    "-sOutputFile=" + png, ps], check=True)
    img = Image.open(png).convert("RGB")
    if "--landscape" in sys.argv:
        # The printer turns a landscape page a quarter left onto the paper.
        with open(ps, "rb") as f:
            assert b"%%Orientation: Landscape" in f.read(4096), "the page was not printed in landscape"
        img = img.transpose(Image.Transpose.ROTATE_270)
    cells = sorted(boxes(img, (CELL, SELECTED)), key=lambda b: (b[1] // 10, b[0]))
    assert len(cells) == 9, "expected 9 cells, found %d: %s" % (len(cells), cells)
    widths = [b[2] - b[0] + 1 for b in cells]
    heights = [b[3] - b[1] + 1 for b in cells]
    assert max(widths) - min(widths) <= 2 and max(heights) - min(heights) <= 2, (widths, heights)
    # On screen the cells are 336 x 205 with the fill inset by 2 (332 x 201)
    # in columns 341 apart: the printed page keeps those proportions.
    for n, (w, h) in enumerate(zip(widths, heights)):
        assert abs(w / h / (332 / 201) - 1) < 0.01, "cell %d is %d x %d, proportions %.3f" % (n, w, h, w / h)
    step = (cells[1][0] - cells[0][0]) / widths[0]
    assert abs(step - 341 / 332) < 0.02, "column step %.3f" % step
    # No texts: the rows under the cells, where names stand on screen
    # (from 7 screen pixels below a cell's fill), hold nothing dark.
    scale = heights[0] / 201
    px = img.load()
    for row in range(3):
        bottom = cells[row * 3][3]
        for y in range(bottom + round(4 * scale), min(bottom + round(20 * scale), img.size[1])):
            for x in range(cells[0][0], cells[2][2]):
                r, g, b = px[x, y]
                assert r + g + b > 300, "dark pixel at %d,%d under row %d" % (x, y, row)
    wanted, unwanted = colour_arg("--pictures"), colour_arg("--not")
    if wanted is not None:
        for n, cell in enumerate(cells):
            counts = picture_colours(img, cell)
            assert any(near(c, wanted, 40) for c in counts), "cell %d shows no picture of %s" % (n, wanted)
            assert not any(near(c, unwanted, 40) for c in counts), "cell %d shows %s" % (n, unwanted)
    print("printed page: 9 cells of %d x %d, proportions kept, no texts%s" % (
        widths[0], heights[0], ", pictures of %s" % (wanted,) if wanted else ""))


if __name__ == "__main__":
    main()
