// Mac colour tables into the colour tables of DibHandles.
#include "graphics/pixels/DibPalette.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardPicture.h"

std::vector<DibColor> ReadMacColorTable(std::span<const uint8_t> table) {
    std::vector<DibColor> colors;
    for (const PaletteColor& c : MacColorTableColors(table))
        colors.push_back({c.blue, c.green, c.red, 0});
    return colors;
}

int DibSetColorsFromMacTable(DibHandle dib, std::span<const uint8_t> table) {
    const std::vector<DibColor> colors = ReadMacColorTable(table);
    LockedDib locked(dib);
    if (!locked)
        return -1;
    const size_t count = std::min<size_t>(colors.size(), locked.layout().tableEntries);
    uint8_t* e = locked.table().data();
    for (size_t i = 0; i < count; ++i, e += 4) {
        e[0] = colors[i].blue;
        e[1] = colors[i].green;
        e[2] = colors[i].red;
        e[3] = 0;
    }
    return static_cast<int>(count);
}

bool DibTableFromPictureRecord(Handle pictureRecord, DibHandle dib) {
    {
        HandleLock lock(pictureRecord);
        if (!lock)
            return false;
        const std::span<const uint8_t> record = lock.bytes();
        if (!FieldFits(record, kCardBackgroundId, 2) ||
            GetU16(record, kCardBackgroundId) == kNoPictureCard)
            return false;
    }
    const Handle holder = ResolvePictureRecord(pictureRecord);
    HandleLock lock(holder);
    if (!lock)
        return false;
    // A picture deeper than 8 bits names none of its table's entries: the card's palette
    // (PaletteFromPictureResource, through DibCopyPaletteEntries) decides.
    if (FieldFits(lock.bytes(), kCardDepth, 2) && GetU16(lock.bytes(), kCardKind) == kCardKindPicture &&
        GetU16(lock.bytes(), kCardDepth) > 8)
        return false;
    const std::span<const uint8_t> table =
        PictureRecordColorTable(lock.bytes());
    return DibSetColorsFromMacTable(dib, table) > 0;
}
