#!/usr/bin/env python3
# Writes commands.bin, the MCI command table of keylock and index that the driver loads: each
# entry a UTF-16 name ended by a zero, a 32-bit value (message or flag) and a 16-bit kind
# (0 command, 5 flag, 3 end of a command, 6 end of the list).
import os
import struct

FLAGS = [("notify", 0x1), ("wait", 0x2), ("on", 0x100), ("off", 0x200)]
COMMANDS = [("keylock", 0x0901), ("index", 0x0902)]


def entry(name, value, kind):
    return (name + "\0").encode("utf-16-le") + struct.pack("<IH", value, kind)


table = b""
for name, message in COMMANDS:
    table += entry(name, message, 0)
    for flag, value in FLAGS:
        table += entry(flag, value, 5)
    table += entry("", 0, 3)
table += entry("", 0, 6)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "commands.bin"), "wb") as f:
    f.write(table)
