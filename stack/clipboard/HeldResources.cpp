// Held resource copies: resources carried along with cards or objects until they are stored
// into a stack, and the list of ids that storing them changed.
#include <cstring>
#include <span>

#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

Handle g_remap = 0;  // (old id, new id) pairs of u16
uint32_t g_remapCount = 0;

// Stores one request; its data then belongs to the resource file.
void Store(ResRequest& request) {
    WriteStackResource(&request);
    request.data = 0;
}

// An action whose button plays a sound as its first chunk: the sound id remapped.
void RemapActionSound(Handle data) {
    HandleLock lock(data);
    if (!lock)
        return;
    const std::span<uint8_t> button = lock.bytes();
    if (button.size() < kButtonHeaderBytes + kChunkHeaderBytes ||
        !(GetU16(button, kButtonActionFlags) & kActSoundResource))
        return;
    ButtonChunkWalk walk(button);
    ObjectPlace first;
    if (walk.Next(first) && first.kind == kTagSoundResource && first.length >= kChunkHeaderBytes)
        SetU16(button, first.offset + kChunkValue, RemapId(GetU16(button, first.offset + kChunkValue)));
}

// The owner object's action field takes the new id.
void PointOwnerAt(uint16_t kind, uint16_t id, uint16_t action) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return;
    const uint32_t field = kind == kObjectGraphic ? kGraphicAction : kind == kObjectText ? kTextAction : 0;
    HandleLock lock(card);
    if (!lock || field == 0)
        return;
    const std::span<uint8_t> record = lock.bytes();
    if (uint64_t{offset} + field + 2 <= record.size())
        SetU16(record, offset + field, action);
}

}  // namespace

int MakeResRequest(ResRequest* request, uint32_t type, uint16_t id) {
    if (!request)
        return -1;
    *request = ResRequest{};
    const Handle data = GetResource(type, id);
    if (!data)
        return -1;
    uint8_t name[kResNameSize] = {};
    uint32_t attributes = 0;
    uint32_t foundType = 0;
    uint16_t foundId = 0;
    if (GetResInfo(data, &foundType, &foundId, name, &attributes) != 0)
        return -1;
    Handle copy = data;
    if (HandToHand(&copy) != 0)
        return -1;
    request->type = type;
    request->id = id;
    request->attributes = attributes;
    request->data = copy;
    request->flags = kResRequestCarryOut;
    const uint8_t n = name[0] < kResNameSize ? name[0] : kResNameSize - 1;
    request->name[0] = n;
    std::memcpy(request->name + 1, name + 1, n);
    return 0;
}

int HoldObjectResourceCopy(uint32_t type, uint16_t id, Handle* chain, uint32_t extraFlags, uint16_t ownerKind,
                           uint16_t ownerId) {
    if (!chain)
        return -1;
    HeldResource held{};
    if (MakeResRequest(&held.request, type, id) != 0)
        return -1;
    held.request.flags |= extraFlags;
    held.request.ownerKind = ownerKind;
    held.request.ownerId = ownerId;
    held.next = *chain;
    const Handle record = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(&held), sizeof held});
    if (!record) {
        DisposeHandle(held.request.data);
        return -1;
    }
    *chain = record;
    return 0;
}

int HoldResourceCopy(uint32_t type, uint16_t id, Handle* chain, uint32_t extraFlags) {
    return HoldObjectResourceCopy(type, id, chain, extraFlags, 0, 0);
}

void StoreHeldResources(Handle chain) {
    ForEachHeld(chain, [](HeldResource& held) {
        if (held.request.type != 0)
            Store(held.request);
    });
}

void StoreHeldResourcesRemapped(Handle chain, uint16_t* cardActions) {
    ResetIdRemap();
    ForEachHeld(chain, [](HeldResource& held) {
        if (held.request.type != kSnd)
            return;
        const uint16_t oldId = held.request.id;
        Store(held.request);
        AddIdRemap(oldId, held.request.id);
    });
    ForEachHeld(chain, [cardActions](HeldResource& held) {
        ResRequest& r = held.request;
        if (r.type == kSnd || r.type == 0)
            return;
        if (r.type != kActn) {
            Store(r);
            return;
        }
        RemapActionSound(r.data);
        const uint16_t oldId = r.id;
        r.id = 0;  // a fresh id
        r.flags |= kResRequestCarryOut;
        r.flags &= ~kResRequestReplace;
        const uint16_t ownerKind = r.ownerKind, ownerId = r.ownerId;
        Store(r);
        if (r.id == 0)
            return;
        if (ownerKind != 0 && ownerId != 0) {
            PointOwnerAt(ownerKind, ownerId, r.id);
        } else if (cardActions) {
            for (int i = 0; i < 3; ++i)
                if (cardActions[i] == oldId && oldId != 0) {
                    cardActions[i] = r.id;
                    break;
                }
        }
    });
    FreeIdRemap();
}

void FreeResourceEntryChain(Handle* chain, bool freeData) {
    if (!chain)
        return;
    Handle h = *chain;
    *chain = 0;
    while (h && IsValidHandle(h)) {
        Handle next = 0;
        {
            HandleLock lock(h);
            if (lock && GetHandleSize(h) >= sizeof(HeldResource)) {
                auto* held = reinterpret_cast<HeldResource*>(lock.get());
                next = held->next;
                if (freeData)
                    DisposeHandleAndClear(&held->request.data);
            }
        }
        DisposeHandle(h);
        h = next;
    }
}

void ResetIdRemap() {
    FreeIdRemap();
    g_remap = NewHandle(4);  // room for one pair
}

void FreeIdRemap() {
    DisposeHandleAndClear(&g_remap);
    g_remapCount = 0;
}

int AddIdRemap(uint16_t oldId, uint16_t newId) {
    if (!g_remap && !(g_remap = NewHandle(4)))
        return -1;
    const uint32_t needed = (g_remapCount + 1) * 4;
    if (GetHandleSize(g_remap) < needed && SetHandleSize(g_remap, needed) != 0)
        return -1;
    HandleLock lock(g_remap);
    if (!lock)
        return -1;
    const std::span<uint8_t> pairs = lock.bytes();
    SetU16(pairs, g_remapCount * 4, oldId);
    SetU16(pairs, g_remapCount * 4 + 2, newId);
    ++g_remapCount;
    return 0;
}

uint16_t RemapId(uint16_t oldId) {
    HandleLock lock(g_remap);
    if (!lock)
        return oldId;
    const std::span<const uint8_t> pairs = lock.bytes();
    for (uint32_t i = 0; i < g_remapCount && (i + 1) * 4 <= pairs.size(); ++i)
        if (GetU16(pairs, i * 4) == oldId)
            return GetU16(pairs, i * 4 + 2);
    return oldId;
}
