// The fades (5 to black, 6 to white, 27 to the transition colour). On 8-bit displays the
// palette steps to the fade colour and back around the new card; the steps go to the
// palette-animation hook, which shows nothing, so on screen a fade is a pause, the new card, a
// pause and the final copy. On deeper displays a fade is "Fastest" at speed 8.
#include <windows.h>

#include "core/memory/Handles.h"
#include "core/system/Ticks.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/PaletteBlend.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/PixelDepth.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionFade.h"
#include "cardview/transitions/TransitionTable.h"
#include "cardview/transitions/TransitionTiming.h"

namespace {

COLORREF FadeColor(const TransitionContext& c, int transition) {
    switch (transition) {
    case kTransFadeToWhite: return RGB(255, 255, 255);
    case kTransFadeToButtonColor: return c.move.color;
    default: return RGB(0, 0, 0);
    }
}

void CopyRect(HDC dc, const RECT& r, HDC sourceDC) {
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, sourceDC, r.left, r.top, SRCCOPY);
}

}  // namespace

bool FadeThroughColor(const TransitionContext& c, COLORREF color) {
    const PaletteRgb k = PaletteRgbFromColorRef(color);
    uint32_t start = GetTicks();
    for (int j = 1; j <= kFadeOutSteps; ++j) {
        AnimatePaletteEntries(FadeTowardColor(PaletteBlendStartTable(), k, j));
        TransitionMediaIdle();
        WaitQuarterTicksSince(start, FadeStepQuarterTicks(c.speed, j));
    }
    CopyRect(c.dc, c.rect, c.sourceDC);
    start = GetTicks();
    for (int j = 1; j <= kFadeInSteps; ++j) {
        AnimatePaletteEntries(FadeFromColor(PaletteBlendTargetTable(), k, j));
        TransitionMediaIdle();
        WaitQuarterTicksSince(start, FadeStepQuarterTicks(c.speed, j));
    }
    CopyRect(c.dc, c.rect, c.sourceDC);
    AnimatePaletteEntries(PaletteBlendTargetTable());
    return true;
}

void RunFadeTransition(const TransitionContext& c, int transition) {
    if (GetDisplayBitsPerPixel() != 8) {
        TransitionContext plain = c;
        plain.speed = 8;
        RunFastest(plain);
        return;
    }
    if (!FadeThroughColor(c, FadeColor(c, transition)))
        RunFastest(c);
}

bool RemapBitmapTopColors(HDC dc, HBITMAP bitmap) {
    ScopedHandle dib(GetBitmapDibBits(dc, bitmap, 8, GetAppPalette()));
    LockedDib locked(dib.get());
    if (!locked || !DibRemapTopColors(locked.bytes()))
        return false;
    // Through the application palette: with the default one a palette device would take the
    // nearest of its twenty static colours.
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    return SetDIBits(dc, bitmap, 0, locked.layout().height, locked.image().data(),
                     reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS) != 0;
}

void PrepareFadeTransition(HWND window, const CardMove& move) {
    const int transition = ChooseTransition(move.transition, move.effect);
    if (transition != kTransFadeToBlack && transition != kTransFadeToWhite && transition != kTransFadeToButtonColor)
        return;
    if (GetDisplayBitsPerPixel() != 8)
        return;
    RECT client = {};
    OwnedGdiObject<HBITMAP> bitmap(CopyWindowClient(window, &client));
    WindowDC dc(window);
    if (!bitmap || !dc || !RemapBitmapTopColors(dc.get(), bitmap.get()))
        return;
    SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    MemoryDC memory(dc.get());
    SelectedObject selected(memory.get(), bitmap.get());
    BitBlt(dc.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}
