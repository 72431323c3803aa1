#!/usr/bin/env python3
"""Draws the two state icons of the movie recording dialog: CAMCORDER (recording) and
FILMSTRIP (playing back), 32 by 32 with 16 colours, written beside this script."""
import struct
import os

W = H = 32
# The 16 standard colours; indexes used below.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, DARK, RED, WHITE, YELLOW = 0, 7, 8, 9, 15, 11


def blank():
    return [[None] * W for _ in range(H)]


def rect(p, x0, y0, x1, y1, c):
    for y in range(y0, y1):
        for x in range(x0, x1):
            p[y][x] = c


def camcorder():
    p = blank()
    rect(p, 3, 10, 22, 24, DARK)          # body
    rect(p, 4, 11, 21, 23, GREY)
    rect(p, 22, 12, 30, 22, BLACK)        # lens hood
    rect(p, 23, 14, 29, 20, DARK)
    rect(p, 6, 6, 14, 10, DARK)           # viewfinder
    rect(p, 6, 13, 9, 16, RED)            # recording light
    rect(p, 8, 24, 12, 28, BLACK)         # handle foot
    return p


def filmstrip():
    p = blank()
    rect(p, 8, 1, 24, 31, BLACK)
    for y in range(3, 31, 4):             # sprocket holes both sides
        rect(p, 9, y, 11, y + 2, WHITE)
        rect(p, 21, y, 23, y + 2, WHITE)
    for y0 in (3, 12, 21):                # three frames
        rect(p, 12, y0, 20, y0 + 7, YELLOW)
    return p


def ico(pixels):
    rows = b''
    for y in range(H - 1, -1, -1):        # bottom-up, 4 bits a pixel
        line = bytearray()
        for x in range(0, W, 2):
            a = pixels[y][x] or 0
            b = pixels[y][x + 1] or 0
            line.append(a << 4 | b)
        rows += bytes(line)
    mask = b''
    for y in range(H - 1, -1, -1):        # 1 where transparent
        bits = 0
        for x in range(W):
            bits = bits << 1 | (1 if pixels[y][x] is None else 0)
        mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 4, 0, len(rows) + len(mask), 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = header + pal + rows + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 16, 0, 1, 4, len(image), 22) + image


here = os.path.dirname(os.path.abspath(__file__))
for name, art in (('camcorder.ico', camcorder()), ('filmstrip.ico', filmstrip())):
    with open(os.path.join(here, name), 'wb') as f:
        f.write(ico(art))
