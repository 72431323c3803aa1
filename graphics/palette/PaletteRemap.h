// The colour remap table that card import fills: pairs of 16-bit colour indexes (old, new) in a
// movable block, with a signed pair count.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

// The table in force (the block stays the caller's; 0 for none).
void SetColorRemapTable(Handle pairs, int16_t count);
Handle GetColorRemapTable();
int16_t GetColorRemapCount();
// The new index of the first pair whose old index matches; 0 when none does, when the count is
// 0 or below or no table exists. Pairs past the block's end are not read.
uint16_t LookupRemappedColor(uint16_t oldIndex);
