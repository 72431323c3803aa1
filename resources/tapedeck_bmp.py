#!/usr/bin/env python3
"""Draws the sound dialog's deck and writes resources/tapedeck.bmp.

The bitmap is 400 x 120, 24 bits: the 200 x 120 picture on the left and its mask on the right
(black where the picture is, white where the dialog shows through). The picture is clicked in
four zones of equal width, 50 pixels each: record, stop, play, clear; their buttons sit in the
row at the bottom. The window at the top holds the reels, and is where the recorder writes its
notice; the name field, the meter and the volume bar lie over the places left for them.
Run it from anywhere:
    python3 resources/tapedeck_bmp.py
"""
import os
import struct

WIDTH, HEIGHT = 200, 120
BODY = (70, 72, 84)
EDGE = (30, 30, 36)
WINDOW = (196, 206, 186)
REEL = (40, 40, 44)
HUB = (170, 170, 176)
TAPE = (92, 62, 40)
KEY = (214, 214, 220)
KEY_EDGE = (120, 120, 128)
RED = (210, 30, 30)
BLACK = (16, 16, 16)
SLOT = (40, 42, 50)


def in_rounded(x, y, left, top, right, bottom, r):
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x + 0.5, left + r), right - r)
    cy = min(max(y + 0.5, top + r), bottom - r)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def glyph(zone, x, y):
    """The symbol of a zone's key at (x, y) relative to the key's centre, or None."""
    if zone == 0:
        return RED if x * x + y * y <= 25 else None
    if zone == 1:
        return BLACK if abs(x) <= 4 and abs(y) <= 4 else None
    if zone == 2:
        return BLACK if -4 <= x <= 5 and abs(y) <= (5 - x) * 0.5 + 0.5 and x >= -4 else None
    if zone == 3:
        return BLACK if abs(x) <= 5 and abs(y) <= 5 and (abs(x - y) <= 1 or abs(x + y) <= 1) else None
    return None


def colour(x, y):
    """The picture's colour at (x, y), or None where the dialog shows through."""
    if not in_rounded(x, y, 0, 0, WIDTH, HEIGHT, 8):
        return None
    if not in_rounded(x, y, 1, 1, WIDTH - 1, HEIGHT - 1, 7):
        return EDGE
    if 8 <= x < 170 and 8 <= y < 80:
        for cx in (50, 128):
            d2 = (x + 0.5 - cx) ** 2 + (y + 0.5 - 44) ** 2
            if d2 <= 36:
                return HUB
            if d2 <= 22 * 22:
                return REEL
        if 50 <= x < 128 and 64 <= y < 66:
            return TAPE
        return WINDOW
    if (170 <= x < 198 and 6 <= y < 82) or (6 <= x < 172 and 82 <= y < 102):
        return SLOT
    zone = x // 50
    kx, ky = zone * 50 + 25, 110
    if in_rounded(x, y, zone * 50 + 5, 103, zone * 50 + 45, 118, 3):
        g = glyph(zone, x - kx, y - ky)
        if g:
            return g
        edge = not in_rounded(x, y, zone * 50 + 6, 104, zone * 50 + 44, 117, 2)
        return KEY_EDGE if edge else KEY
    return BODY


def main():
    row_bytes = WIDTH * 2 * 3
    pixels = bytearray()
    for y in reversed(range(HEIGHT)):
        row = bytearray()
        masks = bytearray()
        for x in range(WIDTH):
            c = colour(x, y)
            r, g, b = c if c else (0, 0, 0)
            row += bytes((b, g, r))
            masks += bytes((0, 0, 0)) if c else bytes((255, 255, 255))
        pixels += row + masks
    assert len(pixels) == row_bytes * HEIGHT
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH * 2, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tapedeck.bmp")
    with open(path, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
