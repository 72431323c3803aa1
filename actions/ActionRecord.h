// Action records: where an object's, card's or stack's actions are stored, and the chunks in
// them. A record is laid out as a button record (its header, then tagged chunks, newest first;
// the layout is the stack format's, format/StackFile.h); a button keeps its own inside its
// card record, everything else in an 'Actn' resource (record offset 0). Every routine takes
// (record handle, byte offset of the record in it).
//
//   ActionRecord.cpp   the fixed part, the chunk walk, inserting and removing chunks
//   ActionBlock.cpp    the 192-byte working copy of one owner's actions (ActionBlock.h)
//
// Records come from files: the walk stops at a chunk shorter than its header, of odd length or
// running past the record, and every payload is read inside its chunk.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "format/StackFile.h"

// Destinations other than a card id.
enum SpecialDestination : int16_t {
    kDestNext = -1,
    kDestPrevious = -2,
    kDestHome = -3,
    kDestBack = -4,
    kDestLastMarked = -5,
    kDestOtherStack = -6,
};
// The dialog's choice 0 to 5 as a code: -1, -2, -4, -3, -5, -6; outside that range -1.
int16_t DestinationForChoice(int index);

// Where a new chunk's payload comes from.
enum ChunkSource : uint16_t { kChunkFromBytes = 0, kChunkFromHandle = 1, kChunkInline = 2 };
struct ChunkDesc {
    uint16_t tag = 0;
    uint16_t bit = 0;
    uint16_t source = kChunkFromBytes;
    uint16_t zero = 0;
    uintptr_t data = 0;   // the bytes' address, the handle, or the inline value
    uint32_t length = 0;  // bytes (kChunkFromBytes)
};
void InitChunkDesc(ChunkDesc* desc, uint16_t tag, uint16_t source, uintptr_t data, uint32_t length, uint16_t bit);

// The record at the start of the span, cut to its length field; empty when the length is below
// the fixed part or past the span.
std::span<const uint8_t> ActionRecordBytes(std::span<const uint8_t> from);
// The same for the record at offset of the bytes (empty when offset lies past them).
std::span<const uint8_t> ActionRecordAt(std::span<const uint8_t> bytes, uint32_t offset);
// Runs read on the record at offset of the handle (ActionRecordAt), the handle locked; false
// when it cannot be locked or the record is refused.
template <typename Read>
bool ReadActionRecordAt(Handle record, uint32_t offset, Read read) {
    HandleLock lock(record);
    if (!lock)
        return false;
    const std::span<const uint8_t> r = ActionRecordAt(lock.bytes(), offset);
    if (r.empty())
        return false;
    read(r);
    return true;
}
// The first chunk of the tag in a record (as ActionRecordBytes takes it): true and its offset
// from the record start.
bool FindChunk(std::span<const uint8_t> record, uint16_t tag, uint32_t* chunkOffset);
// A chunk's payload without its pad byte; empty when the pad flag does not fit its length.
std::span<const uint8_t> ChunkPayload(std::span<const uint8_t> chunk);

// On a handle. Offsets returned are relative to the record (FindObjectChunk) or to the handle
// (InsertObjectChunk). When the handle is a card record of the stack, its length follows.
bool FindObjectChunk(Handle record, uint32_t recordOffset, uint16_t tag, uint32_t* chunkOffset);
// Deletes the first chunk of the tag, lowers the record length and clears `bit` (also when no
// chunk was found); the bytes removed.
uint32_t RemoveObjectChunk(Handle record, uint32_t recordOffset, uint16_t tag, uint16_t bit);
// Replaces the tag's chunk by a new one at record offset 136: its offset in the handle, or 0
// after alert 2224 when the handle cannot grow.
uint32_t InsertObjectChunk(Handle record, uint32_t recordOffset, const ChunkDesc& desc);
// A new handle holding the payload; 0 when memory runs out.
Handle CopyChunkData(std::span<const uint8_t> chunk);
// Clears file-spec slots 9 and 15 and fills them from the launch chunk; 1 with its option
// word when there is one.
int ReadLaunchChunk(Handle record, uint32_t recordOffset, uint16_t* launchOption);

// The same for a button of the current card (else of any card), found by id. The card record's
// length follows every change.
bool FindButtonChunk(uint16_t buttonId, uint16_t tag, Handle* card, uint32_t* chunkOffset);
uint32_t InsertButtonChunk(uint16_t buttonId, const ChunkDesc& desc);
uint32_t RemoveButtonChunk(uint16_t buttonId, uint16_t tag, uint16_t bit);
// The packed freehand mask of a button record (offset 0) as its chunk 130, with action bit 1 as
// the mask chunk has always been written; the chunk's offset, 0 when it could not be written.
uint32_t PutButtonMaskChunk(Handle buttonRecord, Handle packedMask);
// The chunk of an id: in the button of that id, else in its 'Actn' resource, else in the action
// record of its 'Hlnk' resource. The handle and the chunk's offset in it.
bool FindActionChunkById(uint16_t id, uint16_t tag, Handle* record, uint32_t* offset);
