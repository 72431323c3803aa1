// The object reference most requests take, and the redraw of the object a request changed with
// the update state of requests 152, 170 and 171.
#include "host/requests/HostRequests.h"

#include "core/events/EditorGuard.h"
#include "cardview/card/CardRedraw.h"
#include "host/player/CardNavigation.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr uint16_t kSelectCurrent = 0;
constexpr uint16_t kSelectAnyCard = 65535;
constexpr uint32_t kKindIndexCard = 3;

bool g_updatesSuppressed = false;  // request 170 until 171
int g_updateMode = 1;              // request 152: 2 takes the next update's transition from the block

struct Found {
    Handle record = 0;
    uint32_t offset = 0;
};

// The object of the kind with the id (or, for id 0, the name) among the objects visible on the
// card: its own, then its background's.
bool FindOnCard(Handle card, uint16_t kind, uint16_t id, const NameBuffer& name, Found* found) {
    uint32_t field = 0, room = 0;
    if (!ObjectNameField(kind, &field, &room))
        return false;
    ObjectScan scan;
    BeginObjectScan(scan, card, false);
    ScannedObject object;
    bool hit = false;
    while (!hit && NextObjectInScan(scan, &object, true)) {
        if (object.kind != kind)
            continue;
        if (id != 0) {
            hit = object.id == id;
        } else if (object.length >= field + room) {
            // The walk keeps the record locked: this lock only reads the address again.
            HandleLock lock(object.record);
            hit = lock && NamesMatch(lock.get() + object.offset + field, room, name);
        }
    }
    EndObjectScan(scan);
    if (hit)
        *found = {object.record, object.offset};
    return hit;
}

// The card the high word of [50] selects; 0 when none.
Handle SelectedCard(uint16_t selector, uint32_t cardName) {
    switch (selector) {
    case kSelectCurrent:
        return GetCurrentCardRecord();
    case kSelectByName: {
        NameBuffer name;
        if (!ReadCallerName(cardName, &name) || name[0] == 0)
            return 0;
        return FindCardByName(name.data());
    }
    case kSelectAnyCard:
        return GetCurrentCardRecord();
    default:
        return FindCardById(selector);
    }
}

// The 'Actn' id of a stack or card event (kind indexes 5 to 10); 0 when none.
uint16_t EventActionId(uint32_t kindIndex, Handle card) {
    switch (kindIndex) {
    case 5:
        return GetHandleWord(GetStackHeaderHandle(), kHeaderStackActionA);
    case 6:
        return GetHandleWord(GetStackHeaderHandle(), kHeaderClosingAction);
    case 7:
        return GetHandleWord(GetStackHeaderHandle(), kHeaderStackActionB);
    case 8:
        return GetHandleWord(card, kCardAction1);
    case 9:
        return GetHandleWord(card, kCardAction2);
    case 10:
        return GetHandleWord(card, kCardAction3);
    default:
        return 0;
    }
}

}  // namespace

bool ResolveObjectRef(NbaParamBlock& b) {
    const uint16_t id = static_cast<uint16_t>(b.param1 & 0xFFFF);
    const uint16_t selector = static_cast<uint16_t>(b.param1 >> 16);
    const uint32_t kindIndex = b.param2;
    const uint32_t namePointer = b.param3;
    b.param1 = b.param2 = b.param3 = 0;

    const Handle card = SelectedCard(selector, b.param4);
    if (!card || IsCardDeleted(card))
        return false;
    if (kindIndex == kKindIndexCard) {
        b.param2 = static_cast<uint32_t>(card);
        b.param3 = static_cast<uint32_t>(card);
        return true;
    }
    if (kindIndex >= 5 && kindIndex <= 10) {
        const uint16_t action = EventActionId(kindIndex, card);
        if (action == 0)
            return false;
        b.param1 = action;
        b.param2 = static_cast<uint32_t>(card);
        b.param3 = static_cast<uint32_t>(card);
        return true;
    }
    const uint16_t kind = ObjectKindOfIndex(kindIndex);
    if (kind == 0)
        return false;
    NameBuffer name{};
    if (id == 0 && (!ReadCallerName(namePointer, &name) || name[0] == 0))
        return false;

    Found found;
    Handle where = card;
    if (selector == kSelectAnyCard) {
        where = 0;
        for (int i = 1; i <= CountCards() && !where; ++i) {
            const Handle other = GetCardByIndex(i);
            if (!IsCardDeleted(other) && FindOnCard(other, kind, id, name, &found))
                where = other;
        }
        if (!where)
            return false;
    } else if (!FindOnCard(card, kind, id, name, &found)) {
        return false;
    }
    b.param1 = found.offset;
    b.param2 = static_cast<uint32_t>(found.record);
    b.param3 = static_cast<uint32_t>(where);
    return true;
}

void UpdateResolvedObject(NbaParamBlock& b) {
    const int mode = g_updateMode;
    g_updateMode = 1;
    const Handle record = static_cast<Handle>(b.param2);
    if (g_updatesSuppressed || record == 0 || static_cast<Handle>(b.param3) != GetCurrentCardRecord())
        return;
    const uint16_t kind = GetHandleWord(record, b.param1 + kObjectKind);
    const uint16_t id = GetHandleWord(record, b.param1 + kObjectId);
    if (ObjectIndexOfKind(kind) < 0)
        return;
    const int transition = mode == 2 ? static_cast<int>(b.param4) : kPlainTransition;
    const int speed = mode == 2 ? static_cast<int>(b.handled) : kPlainSpeed;
    SavedRequestBlock saved(b);
    UpdateObjectOnCard(kind, id, {transition, 0, speed}, 0);
    saved.Restore();
}

void UpdateRequestedObject(NbaParamBlock& b) {
    if (ResolveObjectRef(b))
        UpdateResolvedObject(b);
    else
        g_updateMode = 1;
}

void CbSetUpdateMode(NbaParamBlock& b) {
    const uint16_t mode = static_cast<uint16_t>(b.param1 & 0xFFFF);
    g_updateMode = mode == 2 ? 2 : 1;
}

void CbLockScreen(NbaParamBlock&) { g_updatesSuppressed = true; }

void CbUnlockScreen(NbaParamBlock&) {
    g_updatesSuppressed = false;
    if (!HoldUnderEditor(HeldScope::kCard, [] { RefreshCurrentCard(0); }))
        RefreshCurrentCard(0);
}


int RequestUpdateMode() { return g_updateMode; }
bool RequestUpdatesSuppressed() { return g_updatesSuppressed; }
