#!/usr/bin/env python3
"""Writes resources/defpal.pal, the "DEFPAL" resource, from the default colours in
graphics/DefaultPalette.cpp (the lines between its "DEFPAL begin" and "DEFPAL end" marks).

772 bytes: byte 0 unused (0), then a red, green, blue triple for each of the 236 colours,
then zeros. Run it from anywhere after changing the table:
    python3 resources/defpal.py
"""
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "..", "graphics", "DefaultPalette.cpp")
ENTRIES = 236
SIZE = 772


def read_colours(path=TABLE):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    body = text.split("DEFPAL begin", 1)[1].split("DEFPAL end", 1)[0]
    body = body.split("=", 1)[1]  # past the declaration's name and size
    colours = [int(v, 16) for v in re.findall(r"0x([0-9A-Fa-f]{6})\b", body)]
    if len(colours) != ENTRIES:
        raise SystemExit(f"{path}: {len(colours)} colours, expected {ENTRIES}")
    return [((c >> 16) & 255, (c >> 8) & 255, c & 255) for c in colours]


def write_pal(path, colours):
    data = bytearray(1)
    for r, g, b in colours:
        data += bytes((r, g, b))
    data += b"\0" * (SIZE - len(data))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    write_pal(os.path.join(HERE, "defpal.pal"), read_colours())
