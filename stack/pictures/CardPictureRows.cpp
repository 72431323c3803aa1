// Unpacking a card picture into stored rows: the packed range is the card's rows (the two
// offscreen rows below the card are never stored).
#include "stack/pictures/CardPictureRows.h"

#include "core/memory/ByteReader.h"
#include "graphics/dib/Dib.h"
#include "format/StackFile.h"
#include "stack/pictures/PackedPicture.h"

CardPictureResult DecodeCardPictureRows(std::span<const uint8_t> card, CardPictureRows& out,
                                        const char** reason) {
    out = {};
    const char* unused = nullptr;
    const char*& why = reason ? *reason : unused;
    why = "";
    if (card.size() < kCardHeaderBytes || GetU16(card, kCardKind) != kCardKindPicture)
        return CardPictureResult::None;
    out.depth = GetU16(card, kCardDepth);
    out.width = GetU16(card, kCardWidth);
    out.height = GetU16(card, kCardHeight);

    const std::span<const uint8_t> rest = card.subspan(kPictureBlockOffset);
    if (rest.size() < kPictureBlockHeaderBytes) {
        why = "picture block header cut short";
        return CardPictureResult::Failed;
    }
    const uint16_t format = GetU16(rest, kBlockFormat);
    const uint32_t length = GetU32(rest, kBlockLength);
    const uint32_t table = GetU32(rest, kBlockTableSize);
    const uint32_t pad = (GetU16(rest, kBlockFlags) & kPicturePadFlag) ? 1 : 0;
    if (length > rest.size() || length < kPictureBlockHeaderBytes ||
        table > length - kPictureBlockHeaderBytes || pad > length - kPictureBlockHeaderBytes - table) {
        why = "picture block lengths do not fit the card";
        return CardPictureResult::Failed;
    }
    const std::span<const uint8_t> colors = rest.subspan(kPictureBlockHeaderBytes, table);
    out.colorTable.assign(colors.begin(), colors.end());
    out.dataLength = length - kPictureBlockHeaderBytes - table - pad;
    const std::span<const uint8_t> data = rest.subspan(kPictureBlockHeaderBytes + table, out.dataLength);
    if (format == kPictureFormatJpeg)
        return CardPictureResult::Jpeg;
    if (format != kPictureFormatPacked) {
        why = "picture format is neither packed (2) nor JPEG (3)";
        return CardPictureResult::Failed;
    }
    if (!IsDibDepth(out.depth) || out.width == 0 || out.height == 0 ||
        out.width > kMaxCardExtent || out.height > kMaxCardExtent) {
        why = "card depth or size unfit for a picture";
        return CardPictureResult::Failed;
    }
    out.rows.assign(size_t(MacRowBytes(out.depth, out.width)) * size_t(out.height), 0);
    if (!UnpackPictureRows(data, out.rows)) {
        out.rows.clear();
        why = "packed picture does not unpack to the card's rows";
        return CardPictureResult::Failed;
    }
    return CardPictureResult::Decoded;
}
