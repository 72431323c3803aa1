#!/usr/bin/env python3
"""Draws the button dialog's shape picture and the first-button tip's tool picture.

resources/buttons/BUTTONS.bmp, 120 x 160: the eight button shapes in 2 columns by 4 rows of
60 x 40 cells, shape = column + 2 x row: rounded, default look, rectangle, shadowed rectangle,
invisible (dotted), pencil outline, picked area, lasso.
resources/buttons/TOOLS.bmp, 96 x 96: 3 x 3 tool cells of 32 pixels; the browse hand sits in the
left column of the middle row, where the tip's click looks for it.
Run it from anywhere:
    python3 resources/button_art.py
"""
import math
import os
import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
FACE = (212, 208, 200)
BLUE = (40, 80, 200)


def write_bmp(path, width, height, pixel):
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def rounded(x, y, l, t, r, b, rad):
    if x < l or x >= r or y < t or y >= b:
        return False
    cx = min(max(x + 0.5, l + rad), r - rad)
    cy = min(max(y + 0.5, t + rad), b - rad)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= rad * rad


def edge(inside, x, y):
    return inside(x, y) and not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))


def shape_pixel(shape, x, y):
    """x, y inside a 60 x 40 cell."""
    l, t, r, b = 10, 10, 50, 30
    if shape == 0:
        inside = lambda px, py: rounded(px, py, l, t, r, b, 6)
        return BLACK if edge(inside, x, y) or (y == b - 2 and l + 4 < x < r - 4) else None
    if shape == 1:
        outer = lambda px, py: rounded(px, py, l - 4, t - 4, r + 4, b + 4, 8)
        inner = lambda px, py: rounded(px, py, l, t, r, b, 5)
        if edge(outer, x, y) or edge(lambda px, py: rounded(px, py, l - 3, t - 3, r + 3, b + 3, 7), x, y):
            return GREY
        return BLACK if edge(inner, x, y) else None
    if shape == 2:
        return BLACK if edge(lambda px, py: l <= px < r and t <= py < b, x, y) else None
    if shape == 3:
        if edge(lambda px, py: l <= px < r - 2 and t <= py < b - 2, x, y):
            return BLACK
        return BLACK if (b - 2 <= y < b and l + 2 <= x < r) or (r - 2 <= x < r and t + 2 <= y < b) else None
    if shape == 4:
        on = edge(lambda px, py: l <= px < r and t <= py < b, x, y)
        return GREY if on and (x + y) % 4 < 2 else None
    if shape == 5:
        # A freehand blob: a wobbly ring.
        dx, dy = x - 30, y - 20
        radius = 13 + 3 * math.sin(3 * math.atan2(dy, dx))
        return BLACK if abs(math.hypot(dx * 0.75, dy) - radius * 0.75) < 0.8 else None
    if shape == 6:
        inside = (x - 30) ** 2 / 300 + (y - 20) ** 2 / 90 <= 1
        return BLUE if inside else None
    dx, dy = x - 30, y - 20
    if (dx * dx) / 120 + (dy * dy) / 40 <= 1:
        return BLUE
    ring = abs(math.hypot(dx / 20, dy / 14) - 1) < 0.06
    return BLACK if ring and (x // 2) % 2 == 0 else None


def buttons(x, y):
    column, row = x // 60, y // 40
    if x % 60 == 59 or y % 40 == 39:
        return GREY
    return shape_pixel(column + 2 * row, x % 60, y % 40) or WHITE


def hand(x, y):
    """A pointing hand in a 32 x 32 cell."""
    if 14 <= x < 18 and 4 <= y < 16:
        return BLACK if x in (14, 17) or y == 4 else WHITE
    if 8 <= x < 24 and 14 <= y < 28:
        inside = lambda px, py: 8 <= px < 24 and 14 <= py < 28
        return BLACK if edge(inside, x, y) else WHITE
    return None


def tool_glyph(cell, x, y):
    if cell == 3:
        return hand(x, y)
    if cell == 0:  # pencil
        return BLACK if abs((x - 6) - (25 - y)) <= 1 and 6 <= x < 26 else None
    if cell == 1:  # brush
        return BLACK if (x - 16) ** 2 + (y - 22) ** 2 <= 16 or (15 <= x < 17 and 6 <= y < 20) else None
    if cell == 2:  # letter A
        return BLACK if (abs(x - 16) * 2 == (y - 6) // 1 or (y == 18 and 11 <= x <= 21)) and 6 <= y < 27 else None
    if cell == 4:  # button tool
        return BLACK if edge(lambda px, py: rounded(px, py, 6, 10, 26, 22, 4), x, y) else None
    if cell == 5:  # field tool
        return BLACK if edge(lambda px, py: 6 <= px < 26 and 6 <= py < 26, x, y) or (y in (12, 16, 20) and 9 <= x < 23) else None
    if cell == 6:  # lasso
        return BLACK if abs(math.hypot((x - 16) / 10, (y - 14) / 7) - 1) < 0.12 else None
    if cell == 7:  # bucket
        return BLACK if edge(lambda px, py: 9 <= px < 23 and 12 <= py < 26, x, y) else None
    return BLACK if edge(lambda px, py: (px - 16) ** 2 + (py - 16) ** 2 <= 81, x, y) else None


def tools(x, y):
    column, row = x // 32, y // 32
    if x % 32 in (0, 31) or y % 32 in (0, 31):
        return GREY
    return tool_glyph(column + 3 * row, x % 32, y % 32) or FACE


if __name__ == "__main__":
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "buttons")
    os.makedirs(here, exist_ok=True)
    write_bmp(os.path.join(here, "BUTTONS.bmp"), 120, 160, buttons)
    write_bmp(os.path.join(here, "TOOLS.bmp"), 96, 96, tools)
