#!/usr/bin/python3
"""Checks the page the print test sent to the file printer: turned into a
picture by Ghostscript, it must hold the nine framed cells of the album page
in a 3 x 3 grid, each within 1 % of the proportions it has on screen, and no
texts. The layout on screen follows from the view's client size, which the
print test writes into print-layout.txt beside the page.

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


def screen_layout(ps):
    """The fill of a cell on screen (width, height) and the column width. A
    cell is (5, 5, W, H - 20) in its column W and row H, its fill inset by
    2 and without its right and bottom edges."""
    with open(os.path.join(os.path.dirname(ps), "print-layout.txt")) as f:
        client_w, client_h = (int(v) for v in f.read().split())
    column, row = client_w // 3, client_h // 3
    return column - 9, row - 29, column


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
    # The page is scaled by the size of the screen, and a view wider than
    # the screen is cut at the paper's edge: only whole cells are measured.
    edge_w, edge_h = img.size[0] - 1, img.size[1] - 1
    whole = [n for n, b in enumerate(cells) if b[0] > 0 and b[1] > 0 and b[2] < edge_w and b[3] < edge_h]
    assert 0 in whole and 1 in whole, "the first cells are cut: %s" % cells
    assert max(widths[n] for n in whole) - min(widths[n] for n in whole) <= 2, widths
    assert max(heights[n] for n in whole) - min(heights[n] for n in whole) <= 2, heights
    fill_w, fill_h, column = screen_layout(ps)
    for n in whole:
        ratio = widths[n] / heights[n]
        assert abs(ratio / (fill_w / fill_h) - 1) < 0.01, "cell %d is %d x %d, proportions %.3f instead of %.3f" % (
            n, widths[n], heights[n], ratio, fill_w / fill_h)
    step = (cells[1][0] - cells[0][0]) / widths[0]
    assert abs(step / (column / fill_w) - 1) < 0.01, "column step %.3f instead of %.3f" % (step, column / fill_w)
    # No texts: the rows under the cells, where names stand on screen
    # (from 8 screen pixels below a cell's fill), hold nothing dark.
    scale = heights[0] / fill_h
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
    print("printed page: 9 cells of %d x %d (%d x %d on screen), proportions kept, no texts%s" % (
        widths[0], heights[0], fill_w, fill_h, ", pictures of %s" % (wanted,) if wanted else ""))


if __name__ == "__main__":
    main()
