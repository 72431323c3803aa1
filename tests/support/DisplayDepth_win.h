// The depth of the display the tests run on (scripts/test.sh runs them at 24, 16 and 8 bits),
// and the one way a test says that it needs more than 256 colours.
#pragma once

#include <gtest/gtest.h>

// Bits per pixel of the screen (8 on a palette display).
int DisplayBits();
// True on a display of 256 colours or fewer, where every colour goes through the system palette.
bool IndexedDisplay();

// Skips the running test on a palette display, saying why it needs true colour. Use it first in
// the test body (it returns from it).
#define SKIP_UNLESS_TRUE_COLOUR(reason) \
    if (!IndexedDisplay()) {            \
    } else                              \
        GTEST_SKIP() << "needs true colour: " << (reason)
