// Ticks on Windows follow GetTickCount, the count that message times and the timer code use.
#include "core/system/Ticks.h"

#include <windows.h>

namespace {

uint32_t SystemMilliseconds() { return GetTickCount(); }

// Installed while the module loads, before any code can ask for the time.
[[maybe_unused]] const bool g_installed = (SetMillisecondClock(SystemMilliseconds), true);

}  // namespace
