// The floating colours palette's geometry.
#include "cardview/colors/FcolorsLayout.h"

#include "graphics/palette/ColorGrid.h"

FcolorsLayout MakeFcolorsLayout(bool advanced, int tool) {
    // The small layout is the large one 50 pixels narrower and 50 shorter above the panels.
    const int shrink = advanced ? 0 : 50;
    FcolorsLayout layout;
    layout.width = 150 - shrink;
    layout.gridSide = advanced ? 16 : 8;
    layout.gridBottom = 150 - shrink;
    layout.gridLine = layout.gridBottom + 1;
    layout.patterns = tool != kPaintTextTool;
    layout.patternTop = 155 - shrink;
    layout.patternBottom = 255 - shrink;
    layout.panelTop = layout.patterns ? 260 - shrink : 155 - shrink;
    layout.swatchLeft = 86 - shrink;
    layout.swatchRight = 136 - shrink;
    layout.height = layout.width + (layout.patterns ? 212 : 107);
    return layout;
}

char ToolColorLetter(int tool) {
    if (tool == kPaintTextTool)
        return 't';
    return tool == kEraserTool ? 'e' : 'f';
}

int PanelOfLetter(char letter) {
    if (letter == 'e')
        return 1;
    return letter == 't' ? 2 : 0;
}

CellBox PatternCellBox(const FcolorsLayout& layout, int pattern) {
    if (pattern < 1 || pattern > 16)
        return {};
    const double cellWidth = layout.width / 4.0;
    const double cellHeight = (layout.patternBottom - layout.patternTop) / 4.0;
    const int column = (pattern - 1) % 4;
    const int row = (pattern - 1) / 4;
    const int left = static_cast<int>(column * cellWidth);
    const int top = static_cast<int>(layout.patternTop + row * cellHeight);
    return {left, top, left + static_cast<int>(cellWidth), top + static_cast<int>(cellHeight)};
}

int PatternAtPoint(const FcolorsLayout& layout, int x, int y) {
    if (!layout.patterns || !(0 < x && x < layout.width && layout.patternTop < y && y < layout.patternBottom))
        return 0;
    for (int pattern = 1; pattern <= 16; ++pattern) {
        const CellBox c = PatternCellBox(layout, pattern);
        if (c.left <= x && x < c.right && c.top <= y && y < c.bottom)
            return pattern;
    }
    return 0;
}

std::optional<int16_t> ColorMenuNumberToValue(int number) {
    if (number >= 1 && number <= kGridOrderEntries)
        return static_cast<int16_t>(GridOrderTable()[static_cast<size_t>(number - 1)]);
    // 64 - number, so 65 is pattern 1 and 80 pattern 16; nothing lies beyond the 16 patterns.
    if (number > kGridOrderEntries && number <= kGridOrderEntries + 16)
        return static_cast<int16_t>(kGridOrderEntries - number);
    return std::nullopt;
}

TileOrigin PatternTileOrigin(int left, int top, int patternWidth, int patternHeight) {
    if (patternWidth <= 0 || patternHeight <= 0)
        return {};
    return {((left - 1) / patternWidth) * patternWidth - left, ((top - 1) / patternHeight) * patternHeight - top};
}
