// The tick clock over a replaceable millisecond source.
#include "core/system/Ticks.h"

#include <chrono>

namespace {

uint32_t SteadyMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

MillisecondClock g_clock = SteadyMilliseconds;

}  // namespace

MillisecondClock SetMillisecondClock(MillisecondClock clock) {
    const MillisecondClock previous = g_clock;
    g_clock = clock ? clock : SteadyMilliseconds;
    return previous;
}

uint32_t GetMilliseconds() { return g_clock(); }

uint32_t GetTicks() { return g_clock() / 17; }
