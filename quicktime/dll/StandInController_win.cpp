// The controller's bar, drawn with GDI: a raised grey strip, a play button (a triangle, or two
// bars while playing) and a sunken slider with a thumb at the movie's time.
#include <windows.h>

#include "quicktime/dll/QtStandInPorts.h"
#include "quicktime/dll/StandInController.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

RECT ToRect(const StandInBox& b) { return {b.left, b.top, b.right, b.bottom}; }

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void DrawBar(HDC dc, const StandInController& c, bool playing) {
    RECT bar = ToRect(StandInBarRect(c));
    Fill(dc, bar, RGB(212, 208, 200));
    DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
    RECT button = ToRect(StandInBarButton(c));
    DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
    HBRUSH ink = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, ink);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int x = button.left + 5, y = button.top + 4;
    if (playing) {
        Rectangle(dc, x, y, x + 3, y + 9);
        Rectangle(dc, x + 5, y, x + 8, y + 9);
    } else {
        const POINT triangle[] = {{x, y}, {x, y + 8}, {x + 6, y + 4}};
        Polygon(dc, triangle, 3);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(ink);
    RECT track{button.right + 2, bar.top + 6, bar.right - 2, bar.bottom - 6};
    if (track.right > track.left) {
        Fill(dc, track, RGB(255, 255, 255));
        DrawEdge(dc, &track, BDR_SUNKENOUTER, BF_RECT);
    }
    RECT thumb = ToRect(StandInBarThumb(c));
    if (thumb.right <= bar.right) {
        Fill(dc, thumb, RGB(212, 208, 200));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }
}

}  // namespace

void InstallStandInBarPainter() {
    SetStandInBarPainter([](const StandInController& c, bool playing) {
        HDC dc = StandInPortDC(reinterpret_cast<QtGrafPtr>(c.port));
        if (!dc)
            return;
        const int saved = SaveDC(dc);
        HRGN region = StandInClipTo(dc, c.clip);  // card objects over the bar stay whole
        DrawBar(dc, c, playing);
        RestoreDC(dc, saved);
        if (region)
            DeleteObject(region);
    });
}
