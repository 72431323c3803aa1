// The card list's view of the offscreen and the application palette in the Windows build: the
// offscreen picture that NewCard stores, in the stack's pixel layout, and the palette colours
// of deep pictures' colour tables.
#include <windows.h>

#include <vector>

#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/OffscreenDib.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"

std::span<const PaletteColor> AppPaletteColors() {
    // Kept for the span handed out.
    static std::vector<PaletteColor> colors;
    PALETTEENTRY entries[256] = {};
    const HPALETTE palette = GetAppPalette();
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    colors.assign(count, PaletteColor{});
    for (UINT i = 0; i < count; ++i)
        colors[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue, 0};
    return colors;
}

DibHandle OffscreenPictureForStack() {
    DibHandle dib = OffscreenToDib();
    int depth = 0;
    {
        LockedDib locked(dib);
        depth = locked ? locked.layout().depth : 0;
    }
    bool ok = dib != 0;
    if (depth == 16)
        ok = DibSwapPixelBytes(dib);
    else if (depth == 24)
        ok = TakeConvertedDib(dib, Dib24ToMac32(dib));
    else if (depth == 32)
        ok = TakeConvertedDib(dib, Dib32WindowsToMacOrder(dib));
    if (!ok)
        DisposeHandleAndClear(&dib);
    return dib;
}
