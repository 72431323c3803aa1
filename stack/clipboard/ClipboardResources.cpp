// Resources that travel with copied objects and cards: icons, sounds, extension-module data,
// transitions and action records, held as private copies until a paste stores them.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/ToolNumbers.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

struct ButtonRefs {
    uint16_t icon = 0;           // 0: none
    uint32_t soundType = 0;
    uint16_t sound = 0;
    uint32_t soundChunk = 0;     // offset of the chunk, for clearing
    bool hasNba = false;
    uint16_t nba = 0;
    uint16_t transition = 0;
};

ButtonRefs ReadRefs(std::span<const uint8_t> button) {
    ButtonRefs refs;
    if (button.size() < kButtonHeaderBytes)
        return refs;
    if (GetU16(button, kButtonOptions) & kButtonShowIcon)
        refs.icon = GetU16(button, kButtonIconId);
    const uint16_t flags = GetU16(button, kButtonActionFlags);
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk)) {
        if (chunk.length < kChunkHeaderBytes)
            continue;
        if (chunk.kind == kTagSoundResource && (flags & kActSoundResource) && !refs.soundType) {
            refs.soundType = (GetU16(button, chunk.offset + kChunkSoundFlags) & kSoundIsStroke) ? kStrk : kSnd;
            refs.sound = GetU16(button, chunk.offset + kChunkValue);
        } else if (chunk.kind == kTagNba && (flags & kActNba) && !refs.hasNba) {
            refs.hasNba = true;
            refs.nba = GetU16(button, chunk.offset + kChunkValue);
        }
    }
    const uint16_t transition = GetU16(button, kButtonTransition);
    if (transition >= kFirstTransitionResource)
        refs.transition = transition;
    return refs;
}

void ClearWordBits(Handle record, uint32_t offset, uint16_t bits) {
    SetHandleWord(record, offset, static_cast<uint16_t>(GetHandleWord(record, offset) & ~bits));
}

bool ResourceExists(uint32_t type, uint16_t id) {
    StackResFileCurrent stackFile;
    return GetResIndexById(GetStackResFile(), type, id) > 0;
}

int HoldFromStack(uint32_t type, uint16_t id, Handle* chain) {
    StackResFileCurrent stackFile;
    return HoldResourceCopy(type, id, chain, kResRequestCopyData);
}

// The action resource copied and the stack's cached copy released.
Handle CopyActionResource(uint16_t id) {
    const Handle copy = DuplicateResource(kActn, id);
    StackResFileCurrent stackFile;
    if (const Handle cached = GetResource(kActn, id))
        ReleaseResource(cached);
    return copy;
}

// Each held copy stored into the stack; the chain keeps its own data for the next paste.
void StoreHeldKeeping(Handle chain) {
    ForEachHeld(chain, [](const HeldResource& held) {
        ResRequest request = held.request;
        if (request.type != 0 && request.data) {
            request.flags |= kResRequestCarryOut | kResRequestCopyData;
            WriteStackResource(&request);
        }
    });
}

}  // namespace

// The resources of the button at offset of the record (0: the record is a button record, as
// 'Actn' data is); references that cannot be held are cleared.
int GatherButtonResources(Handle record, uint32_t offset, Handle* chain) {
    std::vector<uint8_t> bytes;
    {
        HandleLock lock(record);
        if (!lock)
            return 0;
        const std::span<const uint8_t> all = lock.bytes();
        if (offset > all.size())
            return 0;
        uint32_t length = static_cast<uint32_t>(all.size() - offset);
        if (offset) {
            length = GetU32(all, offset + kObjectLength);
            if (length > all.size() - offset)
                return 0;
        }
        bytes.assign(all.begin() + offset, all.begin() + offset + length);
    }
    const ButtonRefs refs = ReadRefs(bytes);
    if (refs.icon && HoldFromStack(kIcon, refs.icon, chain) != 0) {
        ClearWordBits(record, offset + kButtonOptions, kButtonShowIcon);
        SetHandleWord(record, offset + kButtonIconId, 0);
    }
    if (refs.soundType && HoldFromStack(refs.soundType, refs.sound, chain) != 0)
        ClearWordBits(record, offset + kButtonActionFlags, kActSoundResource);
    if (refs.hasNba) {
        if (ResourceExists(kNbap, refs.nba)) {
            ShowCardAlert(kAlertCommercialNba);  // it travels without the module's data
        } else if (HoldFromStack(kNbas, refs.nba, chain) != 0) {
            ClearClipboard();
            return 0;
        }
    }
    if (refs.transition && HoldFromStack(kTran, refs.transition, chain) != 0)
        SetHandleWord(record, offset + kButtonTransition, 0);
    return 1;
}

int GatherObjectResources(uint16_t buttonId, Handle* chain, Handle actionRecord) {
    if (!buttonId)
        return GatherButtonResources(actionRecord, 0, chain);
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, buttonId, &card, &offset)) {
        ClearClipboard();
        return 0;
    }
    return GatherButtonResources(card, offset, chain);
}

Handle DuplicateResource(uint32_t type, uint16_t id) {
    StackResFileCurrent stackFile;
    Handle copy = GetResource(type, id);
    if (!copy || HandToHand(&copy) != 0)
        return 0;
    return copy;
}

uint16_t StoreActionCopy(Handle record, uint32_t flags) {
    Handle copy = record;
    if (!IsValidHandle(record) || HandToHand(&copy) != 0)
        return 0;
    const uint16_t id = NewUniqueObjectId();
    if (id == 0 || GetHandleSize(copy) < 4) {
        DisposeHandle(copy);
        return 0;
    }
    SetHandleWord(copy, kObjectId, id);
    ResRequest request{};
    request.type = kActn;
    request.id = id;
    request.data = copy;
    request.flags = flags | kResRequestCarryOut;
    const int stored = WriteStackResource(&request);
    if (flags & kResRequestCopyData)
        DisposeHandle(copy);  // the file took a copy of its own
    return stored ? request.id : 0;
}

void StoreClipboardResources() {
    if (!HeldResourcesFromThisStack())
        StoreHeldKeeping(Clip().held);
}

void AttachClipboardActions(uint16_t kind, uint16_t id) {
    InternalClipboard& c = Clip();
    if (kind != kObjectButton && !c.actions[0])
        return;
    StoreClipboardResources();
    if (!c.actions[0])
        return;
    const uint16_t action = StoreActionCopy(c.actions[0], kResRequestCopyData);
    const uint32_t word = kind == kObjectGraphic ? kGraphicAction : kind == kObjectText ? kTextAction : 0;
    Handle card = 0;
    uint32_t offset = 0;
    if (!action || !word || !FindObject(kind, id, &card, &offset))
        return;
    HandleLock lock(card);
    const std::span<uint8_t> r = lock.bytes();
    if (lock && GetU32(r, offset + kObjectLength) >= word + 2)
        SetU16(r, offset + word, action);
}

bool CopyObjectRecordToClipboard(uint16_t kind, uint16_t id, uint16_t actionId) {
    const StackUpcalls& n = GetStackUpcalls();
    if (kind == kObjectText)
        n.syncCardFromLayers();
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return false;
    ClearClipboard();
    InternalClipboard& c = Clip();
    c.record = CopyObjectRecord(card, offset);
    if (!c.record) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return false;
    }
    c.kind = kClipObject;
    c.tool = GetCurrentTool();
    c.sourceCardId = GetCurrentCardId();
    // Copied from the open stack whatever the kind: a paste here must not store them twice.
    MarkHeldResourcesFromThisStack();
    if (kind == kObjectButton) {
        if (!GatherButtonResources(c.record, 0, &c.held))
            return false;
    } else if (actionId) {
        c.actions[0] = CopyActionResource(actionId);
        if (c.actions[0] && !GatherButtonResources(c.actions[0], 0, &c.held))
            return false;
    }
    SetClipboardMarker();
    return true;
}
