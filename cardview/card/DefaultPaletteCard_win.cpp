// The card on display back to the default palette.
#include <vector>

#include "core/system/ChangeFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "cardview/card/CardRedraw.h"
#include "cardview/card/CardRedrawServices.h"
#include "cardview/card/CardUpcalls.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/palette/DefaultPalette.h"
#include "graphics/palette/NearestColor.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/OffscreenDib.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

std::vector<DibColor> PaletteColors(HPALETTE palette) {
    PALETTEENTRY entries[kAppPaletteEntries] = {};
    const UINT count = palette ? GetPaletteEntries(palette, 0, kAppPaletteEntries, entries) : 0;
    std::vector<DibColor> colors(count);
    for (UINT i = 0; i < count; ++i)
        colors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return colors;
}

// The offscreen's DIB (Windows layout, as read from the display) as a new 24-bit DIB; 0 for a
// depth it does not come in. A 16-bit DIB has its bytes swapped on the way.
DibHandle DisplayDibTo24(DibHandle dib) {
    int depth = 0;
    {
        LockedDib locked(dib);
        if (!locked)
            return 0;
        depth = locked.layout().depth;
    }
    switch (depth) {
    case 16: return DibSwapPixelBytes(dib) ? DibConvert16To24(dib) : 0;
    case 24: return NewHandleFromBytes(HandleToBytes(dib));
    case 32: return Dib32To24(dib);
    default: return 0;
    }
}

// SetDIBits of the whole DIB into the offscreen on the window's DC, with the palette (when
// given) selected in the background for the while.
void SetDibIntoOffscreen(HWND window, DibHandle dib, HPALETTE palette) {
    HBITMAP offscreen = GetOffscreenBitmap();
    LockedDib locked(dib);
    WindowDC dc(window);
    if (!offscreen || !locked || !dc)
        return;
    HPALETTE previous = palette ? SelectPaletteIfIndexed(dc.get(), palette, TRUE) : nullptr;
    SetDIBits(dc.get(), offscreen, 0, static_cast<UINT>(locked.layout().height), locked.image().data(),
              reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS);
    NoteCardPicturePainted();
    if (previous && previous != palette)
        SelectPaletteIfIndexed(dc.get(), previous, TRUE);
}

// The offscreen's colours matched to the palette: the 8-bit stack's picture as it will be
// stored, on a display deeper than the stack.
void MatchOffscreenToPalette(HWND window, DibHandle dib, HPALETTE palette) {
    ScopedHandle deep(DisplayDibTo24(dib));
    if (!deep.get())
        return;
    const std::vector<DibColor> colors = PaletteColors(palette);
    ScopedHandle matched(MatchDib24ToPalette(deep.get(), colors));
    if (matched.get())
        SetDibIntoOffscreen(window, matched.get(), nullptr);
}

}  // namespace

void ConvertCardToDefaultPalette(HWND window, BOOL convertPixels) {
    HGLOBAL block = LoadDefaultLogPalette();
    auto* logical = block ? static_cast<LOGPALETTE*>(GlobalLock(block)) : nullptr;
    if (!logical) {
        if (block)
            GlobalFree(block);
        return;
    }
    const Handle card = GetCurrentCardRecord();
    HPALETTE app = GetAppPalette();
    const int displayBits = GetDisplayBitsPerPixel();
    {
        WaitCursor wait;
        PALETTEENTRY* entries = logical->palPalEntry;
        CopySystemColorsToPalette(entries);
        // Snapped again, or a 16-bit display would get system colours it cannot show.
        SnapColorsToDisplay(kAppPaletteEntries - kDefaultPaletteEntries, entries + kDefaultPaletteEntries);
        ScopedHandle dib(OffscreenToDib());
        for (int i = 0; i < kAppPaletteEntries; ++i)
            entries[i].peFlags = PC_RESERVED;
        // An 8-bit display keeps the palette it has realized.
        if (app && displayBits != 8)
            SetPaletteEntries(app, 0, kAppPaletteEntries, entries);
        StorePaletteInPictureResource(card, app);
        if (dib.get()) {
            if (convertPixels && GetScreenDepth() == 8 && displayBits > 8)
                MatchOffscreenToPalette(window, dib.get(), app);
            else
                SetDibIntoOffscreen(window, dib.get(), app);
        }
        if (window)
            InvalidateRect(window, nullptr, TRUE);
        if (HWND colors = GetFcolorsWindow())
            InvalidateRect(colors, nullptr, TRUE);
        MarkStackChanged();
        if (convertPixels)
            GetCardPictureUpcalls().mapBitmapToPalette(card, app);
        ReloadFillPatterns();
    }
    GlobalUnlock(block);
    GlobalFree(block);
    if (convertPixels)
        GetCardRedrawUpcalls().refreshCard(0);
}
