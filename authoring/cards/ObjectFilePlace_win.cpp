// An object file placed on the card: the object centred on the point, its resources and
// actions stored, its layer made and selected (see ObjectFile.h).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/files/WholeFile.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "objects/PasteObjects.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/ObjectFile.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"

namespace {

// A held copy stored into the stack under the id it had where it came from when that id is free
// (or holds the same data), else a fresh one; the id used, or 0 when the file refuses it.
uint16_t StoreHeld(const ObjectFileHeld& held) {
    ScopedHandle data(NewHandle(static_cast<uint32_t>(held.data.size())));
    if (!data.get())
        return 0;
    if (!held.data.empty()) {
        HandleLock lock(data.get());
        std::memcpy(lock.get(), held.data.data(), held.data.size());
    }
    ResRequest request{};
    request.type = held.type;
    request.id = held.id;
    request.data = data.get();
    request.flags = kResRequestCarryOut | kResRequestCopyData;
    const size_t n = std::min<size_t>(held.name.size(), kResNameSize - 1);
    request.name[0] = static_cast<uint8_t>(n);
    std::memcpy(request.name + 1, held.name.data(), n);
    const StackResFileCurrent current;
    if (!WriteStackResource(&request))
        return 0;
    return request.id ? request.id : 1;  // files without ids need only success
}

// The resources a placing stored so far, taken out again when a later step fails.
class StoredSoFar {
public:
    StoredSoFar() = default;
    StoredSoFar(const StoredSoFar&) = delete;
    StoredSoFar& operator=(const StoredSoFar&) = delete;
    ~StoredSoFar() {
        if (kept_ || made_.empty())
            return;
        const StackResFileCurrent current;
        for (const auto& [type, id] : made_)
            RemoveResourceEntry(type, id);
    }
    void Add(uint32_t type, uint16_t id) { made_.emplace_back(type, id); }
    void Keep() { kept_ = true; }

private:
    std::vector<std::pair<uint32_t, uint16_t>> made_;
    bool kept_ = false;
};

bool IsInStack(uint32_t type, uint16_t id) { return id != 0 && GetStackResIndex(type, id) != 0; }

}  // namespace

bool PlaceObjectFileAtPoint(std::span<const uint8_t> file, int x, int y) {
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return false;
    char stackPath[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof stackPath, stackPath);
    ObjectFileContents contents;
    if (ReadObjectFileRecord(file, SaveConversion(stackPath), contents))
        return false;
    std::vector<uint8_t>& record = contents.record;
    const uint16_t kind = contents.kind;
    const uint16_t id = NewUniqueObjectId();
    SetU16(record, kObjectId, id);
    SetU16(record, kObjectFlags,
           static_cast<uint16_t>(GetU16(record, kObjectFlags) & ~(kObjectDeletedFlag | kObjectBackground)));
    const int width = static_cast<int16_t>(GetU16(record, kObjectRect + 4)) - static_cast<int16_t>(GetU16(record, kObjectRect));
    const int height =
        static_cast<int16_t>(GetU16(record, kObjectRect + 6)) - static_cast<int16_t>(GetU16(record, kObjectRect + 2));
    const int left = x - width / 2, top = y - height / 2;
    SetU16(record, kObjectRect, static_cast<uint16_t>(left));
    SetU16(record, kObjectRect + 2, static_cast<uint16_t>(top));
    SetU16(record, kObjectRect + 4, static_cast<uint16_t>(left + width));
    SetU16(record, kObjectRect + 6, static_cast<uint16_t>(top + height));
    // The held copies first: the ids they get are what the record and its actions name.
    std::vector<ObjectFileIdChange> changes;
    StoredSoFar stored;
    for (const ObjectFileHeld& held : contents.held) {
        const bool there = IsInStack(held.type, held.id);
        const uint16_t storedId = StoreHeld(held);
        if (storedId == 0)
            return false;
        // A copy that found the same data under its own id made nothing new.
        if (storedId != held.id || !there)
            stored.Add(held.type, storedId);
        if (held.id != 0 && storedId != held.id)
            changes.push_back({held.type, held.id, storedId});
    }
    if (kind == kObjectButton)
        RemapObjectFileIds(record, changes);
    else
        RemapObjectFileIds(contents.actions, changes);
    // Then the actions: their id goes into the record before it joins the card.
    if (!contents.actions.empty() && kind != kObjectButton) {
        ScopedHandle actions(NewHandle(static_cast<uint32_t>(contents.actions.size())));
        if (!actions.get())
            return false;
        {
            HandleLock lock(actions.get());
            std::memcpy(lock.get(), contents.actions.data(), contents.actions.size());
        }
        uint16_t actionId = 0;
        if (!StoreActionResource(&actionId, actions.get()))
            return false;
        stored.Add(kActn, actionId);
        const uint32_t word = kind == kObjectGraphic ? kGraphicAction : kTextAction;
        if (record.size() >= word + 2)
            SetU16(record, word, actionId);
    }
    GiveTextToCard(record, GetCardId(card));
    SyncCardFromLayers();
    if (InsertObjectBytes(card, CardObjectsEnd(card), record) != 0)
        return false;
    stored.Keep();
    MarkCardChanged();
    if (const LayerHandle layer = MakeObjectLayer(kind, id)) {
        MarkPlacedTextModified(layer);
        SelectObjectLayer(layer);
        if (const HWND window = GetCardWindow())
            InvalidateRect(window, nullptr, FALSE);
    }
    return true;
}

std::vector<uint8_t> ReadObjectFileBytes(const char* path) {
    constexpr uint32_t kMaxObjectFileBytes = 16u << 20;
    return ReadWholeFile(path, kMaxObjectFileBytes);
}
