// The floating colours palette's geometry, the colour-menu numbering and the tiling of fill
// patterns: platform-neutral arithmetic for the palette window (host/palettes/FcolorsWindow.h)
// and the bitmaps filled with a colour or pattern (Fcolors.h).
#pragma once

#include <cstdint>
#include <optional>

#include "core/ui/ToolNumbers.h"
#include "graphics/palette/ColorGrid.h"

inline constexpr int kPanelHeight = 34;

struct FcolorsLayout {
    int width = 0;
    int gridSide = 0;          // 16 or 8 cells a side
    int gridBottom = 0;        // cells lie between the caption and this edge
    int gridLine = 0;          // the line under the grid
    bool patterns = false;     // not for the text tool
    int patternTop = 0;        // the pattern area, y patternTop..patternBottom
    int patternBottom = 0;
    int panelTop = 0;          // fill, eraser and text panels follow, 34 high each
    int swatchLeft = 0;
    int swatchRight = 0;
    int height = 0;            // of the client area
};
FcolorsLayout MakeFcolorsLayout(bool advanced, int tool);

// The colour letter of a tool: 't' for the text tool, 'e' for the eraser, 'f' otherwise.
char ToolColorLetter(int tool);
// The panel index of a letter: 0 fill, 1 eraser, 2 text.
int PanelOfLetter(char letter);

// The pixels a cell holds, as a colour grid's cell.
using CellBox = ColorGridCell;
// Pattern k (1..16) of the 4 x 4 area: cells laid row by row, each the truncated quarter of the
// area's width and height.
CellBox PatternCellBox(const FcolorsLayout& layout, int pattern);
// The pattern (1..16) whose cell holds the point, strictly inside the area; 0 for none.
int PatternAtPoint(const FcolorsLayout& layout, int x, int y);

// A colour-menu number as a colour value: 1..64 the order table's entries 0..63, 65..80 the
// patterns 1..16 (as -1..-16); nothing for other numbers.
std::optional<int16_t> ColorMenuNumberToValue(int number);

// Where the first whole tile of a pattern of that size goes in a bitmap whose top left sits at
// (left, top) of the card, so that tiles lie on the card's grid of pattern-sized cells.
struct TileOrigin {
    int x = 0;
    int y = 0;
};
TileOrigin PatternTileOrigin(int left, int top, int patternWidth, int patternHeight);
