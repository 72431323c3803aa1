// Moving object records between the lists of card records, and switching a card between a
// picture of its own and a shared one.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/UiOps.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/StackOpenSession.h"

namespace {

// The object at offset, checked; false when there is none.
bool ObjectAt(Handle record, uint32_t offset, std::vector<uint8_t>& bytes, ObjectPlace& place) {
    HandleLock lock(record);
    if (!lock)
        return false;
    const std::span<const uint8_t> card = lock.bytes();
    CardObjectWalk walk(card, offset);
    if (!walk.Next(place))
        return false;
    bytes.assign(card.begin() + place.offset, card.begin() + place.offset + place.length);
    return true;
}

// Where the object list of a record starts, checked against the record.
uint32_t ListStart(Handle record) {
    HandleLock lock(record);
    if (!lock)
        return kCardHeaderBytes;
    return CardObjectWalk(lock.bytes()).Position();
}

uint32_t InsertionPoint(Handle record, bool toFront) { return toFront ? ListStart(record) : CardObjectsEnd(record); }

// Gives a kind-3 record a copy of a picture block (kind 1), or no picture (kind 0) when the
// block is empty; its background id becomes 0. 0, or -1 when it cannot grow.
int TakePictureBlock(Handle record, std::span<const uint8_t> block, uint16_t depth) {
    std::vector<uint8_t> bytes = HandleToBytes(record);
    if (bytes.size() < kMinCardRecordBytes)
        return -1;
    bytes.insert(bytes.begin() + kCardHeaderBytes, block.begin(), block.end());
    SetU16(bytes, kCardKind, block.empty() ? kCardKindPlain : kCardKindPicture);
    SetU16(bytes, kCardBackgroundId, 0);
    if (!block.empty())
        SetU16(bytes, kCardDepth, depth);
    SetU32(bytes, kCardLength, static_cast<uint32_t>(bytes.size()));
    return SetHandleBytes(record, bytes);
}

// A card that holds its picture for others hands it to the first live card sharing it.
int HandOverBackground(Handle card) {
    const uint16_t id = GetCardId(card);
    Handle heir = 0;
    for (int i = 1; i <= CountCards() && !heir; ++i) {
        const Handle other = GetCardByIndex(i);
        if (other != card && !IsCardDeleted(other) && GetCardKind(other) == kCardKindShared &&
            GetHandleWord(other, kCardBackgroundId) == id)
            heir = other;
    }
    if (!heir)
        return 0;
    std::vector<uint8_t> block;
    if (GetCardKind(card) == kCardKindPicture) {
        const std::vector<uint8_t> bytes = HandleToBytes(card);
        const uint32_t objects = CardObjectWalk(bytes).Position();
        if (objects > kCardHeaderBytes)
            block.assign(bytes.begin() + kCardHeaderBytes, bytes.begin() + objects);
    }
    if (TakePictureBlock(heir, block, GetHandleWord(card, kCardDepth)) != 0 || CopyBackgroundObjects(card, heir) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    const uint16_t heirId = GetCardId(heir);
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle other = GetCardByIndex(i);
        if (other != card && other != heir && GetCardKind(other) == kCardKindShared &&
            GetHandleWord(other, kCardBackgroundId) == id)
            SetHandleWord(other, kCardBackgroundId, heirId);
    }
    return 1;
}

// A sharing card takes the current picture and its holder's background objects as its own.
int TakeOwnBackground(Handle card) {
    const uint16_t holderId = GetPictureHolderId(card);
    const Handle holder = holderId != GetCardId(card) ? FindCardById(holderId) : 0;
    const uint16_t oldBackground = GetHandleWord(card, kCardBackgroundId);
    SetHandleWord(card, kCardKind, kCardKindPlain);
    SetHandleWord(card, kCardBackgroundId, 0);
    if (SaveBackgroundPicture(card) != 0) {
        SetHandleWord(card, kCardKind, kCardKindShared);
        SetHandleWord(card, kCardBackgroundId, oldBackground);
        return 0;
    }
    if (holder && CopyBackgroundObjects(holder, card) != 0)
        ShowCardAlert(kAlertNotEnoughMemory);
    return 1;
}

}  // namespace

int MoveObjectRecord(Handle source, uint32_t offset, Handle target, bool copy, bool toFront) {
    std::vector<uint8_t> object;
    ObjectPlace place;
    if (!IsValidHandle(target) || !ObjectAt(source, offset, object, place))
        return 0;
    if (source == target && !copy) {
        if (RemoveObjectRecord(source, place.offset) != 0)
            return 0;
        if (InsertObjectBytes(target, InsertionPoint(target, toFront), object) != 0) {
            InsertObjectBytes(source, place.offset, object);  // back where it was
            ShowCardAlert(kAlertNotEnoughMemory);
            return 0;
        }
        return 1;
    }
    // Into the target first, so that a target that cannot grow leaves the source as it was.
    if (InsertObjectBytes(target, InsertionPoint(target, toFront), object) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    if (!copy)
        RemoveObjectRecord(source, place.offset);
    return 1;
}

int MoveObjectToOtherList(uint16_t kind, uint16_t id, Handle target, bool copy, bool toFront) {
    Handle source = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &source, &offset))
        return 0;
    return MoveObjectRecord(source, offset, target, copy, toFront);
}

void UpdateObjectLayer(uint16_t kind, uint16_t id, Handle card) {
    if (!IsValidHandle(card))
        return;
    const Handle holder = GetCardKind(card) == kCardKindPicture ? card : FindCardById(GetPictureHolderId(card));
    Handle record = card;
    uint32_t offset = 0;
    if (!FindObjectInCard(kind, id, card, &offset)) {
        record = holder;
        if (!holder || holder == card || !FindObjectInCard(kind, id, holder, &offset))
            return;
    }
    const uint16_t flags = GetHandleWord(record, offset + kObjectFlags);
    if (!(flags & kObjectBackground) && record != card) {
        if (MoveObjectRecord(record, offset, card, false, false) && kind == kObjectText)
            PurgeFieldCardEntries(id, card, 1);
    } else if ((flags & kObjectBackground) && record == card && holder && holder != card) {
        MoveObjectRecord(record, offset, holder, false, false);
    }
}

int CopyBackgroundObjects(Handle source, Handle target) {
    std::vector<uint8_t> copies;
    {
        HandleLock lock(source);
        if (!lock)
            return -1;
        const std::span<const uint8_t> record = lock.bytes();
        CardObjectWalk walk(record);
        ObjectPlace place;
        while (walk.Next(place)) {
            if (!(place.flags & kObjectBackground) || (place.flags & kObjectDeletedFlag))
                continue;
            const size_t at = copies.size();
            copies.insert(copies.end(), record.begin() + place.offset, record.begin() + place.offset + place.length);
            SetU16(std::span<uint8_t>(copies).subspan(at), kObjectId, NewUniqueObjectId());
        }
    }
    if (copies.empty())
        return 0;
    return InsertObjectBytes(target, ListStart(target), copies);
}

int SwitchCardBackgroundMode(Handle card) {
    switch (GetCardKind(card)) {
    case kCardKindPlain:
    case kCardKindPicture:
        return IsValidHandle(card) ? HandOverBackground(card) : 0;
    case kCardKindShared:
        return TakeOwnBackground(card);
    default:
        return 0;
    }
}
