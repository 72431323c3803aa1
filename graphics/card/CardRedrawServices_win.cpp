// The stack's part in showing a card: its picture at the display's depth, the objects visible
// on it, its palette stored with the picture, graphic object pictures as bitmaps.
#include "graphics/card/CardRedrawServices.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/Ticks.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/OffscreenDib.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "stack/format/StackFile.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/pictures/PackedPicture.h"

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

Handle CardOnDisplay() { return GetCurrentCardRecord(); }
void RefreshCardOnDisplay(int redraw) { GetStackUpcalls().refreshCurrentCard(redraw); }
int ShowCardListAlert(uint32_t stringId) { return ShowCardAlert(stringId); }

void StoreRemappedPicture(Handle card, DibHandle dib) {
    ScopedHandle copy(NewHandleFromBytes(HandleToBytes(dib)));
    ScopedHandle packed(copy.get() ? PackPicture(copy.get(), false, nullptr) : 0);
    ScopedHandle table(MakeColorTableForDepth(GetCardWindow(), card, 8, 8));
    if (const Handle holder = ResolvePictureRecord(card); holder && packed.get() && table.get())
        ReplacePictureData(holder, packed.get(), table.get(), 8);
}

CardPictureOutcome CardPictureForDisplay(Handle card, int displayDepth, DibHandle* dib) {
    *dib = 0;
    if (GetCardKind(card) == kCardKindPlain)
        return CardPictureOutcome::None;
    const Handle holder = ResolvePictureResource(card);
    const std::vector<uint8_t> record = HandleToBytes(holder);
    if (record.size() < kCardHeaderBytes || GetU16(record, kCardKind) != kCardKindPicture)
        return CardPictureOutcome::None;
    if (ConvertPictureDepth(card, GetU16(record, kCardDepth), displayDepth, dib) == 0 && *dib)
        return CardPictureOutcome::Drawn;
    // Why not: no picture after all, or one that cannot be read (or converted).
    std::vector<uint8_t> rows;
    const PictureReadResult read = ReadPictureRecordRows(record, GetU16(record, kCardWidth),
                                                         GetU16(record, kCardHeight), GetU16(record, kCardDepth),
                                                         rows, nullptr, nullptr);
    return read == PictureReadResult::None ? CardPictureOutcome::None : CardPictureOutcome::Damaged;
}


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
