// MINIMAL until the transitions are built: every transition is a plain copy of the rectangle.
#include "graphics/CardTransitions.h"

#include "core/GdiGuards.h"
#include "graphics/AppPalette.h"

void RunTransition(int /*transition*/, int /*effectId*/, int /*speed*/, HWND window, const RECT& rect,
                   HBITMAP bitmap, int /*blend*/) {
    WindowDC windowDC(window);
    MemoryDC source(windowDC.get());
    if (!windowDC || !source || !bitmap)
        return;
    SelectedPalette palette(windowDC.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject selected(source.get(), bitmap);
    BitBlt(windowDC.get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(),
           rect.left, rect.top, SRCCOPY);
}
