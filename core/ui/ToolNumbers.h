// The current tool: what a click on the card does. 18 is browse; 1 to 17 the paint tools, the
// magnifier, eyedropper and selections; 19 to 23 the object tools. Every layer may ask for it or
// change it; the tool palette (host/window/CurrentTool.h) adds its cells and installs the rules
// that run on a change.
#pragma once

#include <cstdint>

inline constexpr int kBrowseTool = 18;

uint32_t GetCurrentTool();
// Stores the tool and runs the change rules (old, new) installed by the palette.
void SelectToolNumber(uint32_t tool);
inline bool IsBrowseMode() { return GetCurrentTool() == static_cast<uint32_t>(kBrowseTool); }

using ToolChangeHook = void (*)(uint32_t oldTool, uint32_t newTool);
// Gives the hook it replaces.
ToolChangeHook SetToolChangeHook(ToolChangeHook hook);
