// Which record holds a card's picture, and the colour table stored with it.
#include "graphics/pixels/CardPicture.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

// Until the wiring sets the stack's resolver, only a kind-1 record holds a picture.
Handle OwnPictureOnly(Handle card) {
    HandleLock lock(card);
    if (!lock)
        return 0;
    const std::span<const uint8_t> record = lock.bytes();
    return GetU16(record, kCardKind) == kCardKindPicture ? card : 0;
}

PictureRecordResolver g_resolver = nullptr;

}  // namespace

void SetPictureRecordResolver(PictureRecordResolver resolver) { g_resolver = resolver; }

Handle ResolvePictureRecord(Handle card) {
    if (!IsValidHandle(card))
        return 0;
    return g_resolver ? g_resolver(card) : OwnPictureOnly(card);
}

std::span<const uint8_t> PictureRecordColorTable(std::span<const uint8_t> record) {
    // A record no longer than its header and trailer holds no picture block.
    if (record.size() <= std::max<size_t>(kMinCardRecordBytes, kPictureTableOffset) ||
        GetU16(record, kCardKind) != kCardKindPicture)
        return {};
    const uint32_t length = GetU32(record, kPictureTableLength);
    const size_t available = record.size() - kPictureTableOffset;
    return record.subspan(kPictureTableOffset, std::min<size_t>(length, available));
}
