#include "host/palettes/CurrentTool.h"

#include <algorithm>

int ToolCellOf(uint32_t tool) {
    auto it = std::find(kToolCells.begin(), kToolCells.end(), tool);
    return it == kToolCells.end() ? -1 : static_cast<int>(it - kToolCells.begin());
}

EditTargets EditTargetsFor(uint32_t tool) {
    return {tool == kButtonTool || tool == kArrowTool || tool == kSoundButtonTool, tool == kArrowTool || tool == kGraphicTool,
            tool == kArrowTool || tool == kTextFieldTool};
}

bool IsObjectTool(uint32_t tool) { return tool == kButtonTool || tool == kArrowTool || tool == kSoundButtonTool; }

int ToolCellAt(int x, int y, int cellWidth, int cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0 || x < 0 || y < 0)
        return -1;
    const int band = cellHeight / 4;
    if (y >= 2 * cellHeight) {
        if (y < 2 * cellHeight + band)
            return -1;
        y -= band;
    }
    const int row = y / cellHeight;
    if (row > 6)
        return -1;
    if (row == 0)
        return x < (3 * cellWidth) / 2 ? 0 : 1;
    const int column = std::clamp(x / cellWidth, 0, 2);
    return column + 3 * row - 1;
}
