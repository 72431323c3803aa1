// Dashed frames round selections and the cursors of their handles.
#include "paint/Selections.h"

#include "core/ui/GdiGuards.h"
#include "layers/PaintGeometry_win.h"
#include "paint/PaintTools.h"

namespace {

// Walks the outline clockwise from the top-left corner, one call per pixel.
template <class F>
void WalkOutline(int left, int top, int right, int bottom, F&& each) {
    int n = 0;
    for (int x = left; x < right; ++x)
        each(x, top, n++);
    for (int y = top; y < bottom; ++y)
        each(right - 1, y, n++);
    for (int x = right - 1; x >= left; --x)
        each(x, bottom - 1, n++);
    for (int y = bottom - 1; y >= top; --y)
        each(left, y, n++);
}

void DrawFrame(HDC dc, int left, int top, int right, int bottom, int phase, COLORREF dark, COLORREF light) {
    if (right <= left || bottom <= top)
        return;
    WalkOutline(left, top, right, bottom,
                [&](int x, int y, int n) { SetPixelV(dc, x, y, MarchingDashAt(n, phase) ? dark : light); });
}

}  // namespace

void DrawMarchingRect(HDC dc, int mode, int left, int top, int right, int bottom, int phase) {
    if (!dc || right <= left || bottom <= top)
        return;
    if (mode == 'X') {
        // Inverted dashes: the same call again restores the screen.
        WalkOutline(left, top, right, bottom, [&](int x, int y, int n) {
            if (MarchingDashAt(n, phase))
                PatBlt(dc, x, y, 1, 1, DSTINVERT);
        });
        return;
    }
    DrawFrame(dc, left, top, right, bottom, phase, RGB(0, 0, 0), RGB(255, 255, 255));
}

void DrawSelectionFrame(HWND window, int left, int top, int right, int bottom, int flag) {
    WindowDC dc(window);
    ClipToCard(window, dc.get());
    if (dc)
        DrawFrame(dc.get(), left, top, right, bottom, flag & 7, RGB(255, 0, 0), RGB(255, 255, 255));
}

void DrawSelectionMarquee(HWND window, int left, int top, int right, int bottom, int flag) {
    WindowDC dc(window);
    ClipToCard(window, dc.get());
    if (dc)
        DrawMarchingRect(dc.get(), 0, left, top, right, bottom, flag & 7);
}

void DrawMarchingAnts(HWND window, HBITMAP outline, int x, int y, int) {
    BITMAP info = {};
    if (!outline || !GetObject(outline, sizeof info, &info))
        return;
    WindowDC dc(window);
    if (!dc)
        return;
    MemoryDC memory(dc.get());
    SelectedObject chosen(memory.get(), outline);
    // The outline is dark where the ants march: those pixels are inverted on the window.
    const COLORREF oldText = SetTextColor(dc.get(), RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc.get(), RGB(255, 255, 255));
    BitBlt(dc.get(), x, y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, 0x00990066);  // DSxn: invert where dark
    SetTextColor(dc.get(), oldText);
    SetBkColor(dc.get(), oldBack);
}

int SetHandleCursor(const RECT& rect, int x, int y) {
    const int handle = HitTestHandle(PaintRectOf(rect), x, y);
    if (handle != 0)
        SetCursor(HandleCursor(handle));
    return handle;
}
