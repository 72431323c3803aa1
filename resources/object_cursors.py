#!/usr/bin/env python3
"""Writes the 23 built-in object cursors, cursors/objNNNNN.ico and .cur for the ids 28016 to
28368 in steps of 16, and object_cursors.rci naming them. Each is a 32 x 32 drawing made from a
shape test: the shape's edge black, its inside one colour, the rest transparent. The icons are
4-bit (the pictures the chooser shows and the cache loads); the cursors 1-bit, white inside."""
import math
import os
import struct

SIZE = 32
FIRST, STEP, COUNT = 28016, 16, 23
# 16-colour palette: black, white, then colours for the insides.
PALETTE = [(0, 0, 0), (255, 255, 255), (221, 8, 6), (0, 0, 212), (31, 183, 20), (252, 243, 5),
           (255, 100, 2), (242, 8, 132), (70, 0, 165), (2, 171, 234), (0, 100, 17), (144, 113, 58),
           (192, 192, 192), (128, 128, 128), (64, 64, 64), (86, 44, 5)]


def arrow(angle):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        u, v = (x - 15.5) * ca + (y - 15.5) * sa, -(x - 15.5) * sa + (y - 15.5) * ca
        return (-13 <= u <= 2 and abs(v) <= 3) or (2 <= u <= 13 and abs(v) <= (13 - u) * 0.9)
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit
    return inside


def star(n, outer, inner):
    pts = []
    for k in range(2 * n):
        r = outer if k % 2 == 0 else inner
        a = math.pi * k / n - math.pi / 2
        pts.append((15.5 + r * math.cos(a), 15.5 + r * math.sin(a)))
    return polygon(pts)


def dist(x, y):
    return math.hypot(x - 15.5, y - 15.5)


SHAPES = [arrow(k * math.pi / 4) for k in range(8)] + [
    lambda x, y: 8 <= dist(x, y) <= 14,                                   # ring
    lambda x, y: dist(x, y) <= 13,                                        # disc
    lambda x, y: 3 <= x <= 28 and 3 <= y <= 28,                           # square
    lambda x, y: abs(x - 15.5) + abs(y - 15.5) <= 14,                     # diamond
    lambda x, y: abs(abs(x - 15.5) - abs(y - 15.5)) <= 3 and dist(x, y) <= 16,  # cross
    lambda x, y: (abs(x - 15.5) <= 3 or abs(y - 15.5) <= 3) and max(abs(x - 15.5), abs(y - 15.5)) <= 13,  # plus
    star(5, 15, 6),
    lambda x, y: (math.hypot(x - 10, y - 11) <= 7 or math.hypot(x - 21, y - 11) <= 7 or
                  (y >= 11 and abs(x - 15.5) <= (28 - y) * 0.95)),         # heart
    lambda x, y: (dist(x, y) <= 13 and abs(dist(x, y) - 9) >= 2) or (abs(x - 15.5) <= 1 or abs(y - 15.5) <= 1) and dist(x, y) <= 15,  # target
    polygon([(4, 2), (27, 2), (17, 15.5), (27, 29), (4, 29), (14, 15.5)]),  # hourglass
    polygon([(15.5, 2), (29, 28), (2, 28)]),                               # triangle
    lambda x, y: 3 <= math.hypot(x - 12, y - 12) <= 9 or (abs((x - y)) <= 3 and 18 <= x <= 29 and 18 <= y <= 29),  # magnifier
    lambda x, y: abs((x + y) - 31) <= 4 and 3 <= x <= 28,                 # pencil bar
    lambda x, y: (abs(x - 15.5) <= 2 and 4 <= y <= 27) or ((y <= 6 or y >= 25) and abs(x - 15.5) <= 7 and (y >= 3 and y <= 28)),  # I-beam
    lambda x, y: (abs(y - (x + 6)) <= 3 and 4 <= x <= 13) or (abs(y - (-1.2 * x + 35)) <= 3 and 11 <= x <= 28),  # check mark
]
assert len(SHAPES) == COUNT


def kinds(shape):
    """Per pixel, top row first: 0 outside, 1 inside, 2 edge."""
    grid = [[bool(shape(x, y)) for x in range(SIZE)] for y in range(SIZE)]
    out = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if not grid[y][x]:
                row.append(0)
                continue
            edge = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and grid[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            row.append(2 if edge else 1)
        out.append(row)
    return out


def rows(values, bits):
    data = b""
    for row in reversed(values):
        acc, n, line = 0, 0, bytearray()
        for v in row:
            acc, n = acc << bits | v, n + bits
            if n == 8:
                line.append(acc)
                acc, n = 0, 0
        while len(line) % 4:
            line.append(0)
        data += bytes(line)
    return data


def image(grid, bits, colour):
    if bits == 4:
        pixels = [[{0: 0, 1: colour, 2: 0}[k] for k in row] for row in grid]
        table = PALETTE
    else:
        pixels = [[1 if k == 1 else 0 for k in row] for row in grid]
        table = PALETTE[:2]
    mask = [[1 if k == 0 else 0 for k in row] for row in grid]
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, bits, 0, 0, 0, 0, len(table), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    return header + colours + rows(pixels, bits) + rows(mask, 1)


def icon_file(body, kind, bits, hotspot):
    fields = (1, bits) if kind == 1 else hotspot
    count = 16 if bits == 4 else 2
    return (struct.pack("<HHH", 0, kind, 1) +
            struct.pack("<BBBBHHII", SIZE, SIZE, count, 0, fields[0], fields[1], len(body), 22) + body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(os.path.join(here, "cursors"), exist_ok=True)
    lines = ["// The built-in object cursors and their pictures (written by object_cursors.py).\n"]
    for i, shape in enumerate(SHAPES):
        rid = FIRST + STEP * i
        grid = kinds(shape)
        colour = 2 + i % 14
        for ext, kind, bits in (("ico", 1, 4), ("cur", 2, 1)):
            with open(os.path.join(here, "cursors", "obj%d.%s" % (rid, ext)), "wb") as f:
                f.write(icon_file(image(grid, bits, colour), kind, bits, (16, 16)))
        lines.append('%d ICON "resources/cursors/obj%d.ico"\n' % (rid, rid))
        lines.append('%d CURSOR "resources/cursors/obj%d.cur"\n' % (rid, rid))
    with open(os.path.join(here, "object_cursors.rci"), "w") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
