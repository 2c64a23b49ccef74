#!/usr/bin/env python3
"""Draws the chooser's up button: a folder with an arrow pointing up, on the
green (0x00FF00) that the dialog draws as transparent. Writes up_folder.bmp
(20 x 20) and up_folder_large.bmp (40 x 40) beside this script."""
import os
import struct

GREEN = (0x00, 0xFF, 0x00)
OUTLINE = (0x80, 0x60, 0x10)
FOLDER = (0xF4, 0xC8, 0x48)
TAB = (0xE0, 0xB0, 0x30)
ARROW = (0x20, 0x40, 0xA0)


def draw(size):
    s = size / 20.0
    px = [[GREEN] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    rect(1, 4, 9, 7, OUTLINE)       # the tab
    rect(2, 5, 8, 7, TAB)
    rect(1, 6, 19, 18, OUTLINE)     # the body
    rect(2, 7, 18, 17, FOLDER)
    # The arrow: a triangle over a stem.
    for row in range(5):
        rect(10 - row - 1, 8 + row, 10 + row + 1, 9 + row, ARROW)
    rect(8.5, 13, 11.5, 16, ARROW)
    return px


def write_bmp(path, px):
    h = len(px)
    w = len(px[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(px):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "up_folder.bmp"), draw(20))
write_bmp(os.path.join(here, "up_folder_large.bmp"), draw(40))
