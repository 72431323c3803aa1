#!/usr/bin/env python3
"""Writes flathand.cur and grabhand.cur: the 32 x 32 one-bit hand cursors of the magnified
view's panning ('#' black outline, '.' white inside, anything else transparent)."""
import os
import struct

FLAT = """
            ##
        ## #..###
       #..##..#..#
       #..##..#..#
        #..#..#..# #
        #..#..#..##.#
     ##  #.......#..#
    #..# #..........#
    #...##.........#
     #...#.........#
      #............#
       #..........#
       #..........#
        #........#
         #.......#
         #.......#
"""

GRAB = """

         ## ## ##
        #..#..#..##
        #........#.#
       ##..........#
      #.#..........#
      #............#
       #..........#
       #..........#
        #........#
         #.......#
         #.......#
"""


def cursor(art, hotspot):
    rows = art.split("\n")[1:]
    rows = (rows + [""] * 32)[:32]
    xor_rows, and_rows = [], []
    for row in rows:
        row = row.ljust(32)[:32]
        xor_bits = and_bits = 0
        for x, c in enumerate(row):
            bit = 1 << (31 - x)
            if c == ".":
                xor_bits |= bit
            elif c != "#":
                and_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    colours = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + colours + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, hotspot[0], hotspot[1], len(image), 22)
    return directory + image


here = os.path.dirname(os.path.abspath(__file__))
for name, art in (("flathand.cur", FLAT), ("grabhand.cur", GRAB)):
    with open(os.path.join(here, name), "wb") as f:
        f.write(cursor(art, (16, 16)))
