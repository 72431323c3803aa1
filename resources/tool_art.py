#!/usr/bin/env python3
"""Writes the tool palette's art into resources/tools: the 24 x 24 one-bit cell bitmaps
(TOOL*.bmp) and the 32 x 32 tool cursors (*.cur), drawn from a few plain shapes."""
import math
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
from hand_cursors import cursor  # noqa: E402  (also rewrites its own two cursors, unchanged)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.ink = set()

    def dot(self, x, y):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.ink.add((int(x), int(y)))

    def line(self, x0, y0, x1, y1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.dot(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps))

    def rect(self, x0, y0, x1, y1, filled=False):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if filled or x in (x0, x1) or y in (y0, y1):
                    self.dot(x, y)

    def oval(self, cx, cy, rx, ry, filled=False):
        for y in range(self.size):
            for x in range(self.size):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if d <= 1.0 and (filled or d >= (1 - 2.2 / min(rx, ry))):
                    self.dot(x, y)

    def round_rect(self, x0, y0, x1, y1, r, filled=False):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                cx = min(max(x, x0 + r), x1 - r)
                cy = min(max(y, y0 + r), y1 - r)
                d = math.hypot(x - cx, y - cy)
                if d <= r + 0.3 and (filled or d >= r - 0.7):
                    self.dot(x, y)

    def dashed_rect(self, x0, y0, x1, y1):
        for x in range(x0, x1 + 1, 2):
            self.dot(x, y0)
            self.dot(x, y1)
        for y in range(y0, y1 + 1, 2):
            self.dot(x0, y)
            self.dot(x1, y)


def path(c, *points, closed=False):
    pairs = list(zip(points, points[1:] + (points[:1] if closed else ())))
    for (x0, y0), (x1, y1) in pairs:
        c.line(x0, y0, x1, y1)


def arrow(c, x, y):
    path(c, (x + 6, y + 15), (x + 3, y + 9), (x, y + 12), (x, y), (x + 8, y + 8), (x + 3, y + 9))


def hand(c, x, y):
    for i in range(4):
        c.rect(x + 3 * i, y + (0 if i in (1, 2) else 2), x + 3 * i + 2, y + 9)
    c.rect(x, y + 9, x + 11, y + 15)
    c.line(x - 3, y + 7, x, y + 11)


def pen(c, x, y):
    path(c, (x - 1, y + 17), (x, y + 14), (x + 12, y + 2), (x + 15, y + 3), (x + 3, y + 15), (x - 1, y + 17))


def brush(c):
    path(c, (16, 3), (9, 13))
    path(c, (18, 5), (11, 15))
    c.oval(8, 17, 4, 4, True)


def spray(c):
    c.rect(9, 9, 16, 20)
    c.rect(11, 6, 14, 8)
    for x, y in ((4, 3), (6, 6), (3, 8), (7, 2), (2, 5), (5, 10)):
        c.dot(x, y)


def can(c):
    path(c, (5, 10), (12, 3), (19, 10), (12, 17), closed=True)
    path(c, (19, 10), (21, 17))


def eraser(c):
    path(c, (4, 14), (12, 6), (20, 6), (20, 11), (12, 19))
    path(c, (20, 6), (12, 14))
    c.rect(4, 14, 12, 19)


def lasso(c):
    c.oval(12, 8, 8, 5)
    path(c, (6, 12), (5, 16), (8, 20))


def glass(c):
    c.oval(10, 10, 6, 6)
    path(c, (14, 14), (20, 20), (21, 20), (15, 14))


def eyedrop(c):
    path(c, (4, 19), (13, 10), (14, 11), (5, 20))
    c.rect(14, 5, 18, 9, True)
    path(c, (12, 9), (15, 12))


def text_a(c):
    path(c, (7, 19), (12, 4), (17, 19))
    path(c, (9, 14), (15, 14))


def button(c):
    c.round_rect(3, 7, 20, 16, 3)
    path(c, (7, 12), (16, 12))


def graphic(c):
    c.rect(3, 4, 20, 19)
    path(c, (4, 18), (10, 10), (14, 15), (16, 12), (19, 18))
    c.oval(16, 7, 2, 2, True)


def textblock(c):
    c.rect(3, 3, 20, 20)
    for y in (7, 11, 15):
        c.line(6, y, 17, y)


def poly(c, filled):
    pts = ((4, 18), (8, 4), (19, 8), (16, 19))
    path(c, *pts, closed=True)
    if filled:
        for y in range(24):
            xs = sorted(a + (y - b) * (d - a) / (e - b)
                        for (a, b), (d, e) in zip(pts, pts[1:] + pts[:1]) if (b <= y < e) or (e <= y < b))
            for i in range(0, len(xs) - 1, 2):
                for x in range(math.ceil(xs[i]), math.floor(xs[i + 1]) + 1):
                    c.dot(x, y)


def freehand(c, filled):
    path(c, (5, 12), (8, 5), (14, 4), (19, 9), (17, 15), (11, 19), (6, 17), closed=True)
    if filled:
        c.oval(12, 11, 6, 6, True)


BITMAPS = {
    "TOOLHAND": lambda c: hand(c, 6, 4),
    "TOOLARROW": lambda c: arrow(c, 8, 4),
    "TOOLBBUTTON": button,
    "TOOLGBUTTON": graphic,
    "TOOLTEXTBLK": textblock,
    "TOOLSELECTOR": lambda c: c.dashed_rect(4, 5, 19, 18),
    "TOOLCIRCSEL": lambda c: [c.dot(x, y) for (x, y) in _dashed_oval()],
    "TOOLLASSO": lasso,
    "TOOLBRUSH": brush,
    "TOOLSPRAY": spray,
    "TOOLPCAN": can,
    "TOOLERASER": eraser,
    "TOOLLINE": lambda c: path(c, (4, 19), (19, 4)),
    "TOOLPEN": lambda c: pen(c, 5, 3),
    "TOOLRECT": lambda c: c.rect(4, 6, 19, 17),
    "TOOLCIRCLE": lambda c: c.oval(11.5, 11.5, 8, 6),
    "TOOLRNDRECT": lambda c: c.round_rect(4, 6, 19, 17, 4),
    "TOOLTEXT": text_a,
    "TOOLMGLASS": glass,
    "TOOLEYEDROP": eyedrop,
    "TOOLFRECT": lambda c: c.rect(4, 6, 19, 17, True),
    "TOOLFCIRCLE": lambda c: c.oval(11.5, 11.5, 8, 6, True),
    "TOOLFRNDRECT": lambda c: c.round_rect(4, 6, 19, 17, 4, True),
    "TOOLFFHAND": lambda c: freehand(c, True),
    "TOOLFPOLY": lambda c: poly(c, True),
}


def _dashed_oval():
    c = Canvas(24)
    c.oval(11.5, 11.5, 8, 6)
    return [(x, y) for (x, y) in c.ink if (x + y) % 3 != 0]


def bmp(canvas):
    n = canvas.size
    row_bytes = ((n + 31) // 32) * 4
    rows = []
    for y in reversed(range(n)):
        bits = 0
        for x in range(n):
            if (x, y) not in canvas.ink:
                bits |= 1 << (row_bytes * 8 - 1 - x)  # white paper, black ink
        rows.append(bits.to_bytes(row_bytes, "big"))
    pixels = b"".join(rows)
    offset = 14 + 40 + 8
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 1, 0, len(pixels), 2835, 2835, 2, 0)
    return header + info + struct.pack("<II", 0x000000, 0xFFFFFF) + pixels


def cursor_art(draw):
    c = Canvas(32)
    draw(c)
    rows = []
    for y in range(32):
        rows.append("".join("#" if (x, y) in c.ink else " " for x in range(32)))
    return "\n" + "\n".join(rows)


def cross(c):
    path(c, (15, 4), (15, 26))
    path(c, (4, 15), (26, 15))


CURSORS = {
    "CROSS": (cross, (15, 15)),
    "LMCARET": (lambda c: (path(c, (12, 6), (18, 6)), path(c, (15, 6), (15, 24)), path(c, (12, 24), (18, 24))), (15, 15)),
    "PEN": (lambda c: pen(c, 2, 2), (1, 19)),
    "ERASEPEN": (lambda c: (pen(c, 2, 2), c.rect(14, 1, 18, 5, True)), (1, 19)),
    "PCAN": (can, (21, 17)),
    "ERASER": (lambda c: c.rect(8, 8, 20, 20), (8, 8)),
    "LASSO": (lasso, (5, 20)),
    "MGLASS": (glass, (10, 10)),
    "EYEDROP": (eyedrop, (4, 19)),
    "HAND": (lambda c: hand(c, 10, 4), (16, 4)),
}

out = os.path.join(here, "tools")
os.makedirs(out, exist_ok=True)
for name, draw in BITMAPS.items():
    canvas = Canvas(24)
    draw(canvas)
    with open(os.path.join(out, name + ".bmp"), "wb") as f:
        f.write(bmp(canvas))
for name, (draw, hotspot) in CURSORS.items():
    with open(os.path.join(out, name + ".cur"), "wb") as f:
        f.write(cursor(cursor_art(draw), hotspot))
