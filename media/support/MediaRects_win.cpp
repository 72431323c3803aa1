#include "media/support/MediaRects.h"

#include <windows.h>

#include "layers/PaintGeometry_win.h"
#include "media/support/MediaWindows.h"

namespace {

Rect32 ToRect32(const RECT& r) { return Rect32{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const Rect32& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The card of the card window (the page around it may be larger), else the whole client area.
RECT ClientOf(HWND window) { return window ? CardAreaInWindow(window) : RECT{}; }

}  // namespace

void CentreRectInWindow(RECT* rect, HWND window) { *rect = ToRECT(CentreRectIn(ToRect32(*rect), ToRect32(ClientOf(window)))); }

void FitRectInWindow(RECT* rect, HWND window, bool margins) {
    *rect = ToRECT(FitRectIn(ToRect32(*rect), ToRect32(ClientOf(window)), margins));
}

void BottomAlignRectInWindow(RECT* rect, HWND window) {
    *rect = ToRECT(BottomAlignRectIn(ToRect32(*rect), ToRect32(ClientOf(window))));
}
