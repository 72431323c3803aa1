// The current tool: what a click on the card does. 18 is browse; 1 to 17 the paint tools, the
// magnifier, eyedropper and selections; 19 to 23 the object tools. The number, the palette's
// cells and the rules that need no window are here (CurrentTool.cpp); the palette window, the
// bitmaps, cursors and the change rules that reach other subsystems in ToolPalette_win.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/ToolNumbers.h"

inline constexpr int kToolCellCount = 20;

// Palette position -> tool.
inline constexpr std::array<uint32_t, kToolCellCount> kToolCells{
    18, 20, 19, 21, 23, 13, 16, 12, 8, 15, 10, 11, 6, 7, 1, 2, 4, 3, 14, 17,
};

// The cell of a tool, -1 when it has none (5, 9, 22).
int ToolCellOf(uint32_t tool);

// Which objects a tool edits, and whether it is an object tool (buttons).
struct EditTargets {
    bool buttons = false;
    bool graphics = false;
    bool texts = false;
    bool operator==(const EditTargets&) const = default;
};
EditTargets EditTargetsFor(uint32_t tool);
bool IsObjectTool(uint32_t tool);

// The palette cell under a client point, y measured below the caption; cellWidth and
// cellHeight are those of a tool bitmap. -1 on the grey band and outside the cells.
int ToolCellAt(int x, int y, int cellWidth, int cellHeight);

uint32_t GetCurrentTool();
// Stores the tool and runs the change rules (old, new) installed by the palette.
void SelectToolNumber(uint32_t tool);
inline bool IsBrowseMode() { return GetCurrentTool() == static_cast<uint32_t>(kBrowseTool); }

using ToolChangeHook = void (*)(uint32_t oldTool, uint32_t newTool);
// Gives the hook it replaces.
ToolChangeHook SetToolChangeHook(ToolChangeHook hook);
