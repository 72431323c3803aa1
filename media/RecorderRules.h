// What the sound recorder works out by itself: the names it proposes for a new sound
// ("NewSnd00" onward) and the level its meter shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The name after the greatest of the names that begin "NewSnd" (compared by their next two
// characters), its last two digits counted up as a decimal pair that wraps from 99 to 00;
// "NewSnd01" when there is none, the count starting from "NewSnd00".
std::string NextNewSoundName(const std::vector<std::string>& names);
// The pair after "NN": units up, 9 to 0 carrying into the tens, which wrap from 9 to 0.
std::string IncrementNamePair(std::string_view name);

// The level (0 and up; 128 is full) of the samples before a recorded position in the buffer
// being filled: from position - 1 back over the unfilled bytes (255), not below 1, then the
// mean distance from silence (128) of at most 99 samples before that point, the count of
// samples that differ from silence starting at 1. The sum is 16-bit, as the meter keeps it.
int MeterLevel(std::span<const uint8_t> buffer, uint32_t position);
// The bar height of a meter of that client height: height * min(level, 128) / 128.
int MeterBarHeight(int level, int clientHeight);
