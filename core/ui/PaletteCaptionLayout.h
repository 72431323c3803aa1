// Geometry of the small title bar drawn at the top of the floating palette windows (tools,
// colours, patterns): a strip across the client area with a close box at its left.
#pragma once

#include <cstdint>

#include "core/memory/ShortRect.h"

struct PaletteCaptionLayout {
    Rect32 strip;      // the whole title bar, at the top of the client area
    int32_t lineY;     // the line along the strip's bottom edge
    int32_t dividerX;  // the vertical line that closes the box
    Rect32 box;        // the light grey square left of the divider
    Rect32 bar;        // the close bar inside the box (its shadow; the face is one pixel up-left)
};

// The title bar's height for the system's caption height: caption / 3 + 4, truncating.
int32_t PaletteCaptionHeightFor(int32_t systemCaptionHeight);

// The layout for a client area clientWidth wide, under a system caption of that height.
PaletteCaptionLayout LayoutPaletteCaption(int32_t systemCaptionHeight, int32_t clientWidth);

// Whether client point (x, y) lies in the strip; with inBox, only left of the divider.
bool PointInPaletteCaption(const PaletteCaptionLayout& layout, int32_t x, int32_t y, bool inBox);
