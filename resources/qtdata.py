#!/usr/bin/env python3
"""Writes qtdata.rci: the "QTDATA" effect descriptions of the ten effects the transition lists
offer, one per effect code. Each is an atom container of the QuickTime stand-in: a "what" atom
with the effect code and, for the wipes, a "side" atom (0 left, 1 right, 2 top, 3 bottom).
Resource compilers write 16-bit words low byte first, so the bytes go out in swapped pairs."""
import struct
from pathlib import Path

EFFECTS = [("dslv", None), ("xplo", 0), ("matt", 0), ("mplo", 1), ("smpt", 0),
           ("smp2", 2), ("smp3", 3), ("smp4", 1), ("push", 0), ("slid", 1)]


def atom(kind, value):
    return struct.pack(">III", 16, int.from_bytes(kind.encode(), "big"), 1) + value


def description(code, side):
    data = atom("what", code.encode())
    if side is not None:
        data += atom("side", struct.pack(">I", side))
    return data


def words(data):
    return ", ".join("0x%04X" % (data[i] | data[i + 1] << 8) for i in range(0, len(data), 2))


lines = ["// The effect descriptions of the QuickTime effect transitions (written by qtdata.py).", ""]
for code, side in EFFECTS:
    lines.append("%s QTDATA { %s }" % (code, words(description(code, side))))
Path(__file__).with_name("qtdata.rci").write_text("\n".join(lines) + "\n")
