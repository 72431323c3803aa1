// The floating palettes' title bar.
#include "core/ui/PaletteCaption.h"

#include "core/ui/GdiGuards.h"
#include "core/ui/PaletteCaptionLayout.h"

namespace {

RECT ToRect(const Rect32& r) { return {r.left, r.top, r.right, r.bottom}; }

HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }

}  // namespace

int PaletteCaptionHeight() { return PaletteCaptionHeightFor(GetSystemMetrics(SM_CYCAPTION)); }

void DrawPaletteCaptionOn(HDC dc, int clientWidth, bool active) {
    const PaletteCaptionLayout l = LayoutPaletteCaption(GetSystemMetrics(SM_CYCAPTION), clientWidth);
    RECT strip = ToRect(l.strip);
    FillRect(dc, &strip, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));

    {
        SelectedObject pen(dc, GetStockObject(BLACK_PEN));
        MoveToEx(dc, l.strip.left, l.lineY, nullptr);
        LineTo(dc, l.strip.right, l.lineY);
        MoveToEx(dc, l.dividerX, l.strip.top, nullptr);
        LineTo(dc, l.dividerX, l.strip.bottom);
    }

    RECT box = ToRect(l.box);
    FillRect(dc, &box, Stock(LTGRAY_BRUSH));
    // The close bar: its shadow, then its face one pixel up and left.
    RECT bar = ToRect(l.bar);
    FillRect(dc, &bar, Stock(DKGRAY_BRUSH));
    OffsetRect(&bar, -1, -1);
    FillRect(dc, &bar, Stock(WHITE_BRUSH));
    FrameRect(dc, &bar, Stock(BLACK_BRUSH));
}

void DrawPaletteCaption(HWND window) {
    RECT client;
    if (!window || !GetClientRect(window, &client))
        return;
    HWND focus = GetFocus();
    const bool active = focus && (focus == window || IsChild(window, focus));
    WindowDC dc(window);
    if (dc)
        DrawPaletteCaptionOn(dc.get(), client.right - client.left, active);
}

bool PtInPaletteCaption(HWND window, DWORD screenPoint, BOOL inBox) {
    RECT client;
    if (!window || !GetClientRect(window, &client))
        return false;
    POINT p = {static_cast<int16_t>(LOWORD(screenPoint)), static_cast<int16_t>(HIWORD(screenPoint))};
    ScreenToClient(window, &p);
    const PaletteCaptionLayout l = LayoutPaletteCaption(GetSystemMetrics(SM_CYCAPTION), client.right - client.left);
    return PointInPaletteCaption(l, p.x, p.y, inBox != FALSE);
}
