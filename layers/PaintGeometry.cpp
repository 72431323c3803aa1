// Grid, handles, arrow keys and marching dashes.
#include "layers/PaintGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace {

int SnapValue(int value, int spacing) {
    if (spacing <= 1)
        return value;
    const int below = value >= 0 ? value / spacing * spacing : -((-value + spacing - 1) / spacing * spacing);
    return value - below >= (spacing + 1) / 2 ? below + spacing : below;
}

bool Near(int a, int b) { return std::abs(a - b) <= kHandleSlop; }

}  // namespace

GridSettings& Grid() {
    static GridSettings grid;
    return grid;
}

void SnapPointToGrid(int* x, int* y) {
    const GridSettings& g = Grid();
    if (!g.snap)
        return;
    if (x)
        *x = SnapValue(*x, g.spacingX);
    if (y)
        *y = SnapValue(*y, g.spacingY);
}

void SnapHandleToGrid(int handle, PaintRect* rect) {
    if (!rect || !Grid().snap)
        return;
    const bool left = handle == 1 || handle == 7 || handle == 8;
    const bool right = handle == 3 || handle == 4 || handle == 5;
    const bool top = handle == 1 || handle == 2 || handle == 3;
    const bool bottom = handle == 5 || handle == 6 || handle == 7;
    if (handle == 9) {  // the whole rectangle moves with its top-left corner
        int x = rect->left, y = rect->top;
        SnapPointToGrid(&x, &y);
        *rect = {x, y, x + (rect->right - rect->left), y + (rect->bottom - rect->top)};
        return;
    }
    if (left)
        SnapPointToGrid(&rect->left, nullptr);
    if (right)
        SnapPointToGrid(&rect->right, nullptr);
    if (top)
        SnapPointToGrid(nullptr, &rect->top);
    if (bottom)
        SnapPointToGrid(nullptr, &rect->bottom);
}

int HitTestHandle(const PaintRect& r, int x, int y) {
    const bool withinX = x >= r.left - kHandleSlop && x <= r.right + kHandleSlop;
    const bool withinY = y >= r.top - kHandleSlop && y <= r.bottom + kHandleSlop;
    if (!withinX || !withinY)
        return 0;
    const bool atLeft = Near(x, r.left), atRight = Near(x, r.right);
    const bool atTop = Near(y, r.top), atBottom = Near(y, r.bottom);
    if (atTop)
        return atLeft ? 1 : atRight ? 3 : 2;
    if (atBottom)
        return atRight ? 5 : atLeft ? 7 : 6;
    if (atRight)
        return 4;
    if (atLeft)
        return 8;
    return x > r.left && x < r.right && y > r.top && y < r.bottom ? 9 : 0;
}

PaintRect ResizeRectByHandle(const PaintRect& rect, int handle, int dx, int dy) {
    PaintRect r = rect;
    switch (handle) {
    case 1: r.left += dx; r.top += dy; break;
    case 2: r.top += dy; break;
    case 3: r.right += dx; r.top += dy; break;
    case 4: r.right += dx; break;
    case 5: r.right += dx; r.bottom += dy; break;
    case 6: r.bottom += dy; break;
    case 7: r.left += dx; r.bottom += dy; break;
    case 8: r.left += dx; break;
    case 9: return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    default: return r;
    }
    // The moved side stops one pixel short of the other.
    if (r.right - r.left < 1) {
        if (handle == 1 || handle == 7 || handle == 8)
            r.left = r.right - 1;
        else
            r.right = r.left + 1;
    }
    if (r.bottom - r.top < 1) {
        if (handle == 1 || handle == 2 || handle == 3)
            r.top = r.bottom - 1;
        else
            r.bottom = r.top + 1;
    }
    return r;
}

int ArrowKeyDelta(unsigned key, bool bigStep, int* dx, int* dy) {
    if (key < 37 || key > 40)
        return 0;
    const GridSettings& g = Grid();
    const int stepX = (g.snap && g.spacingX > 1 ? g.spacingX : 1) * (bigStep ? 10 : 1);
    const int stepY = (g.snap && g.spacingY > 1 ? g.spacingY : 1) * (bigStep ? 10 : 1);
    int x = 0, y = 0;
    switch (key) {
    case 37: x = -stepX; break;  // left
    case 38: y = -stepY; break;  // up
    case 39: x = stepX; break;   // right
    case 40: y = stepY; break;   // down
    }
    if (dx)
        *dx = x;
    if (dy)
        *dy = y;
    return 1;
}

bool MarchingDashAt(int n, int phase) { return ((((n - phase) % 8) + 8) % 8) < 4; }
