// The grid's lines over a rectangle of the card.
#include "layers/GridDraw.h"

#include "core/ui/GdiGuards.h"
#include "layers/ObjectLayer.h"
#include "layers/PaintGeometry.h"

namespace {

constexpr COLORREF kGridColor = RGB(128, 128, 128);

// The first multiple of step at or after from.
int FirstLine(int from, int step) {
    const int rest = from % step;
    return rest == 0 ? from : from + (rest > 0 ? step - rest : -rest);
}

}  // namespace

void DrawGrid(HDC dc, const RECT& rect, bool) {
    const GridSettings& grid = Grid();
    if (!dc || !grid.shown || IsRectEmpty(&rect))
        return;
    const int zoom = GetCardView().zoom > 1 ? GetCardView().zoom : 1;
    OwnedGdiObject<HPEN> pen(CreatePen(PS_DOT, 1, kGridColor));
    if (!pen)
        return;
    SelectedObject selected(dc, pen.get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (grid.spacingX > 1) {
        const int step = grid.spacingX * zoom;
        for (int x = FirstLine(rect.left, step); x < rect.right; x += step) {
            MoveToEx(dc, x, rect.top, nullptr);
            LineTo(dc, x, rect.bottom);
        }
    }
    if (grid.spacingY > 1) {
        const int step = grid.spacingY * zoom;
        for (int y = FirstLine(rect.top, step); y < rect.bottom; y += step) {
            MoveToEx(dc, rect.left, y, nullptr);
            LineTo(dc, rect.right, y);
        }
    }
    SetBkMode(dc, oldMode);
}
