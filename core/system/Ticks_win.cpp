// Ticks on Windows follow GetTickCount, the count that message times and the timer code use.
#include "core/system/Ticks.h"

#include <windows.h>

uint32_t SystemMilliseconds() { return GetTickCount(); }
