// Storing the card picture into its record: the offscreen packed, with a Mac colour table of
// its palette, as the picture block of the card or of the card whose picture it shares.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/FrameWindow.h"
#include "core/system/Ticks.h"
#include "core/ui/UiOps.h"
#include "graphics/dib/Dib.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/PackedPicture.h"

namespace {

// A 24-byte block header, the table and the packed picture, padded to an even length.
std::vector<uint8_t> PictureBlock(std::span<const uint8_t> table, std::span<const uint8_t> packed) {
    const bool pad = (packed.size() & 1) != 0;
    std::vector<uint8_t> block(kPictureBlockHeaderBytes, 0);
    SetU16(block, kBlockWord0, kPictureBlockWord0Value);
    SetU16(block, kBlockFormat, kPictureFormatPacked);
    SetU16(block, kBlockFlags, pad ? kPicturePadFlag : 0);
    SetU32(block, kBlockLength,
           static_cast<uint32_t>(kPictureBlockHeaderBytes + table.size() + packed.size() + (pad ? 1 : 0)));
    SetU32(block, kBlockTableSize, static_cast<uint32_t>(table.size()));
    block.insert(block.end(), table.begin(), table.end());
    block.insert(block.end(), packed.begin(), packed.end());
    if (pad)
        block.push_back(0);
    return block;
}

// The colours of a DIB's colour table.
std::vector<PaletteColor> DibColors(std::span<const uint8_t> table) {
    std::vector<PaletteColor> colors;
    for (size_t at = 0; at + 4 <= table.size(); at += 4)
        colors.push_back({table[at + 2], table[at + 1], table[at], 0});
    return colors;
}

// The packed offscreen and the colour table of its palette; false when either cannot be made.
bool TakeOffscreenPicture(std::vector<uint8_t>& table, std::vector<uint8_t>& packed, uint16_t& depth) {
    UiWaitCursor wait;
    ScopedHandle dib(GetStackPlatformOps().offscreenPicture());
    std::vector<PaletteColor> colors;
    {
        LockedDib locked(dib.get());
        if (!locked)
            return false;
        colors = DibColors(locked.table());
        depth = static_cast<uint16_t>(locked.layout().depth);
    }
    ColorTableSource source;
    source.workingDepth = depth;
    source.palette = colors;
    source.appPalette = GetStackPlatformOps().appPaletteColors();
    source.systemPalette = source.appPalette;
    source.ticks = GetTicks();
    ScopedHandle macTable(PaletteToMacColorTable(source));
    ScopedHandle pixels(PackPicture(dib.get(), true, nullptr));
    if (!macTable.get() || !pixels.get())
        return false;
    table = HandleToBytes(macTable.get());
    packed = HandleToBytes(pixels.get());
    return !table.empty() && packed.size() >= kPackedPictureHeaderBytes;
}

}  // namespace

int StorePictureBlock(Handle card, std::span<const uint8_t> colorTable, std::span<const uint8_t> packed,
                      uint16_t depth) {
    if (!IsValidHandle(card))
        return -1;
    Handle target = card;
    if (GetCardKind(card) == kCardKindShared) {
        target = ResolvePictureResource(card);
        if (!target)
            return -1;
        if (GetCardKind(target) == kCardKindShared)
            return 0;
    }
    std::vector<uint8_t> record = HandleToBytes(target);
    if (record.size() < kMinCardRecordBytes)
        return -1;
    // The old block runs from 96 to the object list; a kind-0 record has none.
    uint32_t objects = GetU16(record, kCardKind) == kCardKindPicture ? CardObjectsOffsetIn(record) : kCardHeaderBytes;
    if (objects < kCardHeaderBytes || objects > record.size() - kCardTrailerBytes)
        return -1;
    const std::vector<uint8_t> block = PictureBlock(colorTable, packed);
    std::vector<uint8_t> rebuilt(record.begin(), record.begin() + kCardHeaderBytes);
    rebuilt.insert(rebuilt.end(), block.begin(), block.end());
    rebuilt.insert(rebuilt.end(), record.begin() + objects, record.end());
    SetU16(rebuilt, kCardKind, kCardKindPicture);
    SetU16(rebuilt, kCardBackgroundId, 0);
    SetU16(rebuilt, kCardDepth, depth);
    SetU32(rebuilt, kCardLength, static_cast<uint32_t>(rebuilt.size()));
    return SetHandleBytes(target, rebuilt);  // a failed resize leaves the block as it was
}

int SaveBackgroundPicture(Handle card) {
    std::vector<uint8_t> table, packed;
    uint16_t depth = 0;
    if (!IsValidHandle(card) || !TakeOffscreenPicture(table, packed, depth) ||
        StorePictureBlock(card, table, packed, depth) != 0) {
        ShowCardAlert(kAlertPictureNotStored);
        return -1;
    }
    HandleLock lock(card);
    if (lock) {
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardMenuBar, FrameHasMenuBar() ? 1 : 0);
        SetU16(record, kCardDepth, depth);
    }
    return 0;
}

void SaveCurrentBackground() {
    if (const Handle card = GetCurrentCardRecord())
        SaveBackgroundPicture(card);
}
