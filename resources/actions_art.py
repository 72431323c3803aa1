#!/usr/bin/env python3
"""Writes the card arrows of "Move to card" into resources/actions: left and right arrows,
32 x 24 pixels, 4 bits per pixel, normal (grey face) and pressed (dark face, shifted by one)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
W, H = 32, 24
# 16-colour table: 0 black, 7 light grey, 8 dark grey, 15 white.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def inside_arrow(x, y, right):
    """The arrow: a head of half the width and a shaft, pointing left or right."""
    if not right:
        x = W - 1 - x
    cy = H / 2 - 0.5
    head = W - 12
    if x >= head:
        return abs(y - cy) <= (W - 2 - x) * (H / 2 - 2) / 10
    return 3 <= x and abs(y - cy) <= 3.5


def draw(right, pressed):
    shift = 1 if pressed else 0
    face = 8 if pressed else 7
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            c = 15
            if inside_arrow(x - shift, y - shift, right):
                c = face
                if not inside_arrow(x - shift - 1, y - shift, right) or not inside_arrow(x - shift, y - shift - 1, right):
                    c = 8 if pressed else 15
                if not inside_arrow(x - shift + 1, y - shift, right) or not inside_arrow(x - shift, y - shift + 1, right):
                    c = 0
            row.append(c)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    stride = ((W * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(0, W, 2):
            line.append((row[x] << 4) | row[x + 1])
        line += b"\0" * (stride - len(line))
        pixels += line
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(table)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        f.write(header + table + pixels)


def main():
    out = os.path.join(here, "actions")
    os.makedirs(out, exist_ok=True)
    for name, right, pressed in (("left", False, False), ("right", True, False),
                                 ("left_down", False, True), ("right_down", True, True)):
        write_bmp(os.path.join(out, f"arrow_{name}.bmp"), draw(right, pressed))


if __name__ == "__main__":
    main()
