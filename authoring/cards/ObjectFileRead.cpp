// An object file read back for placing: every length comes from the bounded layout, and the
// record is converted within its own length.
#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/ObjectFile.h"

namespace {

// The word at offset changed when a copy of (type, its value) got another id.
void RemapWord(std::span<uint8_t> button, uint32_t offset, uint32_t type, std::span<const ObjectFileIdChange> changes) {
    if (uint64_t{offset} + 2 > button.size())
        return;
    const uint16_t old = GetU16(button, offset);
    if (old == 0)
        return;
    for (const ObjectFileIdChange& change : changes)
        if (change.type == type && change.from == old) {
            SetU16(button, offset, change.to);
            return;
        }
}

}  // namespace

const char* ReadObjectFileRecord(std::span<const uint8_t> file, const StackConversion& cv, ObjectFileContents& out) {
    out = ObjectFileContents{};
    ObjectFileLayout layout;
    if (const char* failed = ParseObjectFile(file, layout))
        return failed;
    out.kind = layout.kind;
    out.record.assign(file.begin() + layout.recordOffset, file.begin() + layout.recordOffset + layout.recordLength);
    const char* reason = nullptr;
    if (ConvertObjectRecord(out.record, ByteOrder::ToHost, cv, &reason) != kStackOk)
        return reason ? reason : "record does not convert";
    for (const ObjectFileEntry& entry : layout.entries) {
        std::vector<uint8_t> data(file.begin() + entry.dataOffset, file.begin() + entry.dataOffset + entry.length);
        if (entry.type == kActn) {
            if (!out.actions.empty())
                continue;  // one action record per object
            if (SwapResourceDataBytes(kActn, data, ByteOrder::ToHost, cv, &reason) != kStackOk)
                return reason ? reason : "actions do not convert";
            out.actions = std::move(data);
        } else {
            out.held.push_back(ObjectFileHeld{entry.type, entry.name, std::move(data), entry.id});
        }
    }
    return nullptr;
}

void RemapObjectFileIds(std::span<uint8_t> button, std::span<const ObjectFileIdChange> changes) {
    if (button.size() < kButtonHeaderBytes || changes.empty())
        return;
    if (GetU16(button, kButtonOptions) & kButtonShowIcon)
        RemapWord(button, kButtonIconId, kIcon, changes);
    const uint16_t flags = GetU16(button, kButtonActionFlags);
    bool sound = false, nba = false;
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk)) {
        if (chunk.length < kChunkHeaderBytes)
            continue;
        if (chunk.kind == kTagSoundResource && (flags & kActSoundResource) && !sound) {
            sound = true;
            const uint32_t type = (GetU16(button, chunk.offset + kChunkSoundFlags) & kSoundIsStroke) ? kStrk : kSnd;
            RemapWord(button, chunk.offset + kChunkValue, type, changes);
        } else if (chunk.kind == kTagNba && (flags & kActNba) && !nba) {
            nba = true;
            RemapWord(button, chunk.offset + kChunkValue, kNbas, changes);
        }
    }
    if (GetU16(button, kButtonTransition) >= kFirstTransitionResource)
        RemapWord(button, kButtonTransition, kTran, changes);
}
