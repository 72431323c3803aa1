// The card picture's palette, and the stack's procedures for the depth conversions (defaults
// that do nothing until the wiring fills them).
#include "graphics/pixels/CardPictureGdi.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/DisplayUtils.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibPalette.h"

namespace {

// The default palette as a card's palette is made: entries from 10 on not collapsed.
HPALETTE DefaultPicturePalette() {
    HGLOBAL block = LoadDefaultLogPalette();
    if (!block)
        return nullptr;
    HPALETTE palette = nullptr;
    if (auto* logical = static_cast<LOGPALETTE*>(GlobalLock(block))) {
        for (UINT i = 0; i < logical->palNumEntries; ++i)
            logical->palPalEntry[i].peFlags = i >= kFirstNoCollapseEntry ? PC_NOCOLLAPSE : 0;
        palette = CreatePalette(logical);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return palette;
}

DibHandle NoPicture(Handle, int, int, int, bool, bool) { return 0; }
Handle NothingPacked(DibHandle, bool) { return 0; }
Handle NoColorTable(HWND, Handle, int, int) { return 0; }
int NothingStored(Handle, Handle, Handle, int) { return -1; }
void NoRemap(Handle, HPALETTE) {}

CardPictureUpcalls& Installed() {
    static CardPictureUpcalls upcalls = DefaultCardPictureUpcalls();
    return upcalls;
}

}  // namespace

HPALETTE PaletteFromMacColorTable(std::span<const uint8_t> table) {
    const std::vector<DibColor> colors = ReadMacColorTable(table);
    if (colors.empty())
        return nullptr;
    std::vector<uint8_t> block(LogPaletteSize(static_cast<uint32_t>(colors.size())));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(colors.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        PALETTEENTRY& e = logical->palPalEntry[i];
        e.peRed = colors[i].red;
        e.peGreen = colors[i].green;
        e.peBlue = colors[i].blue;
        e.peFlags = i >= kFirstNoCollapseEntry ? PC_NOCOLLAPSE : 0;
    }
    return CreatePalette(logical);
}

HPALETTE PaletteFromPictureResource(Handle card) {
    const Handle holder = ResolvePictureRecord(card);
    HandleLock lock(holder);
    if (!lock)
        return nullptr;
    const std::span<const uint8_t> record = lock.bytes();
    // A picture deeper than 8 bits names none of its colour table's entries: a palette display
    // shows it, and brings it to 8 bits, in the default palette.
    if (GetDisplayBitsPerPixel() <= 8 && record.size() >= kCardHeaderBytes &&
        GetU16(record, kCardKind) == kCardKindPicture && GetU16(record, kCardDepth) > 8)
        return DefaultPicturePalette();
    return PaletteFromMacColorTable(PictureRecordColorTable(record));
}

CardPictureUpcalls DefaultCardPictureUpcalls() {
    return {NoPicture, NothingPacked, NoColorTable, NothingStored, NoRemap};
}

const CardPictureUpcalls& GetCardPictureUpcalls() { return Installed(); }

void SetCardPictureUpcalls(const CardPictureUpcalls& upcalls) { Installed() = upcalls; }
