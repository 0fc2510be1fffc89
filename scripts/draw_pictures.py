#!/usr/bin/env python3
"""Draws the program's own pictures and the fixture icon, and writes them as ICO and
BMP files. Run from the repository root; the outputs are committed.

    scripts/draw_pictures.py
"""
import math
import struct

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


def ico(c):
    rows = b"".join(bytes((b, g, r, a)) for row in reversed(c.px) for (r, g, b, a) in row)
    mask = bytes(((c.w + 31) // 32) * 4 * c.h)
    dib = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = dib + rows + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(image), 22) + image


def bmp(c):
    stride = (c.w * 3 + 3) // 4 * 4
    rows = b""
    for row in reversed(c.px):
        line = b"".join(bytes((b, g, r)) if a else bytes(KEY[::-1]) for (r, g, b, a) in row)
        rows += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 54) + header + rows


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


def program_icon():
    c = Canvas(32, 32)
    c.disc(16, 16, 15, (30, 90, 160))
    c.disc(16, 16, 12.5, (60, 140, 210))
    for row, line in enumerate(FONT["W"]):
        for col, bit in enumerate(line):
            if bit == "#":
                c.rect(8 + col * 3, 6 + row * 3, 11 + col * 3, 9 + row * 3, (255, 255, 255))
    return c


def row_icons():
    strip = Canvas(110, 22, KEY + (0,))
    warning = Canvas(22, 22)
    warning.triangle(11, 2, 20, (90, 70, 0))
    warning.triangle(11, 4, 19, (250, 200, 30))
    warning.text("!", 9, 9, (0, 0, 0))
    error = Canvas(22, 22)
    error.disc(11, 11, 10, (150, 0, 0))
    error.disc(11, 11, 8.5, (220, 30, 30))
    error.text("x", 9, 8, (255, 255, 255))
    info = Canvas(22, 22)
    info.disc(11, 11, 10, (20, 60, 150))
    info.disc(11, 11, 8.5, (50, 110, 220))
    info.text("i", 9, 7, (255, 255, 255))
    question = Canvas(22, 22)
    question.disc(11, 11, 10, (20, 110, 60))
    question.disc(11, 11, 8.5, (40, 170, 90))
    question.text("?", 9, 7, (255, 255, 255))
    update = Canvas(22, 22)
    for a in range(0, 300, 3):
        for rr in (6.5, 7.5, 8.5):
            update.set(int(11 + rr * math.cos(math.radians(a))), int(11 + rr * math.sin(math.radians(a))), (30, 140, 60))
    update.triangle(18, 6, 13, (30, 140, 60))
    for i, icon in enumerate((warning, error, info, question, update)):
        strip.paste(icon, i * 22, 0)
    for x in range(110):  # transparent background stays the key colour
        for y in range(22):
            if strip.px[y][x][3] == 0:
                strip.px[y][x] = KEY + (0,)
    return strip


def user_info_glyph():
    strip = Canvas(32, 16, KEY + (0,))
    for i, (body, tip) in enumerate((((60, 120, 200), (240, 200, 120)), ((150, 150, 150), (200, 200, 200)))):
        g = Canvas(16, 16)
        for k in range(10):  # a pencil drawn on the diagonal
            g.rect(4 + k, 10 - k, 6 + k, 12 - k, body)
        g.rect(2, 12, 4, 14, tip)
        strip.paste(g, i * 16, 0)
    return strip


def close_glyph():
    c = Canvas(16, 16, KEY + (0,))
    c.rect(3, 1, 12, 15, (120, 80, 40))   # the door frame
    c.rect(4, 2, 11, 15, (200, 150, 90))  # the door
    c.rect(9, 8, 10, 10, (60, 40, 20))    # its knob
    c.rect(12, 7, 16, 9, (200, 30, 30))   # an arrow out
    return c


def banner():
    c = Canvas(88, 31, (255, 255, 255, 255))
    c.rect(0, 0, 88, 31, (30, 90, 160))
    c.rect(2, 2, 86, 29, (240, 245, 255))
    c.disc(15, 15.5, 11, (60, 140, 210))
    for row, line in enumerate(FONT["W"]):
        for col, bit in enumerate(line):
            if bit == "#":
                c.rect(8 + col * 3, 5 + row * 3, 11 + col * 3, 8 + row * 3, (255, 255, 255))
    for k, colour in enumerate(((60, 140, 210), (120, 180, 230), (180, 210, 240))):
        c.rect(32, 8 + k * 6, 84 - k * 12, 12 + k * 6, colour)
    return c


if __name__ == "__main__":
    write("app/resources/wexdal.ico", ico(program_icon()))
    write("app/resources/rowicons.bmp", bmp(row_icons()))
    write("app/resources/userinfo.bmp", bmp(user_info_glyph()))
    write("app/resources/banner.bmp", bmp(banner()))
    write("app/resources/close.bmp", bmp(close_glyph()))
    write("tests/fixtures/fixture.ico", ico(tile(32, (32, 96, 160), (112, 176, 240))))
    write("tests/fixtures/fixture10.ico", ico(tile(32, (160, 64, 32), (240, 176, 112))))
