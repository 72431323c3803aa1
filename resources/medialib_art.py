#!/usr/bin/env python3
"""Writes the Media Browser's art into medialib/: the list icons of the media kinds (the movie
icon FILMSTRIP and the browser's CAMCORDER are the video dialogs'), and the cursors of an item
drag (DRAGDROPCUR) and of the splitter (SIZENS). Icons are drawn at 16 by 16 from the letter
maps below and stored doubled at 32 by 32, 32 bits with a mask; cursors are one-bit ('#' black,
'.' white, else transparent)."""
import os
import struct

COLOURS = {
    "k": (0, 0, 0), "w": (255, 255, 255), "r": (200, 30, 30), "g": (30, 150, 40), "b": (30, 60, 200),
    "y": (240, 200, 20), "o": (230, 120, 20), "s": (150, 150, 150), "c": (40, 180, 200), "m": (160, 40, 160),
}

ICONS = {
    # a speaker with sound waves
    "hand": """
................
..........k.....
.........kk..k..
....kkkkkyk...k.
....kyyyyyk.k..k
....kyyyyyk..k.k
....kyyyyyk..k.k
....kyyyyyk.k..k
....kkkkkyk...k.
.........kk..k..
..........k.....
................""",
    # a picture: sky, sun, hills
    "eyedrop": """
kkkkkkkkkkkkkkkk
kccccccccccyyyck
kcccccccccyyyyck
kccccccccccyyyck
kcccccccccccccck
kcccccgccccccccck
kccccgggccccgcck
kcccgggggccgggck
kccgggggggggggck
kcgggggggggggggk
kkkkkkkkkkkkkkkk""",
    # a page of text
    "erasepen": """
..kkkkkkkkkk....
..kwwwwwwwwkk...
..kwkkkkkwwkwk..
..kwwwwwwwwkkkk.
..kwkkkkkkkkwwk.
..kwwwwwwwwwwwk.
..kwkkkkkkkkwwk.
..kwwwwwwwwwwwk.
..kwkkkkkkwwwwk.
..kwwwwwwwwwwwk.
..kkkkkkkkkkkkk.""",
    # a button
    "grabhand": """
................
..kkkkkkkkkkkk..
.kssssssssssssk.
ksswwwwwwwwwwssk
kswwwwwwwwwwwwsk
kswwkkwkwkkwwwsk
kswwwwwwwwwwwwsk
ksswwwwwwwwwwssk
.kssssssssssssk.
..kkkkkkkkkkkk..""",
    # a framed graphic
    "pcan": """
oooooooooooooooo
o..............o
o.rrrrr........o
o.rrrrr...mmm..o
o.rrrrr..mmmmm.o
o.rrrrr..mmmmm.o
o.........mmm..o
o..............o
oooooooooooooooo""",
    # a text object: a frame with lines
    "flathand": """
bbbbbbbbbbbbbbbb
bwwwwwwwwwwwwwwb
bwkkkkkkkkkkwwwb
bwwwwwwwwwwwwwwb
bwkkkkkkkkwwwwwb
bwwwwwwwwwwwwwwb
bwkkkkkkkkkkkwwb
bwwwwwwwwwwwwwwb
bbbbbbbbbbbbbbbb""",
}

DRAG = """
#
##
#.#
#..#
#...#
#....#
#.....#
#......#
#.......#
#........#
#.....#####
#..#..#
#.# #..#
##  #..#
#    #..#
     #..#   ############
      ##    #..........#
            #..........#
            #..........#
            #..........#
            ############
"""

SIZENS = """
               .
              .#.
             .###.
            .#####.
           .#######.
            ...#...
              .#.
  .........................
  .#######################.
  .........................
              .#.
  .........................
  .#######################.
  .........................
              .#.
            ...#...
           .#######.
            .#####.
             .###.
              .#.
               .
"""


def icon(art):
    rows = [r for r in art.split("\n")[1:]]
    rows = (rows + [""] * 16)[:16]
    size = 32
    pixels, mask = [], []
    for y in range(size):
        row = rows[y // 2].ljust(16, ".")[:16]
        line, bits = b"", 0
        for x in range(size):
            c = row[x // 2]
            if c in COLOURS:
                r, g, b = COLOURS[c]
                line += struct.pack("<BBBB", b, g, r, 255)
            else:
                line += b"\0\0\0\0"
                bits |= 1 << (31 - x)
        pixels.append(line)
        mask.append(struct.pack(">I", bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(reversed(pixels)) + b"".join(reversed(mask))
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    return directory + image


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


here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "medialib")
os.makedirs(here, exist_ok=True)
for name, art in ICONS.items():
    with open(os.path.join(here, name + ".ico"), "wb") as f:
        f.write(icon(art))
with open(os.path.join(here, "dragdrop.cur"), "wb") as f:
    f.write(cursor(DRAG, (0, 0)))
with open(os.path.join(here, "sizens.cur"), "wb") as f:
    f.write(cursor(SIZENS, (15, 10)))
