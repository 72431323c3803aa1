// Colour tables of DibHandles from the card picture's palette and the current palettes.
#include "graphics/pixels/DibPalette.h"

#include <algorithm>

#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/DibGdi.h"

bool DibSetPaletteFromPicture(Handle card, DibHandle dib) {
    OwnedGdiObject<HPALETTE> palette(PaletteFromPictureResource(card));
    return palette && DibSetPaletteFrom(dib, palette.get());
}

bool DibApplyPalette(Handle pictureRecord, DibHandle dib) {
    return DibTableFromPictureRecord(pictureRecord, dib) || DibCopyPaletteEntries(dib);
}

bool DibCopyPaletteEntries(DibHandle dib) {
    HPALETTE palette = GetPicturePalette();
    if (!palette)
        palette = GetAppPalette();
    LockedDib locked(dib);
    if (!palette || !locked)
        return false;
    const uint32_t colors = DibNumColors(locked.bytes());
    if (colors == 0 || colors > 256)
        return false;
    PALETTEENTRY entries[256] = {};
    const UINT wanted = std::min<uint32_t>(colors, locked.layout().tableEntries);
    const UINT got = GetPaletteEntries(palette, 0, wanted, entries);
    uint8_t* e = locked.table().data();
    for (UINT i = 0; i < got && i < wanted; ++i, e += 4) {
        e[0] = entries[i].peBlue;
        e[1] = entries[i].peGreen;
        e[2] = entries[i].peRed;
        e[3] = 0;
    }
    return got > 0;
}
