// Action records: the chunk walk, finding, inserting and removing chunks.
#include "actions/ActionRecord.h"

#include <algorithm>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/ui/UiOps.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"

namespace {

// The record inside a locked handle; empty when the offset or the length field do not fit.
std::span<uint8_t> RecordIn(std::span<uint8_t> data, uint32_t recordOffset) {
    if (recordOffset > data.size())
        return {};
    std::span<uint8_t> from = data.subspan(recordOffset);
    const std::span<const uint8_t> record = ActionRecordBytes(from);
    return from.first(record.size());
}

void AddToLength(std::span<uint8_t> record, int64_t delta) {
    SetU32(record, kObjectLength, static_cast<uint32_t>(GetU32(record, kObjectLength) + delta));
}

void ClearSlot(int slot) { SetFileSpecFromPath(slot, ""); }

// A button's record lies inside its card record, whose own length field must follow the
// handle's size, or the card no longer converts for the file and the stack cannot be saved.
void KeepCardLength(Handle record) {
    if (GetCardIndex(record) <= CountCards())  // one past the last when it is no card of the list
        SyncCardLength(record);
}

}  // namespace

int16_t DestinationForChoice(int index) {
    constexpr int16_t kCodes[] = {kDestNext, kDestPrevious, kDestBack, kDestHome, kDestLastMarked, kDestOtherStack};
    return index >= 0 && index < 6 ? kCodes[index] : int16_t{kDestNext};
}

void InitChunkDesc(ChunkDesc* desc, uint16_t tag, uint16_t source, uintptr_t data, uint32_t length, uint16_t bit) {
    *desc = ChunkDesc{tag, bit, source, 0, data, length};
}

std::span<const uint8_t> ActionRecordBytes(std::span<const uint8_t> from) {
    if (from.size() < kButtonHeaderBytes)
        return {};
    const uint32_t length = GetU32(from, kObjectLength);
    if (length < kButtonHeaderBytes || length > from.size())
        return {};
    return from.first(length);
}

std::span<const uint8_t> ActionRecordAt(std::span<const uint8_t> bytes, uint32_t offset) {
    return offset <= bytes.size() ? ActionRecordBytes(bytes.subspan(offset)) : std::span<const uint8_t>{};
}

bool FindChunk(std::span<const uint8_t> record, uint16_t tag, uint32_t* chunkOffset) {
    record = ActionRecordBytes(record);
    ButtonChunkWalk walk(record);
    ObjectPlace place;
    // A chunk of odd length is damaged: chunks are always padded to even length.
    while (walk.Next(place) && !(place.length & 1)) {
        if (place.kind == tag) {
            if (chunkOffset)
                *chunkOffset = place.offset;
            return true;
        }
    }
    return false;
}

std::span<const uint8_t> ChunkPayload(std::span<const uint8_t> chunk) {
    if (chunk.size() < kChunkHeaderBytes)
        return {};
    const uint32_t length = std::min<uint32_t>(GetU32(chunk, kObjectLength), static_cast<uint32_t>(chunk.size()));
    const uint32_t pad = (GetU16(chunk, kObjectFlags) & kObjectPadded) ? 1 : 0;
    if (length < kChunkHeaderBytes + pad)
        return {};
    return chunk.subspan(kChunkHeaderBytes, length - kChunkHeaderBytes - pad);
}

bool FindObjectChunk(Handle record, uint32_t recordOffset, uint16_t tag, uint32_t* chunkOffset) {
    HandleLock lock(record);
    return lock && FindChunk(RecordIn(lock.bytes(), recordOffset), tag, chunkOffset);
}

uint32_t RemoveObjectChunk(Handle record, uint32_t recordOffset, uint16_t tag, uint16_t bit) {
    uint32_t at = 0, length = 0;
    {
        HandleLock lock(record);
        std::span<uint8_t> r = RecordIn(lock.bytes(), recordOffset);
        if (r.empty())
            return 0;
        SetU16(r, kButtonActionFlags, GetU16(r, kButtonActionFlags) & static_cast<uint16_t>(~bit));
        if (!FindChunk(r, tag, &at))
            return 0;
        length = GetU32(r, at + kObjectLength);
    }
    if (DeleteFromHandle(record, recordOffset + at, length) != 0)
        return 0;
    {
        HandleLock lock(record);
        AddToLength({lock.get() + recordOffset, kButtonHeaderBytes}, -int64_t{length});
    }
    KeepCardLength(record);
    return length;
}

uint32_t InsertObjectChunk(Handle record, uint32_t recordOffset, const ChunkDesc& desc) {
    if (!IsValidHandle(record))
        return 0;
    RemoveObjectChunk(record, recordOffset, desc.tag, desc.bit);
    std::vector<uint8_t> payload;
    switch (desc.source) {
    case kChunkFromBytes:
        if (desc.data && desc.length)
            payload.assign(reinterpret_cast<const uint8_t*>(desc.data), reinterpret_cast<const uint8_t*>(desc.data) + desc.length);
        break;
    case kChunkFromHandle: payload = HandleToBytes(static_cast<Handle>(desc.data)); break;
    default: break;
    }
    std::vector<uint8_t> chunk(kChunkHeaderBytes);
    SetU16(chunk, kObjectKind, desc.tag);
    if (desc.source == kChunkInline)
        SetU16(chunk, kChunkValue, static_cast<uint16_t>(desc.data));
    chunk.insert(chunk.end(), payload.begin(), payload.end());
    if (chunk.size() & 1) {
        chunk.push_back(0);
        SetU16(chunk, kObjectFlags, kObjectPadded);
    }
    SetU32(chunk, kObjectLength, static_cast<uint32_t>(chunk.size()));
    const uint32_t size = GetHandleSize(record);
    {
        HandleLock lock(record);
        if (RecordIn(lock.bytes(), recordOffset).empty())
            return 0;
    }
    // The growth check first, so that a failure leaves the record as it was.
    if (SetHandleSize(record, size + static_cast<uint32_t>(payload.size()) + kButtonHeaderBytes) != 0 ||
        SetHandleSize(record, size) != 0 ||
        InsertBytesInHandle(record, chunk.data(), recordOffset + kButtonHeaderBytes,
                            static_cast<uint32_t>(chunk.size())) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    {
        HandleLock lock(record);
        std::span<uint8_t> r(lock.get() + recordOffset, GetHandleSize(record) - recordOffset);
        AddToLength(r, static_cast<int64_t>(chunk.size()));
        SetU16(r, kButtonActionFlags, GetU16(r, kButtonActionFlags) | desc.bit);
    }
    KeepCardLength(record);
    return recordOffset + kButtonHeaderBytes;
}

Handle CopyChunkData(std::span<const uint8_t> chunk) { return NewHandleFromBytes(ChunkPayload(chunk)); }

int ReadLaunchChunk(Handle record, uint32_t recordOffset, uint16_t* launchOption) {
    ClearSlot(kSlotLaunchProgram);
    ClearSlot(kSlotLaunchDocument);
    uint32_t at = 0;
    if (!FindObjectChunk(record, recordOffset, kTagLaunch, &at))
        return 0;
    HandleLock lock(record);
    const std::span<const uint8_t> r = RecordIn(lock.bytes(), recordOffset);
    const std::span<const uint8_t> chunk = r.subspan(at, GetU32(r, at + kObjectLength));
    const std::span<const uint8_t> payload = ChunkPayload(chunk);
    const uint32_t first = std::min<uint32_t>(GetU32(chunk, kChunkFirstLength), static_cast<uint32_t>(payload.size()));
    if (first)
        UnpackFileSpec(kSlotLaunchDocument, payload.first(first));
    if (payload.size() > first)
        UnpackFileSpec(kSlotLaunchProgram, payload.subspan(first));
    if (launchOption)
        *launchOption = GetU16(chunk, kChunkValue);
    return 1;
}

bool FindButtonChunk(uint16_t buttonId, uint16_t tag, Handle* card, uint32_t* chunkOffset) {
    Handle record = 0;
    uint32_t offset = 0, at = 0;
    if (!FindObject(kObjectButton, buttonId, &record, &offset) || !FindObjectChunk(record, offset, tag, &at))
        return false;
    if (card)
        *card = record;
    if (chunkOffset)
        *chunkOffset = offset + at;
    return true;
}

uint32_t InsertButtonChunk(uint16_t buttonId, const ChunkDesc& desc) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, buttonId, &record, &offset))
        return 0;
    return InsertObjectChunk(record, offset, desc);
}

uint32_t RemoveButtonChunk(uint16_t buttonId, uint16_t tag, uint16_t bit) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, buttonId, &record, &offset))
        return 0;
    return RemoveObjectChunk(record, offset, tag, bit);
}

uint32_t PutButtonMaskChunk(Handle buttonRecord, Handle packedMask) {
    ChunkDesc desc;
    InitChunkDesc(&desc, kTagButtonMask, kChunkFromHandle, static_cast<uintptr_t>(packedMask), 0, 1);
    return InsertObjectChunk(buttonRecord, 0, desc);
}

bool FindActionChunkById(uint16_t id, uint16_t tag, Handle* record, uint32_t* offset) {
    auto found = [&](Handle h, uint32_t recordOffset, uint32_t at) {
        if (record)
            *record = h;
        if (offset)
            *offset = recordOffset + at;
        return true;
    };
    uint32_t at = 0;
    Handle card = 0;
    uint32_t buttonOffset = 0;
    if (FindObject(kObjectButton, id, &card, &buttonOffset) && FindObjectChunk(card, buttonOffset, tag, &at))
        return found(card, buttonOffset, at);
    if (const Handle action = GetResource(kActn, id); action && FindObjectChunk(action, 0, tag, &at))
        return found(action, 0, at);
    const Handle link = GetResource(kHlnk, id);
    uint32_t recordOffset = 0;
    {
        HandleLock lock(link);
        const std::span<const uint8_t> l = lock.bytes();
        if (l.size() < kLinkText || !GetU16(l, kLinkHasButton))
            return false;
        recordOffset = kLinkText + GetU16(l, kLinkTextLength) + GetU16(l, kLinkOtherLength);
    }
    if (FindObjectChunk(link, recordOffset, tag, &at))
        return found(link, recordOffset, at);
    return false;
}
