#!/usr/bin/env python3
"""Writes the art of the navigation and shortcuts palettes and of the about box:
palettes/iconNNN.ico (32 x 32, 16 colours) for the palette buttons, palettes/aalm.ico (the
palettes' small icon) and title.bmp (the about box's 8-bit picture with its palette).

Each shortcut button has three icons: the base, base + 1 drawn pressed (ink shifted one pixel
down and right, darker), base + 2 drawn disabled (grey). The navigation icons and Cut, Copy and
Paste have one icon each. Run from anywhere; the output is checked in."""
import math
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
SIZE = 32

# The 16 standard colours, index order of a 4-bit icon.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, AQUA, WHITE = range(16)


class Canvas:
    def __init__(self):
        self.px = {}

    def dot(self, x, y, c):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[(x, y)] = c

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0), 1) * 2)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for w in range(width):
                self.dot(x + (w if abs(y1 - y0) > abs(x1 - x0) else 0),
                         y + (0 if abs(y1 - y0) > abs(x1 - x0) else w), c)

    def rect(self, x0, y0, x1, y1, edge, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if x in (x0, x1) or y in (y0, y1):
                    self.dot(x, y, edge)
                elif fill is not None:
                    self.dot(x, y, fill)

    def oval(self, cx, cy, rx, ry, edge, fill=None):
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if d <= 1.0:
                    inner = ((x - cx) / max(rx - 1.2, 0.5)) ** 2 + ((y - cy) / max(ry - 1.2, 0.5)) ** 2
                    if inner > 1.0:
                        self.dot(x, y, edge)
                    elif fill is not None:
                        self.dot(x, y, fill)

    def polygon(self, points, edge, fill):
        def inside(px, py):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > py) != (by > py) and px < (bx - ax) * (py - ay) / (by - ay) + ax:
                    hit = not hit
            return hit
        for y in range(SIZE):
            for x in range(SIZE):
                if inside(x + 0.5, y + 0.5):
                    self.dot(x, y, fill)
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            self.line(ax, ay, bx, by, edge)


def arrow(c, left, ink, fill):
    pts = [(4, 16), (16, 5), (16, 11), (28, 11), (28, 21), (16, 21), (16, 27)]
    if not left:
        pts = [(31 - x, y) for x, y in pts]
    c.polygon(pts, ink, fill)


def draw(name, ink, fill):
    c = Canvas()
    if name == "previous":
        arrow(c, True, ink, fill)
    elif name == "next":
        arrow(c, False, ink, fill)
    elif name == "first":
        c.rect(3, 5, 6, 27, ink, fill)
        c.polygon([(8, 16), (19, 5), (19, 11), (29, 11), (29, 21), (19, 21), (19, 27)], ink, fill)
    elif name == "last":
        c.rect(25, 5, 28, 27, ink, fill)
        c.polygon([(23, 16), (12, 5), (12, 11), (2, 11), (2, 21), (12, 21), (12, 27)], ink, fill)
    elif name == "back":
        for r in (8, 9, 10, 11):
            for a in range(-90, 91, 2):
                t = math.radians(a)
                c.dot(17 + r * math.cos(t), 17 + r * math.sin(t), fill if r in (9, 10) else ink)
        c.polygon([(2, 7), (13, 0), (13, 14)], ink, fill)
        c.line(6, 27, 17, 27, ink, 2)
    elif name == "home":
        c.polygon([(3, 15), (16, 3), (29, 15)], ink, fill)
        c.rect(7, 15, 25, 28, ink, fill)
        c.rect(13, 20, 18, 28, ink, WHITE)
    elif name == "clipart":
        pts = []
        for i in range(10):
            r = 13 if i % 2 == 0 else 5
            t = math.radians(-90 + 36 * i)
            pts.append((16 + r * math.cos(t), 16 + r * math.sin(t)))
        c.polygon(pts, ink, fill)
    elif name == "hypertext":
        c.oval(11, 16, 8, 5, ink)
        c.oval(21, 16, 8, 5, ink)
        c.line(4, 27, 28, 27, fill, 2)
    elif name == "movie":
        c.rect(4, 3, 27, 28, ink, fill)
        for y in range(5, 27, 5):
            c.rect(6, y, 8, y + 2, ink, WHITE)
            c.rect(23, y, 25, y + 2, ink, WHITE)
        c.rect(11, 8, 20, 23, ink, WHITE)
    elif name == "button":
        c.rect(3, 9, 28, 22, ink, fill)
        c.rect(5, 11, 26, 20, WHITE, fill)
        c.line(9, 16, 22, 16, ink, 2)
    elif name == "newcard":
        c.polygon([(5, 3), (21, 3), (27, 9), (27, 29), (5, 29)], ink, WHITE)
        c.line(21, 3, 21, 9, ink)
        c.line(21, 9, 27, 9, ink)
        c.rect(10, 17, 22, 19, fill, fill)
        c.rect(15, 12, 17, 24, fill, fill)
    elif name == "graphic":
        c.rect(3, 4, 18, 19, ink, fill)
        c.oval(20, 20, 9, 9, ink, YELLOW)
    elif name == "sound":
        c.oval(10, 24, 5, 4, ink, fill)
        c.oval(23, 21, 5, 4, ink, fill)
        c.line(14, 24, 14, 5, ink, 2)
        c.line(27, 21, 27, 3, ink, 2)
        c.line(14, 5, 28, 3, ink, 3)
    elif name == "text":
        c.rect(5, 3, 26, 7, ink, fill)
        c.rect(13, 7, 18, 28, ink, fill)
    elif name == "cut":
        c.oval(9, 24, 5, 5, ink, WHITE)
        c.oval(23, 24, 5, 5, ink, WHITE)
        c.line(12, 20, 24, 2, fill, 2)
        c.line(20, 20, 8, 2, fill, 2)
    elif name == "copy":
        c.rect(3, 3, 18, 21, ink, WHITE)
        c.rect(12, 10, 28, 29, ink, fill)
    elif name == "paste":
        c.rect(5, 5, 26, 29, ink, OLIVE)
        c.rect(11, 2, 20, 8, ink, SILVER)
        c.rect(9, 12, 22, 26, ink, fill)
    elif name == "aalm":
        c.rect(2, 8, 20, 30, ink, SILVER)
        c.rect(7, 5, 25, 27, ink, AQUA)
        c.rect(12, 2, 30, 24, ink, fill)
        for x in range(15, 29, 3):
            c.line(x, 5, x, 21, ink)
        c.line(14, 13, 28, 13, WHITE, 2)
    else:
        raise ValueError(name)
    return c.px


def variant(px, state):
    if state == "pressed":
        darker = {fill: fill for fill in range(16)}
        darker.update({RED: MAROON, LIME: GREEN, BLUE: NAVY, YELLOW: OLIVE, AQUA: TEAL,
                       FUCHSIA: PURPLE, WHITE: SILVER})
        return {(x + 1, y + 1): darker[c] for (x, y), c in px.items() if x < SIZE - 1 and y < SIZE - 1}
    if state == "disabled":
        return {(x, y): (GREY if c in (BLACK, NAVY, MAROON, GREEN, PURPLE, TEAL, OLIVE, BLUE, RED) else SILVER)
                for (x, y), c in px.items()}
    return px


def icon_file(px):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = bytearray()
        for x in range(0, SIZE, 2):
            row.append((px.get((x, y), 0) << 4) | px.get((x + 1, y), 0))
        xor += row
        bits = bytearray(4)
        for x in range(SIZE):
            if (x, y) not in px:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    body = info + colours + bytes(xor) + bytes(mask)
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(body), 22)
    return head + body


ICONS = {  # id: (pictogram, ink, fill, has state variants)
    111: ("previous", NAVY, AQUA, False),
    114: ("next", NAVY, AQUA, False),
    117: ("first", NAVY, LIME, False),
    120: ("last", NAVY, LIME, False),
    123: ("back", MAROON, YELLOW, False),
    126: ("home", MAROON, RED, False),
    129: ("clipart", BLACK, YELLOW, True),
    132: ("hypertext", BLUE, RED, True),
    135: ("movie", BLACK, GREY, True),
    138: ("button", BLACK, AQUA, True),
    141: ("newcard", BLACK, LIME, True),
    144: ("graphic", BLACK, FUCHSIA, True),
    147: ("sound", NAVY, BLUE, True),
    150: ("text", BLACK, RED, True),
    153: ("cut", BLACK, BLUE, False),
    154: ("copy", BLACK, YELLOW, False),
    155: ("paste", BLACK, WHITE, False),
}


# ---- the title picture ----
TITLE_W, TITLE_H = 340, 264
PANEL = (10, 146, 170, 240)

# 5 x 7 capitals for the product name.
GLYPHS = {
    "P": ["1111.", "1...1", "1...1", "1111.", "1....", "1....", "1...."],
    "A": [".111.", "1...1", "1...1", "11111", "1...1", "1...1", "1...1"],
    "G": [".111.", "1...1", "1....", "1.111", "1...1", "1...1", ".111."],
    "E": ["11111", "1....", "1....", "1111.", "1....", "1....", "11111"],
    "L": ["1....", "1....", "1....", "1....", "1....", "1....", "11111"],
    "O": [".111.", "1...1", "1...1", "1...1", "1...1", "1...1", ".111."],
    "M": ["1...1", "11.11", "1.1.1", "1.1.1", "1...1", "1...1", "1...1"],
}


def title_palette():
    pal = [(0, 0, 0)] * 256
    for i in range(64):  # 0-63: the deep blue ground, dark to light
        pal[i] = (8 + i // 2, 16 + i, 60 + i * 2)
    for i in range(64):  # 64-127: warm threads
        pal[64 + i] = (140 + i, 70 + i, 20 + i // 2)
    pal[200] = (255, 255, 255)
    pal[201] = (0, 0, 0)
    pal[202] = (255, 210, 60)
    pal[203] = (30, 30, 40)
    return pal


def title_pixels():
    px = [[0] * TITLE_W for _ in range(TITLE_H)]
    for y in range(TITLE_H):
        for x in range(TITLE_W):
            px[y][x] = min(63, (y * 48) // TITLE_H + (x * 15) // TITLE_W)
    # Woven threads: warp every 12 pixels, weft every 16, crossing over and under.
    for y in range(TITLE_H):
        for x in range(TITLE_W):
            warp = x % 12 in (0, 1)
            weft = y % 16 in (0, 1)
            if warp and weft:
                px[y][x] = 64 + (40 if ((x // 12) + (y // 16)) % 2 else 10)
            elif warp or weft:
                px[y][x] = 64 + 20 + ((x + y) % 24)
    # The product name in large letters with a shadow.
    text, scale, x0, y0 = "PAGELOOM", 6, 20, 36
    for dx, dy, colour in ((3, 3, 203), (0, 0, 202)):
        for i, ch in enumerate(text):
            for gy, row in enumerate(GLYPHS[ch]):
                for gx, bit in enumerate(row):
                    if bit != "1":
                        continue
                    for sy in range(scale):
                        for sx in range(scale):
                            x = x0 + dx + i * 6 * scale + gx * scale + sx
                            y = y0 + dy + gy * scale + sy
                            if 0 <= x < TITLE_W and 0 <= y < TITLE_H:
                                px[y][x] = colour
    # The credits panel, black as the program fills it, with a white frame around it.
    l, t, r, b = PANEL
    for y in range(t - 2, b + 2):
        for x in range(l - 2, r + 2):
            inside = l <= x < r and t <= y < b
            px[y][x] = 201 if inside else 200
    return px


def write_title(path):
    px = title_pixels()
    row_bytes = (TITLE_W + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(TITLE_H)):
        data += bytes(px[y]) + b"\0" * (row_bytes - TITLE_W)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in title_palette())
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, TITLE_W, TITLE_H, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + data)


def main():
    out = os.path.join(here, "palettes")
    os.makedirs(out, exist_ok=True)
    for rid, (name, ink, fill, states) in ICONS.items():
        px = draw(name, ink, fill)
        variants = (("base", 0), ("pressed", 1), ("disabled", 2)) if states else (("base", 0),)
        for state, step in variants:
            with open(os.path.join(out, "icon%d.ico" % (rid + step)), "wb") as f:
                f.write(icon_file(variant(px, state)))
    with open(os.path.join(out, "aalm.ico"), "wb") as f:
        f.write(icon_file(draw("aalm", NAVY, BLUE)))
    write_title(os.path.join(here, "title.bmp"))


if __name__ == "__main__":
    main()
