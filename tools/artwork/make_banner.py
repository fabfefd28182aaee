#!/usr/bin/env python3
"""Draws the page's banner (bitmaps 163 to 167) and writes them as 32-bit BMP files.

One picture at five sizes: a blue band that shades into teal, woven with lighter threads, and
a row of byte cells in the icon's colours. A tab at the left end has a colour of its own for
each size, so that a test can tell from the pixels which size was drawn.
Run from anywhere; writes into resources/.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "..", "resources")

DARK = (30, 60, 110)
LIGHT = (0, 130, 140)
THREAD = (120, 170, 215)
CELLS = [(0, 150, 136), (240, 140, 30), (120, 130, 145)]
TAB_SHARE = 0.10  # of the width

# Resource id, size, and the colour of the size's tab.
SIZES = [
    (163, 120, 16, (200, 30, 30)),
    (164, 240, 31, (30, 170, 60)),
    (165, 160, 20, (250, 200, 0)),
    (166, 200, 25, (150, 40, 190)),
    (167, 620, 80, (250, 250, 250)),
]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def colour(u, v, tab):
    """Colour at (u, v) in unit coordinates of the banner."""
    if u < TAB_SHARE:
        return tab
    base = mix(DARK, LIGHT, (u - TAB_SHARE) / (1 - TAB_SHARE))
    # Byte cells along the middle of the right half.
    if 0.55 <= u <= 0.97 and 0.30 <= v <= 0.70:
        k = int((u - 0.55) / 0.06)
        if (u - 0.55) - k * 0.06 < 0.045:
            return CELLS[k % 3]
    # Two families of threads crossing at a slant: the weave.
    s1 = (u * 8 + v) % 1.0
    s2 = (u * 8 - v) % 1.0
    if s1 < 0.08 or s2 < 0.08:
        return mix(base, THREAD, 0.55)
    return base


def write_bmp(path, width, height, pixel):
    rows = []
    for y in range(height - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(width):
            r, g, b = pixel((x + 0.5) / width, (y + 0.5) / height)
            row += bytes((b, g, r, 255))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header)
        f.write(data)


def main():
    for rid, w, h, tab in SIZES:
        write_bmp(os.path.join(OUT, "banner_%d.bmp" % rid), w, h,
                  lambda u, v, tab=tab: colour(u, v, tab))


if __name__ == "__main__":
    main()
