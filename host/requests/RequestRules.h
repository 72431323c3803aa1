// Rules of the host requests that need no window: what a requested move plays, how a find
// request searches.
#pragma once

#include <cstdint>

struct RequestedMove {
    int transition = 3;
    int speed = 8;
    int effect = 0;  // the 'QTFX' id of an effect transition (28 and up), else 0
};

// Transitions 1 to 27 and the effect transitions from 28 (one per listed effect) at speed 0,
// 8, 16 or 32 stay as asked; anything else is the plain move (3 at 8).
RequestedMove CheckRequestedMove(int transition, int speed, int effect, int effectCount);

// The find flags (objects/text/FindText.h) of the find request's option bits: 2 and 4 together
// all fields, 2 alone read-only fields, 4 alone editable ones, neither all fields; 1 case
// sensitive, 8 wrap around. Bit 16 (keep the previous text) is the caller's.
uint16_t FindFlagsOfRequest(uint32_t options);
