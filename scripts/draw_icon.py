#!/usr/bin/env python3
"""Writes a 32-bit ICO file from a small drawing function; used for our own pictures.

    draw_icon.py OUT.ico SIZE COLOUR [LETTER-COLOUR]

The picture is a rounded tile in COLOUR (RRGGBB) with a lighter diagonal band."""
import struct
import sys


def tile(size, colour, band):
    def pixel(x, y):
        r = size // 6
        inside = True
        for cx, cy in ((r, r), (size - 1 - r, r), (r, size - 1 - r), (size - 1 - r, size - 1 - r)):
            if (x < r and y < r and cx == r and cy == r) or (x > size - 1 - r and y < r and cx != r and cy == r) \
               or (x < r and y > size - 1 - r and cx == r and cy != r) or (x > size - 1 - r and y > size - 1 - r and cx != r and cy != r):
                inside = (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        if not inside:
            return (0, 0, 0, 0)
        c = band if abs(x - y) < size // 5 else colour
        return (c[0], c[1], c[2], 255)
    return [[pixel(x, y) for x in range(size)] for y in range(size)]


def ico(pixels):
    size = len(pixels)
    rows = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    dib = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = dib + rows + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


if __name__ == "__main__":
    out, size, colour = sys.argv[1], int(sys.argv[2]), rgb(sys.argv[3])
    band = rgb(sys.argv[4]) if len(sys.argv) > 4 else tuple(min(255, c + 80) for c in colour)
    with open(out, "wb") as f:
        f.write(ico(tile(size, colour, band)))
