#!/usr/bin/env python3
"""Draws the page's header icons (resources 147 and 151) and writes them as .ico files.

147: a sheet of paper with a folded corner and rows of hex byte cells.
151: the same sheet twice, stacked, for a selection of several items.
Run from anywhere; writes into resources/.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "..", "resources")

PAPER = (250, 250, 246, 255)
EDGE = (70, 86, 110, 255)
FOLD = (214, 220, 230, 255)
BAND = (38, 110, 190, 255)
CELLS = [(0, 150, 136, 255), (240, 140, 30, 255), (120, 130, 145, 255)]


def sheet(x, y, ox, oy, s):
    """Colour of one sheet at (x, y) in unit coordinates, sheet origin (ox, oy), scale s."""
    u, v = (x - ox) / s, (y - oy) / s
    if not (0.16 <= u <= 0.84 and 0.06 <= v <= 0.94):
        return None
    fold = 0.22
    du, dv = 0.84 - u, v - 0.06
    if du + dv < fold:  # cut corner
        return None
    border = 0.035
    on_edge = (u < 0.16 + border or u > 0.84 - border or v < 0.06 + border or
               v > 0.94 - border or du + dv < fold + border)
    if du < fold and dv < fold and du + dv >= fold + border:
        return FOLD if not on_edge else EDGE
    if on_edge:
        return EDGE
    if 0.14 <= v <= 0.26 and u < 0.62:
        return BAND
    # Three rows of four byte cells.
    for row in range(4):
        top = 0.34 + row * 0.14
        if top <= v <= top + 0.08:
            for col in range(4):
                left = 0.24 + col * 0.14
                if left <= u <= left + 0.10:
                    return CELLS[(row + col) % 3]
    return PAPER


def header_icon(x, y):
    return sheet(x, y, 0.0, 0.0, 1.0)


def several_icon(x, y):
    front = sheet(x, y, 0.10, 0.10, 0.90)
    if front:
        return front
    return sheet(x, y, -0.02, -0.02, 0.90)


def render(draw, size):
    """RGBA rows, top row first, 4x4 supersampled."""
    rows = []
    n = 4
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = draw((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c:
                        a = c[3]
                        acc[0] += c[0] * a
                        acc[1] += c[1] * a
                        acc[2] += c[2] * a
                        acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                            round(acc[2] / acc[3]), round(alpha)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_entry(rows, size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha carries the shape
    return header + pixels + mask


def png_entry(rows, size):
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def write_icon(path, draw, sizes):
    images = []
    for size in sizes:
        rows = render(draw, size)
        images.append((size, png_entry(rows, size) if size >= 256 else bmp_entry(rows, size)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_icon(os.path.join(OUT, "header_icon.ico"), header_icon, [256, 48, 32, 16])
    write_icon(os.path.join(OUT, "several_items.ico"), several_icon, [48, 32])
