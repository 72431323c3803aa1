// Requests on the objects of cards: walking a record's objects, the object reference, flags,
// rectangles, values, names, order, performing and hit testing: 22 to 35, 37, 43, 93, 122, 180,
// 182, 183, 185, 188 and 189 (38 is UpdateRequestedObject itself).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "actions/ActionRecord.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardNavigation.h"
#include "host/player/ObjectActions.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr size_t kMaxObjectName = 15;
// Request 34 stores an object's value where a button keeps its icon id and shows it, and on
// this bit of its parameter sets kButtonNoHilite too.
constexpr uint32_t kSetValueNoHilite = 0x04;
constexpr uint32_t kScriptChunk = kTagLogo;

RECT g_objectRect{};               // request 31's answer
NameBuffer g_objectName{};              // request 182's copy
NameBuffer g_performedNames[3]{};       // request 180: the text object's and graphic object's name

// The object of the block's reference (kinds 0 to 2 only): its record, offset, kind and id.
struct RefObject {
    Handle record = 0;
    uint32_t offset = 0;
    uint16_t kind = 0;
    uint16_t id = 0;
};

bool ResolveObject(NbaParamBlock& b, RefObject* object) {
    const uint32_t kindIndex = b.param2;
    if (kindIndex > 2 || !ResolveObjectRef(b))
        return false;
    object->record = static_cast<Handle>(b.param2);
    object->offset = b.param1;
    object->kind = GetHandleWord(object->record, object->offset + kObjectKind);
    object->id = GetHandleWord(object->record, object->offset + kObjectId);
    return ObjectIndexOfKind(object->kind) >= 0;
}

void ChangeObjectFlags(NbaParamBlock& b, uint16_t set, uint16_t clear, bool update) {
    RefObject object;
    if (!ResolveObject(b, &object))
        return;
    SetObjectFlags(object.record, object.offset, set, clear);
    if (update)
        UpdateResolvedObject(b);
}

// The object's name (trimmed to its field) as a length-prefixed copy.
void CopyObjectName(Handle record, uint32_t offset, uint16_t kind, NameBuffer* name) {
    name->fill(0);
    uint32_t field = 0, room = 0;
    uint32_t length = 0;
    if (!ObjectNameField(kind, &field, &room) || !IsObjectBoundary(record, offset, nullptr, &length) ||
        length < field + room)
        return;
    HandleLock lock(record);
    if (!lock)
        return;
    const uint8_t* stored = lock.get() + offset + field;
    const size_t n = std::min<size_t>(stored[0], room - 1);
    (*name)[0] = static_cast<uint8_t>(n);
    std::memcpy(name->data() + 1, stored + 1, n);
}

// The script chunk of a button-shaped record (a button, or an 'Actn' at offset 0) as a new
// handle; 0 when it has none.
Handle ScriptOfRecord(Handle record, uint32_t recordOffset) {
    uint32_t at = 0;
    if (!record || !FindObjectChunk(record, recordOffset, kScriptChunk, &at))
        return 0;
    const std::vector<uint8_t> bytes = HandleToBytes(record);
    const uint32_t chunk = recordOffset + at;
    if (chunk + kChunkHeaderBytes > bytes.size())
        return 0;
    const uint32_t length = GetU32(bytes, chunk + kObjectLength);
    if (length < kChunkHeaderBytes || length > bytes.size() - chunk)
        return 0;
    return CopyChunkData(std::span<const uint8_t>(bytes).subspan(chunk, length));
}

Handle ScriptOfAction(uint16_t actionId) {
    return actionId ? ScriptOfRecord(GetResource(ResType("Actn"), actionId), 0) : 0;
}

// The 'Actn' id a text or graphic object keeps; 0 for buttons and others.
uint16_t ObjectActionId(const RefObject& object) {
    switch (object.kind) {
    case kObjectText:
        return GetHandleWord(object.record, object.offset + kTextAction);
    case kObjectGraphic:
        return GetHandleWord(object.record, object.offset + kGraphicAction);
    default:
        return 0;
    }
}

// The layer of an object of the current card, with its region copied for the caller; null when
// it has none.
HRGN CopyLayerRegion(uint16_t kind, uint16_t id, RECT* bounds, HWND* own) {
    const LayerHandle layer = FindLayer(kind, id);
    if (!layer)
        return nullptr;
    LayerLock<ObjectLayer> lock(layer);
    if (!lock)
        return nullptr;
    *bounds = lock->bounds;
    if (own)
        *own = nullptr;
    if (own && kind == kObjectText) {
        LayerLock<FieldLayer> field(layer);
        if (field)
            *own = field->window;
    }
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (lock->region)
        CombineRgn(copy, lock->region, nullptr, RGN_COPY);
    else
        SetRectRgn(copy, bounds->left, bounds->top, bounds->right, bounds->bottom);
    return copy;
}

// A one-bit bitmap of the region over its bounds: white inside.
HBITMAP RegionMask(HRGN region, const RECT& bounds) {
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    OwnedGdiObject<HBITMAP> mask(CreateBitmap(width, height, 1, 1, nullptr));
    MemoryDC dc(nullptr);
    if (!mask || !dc)
        return nullptr;
    {
        SelectedObject selected(dc.get(), mask.get());
        PatBlt(dc.get(), 0, 0, width, height, BLACKNESS);
        OffsetRgn(region, -bounds.left, -bounds.top);
        FillRgn(dc.get(), region, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        OffsetRgn(region, bounds.left, bounds.top);
    }
    return mask.release();
}

}  // namespace

const uint8_t* LastPerformedObjectName(int kindIndex) {
    if (kindIndex == 0)
        return LastButtonName();
    return kindIndex > 0 && kindIndex < 3 ? g_performedNames[kindIndex].data() : nullptr;
}

void CbGetFirstObject(NbaParamBlock& b) {
    const Handle card = static_cast<Handle>(b.param1);
    b.param1 = 0;
    if (!IsCardInList(card))
        return;
    HandleLock lock(card);
    if (!lock)
        return;
    CardObjectWalk walk({lock.get(), GetHandleSize(card)});
    ObjectPlace place;
    b.param1 = walk.Next(place) ? place.offset : walk.Position();
}

void CbGetNextObject(NbaParamBlock& b) {
    const uint32_t offset = b.param1;
    const Handle card = static_cast<Handle>(b.param2);
    b.param1 = 0;
    uint32_t length = 0;
    if (!IsCardInList(card) || !IsObjectBoundary(card, offset, nullptr, &length))
        return;
    HandleLock lock(card);
    if (!lock)
        return;
    CardObjectWalk walk({lock.get(), GetHandleSize(card)}, offset + length);
    ObjectPlace place;
    b.param1 = walk.Next(place) ? place.offset : walk.Position();
}

void CbFindObject(NbaParamBlock& b) { ResolveObjectRef(b); }

void CbHideObject(NbaParamBlock& b) { ChangeObjectFlags(b, kObjectHidden, 0, true); }
void CbShowObject(NbaParamBlock& b) { ChangeObjectFlags(b, 0, kObjectHidden, true); }
void CbLockObject(NbaParamBlock& b) { ChangeObjectFlags(b, kObjectLocked, 0, false); }
void CbUnlockObject(NbaParamBlock& b) { ChangeObjectFlags(b, 0, kObjectLocked, false); }

void CbDeleteObject(NbaParamBlock& b) {
    RefObject object;
    if (!ResolveObject(b, &object))
        return;
    SetObjectFlags(object.record, object.offset, kObjectDeletedFlag, 0);
    if (static_cast<Handle>(b.param3) != GetCurrentCardRecord())
        return;
    RECT area{};
    if (const LayerHandle layer = FindLayer(object.kind, object.id)) {
        {
            LayerLock<ObjectLayer> lock(layer);
            if (lock)
                area = lock->bounds;
        }
        RemoveLayer(layer);
    }
    const HWND window = GetMainWindow();
    if (!window)
        return;
    InvalidateRect(window, IsRectEmpty(&area) ? nullptr : &area, FALSE);
    UpdateWindow(window);
}

void CbGetObjectRect(NbaParamBlock& b) {
    RefObject object;
    if (!ResolveObject(b, &object)) {
        b.param1 = 0;
        return;
    }
    g_objectRect = {static_cast<int16_t>(GetHandleWord(object.record, object.offset + kObjectRect)),
                    static_cast<int16_t>(GetHandleWord(object.record, object.offset + kObjectRect + 2)),
                    static_cast<int16_t>(GetHandleWord(object.record, object.offset + kObjectRect + 4)),
                    static_cast<int16_t>(GetHandleWord(object.record, object.offset + kObjectRect + 6))};
    b.param1 = BlockValue(&g_objectRect);
}

void CbSetObjectRect(NbaParamBlock& b) {
    const RECT* wanted = CallerPointer<const RECT>(b.handled);
    RefObject object;
    if (!wanted || !ResolveObject(b, &object))
        return;
    const RECT r = *wanted;
    const int32_t sides[4] = {r.left, r.top, r.right, r.bottom};
    for (int i = 0; i < 4; ++i)
        SetHandleWord(object.record, object.offset + kObjectRect + 2 * i,
                      static_cast<uint16_t>(std::clamp<int32_t>(sides[i], INT16_MIN, INT16_MAX)));
    MarkCardChanged();
    UpdateResolvedObject(b);
}

void CbGetObjectValue(NbaParamBlock& b) {
    RefObject object;
    if (!ResolveObject(b, &object))
        return;
    b.param1 = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(GetHandleWord(object.record, object.offset + kButtonIconId))));
}

void CbSetObjectValue(NbaParamBlock& b) {
    // Bit 2 of [54] asks for the extra bit; the rest of [54] is the kind index.
    const bool extra = (b.param2 & kSetValueNoHilite) != 0;
    b.param2 &= ~kSetValueNoHilite;
    const uint16_t value = static_cast<uint16_t>(b.param4);
    RefObject object;
    uint32_t length = 0;
    if (!ResolveObject(b, &object) || !IsObjectBoundary(object.record, object.offset, nullptr, &length) ||
        length < kButtonIconId + 2)
        return;
    uint16_t flags = GetHandleWord(object.record, object.offset + kButtonOptions) | kButtonShowIcon;
    if (extra)
        flags |= kButtonNoHilite;
    SetHandleWord(object.record, object.offset + kButtonOptions, flags);
    SetHandleWord(object.record, object.offset + kButtonIconId, value);
    UpdateResolvedObject(b);
}

void CbGetObjectInfo(NbaParamBlock& b) {
    const Handle record = static_cast<Handle>(b.param1);
    const uint32_t offset = b.param2;
    b.param1 = b.param2 = b.param3 = b.param4 = b.handled = 0;
    uint16_t kind = 0;
    uint32_t length = 0;
    uint32_t field = 0, room = 0;
    if (!IsCardInList(record) || !IsObjectBoundary(record, offset, &kind, &length) || !ObjectNameField(kind, &field, &room))
        return;
    const uint16_t id = GetHandleWord(record, offset + kObjectId);
    b.param1 = id;
    b.param2 = static_cast<uint32_t>(GetObjectIndex(record, kind, id));
    b.param3 = field;
    b.param4 = length;
    b.handled = GetHandleWord(record, offset + kObjectFlags);
}

void CbGetObjectPos(NbaParamBlock& b) {
    RefObject object;
    if (!ResolveObject(b, &object))
        return;
    const auto side = [&](uint32_t i) { return static_cast<int16_t>(GetHandleWord(object.record, object.offset + kObjectRect + 2 * i)); };
    b.param1 = static_cast<uint32_t>((side(0) + side(2)) / 2);
    b.param2 = static_cast<uint32_t>((side(1) + side(3)) / 2);
}

void CbDoButton(NbaParamBlock& b) {
    SavedRequestBlock saved(b);
    b.param2 = 0;
    RefObject object;
    if (!ResolveObject(b, &object)) {
        saved.Restore();
        return;
    }
    saved.Restore();
    DoButtonActions(GetMainWindow(), object.id, kByEvent);
    saved.Restore();
}

void CbFindObjectOnCard(NbaParamBlock& b) {
    b.param1 &= 0xFFFF;
    ResolveObjectRef(b);
}

void CbInvertObject(NbaParamBlock& b) {
    const uint32_t mode = b.handled;
    RefObject object;
    if (!ResolveObject(b, &object) || static_cast<Handle>(b.param3) != GetCurrentCardRecord()) {
        b.param1 = b.param2 = 0;
        return;
    }
    const Handle record = object.record;
    RECT bounds{};
    HWND own = nullptr;
    OwnedGdiObject<HRGN> region(CopyLayerRegion(object.kind, object.id, &bounds, &own));
    b.param1 = b.param2 = 0;
    if (!region)
        return;
    switch (mode) {
    case 0:
        b.param1 = BlockValue(RegionMask(region.get(), bounds));
        b.param2 = static_cast<uint32_t>(record);
        return;
    case 1:
    case 3: {
        const HWND window = own ? own : GetMainWindow();
        if (own)
            OffsetRgn(region.get(), -bounds.left, -bounds.top);
        if (WindowDC dc(window); window && dc)
            InvertRgn(dc.get(), region.get());
        return;
    }
    case 2:
        b.param1 = BlockValue(region.release());
        return;
    default:
        return;
    }
}

void CbDoObjectActions(NbaParamBlock& b) {
    const uint32_t kindIndex = b.param2;
    SavedRequestBlock saved(b);
    if (!ResolveObjectRef(b)) {
        saved.Restore();
        b.param1 = 0;
        return;
    }
    const NbaParamBlock found = b;
    saved.Restore();
    if (kindIndex >= 5 && kindIndex <= 10) {
        static constexpr uint32_t kLabels[] = {2033, 2034, 2035, 2030, 2031, 2032};
        const bool leaving = kindIndex == 6 || kindIndex == 9;
        // A module's "click" is the module's, not the person's.
        RunCardAction(static_cast<uint16_t>(found.param1), kByEvent, leaving, kLabels[kindIndex - 5]);
    } else if (kindIndex <= 2) {
        RefObject object{static_cast<Handle>(found.param2), found.param1, 0, 0};
        object.kind = GetHandleWord(object.record, object.offset + kObjectKind);
        object.id = GetHandleWord(object.record, object.offset + kObjectId);
        if (object.kind == kObjectButton) {
            DoButtonActions(GetMainWindow(), object.id, kByEvent);
        } else if (const int index = ObjectIndexOfKind(object.kind); index > 0) {
            NameBuffer name;
            CopyObjectName(object.record, object.offset, object.kind, &name);
            g_performedNames[index] = name;
            std::string label(reinterpret_cast<const char*>(name.data() + 1), name[0]);
            PerformActionResource(ObjectActionId(object), kByEvent, 0, label.c_str());
        }
    }
    saved.Restore();
    b.param1 = 1;
}

void CbGetObjectNameAt(NbaParamBlock& b) {
    const Handle record = static_cast<Handle>(b.param1);
    const uint32_t offset = b.param2;
    const uint32_t mode = b.param3;
    b.param1 = b.param2 = b.param3 = 0;
    uint16_t kind = 0;
    if ((mode != 1 && mode != 2) || !IsCardInList(record) || !IsObjectBoundary(record, offset, &kind))
        return;
    const int index = ObjectIndexOfKind(kind);
    if (index < 0)
        return;
    b.param1 = 1;
    b.param2 = GetHandleWord(record, offset + kObjectFlags);
    if (mode == 1) {
        b.param3 = static_cast<uint32_t>(index);
    } else {
        CopyObjectName(record, offset, kind, &g_objectName);
        b.param3 = BlockValue(g_objectName.data());
    }
}

void CbSetObjectName(NbaParamBlock& b) {
    const Handle record = static_cast<Handle>(b.param1);
    const uint32_t offset = b.param2;
    uint16_t kind = 0;
    uint32_t length = 0, field = 0, room = 0;
    NameBuffer name;
    if (b.param3 != 2 || !IsCardInList(record) || !IsObjectBoundary(record, offset, &kind, &length) ||
        !ObjectNameField(kind, &field, &room) || length < field + room ||
        !ReadCallerPString(b.param4, std::min<size_t>(kMaxObjectName, room - 1), &name))
        return;
    {
        HandleLock lock(record);
        if (!lock)
            return;
        std::memset(lock.get() + offset + field, 0, room);
        std::memcpy(lock.get() + offset + field, name.data(), 1 + name[0]);
    }
    MarkCardChanged();
    if (record == GetCurrentCardRecord() || record == ResolvePictureResource(GetCurrentCardRecord())) {
        SavedRequestBlock saved(b);
        const uint16_t id = GetHandleWord(record, offset + kObjectId);
        b.param1 = id;
        b.param2 = static_cast<uint32_t>(ObjectIndexOfKind(kind));
        UpdateRequestedObject(b);
        saved.Restore();
    }
}

void CbSwapObjects(NbaParamBlock& b) {
    const Handle record = static_cast<Handle>(b.param1);
    uint32_t first = b.param2, second = b.param3;
    b.handled = 0;
    uint32_t firstLength = 0, secondLength = 0;
    uint16_t firstKind = 0, secondKind = 0;
    if (first == second || !IsCardInList(record) || !IsObjectBoundary(record, first, &firstKind, &firstLength) ||
        !IsObjectBoundary(record, second, &secondKind, &secondLength))
        return;
    if (first > second) {
        std::swap(first, second);
        std::swap(firstLength, secondLength);
        std::swap(firstKind, secondKind);
    }
    std::vector<uint8_t> bytes = HandleToBytes(record);
    // [first, first + firstLength) and [second, second + secondLength) exchange places; the
    // bytes between them stay in order.
    std::vector<uint8_t> swapped(bytes.begin(), bytes.begin() + first);
    swapped.insert(swapped.end(), bytes.begin() + second, bytes.begin() + second + secondLength);
    swapped.insert(swapped.end(), bytes.begin() + first + firstLength, bytes.begin() + second);
    swapped.insert(swapped.end(), bytes.begin() + first, bytes.begin() + first + firstLength);
    swapped.insert(swapped.end(), bytes.begin() + second + secondLength, bytes.end());
    if (SetHandleBytes(record, swapped) != 0)
        return;
    MarkCardChanged();
    b.handled = 1;
    SavedRequestBlock saved(b);
    for (const auto& [kind, id] : {std::pair{firstKind, GetU16(bytes, first + kObjectId)},
                                   std::pair{secondKind, GetU16(bytes, second + kObjectId)}}) {
        b.param1 = id;
        b.param2 = static_cast<uint32_t>(ObjectIndexOfKind(kind));
        UpdateRequestedObject(b);
    }
    saved.Restore();
}

void CbHitTestObjects(NbaParamBlock& b) {
    const POINT* at = CallerPointer<const POINT>(b.param1);
    b.param1 = b.param2 = 0;
    if (!at)
        return;
    const LayerHandle layer = HitTestLayers(at->x, at->y, false, 0);
    if (!layer)
        return;
    LayerLock<ObjectLayer> lock(layer);
    if (!lock)
        return;
    b.param1 = lock->id;
    b.param2 = static_cast<uint32_t>(std::max(ObjectIndexOfKind(lock->kind), 0));
}

void CbGetObjectChunk(NbaParamBlock& b) {
    const uint32_t kindIndex = b.param2;
    if (!ResolveObjectRef(b)) {
        b.param1 = 0;
        return;
    }
    Handle script = 0;
    if (kindIndex >= 5 && kindIndex <= 10) {
        script = ScriptOfAction(static_cast<uint16_t>(b.param1));
    } else if (kindIndex <= 2) {
        RefObject object{static_cast<Handle>(b.param2), b.param1, 0, 0};
        object.kind = GetHandleWord(object.record, object.offset + kObjectKind);
        if (object.kind == kObjectButton) {
            script = ScriptOfRecord(object.record, object.offset);
        } else {
            script = ScriptOfAction(ObjectActionId(object));
        }
    }
    b.param1 = static_cast<uint32_t>(GiveToModule(script));
}
