#!/usr/bin/env python3
"""Draws the shell's pictures: the twelve toolbar pictures of ImageList1, the
splash picture of Apertura, and the program's icon for the desktop (the
true/false sheet of toolbar picture 10) in the sizes of the icon theme, into
packaging/icons. Standard library only; every shape is drawn at four times
the size and averaged down, which smooths the edges.

Run from anywhere: python3 draw_images.py
"""
import math
import os
import struct
import zlib

SS = 4  # supersampling factor


class Canvas:
    # Shapes are given on a grid of `unit` points a side (the picture's own
    # size unless told), so one drawing serves every size of an icon.
    def __init__(self, size, unit=None):
        self.n = size * SS
        self.size = size
        self.k = SS * size / (unit or size)
        self.px = [[(0, 0, 0, 0)] * self.n for _ in range(self.n)]

    def _put(self, x, y, c):
        if 0 <= x < self.n and 0 <= y < self.n:
            if len(c) == 3:
                c = c + (255,)
            self.px[y][x] = c

    # Shapes take coordinates in grid points (floats allowed).
    def rect(self, x0, y0, x1, y1, c):
        k = self.k
        for y in range(int(y0 * k), int(y1 * k)):
            for x in range(int(x0 * k), int(x1 * k)):
                self._put(x, y, c)

    def frame(self, x0, y0, x1, y1, c, w=1.0):
        self.rect(x0, y0, x1, y0 + w, c)
        self.rect(x0, y1 - w, x1, y1, c)
        self.rect(x0, y0, x0 + w, y1, c)
        self.rect(x1 - w, y0, x1, y1, c)

    def ellipse(self, cx, cy, rx, ry, c):
        k = self.k
        for y in range(int((cy - ry) * k), int((cy + ry) * k) + 1):
            for x in range(int((cx - rx) * k), int((cx + rx) * k) + 1):
                dx = (x + 0.5) / k - cx
                dy = (y + 0.5) / k - cy
                if (dx / rx) ** 2 + (dy / ry) ** 2 <= 1.0:
                    self._put(x, y, c)

    def ring(self, cx, cy, r, w, c):
        k = self.k
        for y in range(int((cy - r) * k), int((cy + r) * k) + 1):
            for x in range(int((cx - r) * k), int((cx + r) * k) + 1):
                d = math.hypot((x + 0.5) / k - cx, (y + 0.5) / k - cy)
                if r - w <= d <= r:
                    self._put(x, y, c)

    def polygon(self, pts, c):
        spts = [(x * self.k, y * self.k) for x, y in pts]
        ys = [p[1] for p in spts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(spts)):
                (xa, ya), (xb, yb) = spts[i], spts[(i + 1) % len(spts)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(math.ceil(xs[i] - 0.5)), int(math.floor(xs[i + 1] - 0.5)) + 1):
                    self._put(x, y, c)

    def line(self, x0, y0, x1, y1, w, c):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * w / 2, dx / length * w / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                      (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], c)

    def pixels(self):
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                acc = [0, 0, 0, 0]
                for sy in range(SS):
                    for sx in range(SS):
                        r, g, b, a = self.px[y * SS + sy][x * SS + sx]
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
                if acc[3]:
                    row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3],
                                acc[3] // (SS * SS)))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out

    def save(self, path):
        rows = self.pixels()
        raw = b"".join(b"\x00" + b"".join(struct.pack("4B", *p) for p in r) for r in rows)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


INK = (40, 40, 60)
PAPER = (250, 250, 245)
BLUE = (40, 90, 200)
RED = (200, 40, 40)
GREEN = (30, 150, 60)
YELLOW = (240, 200, 40)
GREY = (150, 150, 160)


def sheet(c, x0=6, y0=3, x1=24, y1=29):
    c.rect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, (0, 0, 0, 90))
    c.rect(x0, y0, x1, y1, PAPER)
    c.frame(x0, y0, x1, y1, INK)


def text_lines(c, x0, x1, ys, colour=GREY):
    for y in ys:
        c.rect(x0, y, x1, y + 1.5, colour)


def pencil(c, x0, y0, x1, y1):
    c.line(x0, y0, x1, y1, 4.5, INK)
    c.line(x0, y0, x1, y1, 3, YELLOW)
    # point
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    tip = (x1 + ux * 4, y1 + uy * 4)
    c.polygon([(x1 - uy * 2.2, y1 + ux * 2.2), (x1 + uy * 2.2, y1 - ux * 2.2), tip], (230, 190, 140))
    c.ellipse(tip[0] - ux, tip[1] - uy, 1.1, 1.1, INK)
    c.line(x0 - ux * 1, y0 - uy * 1, x0 + ux * 2, y0 + uy * 2, 3, (230, 120, 140))


def tick(c, x, y, s=1.0, colour=GREEN):
    c.line(x, y + 3 * s, x + 2.5 * s, y + 5.5 * s, 1.8 * s, colour)
    c.line(x + 2.5 * s, y + 5.5 * s, x + 7 * s, y, 1.8 * s, colour)


def boxes(c, x, ys):
    for y in ys:
        c.rect(x, y, x + 4, y + 4, (255, 255, 255))
        c.frame(x, y, x + 4, y + 4, INK, 0.8)


def img_exit():  # 1: leave the program, an open door and an arrow
    c = Canvas(32)
    c.rect(5, 3, 19, 29, (120, 80, 40))
    c.polygon([(5, 3), (14, 6), (14, 30), (5, 29)], (170, 115, 60))
    c.frame(5, 3, 19, 29, INK)
    c.ellipse(12, 17, 1.2, 1.2, YELLOW)
    c.line(17, 16, 28, 16, 3, RED)
    c.polygon([(30, 16), (24, 10), (24, 22)], RED)
    return c


def img_printer():  # 2
    c = Canvas(32)
    c.rect(9, 3, 23, 12, PAPER)
    c.frame(9, 3, 23, 12, INK)
    c.rect(3, 11, 29, 23, (170, 170, 180))
    c.frame(3, 11, 29, 23, INK)
    c.rect(8, 19, 24, 29, PAPER)
    c.frame(8, 19, 24, 29, INK)
    text_lines(c, 10, 22, [22, 25])
    c.ellipse(25, 15, 1.3, 1.3, GREEN)
    return c


def img_exposition_select():  # 3: a written answer sheet with a tick
    c = Canvas(32)
    sheet(c, 5, 3, 25, 29)
    text_lines(c, 8, 22, [7, 11, 15, 19])
    c.ellipse(24, 23, 6.5, 6.5, (255, 255, 255))
    c.ring(24, 23, 6.5, 1.2, GREEN)
    tick(c, 20.5, 20, 1.0)
    return c


def img_clipboard():  # 4
    c = Canvas(32)
    c.rect(6, 5, 26, 30, (180, 130, 70))
    c.frame(6, 5, 26, 30, INK)
    c.rect(9, 9, 23, 27, PAPER)
    text_lines(c, 11, 21, [12, 16, 20, 24])
    c.rect(11, 2, 21, 7, GREY)
    c.frame(11, 2, 21, 7, INK)
    return c


def img_disk():  # 5
    c = Canvas(32)
    c.rect(4, 4, 28, 28, BLUE)
    c.frame(4, 4, 28, 28, INK)
    c.rect(9, 4, 23, 13, (220, 220, 230))
    c.rect(18, 6, 21, 11, INK)
    c.rect(8, 17, 24, 28, PAPER)
    text_lines(c, 10, 22, [20, 24])
    return c


def img_book():  # 6
    c = Canvas(32)
    c.polygon([(3, 7), (16, 9), (16, 28), (3, 26)], (230, 230, 250))
    c.polygon([(29, 7), (16, 9), (16, 28), (29, 26)], (245, 245, 255))
    c.line(3, 7, 16, 9, 1, INK)
    c.line(16, 9, 29, 7, 1, INK)
    c.line(3, 26, 16, 28, 1, INK)
    c.line(16, 28, 29, 26, 1, INK)
    c.line(16, 9, 16, 28, 1, INK)
    for y in (12, 16, 20):
        c.line(6, y, 13, y + 1, 1, GREY)
        c.line(19, y + 1, 26, y, 1, GREY)
    return c


def img_folder():  # 7
    c = Canvas(32)
    c.polygon([(3, 8), (12, 8), (14, 11), (29, 11), (29, 27), (3, 27)], (230, 180, 60))
    c.polygon([(3, 14), (29, 14), (29, 27), (3, 27)], (250, 210, 90))
    c.frame(3, 8, 29, 27, INK)
    return c


def img_help():  # 8: a question mark in a circle
    c = Canvas(32)
    c.ellipse(16, 16, 13, 13, BLUE)
    c.ring(16, 16, 13, 1.2, INK)
    c.ring(16, 12.5, 5, 2.6, (255, 255, 255))
    c.rect(10, 12.5, 16, 18.5, BLUE)  # open the lower left of the ring
    c.rect(14.7, 16.5, 17.3, 21, (255, 255, 255))
    c.ellipse(16, 24.5, 1.8, 1.8, (255, 255, 255))
    return c


def img_chart():  # 9
    c = Canvas(32)
    c.rect(3, 27, 29, 29, INK)
    c.rect(3, 3, 5, 29, INK)
    for x, h, col in ((8, 9, BLUE), (14, 15, GREEN), (20, 11, RED), (25, 20, YELLOW)):
        c.rect(x, 27 - h, x + 4, 27, col)
        c.frame(x, 27 - h, x + 4, 27, INK, 0.7)
    return c


def img_test_select(size=32):  # 10: a true/false sheet with boxes and a tick
    c = Canvas(size, 32)
    sheet(c, 5, 3, 25, 29)
    boxes(c, 8, [7, 14, 21])
    text_lines(c, 14, 22, [8.5, 15.5, 22.5])
    tick(c, 7.5, 6, 0.75)
    tick(c, 7.5, 20, 0.75)
    c.line(8.5, 14.5, 11.5, 17.5, 1.2, RED)
    c.line(11.5, 14.5, 8.5, 17.5, 1.2, RED)
    return c


def img_exposition_edit():  # 11: a written sheet and a pencil
    c = Canvas(32)
    sheet(c, 3, 3, 22, 29)
    text_lines(c, 6, 19, [7, 11, 15, 19, 23])
    pencil(c, 28, 6, 16, 24)
    return c


def img_test_edit():  # 12: a true/false sheet and a pencil
    c = Canvas(32)
    sheet(c, 3, 3, 22, 29)
    boxes(c, 6, [7, 14, 21])
    text_lines(c, 12, 19, [8.5, 15.5, 22.5])
    tick(c, 5.5, 6, 0.75)
    pencil(c, 28, 6, 16, 24)
    return c


def img_splash():  # Apertura: an examination sheet, a bar chart and a pencil
    c = Canvas(128)
    c.rect(20, 12, 92, 118, (0, 0, 0, 80))
    c.rect(16, 8, 88, 114, PAPER)
    c.frame(16, 8, 88, 114, INK, 2)
    c.rect(24, 16, 80, 22, BLUE)
    for i, y in enumerate((32, 48, 64)):
        c.rect(24, y, 31, y + 7, (255, 255, 255))
        c.frame(24, y, 31, y + 7, INK, 1.2)
        text_lines(c, 36, 78 - 8 * (i % 2), [y + 2], GREY)
        text_lines(c, 36, 66, [y + 5.5], GREY)
    tick(c, 23, 30, 1.5)
    tick(c, 23, 62, 1.5)
    c.line(24.5, 48.5, 30.5, 54.5, 2, RED)
    c.line(30.5, 48.5, 24.5, 54.5, 2, RED)
    # a small rising bar chart at the foot of the sheet
    c.rect(24, 104, 80, 106, INK)
    for x, h, col in ((28, 10, BLUE), (40, 16, GREEN), (52, 22, YELLOW), (64, 28, RED)):
        c.rect(x, 104 - h, x + 9, 104, col)
        c.frame(x, 104 - h, x + 9, 104, INK, 1)
    c.line(30, 86, 44, 80, 2, INK)
    c.line(44, 80, 56, 74, 2, INK)
    c.line(56, 74, 70, 66, 2, INK)
    c.polygon([(74, 63), (66, 63), (71, 70)], INK)
    # the pencil
    c.line(118, 20, 84, 90, 13, INK)
    c.line(118, 20, 84, 90, 10, YELLOW)
    c.line(117, 22, 85, 88, 3, (255, 230, 120))
    ux, uy = (84 - 118) / math.hypot(34, 70), (90 - 20) / math.hypot(34, 70)
    tip = (84 + ux * 14, 90 + uy * 14)
    c.polygon([(84 - uy * 6.5, 90 + ux * 6.5), (84 + uy * 6.5, 90 - ux * 6.5), tip], (230, 190, 140))
    c.ellipse(tip[0] - ux * 3, tip[1] - uy * 3, 3, 3, INK)
    c.line(118 - ux * 2, 20 - uy * 2, 118 + ux * 5, 20 + uy * 5, 12, (230, 120, 140))
    return c


TOOLBAR = [img_exit, img_printer, img_exposition_select, img_clipboard, img_disk, img_book,
           img_folder, img_help, img_chart, img_test_select, img_exposition_edit, img_test_edit]

# The sizes of the hicolor icon theme's folders, 16x16 to 256x256.
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for i, draw in enumerate(TOOLBAR, start=1):
        draw().save(os.path.join(here, "toolbar_%02d.png" % i))
    img_splash().save(os.path.join(here, "splash.png"))
    icons = os.path.join(here, "..", "..", "..", "packaging", "icons")
    os.makedirs(icons, exist_ok=True)
    for size in ICON_SIZES:
        img_test_select(size).save(os.path.join(icons, "orvalis_%d.png" % size))
