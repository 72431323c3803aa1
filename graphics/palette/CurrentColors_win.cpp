// Palette indexes to drawable colours and back.
#include "core/ui/DisplayUtils.h"
#include "graphics/palette/AppPalette.h"

namespace {

bool EntryOf(HPALETTE palette, int index, PALETTEENTRY& entry) {
    return palette && index >= 0 && index < 256 && GetPaletteEntries(palette, static_cast<UINT>(index), 1, &entry) == 1;
}

}  // namespace

COLORREF PaletteIndexToColorPlain(int index) {
    PALETTEENTRY entry{};
    // A picture palette shorter than the index leaves it to the application palette.
    if (!EntryOf(GetPicturePalette(), index, entry) && !EntryOf(GetAppPalette(), index, entry))
        entry = {};
    return PALETTERGB(entry.peRed, entry.peGreen, entry.peBlue);
}

COLORREF PaletteIndexToColor(int index) {
    if (index == kCustomColorIndex && GetDisplayBitsPerPixel() > 8)
        return GetCustomColor();
    return PaletteIndexToColorPlain(index);
}

uint16_t FindPaletteIndexOfColor(HPALETTE palette, COLORREF rgb) {
    if (!palette)
        return 0;
    rgb &= 0x00FFFFFF;
    PALETTEENTRY entries[256] = {};
    const UINT count = GetPaletteEntries(palette, 0, 256, entries);
    for (uint16_t index : GridOrderTable())
        if (index < count && RGB(entries[index].peRed, entries[index].peGreen, entries[index].peBlue) == rgb)
            return index;
    const UINT nearest = GetNearestPaletteIndex(palette, rgb);
    return nearest == CLR_INVALID ? 0 : static_cast<uint16_t>(nearest);
}

void CacheBlackWhiteIndices() {
    HPALETTE palette = GetAppPalette();
    if (BlackWhiteIndicesCached() || !palette)
        return;
    const UINT black = GetNearestPaletteIndex(palette, RGB(0, 0, 0));
    const UINT white = GetNearestPaletteIndex(palette, RGB(255, 255, 255));
    if (black == CLR_INVALID || white == CLR_INVALID)
        return;
    SetBlackWhiteIndices(static_cast<uint16_t>(black), static_cast<uint16_t>(white));
}
