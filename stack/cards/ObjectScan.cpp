// Walks over the objects visible on a card, and the lookups by name and by place built on them.
#include "stack/cards/ObjectScan.h"

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "stack/cards/CardList.h"

namespace {

void Unlock(ObjectScan& scan) {
    if (scan.record)
        UnlockHandle(scan.record);
    scan.record = 0;
}

// The record the walk moves to at the end of the current one; 0 when the walk is over.
Handle NextRecord(const ObjectScan& scan) {
    if (scan.switched)
        return 0;
    const uint16_t currentId = GetCardId(scan.record);
    const uint16_t nextId = scan.startedOnHolder ? scan.cardId : GetPictureHolderId(scan.record);
    if (nextId == currentId)
        return 0;
    return FindCardById(nextId);
}

bool Wanted(const ObjectPlace& place, bool allObjects) {
    if (place.flags & kObjectDeletedFlag)
        return false;
    return allObjects || (place.flags & kObjectBackground);
}


bool ObjectNameIs(const ScannedObject& object, const uint8_t* name, bool ignoreCase) {
    uint32_t field = 0, bytes = 0;
    if (!ObjectNameField(object.kind, &field, &bytes) || object.length < field + bytes)
        return false;
    HandleLock lock(object.record);
    if (!lock || object.offset + object.length > GetHandleSize(object.record))
        return false;
    const uint8_t* stored = lock.get() + object.offset + field;
    const uint8_t length = stored[0] < bytes ? stored[0] : static_cast<uint8_t>(bytes - 1);
    if (length != name[0])
        return false;
    for (uint8_t i = 1; i <= length; ++i) {
        const uint8_t a = ignoreCase ? AsciiToLower(stored[i]) : stored[i];
        const uint8_t b = ignoreCase ? AsciiToLower(name[i]) : name[i];
        if (a != b)
            return false;
    }
    return true;
}

}  // namespace

bool ObjectNameField(uint16_t kind, uint32_t* offset, uint32_t* bytes) {
    switch (kind) {
    case kObjectGraphic:
        *offset = kGraphicName, *bytes = kGraphicNameBytes;
        return true;
    case kObjectButton:
        *offset = kButtonName, *bytes = kButtonNameBytes;
        return true;
    case kObjectText:
        *offset = kTextName, *bytes = kTextNameBytes;
        return true;
    default:
        return false;
    }
}

void BeginObjectScan(ObjectScan& scan, Handle card, bool startOnHolder) {
    scan = ObjectScan{};
    Handle start = card;
    if (startOnHolder) {
        const Handle holder = ResolvePictureResource(card);
        if (holder)
            start = holder;
    }
    if (!LockHandle(start))
        return;
    scan.record = start;
    scan.cardId = GetCardId(card);
    scan.allObjects = start == card;
    scan.startedOnHolder = start != card;
    scan.position = 0;
}

bool NextObjectInScan(ObjectScan& scan, ScannedObject* object, bool goOn) {
    while (scan.record) {
        {
            const uint8_t* data = LockHandle(scan.record);  // already locked; the address may have moved
            UnlockHandle(scan.record);
            CardObjectWalk walk({data, GetHandleSize(scan.record)}, scan.position);
            ObjectPlace place;
            while (walk.Next(place)) {
                scan.position = walk.Position();
                if (!Wanted(place, scan.allObjects))
                    continue;
                if (object)
                    *object = {place, scan.record};
                return true;
            }
        }
        const Handle next = NextRecord(scan);
        Unlock(scan);
        if (!next || !LockHandle(next))
            return false;
        scan.record = next;
        scan.position = 0;
        scan.allObjects = scan.startedOnHolder;
        scan.switched = true;
        if (!goOn)
            return false;
    }
    return false;
}

void EndObjectScan(ObjectScan& scan) {
    Unlock(scan);
    scan = ObjectScan{};
}

bool FindObjectByName(uint16_t kind, const uint8_t* name, Handle* record, bool ignoreCase, uint32_t* offset) {
    if (!name || !record)
        return false;
    ObjectScan scan;
    BeginObjectScan(scan, *record, false);
    ScannedObject object;
    bool found = false;
    while (!found && NextObjectInScan(scan, &object, true))
        found = object.kind == kind && ObjectNameIs(object, name, ignoreCase);
    EndObjectScan(scan);
    if (found) {
        *record = object.record;
        if (offset)
            *offset = object.offset;
    }
    return found;
}

bool FindObjectByIndex(uint16_t kind, int n, Handle* record, uint32_t* offset) {
    if (!record || n < 1)
        return false;
    ObjectScan scan;
    BeginObjectScan(scan, *record, false);
    ScannedObject object;
    int seen = 0;
    while (seen < n && NextObjectInScan(scan, &object, true))
        if (object.kind == kind)
            ++seen;
    EndObjectScan(scan);
    if (seen != n)
        return false;
    *record = object.record;
    if (offset)
        *offset = object.offset;
    return true;
}

bool FindObjectByNameInCards(uint16_t kind, const uint8_t* name, Handle* record, bool ignoreCase, uint32_t* offset) {
    for (int i = 1; i <= CountCards(); ++i) {
        Handle card = GetCardByIndex(i);
        if (FindObjectByName(kind, name, &card, ignoreCase, offset)) {
            if (record)
                *record = card;
            return true;
        }
    }
    return false;
}
