// The objects of a card moved to a new card size: scaled or centred.
#include <algorithm>
#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"

namespace {

// The chunks whose rectangles lie on the card.
constexpr uint16_t kChunkRectKinds[] = {kTagAnimation, kTagMovie, kTagVideodisc};

struct Move {
    int mode;
    int oldWidth, oldHeight, newWidth, newHeight;
};

// A memory-order rectangle (left, top, right, bottom) at offset.
void MoveRect(std::span<uint8_t> bytes, size_t offset, const Move& m) {
    if (offset + 8 > bytes.size())
        return;
    for (int i = 0; i < 4; ++i) {
        const size_t at = offset + size_t(i) * 2;
        const bool horizontal = i % 2 == 0;
        const auto v = GetI16(bytes, at);
        int16_t moved;
        if (m.mode == 1) {
            moved = horizontal ? ScaleCoordinate(v, m.oldWidth, m.newWidth) : ScaleCoordinate(v, m.oldHeight, m.newHeight);
        } else {
            const int shift = horizontal ? (m.newWidth - m.oldWidth) / 2 : (m.newHeight - m.oldHeight) / 2;
            moved = static_cast<int16_t>(std::clamp(int(v) + shift, -32768, 32767));
        }
        SetU16(bytes, at, static_cast<uint16_t>(moved));
    }
}

// The button's chunks with a rectangle at byte 4.
bool MoveButtonChunks(std::span<uint8_t> button, const Move& m) {
    bool hasMask = false;
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk)) {
        for (uint16_t kind : kChunkRectKinds)
            if (chunk.kind == kind)
                MoveRect(button.subspan(chunk.offset, chunk.length), kObjectRect, m);
        hasMask |= chunk.kind == kTagButtonMask;
    }
    return hasMask;
}

}  // namespace

int ResizeCardObjects(Handle card, int mode, int width, int height) {
    Move m{mode, 0, 0, width, height};
    std::vector<uint32_t> offsets;
    {
        HandleLock lock(card);
        if (!lock || GetHandleSize(card) < kMinCardRecordBytes)
            return 16;
        const std::span<const uint8_t> record = lock.bytes();
        m.oldWidth = GetU16(record, kCardWidth);
        m.oldHeight = GetU16(record, kCardHeight);
        CardObjectWalk walk(record);
        ObjectPlace place;
        while (walk.Next(place))
            offsets.push_back(place.offset);
    }
    // One object at a time from the end: resizing a picture may move the records behind it.
    for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) {
        const uint32_t offset = *it;
        uint16_t kind = 0;
        bool maskToMove = false;
        {
            HandleLock lock(card);
            if (!lock)
                return 16;
            const std::span<uint8_t> record = lock.bytes();
            if (offset + kObjectCommonBytes > record.size())
                continue;
            const uint32_t length = GetU32(record, offset + kObjectLength);
            if (length < kObjectCommonBytes || length > record.size() - offset)
                continue;
            const std::span<uint8_t> object = record.subspan(offset, length);
            kind = GetU16(object, kObjectKind);
            MoveRect(object, kObjectRect, m);
            if (kind == kObjectButton && object.size() >= kButtonHeaderBytes) {
                const bool hasMask = MoveButtonChunks(object, m);
                const uint16_t shape = GetU16(object, kButtonShape);
                maskToMove = hasMask && IsMaskedButtonShape(shape);
            }
        }
        if (kind == kObjectGraphic)
            ResizeGraphicPicture(card, offset, m.oldWidth, m.oldHeight, mode);
        else if (maskToMove)
            ResizeButtonMask(card, offset, m.oldWidth, m.oldHeight, mode);
    }
    return 0;
}
