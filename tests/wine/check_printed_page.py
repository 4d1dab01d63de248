#!/usr/bin/python3
"""Checks the page the print test sent to the file printer: turned into a
picture by Ghostscript, it must hold the nine framed cells of the album page
in a 3 x 3 grid, in the proportions of the screen layout, and no texts.

With --pictures R,G,B the pictures inside the cells must be of that colour
(a page of one-coloured pictures), and no cell may show the colour given
with --not R,G,B.

usage: check_printed_page.py PRINT.PS WORKDIR [--pictures R,G,B --not R,G,B]"""
import os
import subprocess
import sys

from PIL import Image

CELL = (166, 202, 240)
SELECTED = (202, 224, 184)


def near(a, b, tolerance=6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def boxes(img, colour):
    """Bounding boxes of the connected areas of one colour (4-neighbours)."""
    w, h = img.size
    px = img.load()
    seen = bytearray(w * h)
    found = []
    for y in range(h):
        for x in range(w):
            if seen[y * w + x] or not near(px[x, y], colour):
                continue
            stack = [(x, y)]
            seen[y * w + x] = 1
            x0 = x1 = x
            y0 = y1 = y
            count = 0
            while stack:
                cx, cy = stack.pop()
                count += 1
                x0, x1, y0, y1 = min(x0, cx), max(x1, cx), min(y0, cy), max(y1, cy)
                for nx, ny in ((cx + 1, cy), (cx - 1, cy), (cx, cy + 1), (cx, cy - 1)):
                    if 0 <= nx < w and 0 <= ny < h and not seen[ny * w + nx] and near(px[nx, ny], colour):
                        seen[ny * w + nx] = 1
                        stack.append((nx, ny))
            if count > 50:
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
    subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=png16m", "-r50",
                    "-sOutputFile=" + png, ps], check=True)
    img = Image.open(png).convert("RGB")
    cells = sorted(boxes(img, CELL) + boxes(img, SELECTED), key=lambda b: (b[1] // 10, b[0]))
    assert len(cells) == 9, "expected 9 cells, found %d: %s" % (len(cells), cells)
    widths = [b[2] - b[0] for b in cells]
    heights = [b[3] - b[1] for b in cells]
    assert max(widths) - min(widths) <= 2 and max(heights) - min(heights) <= 2, (widths, heights)
    # On screen the cells are 336 x 205 with the fill inset by 2 (332 x 201)
    # in columns 341 apart: the printed page keeps those proportions.
    ratio = widths[0] / heights[0]
    assert abs(ratio - 332 / 201) < 0.08, "cell proportions %.3f" % ratio
    step = (cells[1][0] - cells[0][0]) / widths[0]
    assert abs(step - 341 / 332) < 0.05, "column step %.3f" % step
    # No texts: the rows between the cells, where names stand on screen,
    # hold nothing dark.
    px = img.load()
    for row in range(3):
        top = cells[row * 3][3] + 2
        for y in range(top, min(top + 6, img.size[1])):
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
