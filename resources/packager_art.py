#!/usr/bin/env python3
"""Writes the packager's two image strips into resources/packager: the kinds of listed files
(six 16 x 16 images on magenta) and the check-box states (five on pure red)."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
MAGENTA, RED = (255, 0, 255), (255, 0, 0)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (96, 96, 96)
BLUE, GREEN, YELLOW, BROWN = (0, 64, 192), (0, 128, 0), (240, 200, 40), (150, 90, 30)


def write_bmp(path, width, height, pixels):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def strip(count, ground):
    return [[ground] * (16 * count) for _ in range(16)]


def rect(p, i, x0, y0, x1, y1, colour, filled=True):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if filled or x in (x0, x1) or y in (y0, y1):
                p[y][16 * i + x] = colour


def kinds():
    p = strip(6, MAGENTA)
    # 0 stack: three cards fanned
    for k, c in enumerate((GREY, WHITE, WHITE)):
        rect(p, 0, 1 + 2 * k, 5 - 2 * k, 10 + 2 * k, 14 - 2 * k, c)
        rect(p, 0, 1 + 2 * k, 5 - 2 * k, 10 + 2 * k, 14 - 2 * k, BLACK, False)
    # 1 movie: a film strip
    rect(p, 1, 1, 3, 14, 12, DARK)
    for x in range(2, 14, 3):
        rect(p, 1, x, 4, x + 1, 4, WHITE)
        rect(p, 1, x, 11, x + 1, 11, WHITE)
    rect(p, 1, 4, 6, 11, 9, BLUE)
    # 2 sound: a note
    rect(p, 2, 9, 2, 10, 11, BLACK)
    rect(p, 2, 10, 2, 13, 3, BLACK)
    rect(p, 2, 5, 10, 9, 13, BLACK)
    # 3 text file: a page with lines
    rect(p, 3, 3, 1, 12, 14, WHITE)
    rect(p, 3, 3, 1, 12, 14, BLACK, False)
    for y in (4, 6, 8, 10, 12):
        rect(p, 3, 5, y, 10, y, DARK)
    # 4 picture: a framed landscape
    rect(p, 4, 1, 2, 14, 13, BROWN)
    rect(p, 4, 2, 3, 13, 12, (120, 180, 240))
    rect(p, 4, 2, 9, 13, 12, GREEN)
    rect(p, 4, 10, 4, 11, 5, YELLOW)
    # 5 extension module: a puzzle-like block
    rect(p, 5, 2, 4, 13, 13, GREEN)
    rect(p, 5, 2, 4, 13, 13, BLACK, False)
    rect(p, 5, 6, 1, 9, 4, GREEN)
    rect(p, 5, 6, 1, 9, 4, BLACK, False)
    return p


def states():
    p = strip(5, RED)
    for i in range(1, 5):
        rect(p, i, 2, 2, 13, 13, GREY if i == 3 else WHITE)
        rect(p, i, 2, 2, 13, 13, BLACK, False)
    for k in range(7):  # 2 checked: a tick
        x, y = 4 + k, (9 + k if k < 3 else 11 - (k - 2))
        rect(p, 2, x, y - 1, x, y, BLACK)
    for k in range(8):  # 3 missing: a cross
        rect(p, 3, 4 + k, 4 + k, 4 + k, 4 + k, DARK)
        rect(p, 3, 11 - k, 4 + k, 11 - k, 4 + k, DARK)
    rect(p, 4, 5, 5, 10, 10, DARK)  # 4 partly checked: a filled square
    return p


def main():
    folder = os.path.join(here, 'packager')
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, 'kinds.bmp'), 96, 16, kinds())
    write_bmp(os.path.join(folder, 'states.bmp'), 80, 16, states())


if __name__ == '__main__':
    main()
