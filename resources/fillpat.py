#!/usr/bin/env python3
"""Draws the 16 fill patterns and writes resources/fillpat1.bmp .. fillpat16.bmp.

Each is a 64 x 64 bitmap file, 8 bits a pixel, with a 256-entry colour table: the default
palette's 236 colours (from defpal.py) and 20 black entries. Every pattern repeats within its
64 x 64 tile, so tiled fills join without seams. Run it from anywhere:
    python3 resources/fillpat.py
"""
import math
import os
import struct

from defpal import read_colours

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 64

# Default palette entries the patterns draw with.
WHITE, YELLOW, ORANGE, RED, BLUE_VIOLET, ROYAL, SKY, GREEN, DARK_GREEN, BROWN = 0, 1, 2, 3, 5, 6, 7, 8, 9, 10
SILVER, GREY, DARK_GREY, BLACK = 12, 13, 14, 15
BRICK, MORTAR, CREAM, TEAL, ICE, TAN, MINT, PURPLE, PINK = 36, 88, 61, 85, 62, 57, 122, 194, 215


def horizontal_stripes(x, y):
    return ROYAL if y % 8 < 4 else WHITE


def vertical_stripes(x, y):
    return RED if x % 8 < 4 else YELLOW


def diagonal_stripes(x, y):
    return GREEN if (x + y) % 16 < 6 else WHITE


def checkerboard(x, y):
    return BLACK if (x // 8 + y // 8) % 2 else SILVER


def dots(x, y):
    dx, dy = x % 16 - 7.5, y % 16 - 7.5
    return SKY if dx * dx + dy * dy <= 12 else WHITE


def bricks(x, y):
    row = y // 8
    if y % 8 == 7 or (x + (8 if row % 2 else 0)) % 16 == 15:
        return MORTAR
    return BRICK


def grid(x, y):
    return DARK_GREY if x % 8 == 0 or y % 8 == 0 else CREAM


def waves(x, y):
    crest = 4 * math.sin(2 * math.pi * x / 32)
    return TEAL if (y - crest) % 16 < 4 else ICE


def rings(x, y):
    dx, dy = x % 32 - 15.5, y % 32 - 15.5
    return ORANGE if int(math.hypot(dx, dy)) % 6 < 3 else WHITE


def chevrons(x, y):
    return PURPLE if (y + abs(x % 16 - 8)) % 16 < 5 else PINK


def diamonds(x, y):
    return DARK_GREEN if abs(x % 32 - 16) + abs(y % 32 - 16) <= 12 else MINT


def crosshatch(x, y):
    return BROWN if (x + y) % 8 == 0 or (x - y) % 8 == 0 else TAN


def scales(x, y):
    row = y // 8
    cx = (x + (8 if row % 2 else 0)) % 16 - 7.5
    cy = y % 8
    d = math.hypot(cx, cy)
    return BLUE_VIOLET if 6.5 <= d <= 8 or cy == 0 and abs(cx) > 7 else ICE


def triangles(x, y):
    return RED if y % 16 > x % 16 else WHITE


GREYS = [WHITE, 86, 88, 90, 92, 94, 96, 98]  # FFFFFF, EEEEEE, CCCCCC .. 222222


def grey_bands(x, y):
    band = x // 4  # sixteen bands, light to dark and back
    return GREYS[min(band, 15 - band)]


def weave(x, y):
    horizontal = (x // 16 + y // 16) % 2 == 0
    line = y % 4 if horizontal else x % 4
    return TAN if line == 0 else (BROWN if horizontal else YELLOW)


PATTERNS = [horizontal_stripes, vertical_stripes, diagonal_stripes, checkerboard, dots, bricks, grid, waves,
            rings, chevrons, diamonds, crosshatch, scales, triangles, grey_bands, weave]


def write_bmp(path, pattern, colours):
    table = bytearray()
    for r, g, b in colours + [(0, 0, 0)] * (256 - len(colours)):
        table += bytes((b, g, r, 0))
    data = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows; 64 bytes need no padding
        data += bytes(pattern(x, y) for x in range(SIZE))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + table + data)


if __name__ == "__main__":
    palette = read_colours()
    for number, pattern in enumerate(PATTERNS, 1):
        write_bmp(os.path.join(HERE, f"fillpat{number}.bmp"), pattern, palette)
