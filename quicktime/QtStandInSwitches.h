// What tests ask of the stand-in beyond QuickTime's own calls, by selectors of our own: the test
// clock, which runs only when a test moves it. The switches themselves are set in the
// environment before the library loads: LOOM_QUICKTIME_CLOCK=test puts the movies on the test
// clock; LOOM_QUICKTIME_SINK=<file.wav> sends what the wave device would play into that file.
#pragma once

#include <cstdint>

#include "quicktime/QuickTime.h"

enum QtSwitchSelector : uint32_t {
    kQtSelAdvanceTestClock = 0x7F0001,  // (milliseconds)
};

inline void QTAdvanceTestClock(uint32_t ms) { QtCall(kQtSelAdvanceTestClock, {ms}); }
