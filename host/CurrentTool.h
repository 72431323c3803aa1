// The current tool: what a click on the card does. 18 is browse; 1 to 17 the paint tools, the
// magnifier, eyedropper and selections; 19 to 23 the object tools.
//
// MINIMAL until the tool palette is built: the number is kept and nothing else happens on a
// change (no palette to repaint, no change rules).
#pragma once

#include <cstdint>

#include "graphics/ToolNumbers.h"

uint32_t GetCurrentTool();
void SelectToolNumber(uint32_t tool);
inline bool IsBrowseMode() { return GetCurrentTool() == static_cast<uint32_t>(kBrowseTool); }
