#!/usr/bin/env python3
"""Draws the help mascot, a friendly dog's face, and writes resources/mascot.bmp.

The bitmap is 96 x 48, 24 bits: the 48 x 48 picture on the left and its mask on the right
(black where the picture is, white where the background shows through). Run it from anywhere:
    python3 resources/mascot_bmp.py
"""
import os
import struct

SIZE = 48
TAN = (222, 170, 110)
BROWN = (140, 90, 50)
OUTLINE = (80, 50, 25)
MUZZLE = (245, 228, 200)
BLACK = (20, 20, 20)
WHITE = (255, 255, 255)
TONGUE = (235, 110, 130)


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def shape_colour(x, y):
    """The colour of the face at pixel centre (x, y), or None outside it."""
    px, py = x + 0.5, y + 0.5
    head = in_ellipse(px, py, 24, 26, 15, 15)
    ear = in_ellipse(px, py, 9, 24, 6, 14) or in_ellipse(px, py, 39, 24, 6, 14)
    if not head and not ear:
        return None
    if not head:
        return BROWN
    for ex in (18, 30):
        if in_ellipse(px, py, ex, 21, 2.6, 2.8):
            return WHITE if (x == ex - 1 and y == 20) else BLACK
    if in_ellipse(px, py, 24, 29.5, 3.6, 2.6):
        return BLACK
    # A smile below the nose, and the tip of a tongue.
    d = ((px - 24) ** 2 + (py - 31.5) ** 2) ** 0.5
    if 4.6 <= d <= 5.8 and py > 33.5:
        return OUTLINE
    if in_ellipse(px, py, 24, 38, 2.4, 2.2) and py > 36.5:
        return TONGUE
    if in_ellipse(px, py, 24, 33, 9, 6.5):
        return MUZZLE
    # A brown patch over one eye.
    if in_ellipse(px, py, 31, 19, 6, 5):
        return BROWN
    return TAN


def draw():
    image = [[None] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            image[y][x] = shape_colour(x, y)
    # A dark outline: shape pixels that touch the background.
    outlined = [row[:] for row in image]
    for y in range(SIZE):
        for x in range(SIZE):
            if image[y][x] is None:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < SIZE and 0 <= ny < SIZE) or image[ny][nx] is None:
                    outlined[y][x] = OUTLINE
                    break
    return outlined


def write_bmp(path, pixels):
    width, height = 2 * SIZE, SIZE
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            if x < SIZE:
                colour = pixels[y][x] or (0, 0, 0)
            else:
                colour = (0, 0, 0) if pixels[y][x - SIZE] else (255, 255, 255)
            r, g, b = colour
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    write_bmp(os.path.join(os.path.dirname(os.path.abspath(__file__)), "mascot.bmp"), draw())
