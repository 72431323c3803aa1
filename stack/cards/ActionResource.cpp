// Stack and card actions as 'Actn' resources.
#include <cstring>

#include "core/memory/ByteReader.h"
#include "stack/cards/ActionResource.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"

Handle NewEmptyActionRecord(uint16_t id) {
    const Handle record = NewHandle(kEmptyActionRecordBytes);
    HandleLock lock(record);
    if (!lock)
        return record;
    const std::span<uint8_t> r(lock.get(), kEmptyActionRecordBytes);
    std::fill(r.begin(), r.end(), 0);
    SetU16(r, kObjectKind, kActionRecordKind);
    SetU16(r, kObjectId, id);
    SetU32(r, kObjectLength, kEmptyActionRecordBytes);
    SetU16(r, kButtonTimerValue, 3);
    SetU16(r, kButtonTesting, 0);
    SetU16(r, kButtonSpeed, 3);
    return record;
}

Handle LoadActionResource(uint16_t id) {
    if (id != 0) {
        const StackResFileCurrent current;
        if (GetStackResFile()) {
            Handle copy = GetResource(kActn, id);
            if (copy && HandToHand(&copy) == 0)
                return copy;
        }
    }
    return NewEmptyActionRecord(id);
}

int StoreActionResource(uint16_t* id, Handle record) {
    if (!id || !IsValidHandle(record) || GetHandleSize(record) < 4)
        return 0;
    const uint16_t wanted = *id != 0 ? *id : NewUniqueObjectId();
    SetHandleWord(record, kObjectId, wanted);
    ResRequest request{};
    request.type = kActn;
    request.id = wanted;
    request.data = record;
    request.flags = kResRequestCarryOut | kResRequestReplace | kResRequestCopyData;
    if (!WriteStackResource(&request))
        return 0;
    // The stack may have taken another id than the one asked for: both copies name it.
    *id = request.id;
    if (request.id != wanted) {
        SetHandleWord(record, kObjectId, request.id);
        const StackResFileCurrent current;
        SetHandleWord(GetResource(kActn, request.id), kObjectId, request.id);
    }
    return 1;
}

void SetOrDropActionResource(Handle record, uint16_t* oldId, uint16_t* newId, bool keep) {
    if (!oldId || !newId)
        return;
    if (keep) {
        StoreActionResource(newId, record);
        return;
    }
    if (*oldId != 0 && GetStackResFile()) {
        const StackResFileCurrent current;
        RemoveResourceEntry(kActn, *oldId);
    }
    *newId = 0;
}
