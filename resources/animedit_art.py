#!/usr/bin/env python3
"""Writes the flip buttons of the animation dialog: animedit/fliplr.bmp and animedit/fliptb.bmp,
24-bit, three faces side by side (normal, pressed, disabled), each 24 by 20: a raised grey face
with two arrows pointing apart, left-right or top-bottom. Run from anywhere; the output is
checked in."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
W, H = 24, 20
GREY, LIGHT, DARK, BLACK, WHITE = (192, 192, 192), (255, 255, 255), (128, 128, 128), (0, 0, 0), (255, 255, 255)
BLUE, DIM = (0, 0, 160), (150, 150, 150)


def face(state, vertical):
    px = [[GREY] * W for _ in range(H)]
    top, bottom = (DARK, LIGHT) if state == 1 else (LIGHT, DARK)
    for x in range(W):
        px[0][x], px[H - 1][x] = top, BLACK
        px[H - 2][x] = bottom
    for y in range(H):
        px[y][0], px[y][W - 1] = top, BLACK
        px[y][W - 2] = bottom
    ink = DIM if state == 2 else BLUE
    reach = 6 if vertical else 8  # the arrows' length from the mirror line
    shift = 1 if state == 1 else 0
    cx, cy = W // 2 + shift, H // 2 + shift

    def dot(x, y, c):
        if vertical:
            x, y = cx + (y - cy), cy + (x - cx)
        if 1 < x < W - 2 and 1 < y < H - 2:
            px[y][x] = c
    # a dashed mirror line, then an arrow either side pointing away from it
    for k in range(-reach + 1, reach, 2):
        dot(cx, cy + k, BLACK if state != 2 else DIM)
    for side in (-1, 1):
        for k in range(2, reach + 1):
            dot(cx + side * k, cy, ink)
        for d in range(1, 4):
            dot(cx + side * (reach - d), cy - d, ink)
            dot(cx + side * (reach - d), cy + d, ink)
    return px


def write(name, vertical):
    faces = [face(s, vertical) for s in range(3)]
    width = 3 * W
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for f in faces:
            for x in range(W):
                r, g, b = f[y][x]
                line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    os.makedirs(os.path.join(here, 'animedit'), exist_ok=True)
    with open(os.path.join(here, 'animedit', name), 'wb') as out:
        out.write(header + info + data)


write('fliplr.bmp', False)
write('fliptb.bmp', True)
