#!/usr/bin/env python3
"""Writes sizensew.cur: the move cursor over a tracked rectangle, a four-way arrow ('#' black,
'.' white, anything else transparent), hotspot at its centre."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hand_cursors import cursor  # noqa: E402

ART = """
               .
              .#.
             .###.
            .#####.
           .#######.
            ...#...
              .#.
              .#.
     ..       .#.       ..
    .#.       .#.       .#.
   .##.       .#.       .##.
  .###.........#.........###.
 .#########################.
  .###.........#.........###.
   .##.       .#.       .##.
    .#.       .#.       .#.
     ..       .#.       ..
              .#.
              .#.
            ...#...
           .#######.
            .#####.
             .###.
              .#.
               .
"""


here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "sizensew.cur"), "wb") as f:
    f.write(cursor(ART, (15, 12)))
