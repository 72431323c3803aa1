// The palette's colours written into the colour table of the card's picture record.
#include "stack/pictures/PicturePalette.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/Ticks.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

std::vector<PaletteColor> PaletteColors(HPALETTE palette) {
    PALETTEENTRY entries[256] = {};
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    std::vector<PaletteColor> colors(count);
    for (UINT i = 0; i < count; ++i)
        colors[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue, 0};
    return colors;
}

}  // namespace

void StorePaletteInPictureResource(Handle card, HPALETTE palette) {
    const Handle holder = ResolvePictureResource(card);
    std::vector<uint8_t> record = HandleToBytes(holder);
    if (record.size() <= kMinCardRecordBytes || record.size() < kPictureTableOffset ||
        GetU16(record, kCardKind) != kCardKindPicture)
        return;
    const uint32_t blockLength = GetU32(record, kPictureBlockOffset + kBlockLength);
    const uint32_t oldLength = GetU32(record, kPictureBlockOffset + kBlockTableSize);
    if (oldLength == 0 || blockLength > record.size() - kPictureBlockOffset ||
        uint64_t{kPictureBlockHeaderBytes} + oldLength > blockLength)
        return;
    const std::vector<PaletteColor> colors = PaletteColors(palette);
    if (colors.empty())
        return;
    const std::span<const uint8_t> old(record.data() + kPictureTableOffset, oldLength);
    ColorTableSource source;
    source.workingDepth = MacColorTableCount(old) == 16 ? 4 : 8;
    source.palette = colors;
    source.ticks = GetTicks();
    ScopedHandle made(PaletteToMacColorTable(source));
    const std::vector<uint8_t> table = HandleToBytes(made.get());
    if (table.empty())
        return;
    record.erase(record.begin() + kPictureTableOffset, record.begin() + kPictureTableOffset + oldLength);
    record.insert(record.begin() + kPictureTableOffset, table.begin(), table.end());
    const uint32_t grown = static_cast<uint32_t>(table.size()) - oldLength;  // modulo 2^32 when smaller
    SetU32(record, kPictureBlockOffset + kBlockLength, blockLength + grown);
    SetU32(record, kPictureBlockOffset + kBlockTableSize, static_cast<uint32_t>(table.size()));
    SetU32(record, kCardLength, static_cast<uint32_t>(record.size()));
    SetHandleBytes(holder, record);  // a record that cannot grow stays as it was
}
