#!/usr/bin/env python3
"""Draws the bitmaps of the animation dialogs into resources/animation: the frame source's two
pictures and its two shape buttons (two faces each), the path options' end states (three faces:
normal, pressed, disabled; LEFT for the Begin button, RIGHT for the End button), the mirror
toggles (off, on, disabled) and the going and returning pictures (picture, then its mask)."""
import math
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'animation')
BLACK, WHITE, GREY, LIGHT, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (224, 224, 224), (128, 128, 128)
RED, GREEN, BLUE, YELLOW, BROWN = (200, 0, 0), (0, 150, 0), (0, 64, 192), (240, 200, 40), (150, 90, 30)


def write_bmp(name, pixels):
    height, width = len(pixels), len(pixels[0])
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for r, g, b in pixels[y]:
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(here, name), 'wb') as f:
        f.write(header + info + data)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def put(p, x, y, colour):
    if 0 <= y < len(p) and 0 <= x < len(p[0]):
        p[y][x] = colour


def rect(p, x0, y0, x1, y1, colour, filled=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if filled or x in (x0, x1) or y in (y0, y1):
                put(p, x, y, colour)


def disc(p, cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                put(p, x, y, colour)


def line(p, x0, y0, x1, y1, colour, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        rect(p, x - width // 2, y - width // 2, x + (width - 1) // 2, y + (width - 1) // 2, colour)


def arc(p, cx, cy, r, a0, a1, colour, width=2):
    for i in range(0, 181):
        a = math.radians(a0 + (a1 - a0) * i / 180)
        x, y = round(cx + r * math.cos(a)), round(cy - r * math.sin(a))
        rect(p, x - width // 2, y - width // 2, x + (width - 1) // 2, y + (width - 1) // 2, colour)


def arrow_head(p, x, y, dx, dy, colour, size=4):
    for k in range(size + 1):
        if dx:
            line(p, x - dx * k, y - k, x - dx * k, y + k, colour)
        else:
            line(p, x - k, y - dy * k, x + k, y - dy * k, colour)


def bevel(p, x0, y0, x1, y1, pressed):
    rect(p, x0, y0, x1, y1, GREY if pressed else LIGHT)
    hi, lo = (DARK, WHITE) if pressed else (WHITE, DARK)
    line(p, x0, y0, x1, y0, hi)
    line(p, x0, y0, x0, y1, hi)
    line(p, x0, y1, x1, y1, lo)
    line(p, x1, y0, x1, y1, lo)
    rect(p, x0, y0, x1, y1, BLACK, False)


def mirror(p):
    return [list(reversed(row)) for row in p]


def faces(size, glyph, off_on=False):
    """Three faces side by side: normal, pressed (or on), disabled."""
    out = canvas(size * 3, size, GREY)
    for face in range(3):
        p = canvas(size, size, GREY)
        bevel(p, 0, 0, size - 1, size - 1, face == 1)
        g = canvas(size, size, None)
        glyph(g, size)
        for y in range(size):
            for x in range(size):
                if g[y][x] is not None:
                    p[y][x] = DARK if face == 2 else g[y][x]
        for y in range(size):
            out[y][face * size:(face + 1) * size] = p[y]
    return out


def begin_glyph(p, s):  # the start: a flag on its pole
    line(p, 12, 8, 12, 31, BLACK, 2)
    rect(p, 13, 8, 27, 17, GREEN)
    disc(p, 12, 32, 3, BLACK)


def end_glyph(p, s):  # the object stops: a stop sign
    disc(p, 20, 20, 11, RED)
    rect(p, 12, 18, 28, 22, WHITE)


def reverse_glyph(p, s):  # it comes back: a U-turn
    arc(p, 20, 20, 9, -90, 90, BLUE, 3)
    line(p, 8, 11, 20, 11, BLUE, 3)
    line(p, 8, 29, 20, 29, BLUE, 3)
    arrow_head(p, 6, 29, -1, 0, BLUE, 5)


def loop_glyph(p, s):  # round again: a circle with an arrow
    arc(p, 20, 20, 10, 100, 420, GREEN, 3)
    arrow_head(p, 18, 10, -1, 0, GREEN, 5)


def play_picture(over):
    """The object (a ball) over or behind a card object (a bar); picture then mask (black where
    drawn, white elsewhere)."""
    w, h = 32, 24
    pic = canvas(w, h, BLACK)
    drawn = canvas(w, h, False)

    def paint(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            pic[y][x] = c
            drawn[y][x] = True

    def bar():
        for y in range(12, 20):
            for x in range(2, 30):
                paint(x, y, BROWN if y not in (12, 19) else BLACK)

    def ball():
        for y in range(h):
            for x in range(w):
                if (x - 16) ** 2 + (y - 11) ** 2 <= 49:
                    paint(x, y, RED if (x - 16) ** 2 + (y - 11) ** 2 < 36 else BLACK)

    if over:
        bar()
        ball()
    else:
        ball()
        bar()
    out = canvas(w * 2, h, WHITE)
    for y in range(h):
        for x in range(w):
            out[y][x] = pic[y][x]
            out[y][w + x] = BLACK if drawn[y][x] else WHITE
    return out


def two_faces(size, glyph):
    out = canvas(size * 2, size, GREY)
    for face in range(2):
        p = canvas(size, size, GREY)
        bevel(p, 0, 0, size - 1, size - 1, face == 1)
        glyph(p, size)
        for y in range(size):
            out[y][face * size:(face + 1) * size] = p[y]
    return out


def rect_glyph(p, s):
    for x in range(6, s - 6):
        if x % 4 < 2:
            put(p, x, 7, BLACK)
            put(p, x, s - 8, BLACK)
    for y in range(7, s - 7):
        if y % 4 < 2:
            put(p, 6, y, BLACK)
            put(p, s - 7, y, BLACK)


def lasso_glyph(p, s):
    for i in range(0, 360, 3):
        a = math.radians(i)
        put(p, round(s / 2 + 9 * math.cos(a)), round(s / 2 - 2 + 6 * math.sin(a)), BLACK)
    line(p, s // 2 - 2, s // 2 + 4, s // 2 - 6, s - 5, BLACK)


def from_clipart():  # a picture file on a disk
    p = canvas(64, 48, GREY)
    rect(p, 8, 4, 56, 44, (60, 60, 140))
    rect(p, 16, 4, 48, 18, LIGHT)
    rect(p, 40, 6, 45, 16, DARK)
    rect(p, 14, 24, 50, 42, WHITE)
    rect(p, 18, 28, 46, 40, (120, 180, 240))
    rect(p, 18, 35, 46, 40, GREEN)
    disc(p, 40, 31, 2, YELLOW)
    rect(p, 8, 4, 56, 44, BLACK, False)
    return p


def from_screen():  # the card on a monitor
    p = canvas(64, 48, GREY)
    rect(p, 6, 3, 58, 37, DARK)
    rect(p, 10, 7, 54, 33, WHITE)
    rect(p, 16, 12, 30, 22, BLUE)
    disc(p, 42, 24, 5, RED)
    rect(p, 24, 38, 40, 41, DARK)
    rect(p, 16, 42, 48, 45, DARK)
    rect(p, 6, 3, 58, 37, BLACK, False)
    return p


def main():
    os.makedirs(here, exist_ok=True)
    for name, glyph in (('begin', begin_glyph), ('end', end_glyph), ('reverse', reverse_glyph),
                        ('loop', loop_glyph)):
        right = faces(40, glyph)
        left = faces(40, mirrored(glyph))
        write_bmp(name + 'left.bmp', left)
        write_bmp(name + 'right.bmp', right)
    write_bmp('playover.bmp', play_picture(True))
    write_bmp('playbehind.bmp', play_picture(False))
    write_bmp('rectbtn.bmp', two_faces(28, rect_glyph))
    write_bmp('lassobtn.bmp', two_faces(28, lasso_glyph))
    write_bmp('fromclipart.bmp', from_clipart())
    write_bmp('fromscreen.bmp', from_screen())


def mirrored(glyph):
    """The glyph drawn left to right for the Begin button."""
    def draw(p, s):
        g = canvas(s, s, None)
        glyph(g, s)
        for y, row in enumerate(mirror(g)):
            for x, c in enumerate(row):
                if c is not None:
                    p[y][x] = c
    return draw


if __name__ == '__main__':
    main()
