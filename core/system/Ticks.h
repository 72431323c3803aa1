// The tick clock: the system millisecond count divided by 17, about 58.8 ticks a second,
// wrapping with the 32-bit millisecond count. Every duration kept in ticks uses GetTicks.
#pragma once

#include <cstdint>

uint32_t GetTicks();
uint32_t GetMilliseconds();  // the millisecond count the ticks come from

// The millisecond source. host/wiring/WireCore_win.cpp installs the system's count at start-up;
// tests install their own. Null selects the built-in one (a monotonic clock). Returns the previous.
using MillisecondClock = uint32_t (*)();
MillisecondClock SetMillisecondClock(MillisecondClock clock);
// The system's count (Ticks_win.cpp), which the wiring step installs.
uint32_t SystemMilliseconds();
