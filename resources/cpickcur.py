#!/usr/bin/env python3
"""Writes cpickcur.cur: the colour chooser's 32 x 32 one-bit cursor over the wheel, a cross
with an open centre ('#' black, '.' white, anything else transparent), hotspot at its centre."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# The hand cursors' writer; importing it also rewrites their (unchanged) files.
from hand_cursors import cursor  # noqa: E402

ART = """
               .
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
               .
 ............     ............
.############. . .############.
 ............     ............
               .
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
              .#.
               .
"""


here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "cpickcur.cur"), "wb") as f:
    f.write(cursor(ART, (15, 14)))
