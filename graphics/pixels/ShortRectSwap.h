// A ShortRect between stack-file byte order and memory order.
#pragma once

#include "core/memory/ShortRect.h"

// Swaps the two bytes of each of the four fields in place; the same call converts either way.
void SwapShortRect(ShortRect* rect);
