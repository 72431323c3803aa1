// Object records inside card records: the checked walk, lookups by kind and id, and the
// insertions and removals that keep the record's length field true.
#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"

CardObjectWalk::CardObjectWalk(std::span<const uint8_t> card, uint32_t start) : card_(card) {
    limit_ = card.size() >= kMinCardRecordBytes ? static_cast<uint32_t>(card.size() - kCardTrailerBytes) : 0;
    const uint32_t first = limit_ ? CardObjectsOffsetIn(card) : 0;
    position_ = start ? start : first;
    if (position_ < kCardHeaderBytes || position_ > limit_) {
        position_ = limit_;
        done_ = true;
    }
}

bool CardObjectWalk::Next(ObjectPlace& place) {
    if (done_)
        return false;
    const uint32_t room = limit_ - position_;
    const uint16_t kind = room >= 2 ? GetU16(card_, position_ + kObjectKind) : 0;
    const uint32_t length = room >= kObjectCommonBytes ? GetU32(card_, position_ + kObjectLength) : 0;
    if (kind == 0 || length < kObjectCommonBytes || length > room) {
        done_ = true;
        return false;
    }
    place.offset = position_;
    place.length = length;
    place.kind = kind;
    place.id = GetU16(card_, position_ + kObjectId);
    place.flags = GetU16(card_, position_ + kObjectFlags);
    position_ += length;
    return true;
}

ButtonChunkWalk::ButtonChunkWalk(std::span<const uint8_t> button) : button_(button), position_(kButtonHeaderBytes) {
    const bool padded = button.size() >= kObjectCommonBytes && (GetU16(button, kObjectFlags) & kObjectPadded);
    limit_ = button.size() >= kButtonHeaderBytes ? static_cast<uint32_t>(button.size() - (padded ? 1 : 0)) : 0;
}

bool ButtonChunkWalk::Next(ObjectPlace& place) {
    if (position_ >= limit_ || limit_ - position_ < kChunkHeaderBytes)
        return false;
    const uint32_t length = GetU32(button_, position_ + kObjectLength);
    if (length < kChunkHeaderBytes || length > limit_ - position_) {
        limit_ = position_;
        return false;
    }
    place.offset = position_;
    place.length = length;
    place.kind = GetU16(button_, position_ + kObjectKind);
    place.id = GetU16(button_, position_ + kObjectId);
    place.flags = GetU16(button_, position_ + kObjectFlags);
    position_ += length;
    return true;
}

uint32_t CardObjectsEnd(Handle record) {
    HandleLock lock(record);
    if (!lock)
        return kCardHeaderBytes;
    CardObjectWalk walk(lock.bytes());
    ObjectPlace place;
    while (walk.Next(place)) {
    }
    return walk.Position();
}

bool NthCardObject(std::span<const uint8_t> card, size_t n, ObjectPlace* place) {
    CardObjectWalk walk(card);
    for (size_t i = 0; i <= n; ++i)
        if (!walk.Next(*place))
            return false;
    return true;
}

std::vector<ObjectPlace> CardObjectPlaces(Handle record) {
    std::vector<ObjectPlace> places;
    WalkCardObjects(record, [&](const ObjectPlace& place, std::span<const uint8_t>) {
        places.push_back(place);
        return true;
    });
    return places;
}

bool FindObjectInCard(uint16_t kind, uint16_t id, Handle record, uint32_t* offset) {
    ObjectPlace place;
    if (!FirstCardObject(record, [&](const ObjectPlace& p) { return p.kind == kind && (p.id == id || p.id == 0); },
                         &place))
        return false;
    if (offset)
        *offset = place.offset;
    return true;
}

bool FindObject(uint16_t kind, uint16_t id, Handle* record, uint32_t* offset) {
    const Handle current = GetCurrentCardRecord();
    if (current && FindObjectInCard(kind, id, current, offset)) {
        if (record)
            *record = current;
        return true;
    }
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle card = GetCardByIndex(i);
        if (card != current && FindObjectInCard(kind, id, card, offset)) {
            if (record)
                *record = card;
            return true;
        }
    }
    return false;
}

uint8_t* GetObjectPtr(uint16_t kind, uint16_t id) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &record, &offset))
        return nullptr;
    uint8_t* data = LockHandle(record);
    UnlockHandle(record);
    return data ? data + offset : nullptr;
}

int GetObjectIndex(Handle record, uint16_t kind, uint16_t id) {
    int index = 0;
    const bool found = FirstCardObject(record, [&](const ObjectPlace& place) {
        index += place.kind == kind;
        return place.kind == kind && place.id == id;
    }, nullptr);
    return found ? index : 0;
}

namespace {

// The object at offset, checked by a walk from that offset.
bool PlaceAt(Handle record, uint32_t offset, ObjectPlace& place) {
    HandleLock lock(record);
    if (!lock)
        return false;
    CardObjectWalk walk(lock.bytes(), offset);
    return walk.Next(place);
}

}  // namespace

Handle CopyObjectRecord(Handle record, uint32_t offset) {
    ObjectPlace place;
    if (!PlaceAt(record, offset, place))
        return 0;
    return CopyFromHandle(record, place.offset, place.length);
}

int InsertObjectBytes(Handle record, uint32_t offset, std::span<const uint8_t> object) {
    const uint32_t size = GetHandleSize(record);
    if (!IsValidHandle(record) || size < kMinCardRecordBytes || offset < kCardHeaderBytes ||
        offset > size - kCardTrailerBytes || object.size() < kObjectCommonBytes)
        return -1;
    if (InsertBytesInHandle(record, object.data(), offset, static_cast<uint32_t>(object.size())) != 0)
        return -1;
    SyncCardLength(record);
    return 0;
}

int RemoveObjectRecord(Handle record, uint32_t offset) {
    ObjectPlace place;
    if (!PlaceAt(record, offset, place) || DeleteFromHandle(record, place.offset, place.length) != 0)
        return -1;
    SyncCardLength(record);
    return 0;
}

void SetObjectFlags(Handle record, uint32_t offset, uint16_t set, uint16_t clear) {
    ObjectPlace place;
    if (!PlaceAt(record, offset, place))
        return;
    HandleLock lock(record);
    if (!lock)
        return;
    const std::span<uint8_t> card = lock.bytes();
    SetU16(card, offset + kObjectFlags, static_cast<uint16_t>((place.flags & ~clear) | set));
}

bool SetObjectRect(uint16_t kind, uint16_t id, int left, int top, int right, int bottom) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return false;
    HandleLock lock(card);
    if (!lock)
        return false;
    const std::span<uint8_t> bytes = lock.bytes();
    if (offset > bytes.size() || bytes.size() - offset < kObjectCommonBytes)
        return false;
    const int values[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i)
        SetU16(bytes, offset + kObjectRect + 2 * i, static_cast<uint16_t>(static_cast<int16_t>(values[i])));
    return true;
}
