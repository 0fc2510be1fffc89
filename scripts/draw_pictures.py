#!/usr/bin/env python3
"""Draws the program's own pictures and the fixture icon, and writes them as ICO and
BMP files. Run from the repository root; the outputs are committed.

    scripts/draw_pictures.py
"""
import math
import struct
import zlib

KEY = (255, 0, 255)  # the transparent colour of bitmap strips (their bottom-left pixel)
FONT = {  # 5 x 7 glyphs
    "!": ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    "x": ["#...#", ".#.#.", "..#..", "..#..", ".#.#.", "#...#", "....."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
}


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c if len(c) == 4 else c + (255,)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def triangle(self, cx, top, bottom, c):
        for y in range(top, bottom):
            half = (y - top + 1) * 0.58
            for x in range(self.w):
                if abs(x + 0.5 - cx) <= half:
                    self.set(x, y, c)

    def text(self, ch, x0, y0, c, scale=1):
        for row, line in enumerate(FONT[ch]):
            for col, bit in enumerate(line):
                if bit == "#":
                    self.rect(x0 + col * scale, y0 + row * scale, x0 + (col + 1) * scale,
                              y0 + (row + 1) * scale, c)

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.set(x0 + x, y0 + y, other.px[y][x])


def icon_file(canvases, images):
    """An icon file of one image per canvas: Windows picks the size the screen asks for."""
    offset = 6 + 16 * len(images)
    directory = b""
    for c, image in zip(canvases, images):
        directory += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + directory + b"".join(images)


def ico(*canvases):
    """An icon file of 32-bit bitmap images, as every Windows reads them."""
    images = []
    for c in canvases:
        rows = b"".join(bytes((b, g, r, a)) for row in reversed(c.px) for (r, g, b, a) in row)
        mask = bytes(((c.w + 31) // 32) * 4 * c.h)
        dib = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
        images.append(dib + rows + mask)
    return icon_file(canvases, images)


def png(c):
    """A PNG file of the canvas: 8-bit RGBA, every row unfiltered."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in c.px)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", c.w, c.h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def png_ico(*canvases):
    """An icon file of PNG images, as Windows Vista and later read them."""
    return icon_file(canvases, [png(c) for c in canvases])


def bmp(c):
    """A bitmap file of the canvas with a colour table of the colours it uses: four bits
    a pixel up to 16 colours, eight up to 256; transparent pixels take the key colour.
    Uncompressed, since a DIB section (LoadImage's LR_CREATEDIBSECTION) takes no
    run-length encoding."""
    pixels = [[(r, g, b) if a else KEY for (r, g, b, a) in row] for row in reversed(c.px)]
    palette = sorted({p for row in pixels for p in row})
    assert len(palette) <= 256, "more colours than a colour table holds"
    bits = 4 if len(palette) <= 16 else 8
    index = {p: i for i, p in enumerate(palette)}
    stride = (c.w * bits + 31) // 32 * 4
    rows = b""
    for row in pixels:
        if bits == 4:
            codes = [index[p] for p in row] + [0]  # an odd width's last pixel pads to a byte
            line = bytes(codes[i] << 4 | codes[i + 1] for i in range(0, c.w, 2))
        else:
            line = bytes(index[p] for p in row)
        rows += line + bytes(stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, bits, 0, len(rows), 2835, 2835,
                         len(palette), 0)
    offset = 14 + len(header) + len(table)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + table + rows


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def tile(size, colour, band):
    c = Canvas(size, size)
    r = size // 6
    for y in range(size):
        for x in range(size):
            cx = min(max(x + 0.5, r), size - r)
            cy = min(max(y + 0.5, r), size - r)
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                c.set(x, y, band if abs(x - y) < size // 5 else colour)
    return c


def program_icon(size=32):
    f = size / 32
    c = Canvas(size, size)
    c.disc(16 * f, 16 * f, 15 * f, (30, 90, 160))
    c.disc(16 * f, 16 * f, 12.5 * f, (60, 140, 210))
    for row, line in enumerate(FONT["W"]):
        for col, bit in enumerate(line):
            if bit == "#":
                c.rect(round((8 + col * 3) * f), round((6 + row * 3) * f),
                       round((11 + col * 3) * f), round((9 + row * 3) * f), (255, 255, 255))
    return c


def row_icons(k=1):
    n = 22 * k
    strip = Canvas(5 * n, n, KEY + (0,))
    warning = Canvas(n, n)
    warning.triangle(11 * k, 2 * k, 20 * k, (90, 70, 0))
    warning.triangle(11 * k, 4 * k, 19 * k, (250, 200, 30))
    warning.text("!", 9 * k, 9 * k, (0, 0, 0), k)
    def badge(rim, face, sign, top):  # a disc with a white sign
        c = Canvas(n, n)
        c.disc(11 * k, 11 * k, 10 * k, rim)
        c.disc(11 * k, 11 * k, 8.5 * k, face)
        c.text(sign, 9 * k, top * k, (255, 255, 255), k)
        return c
    error = badge((150, 0, 0), (220, 30, 30), "x", 8)
    info = badge((20, 60, 150), (50, 110, 220), "i", 7)
    question = badge((20, 110, 60), (40, 170, 90), "?", 7)
    update = Canvas(n, n)
    for a in range(0, 300, 3 if k == 1 else 1):
        for rr in [r / k for r in range(int(6.5 * k * k), int(8.5 * k * k) + 1)] if k > 1 else (6.5, 7.5, 8.5):
            update.set(int(k * (11 + rr * math.cos(math.radians(a)))),
                       int(k * (11 + rr * math.sin(math.radians(a)))), (30, 140, 60))
    update.triangle(18 * k, 6 * k, 13 * k, (30, 140, 60))
    for i, icon in enumerate((warning, error, info, question, update)):
        strip.paste(icon, i * n, 0)
    for x in range(5 * n):  # transparent background stays the key colour
        for y in range(n):
            if strip.px[y][x][3] == 0:
                strip.px[y][x] = KEY + (0,)
    return strip


def user_info_glyph(k=1):
    strip = Canvas(32 * k, 16 * k, KEY + (0,))
    for i, (body, tip) in enumerate((((60, 120, 200), (240, 200, 120)), ((150, 150, 150), (200, 200, 200)))):
        g = Canvas(16 * k, 16 * k)
        for step in range(10 * k):  # a pencil drawn on the diagonal
            g.rect(4 * k + step, 10 * k - step, 6 * k + step, 12 * k - step, body)
        g.rect(2 * k, 12 * k, 4 * k, 14 * k, tip)
        strip.paste(g, i * 16 * k, 0)
    return strip


def close_glyph(k=1):
    c = Canvas(16 * k, 16 * k, KEY + (0,))
    for (x0, y0, x1, y1), colour in (((3, 1, 12, 15), (120, 80, 40)),    # the door frame
                                     ((4, 2, 11, 15), (200, 150, 90)),   # the door
                                     ((9, 8, 10, 10), (60, 40, 20)),     # its knob
                                     ((12, 7, 16, 9), (200, 30, 30))):   # an arrow out
        c.rect(x0 * k, y0 * k, x1 * k, y1 * k, colour)
    return c


def banner(k=1):
    c = Canvas(88 * k, 31 * k, (255, 255, 255, 255))
    c.rect(0, 0, 88 * k, 31 * k, (30, 90, 160))
    c.rect(2 * k, 2 * k, 86 * k, 29 * k, (240, 245, 255))
    c.disc(15 * k, 15.5 * k, 11 * k, (60, 140, 210))
    for row, line in enumerate(FONT["W"]):
        for col, bit in enumerate(line):
            if bit == "#":
                c.rect((8 + col * 3) * k, (5 + row * 3) * k, (11 + col * 3) * k, (8 + row * 3) * k,
                       (255, 255, 255))
    for i, colour in enumerate(((60, 140, 210), (120, 180, 230), (180, 210, 240))):
        c.rect(32 * k, (8 + i * 6) * k, (84 - i * 12) * k, (12 + i * 6) * k, colour)
    return c


if __name__ == "__main__":
    # The sizes Windows asks for at the screen scales it offers, each once.
    write("app/resources/wexdal.ico",
          png_ico(*(program_icon(n) for n in (16, 20, 24, 32, 40, 48, 64, 256))))
    # Each bitmap also drawn twice as large, for scaled screens.
    for name, draw in (("rowicons", row_icons), ("userinfo", user_info_glyph),
                       ("banner", banner), ("close", close_glyph)):
        write(f"app/resources/{name}.bmp", bmp(draw()))
        write(f"app/resources/{name}2x.bmp", bmp(draw(2)))
    sizes = (32, 48, 64)
    write("tests/fixtures/fixture.ico", ico(*(tile(n, (32, 96, 160), (112, 176, 240)) for n in sizes)))
    write("tests/fixtures/fixture10.ico", ico(*(tile(n, (160, 64, 32), (240, 176, 112)) for n in sizes)))
