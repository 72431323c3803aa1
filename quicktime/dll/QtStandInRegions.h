// The stand-in's regions: a handle holding the region's size and bounding box (as QuickDraw
// lays them: 16-bit size, then the box) followed by the region as rectangles that do not
// overlap, each a QtRect.
#pragma once

#include <vector>

#include "quicktime/QtTypes.h"

// The rectangles of a region; empty for an empty region or what is not one.
std::vector<QtRect> StandInRegionRects(QtRgnHandle region);
bool StandInPointInRegion(QtPoint point, QtRgnHandle region);
// Replaces the region by the set bits of a one-bit map (high bit leftmost; bounds give the
// map's size and place). False, the region left empty, for a map that cannot be read.
bool StandInRegionFromBits(QtRgnHandle region, const QtBitMap& bits);
