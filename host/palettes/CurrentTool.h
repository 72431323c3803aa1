// The tool palette's view of the current tool (the number itself: core/ui/ToolNumbers.h). The
// palette's cells and the rules that need no window are here (CurrentTool.cpp); the palette
// window, the bitmaps, cursors and the change rules that reach other subsystems in
// ToolPalette_win.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "core/ui/ToolNumbers.h"

inline constexpr int kToolCellCount = 20;

// Palette position -> tool.
inline constexpr std::array<uint32_t, kToolCellCount> kToolCells{
    kBrowseTool, kArrowTool, kButtonTool, kGraphicTool, kTextFieldTool, kRectSelectTool, kOvalSelectTool,
    kLassoTool, kBrushTool, kSprayTool, kPaintBucketTool, kEraserTool, kLineTool, kPenTool, kRectangleTool,
    kOvalTool, kRoundRectTool, kPaintTextTool, kMagnifierTool, kEyedropperTool,
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
