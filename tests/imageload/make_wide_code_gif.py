#!/usr/bin/python3
"""Writes a GIF whose LZW minimum code size is larger than its colours need.

The GIF format allows minimum code sizes up to 11; common encoders write 2
to 8, so no tool of ours makes these files. The LZW stream here is the
simplest legal one: only literal codes, with a clear code often enough
that the code width never grows.

    make_wide_code_gif.py CODE_SIZE WIDTH HEIGHT OUT.gif [COLOURS BACKGROUND PIXEL,PIXEL,...]

Without the last three, a table of 256 colours and a pattern of pixels;
with them, a table of COLOURS (a power of 2) with the given background
index and the given pixel codes, repeated to fill the picture, codes
outside the table among them if asked for. Colour i is (i * 53 % 256,
i * 29 % 256, 255 - i).
"""
import struct
import sys


def palette(colours):
    return bytes(v for i in range(colours) for v in (i * 53 % 256, i * 29 % 256, 255 - i))


def pattern(width, height):
    return [(x * 7 + y * 13) % 256 for y in range(height) for x in range(width)]


def lzw_literals(values, code_size):
    clear, end = 1 << code_size, (1 << code_size) + 1
    width = code_size + 1
    # Each literal after a clear adds a table entry; half the room keeps
    # every decoder's width at code_size + 1, whatever its early change.
    run = (1 << code_size) // 2
    codes = []
    for start in range(0, len(values), run):
        codes.append(clear)
        codes.extend(values[start:start + run])
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    return bytes(out) + b"\0"


def main():
    code_size, width, height, path = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    colours, background, pixels = 256, 0, pattern(width, height)
    if len(sys.argv) > 5:
        colours, background = int(sys.argv[5]), int(sys.argv[6])
        codes = [int(p) for p in sys.argv[7].split(",")]
        pixels = [codes[i % len(codes)] for i in range(width * height)]
    assert 2 <= code_size <= 11 and max(pixels) < 1 << code_size
    table_size = colours.bit_length() - 2  # the table holds 2 ** (table_size + 1) colours
    assert colours == 2 ** (table_size + 1)
    gif = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF0 | table_size, background, 0) + palette(colours)
    gif += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
    gif += bytes([code_size]) + sub_blocks(lzw_literals(pixels, code_size)) + b";"
    with open(path, "wb") as f:
        f.write(gif)


if __name__ == "__main__":
    main()
