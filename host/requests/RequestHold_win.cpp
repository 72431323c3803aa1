// A module's request under an authoring dialog (RequestGuard.h): the waiting ones are copied,
// with the texts, rectangles and data their pointers name, and made again once the last dialog
// has ended; the refused ones answer as a failure.
#include "host/requests/RequestHold.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/memory/Handles.h"
#include "actions/NbaModules.h"
#include "core/ui/ToolNumbers.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestGuard.h"

namespace {

constexpr uint32_t kLastObjectKindIndex = 2;  // a graphic; the card (3) and its events have no name
constexpr uint32_t kChooseCancelled = 2;

// The fields of the block a parked request reads through a pointer.
enum Field : int { k50, k54, k58, k62, k66 };

uint32_t& FieldOf(NbaParamBlock& b, Field f) {
    switch (f) {
    case k50: return b.param1;
    case k54: return b.param2;
    case k58: return b.param3;
    case k62: return b.param4;
    default: return b.handled;
    }
}

struct ParkedRequest {
    int code = 0;
    NbaParamBlock block{};
    // Copies of what the pointers named, and the field each goes back into.
    std::vector<std::pair<Field, std::vector<uint8_t>>> copies;
    // Object records named by card record and offset (183, 185): the ids found there now.
    std::vector<std::pair<Field, uint16_t>> objectsAt;
    Handle ownedData = 0;      // 127: the resource data taken over, or a copy of it
    bool dataWasCopy = false;  // 127: the module keeps its own handle
    Handle givenText[2] = {};  // 59: the text and style handles it hands over, until made
    ~ParkedRequest() {
        if (ownedData)
            DisposeHandle(ownedData);
        for (Handle h : givenText)
            if (h && IsValidHandle(h))
                DisposeHandle(h);
    }
};

// A name as ReadCallerName reads it, kept NUL-terminated (it reads that form again, whatever its
// length).
void KeepName(ParkedRequest& p, Field f) {
    NameBuffer name;
    if (!ReadCallerName(FieldOf(p.block, f), &name))
        return;
    std::vector<uint8_t> text(name.begin() + 1, name.begin() + 1 + name[0]);
    text.push_back(0);
    p.copies.push_back({f, std::move(text)});
}

// A length-prefixed text, byte for byte.
void KeepPString(ParkedRequest& p, Field f) {
    const auto* at = CallerPointer<const uint8_t>(FieldOf(p.block, f));
    if (at)
        p.copies.push_back({f, std::vector<uint8_t>(at, at + 1 + at[0])});
}

void KeepBytes(ParkedRequest& p, Field f, size_t count) {
    const auto* at = CallerPointer<const uint8_t>(FieldOf(p.block, f));
    if (at)
        p.copies.push_back({f, std::vector<uint8_t>(at, at + count)});
}

// The object reference's names: the object's when its id is 0, the card's when it is chosen by
// name.
void KeepObjectRef(ParkedRequest& p) {
    const NbaParamBlock& b = p.block;
    if ((b.param1 & 0xFFFF) == 0 && b.param2 <= kLastObjectKindIndex)
        KeepName(p, k58);
    if ((b.param1 >> 16) == kSelectByName)
        KeepName(p, k62);
}

uint16_t ObjectIdAt(Handle record, uint32_t offset) {
    return IsCardInList(record) && IsObjectBoundary(record, offset) ? GetHandleWord(record, offset + kObjectId) : 0;
}

void KeepObjectAt(ParkedRequest& p, Field f) {
    p.objectsAt.push_back({f, ObjectIdAt(static_cast<Handle>(p.block.param1), FieldOf(p.block, f))});
}

// What a waiting request's pointers name, copied now: the module may free them once it is back.
void KeepArguments(ParkedRequest& p) {
    NbaParamBlock& b = p.block;
    switch (p.code) {
    case 5:
        if (b.param1 == 0)
            KeepName(p, k58);
        break;
    case 8: KeepPString(p, k50); break;
    case 10:
        KeepPString(p, k58);
        KeepPString(p, k62);
        break;
    case 59:
        // The handles are the request's: given up with it when it is dropped.
        KeepObjectRef(p);
        p.givenText[0] = static_cast<Handle>(b.param2);
        p.givenText[1] = static_cast<Handle>(b.handled);
        break;
    case 26: case 27: case 28: case 29: case 30: case 34: case 38: case 43: case 99: case 109: case 180:
        KeepObjectRef(p);
        break;
    case 32:
        KeepObjectRef(p);
        KeepBytes(p, k66, 4 * sizeof(int32_t));
        break;
    case 44:
        if (b.param2 == 0 && !(b.param1 == 0 && (b.param3 == 0 || CallerPointer<const uint8_t>(b.param3)[0] == 0)))
            KeepObjectRef(p);
        break;
    case 62:
        if ((b.param1 & 0xFFFF) == 0)
            KeepName(p, k58);
        if ((b.param2 & 0xFFFF) == 0)
            KeepName(p, k62);
        break;
    case 63:
        if (b.param1 != 0)
            KeepName(p, k50);
        break;
    case 119:
        if (b.param1 == 0)
            KeepName(p, k58);
        break;
    case 127:
        if (auto* request = CallerPointer<ResRequest>(b.param1)) {
            KeepBytes(p, k50, sizeof(ResRequest));
            // Data to be kept is copied now; data handed over is taken now, as the write would.
            p.dataWasCopy = (request->flags & kResRequestCopyData) != 0;
            p.ownedData = request->data;
            if (p.dataWasCopy && (!IsValidHandle(p.ownedData) || HandToHand(&p.ownedData) != 0))
                p.ownedData = 0;
        }
        break;
    case 172:
        if (b.param2 != 0 && b.param2 <= 0xFFFF)
            KeepBytes(p, k50, b.param2);
        break;
    case 183:
        KeepObjectAt(p, k54);
        KeepPString(p, k62);
        break;
    case 184: KeepPString(p, k58); break;
    case 185:
        KeepObjectAt(p, k54);
        KeepObjectAt(p, k58);
        break;
    default: break;
    }
}

// The block of the request as it was asked, its pointers on the copies; false when an object it
// named by place is no longer there.
bool Restored(ParkedRequest& p, NbaParamBlock& b) {
    for (const auto& [field, id] : p.objectsAt)
        if (id == 0 || ObjectIdAt(static_cast<Handle>(p.block.param1), FieldOf(p.block, field)) != id)
            return false;
    std::memcpy(&b, &p.block, sizeof b);
    p.givenText[0] = p.givenText[1] = 0;  // the request takes them now
    for (auto& [field, bytes] : p.copies)
        FieldOf(b, field) = BlockValue(bytes.data());
    if (p.code == 127 && !p.copies.empty()) {
        auto* request = reinterpret_cast<ResRequest*>(p.copies.front().second.data());
        request->data = p.ownedData;
        if (!p.dataWasCopy)
            p.ownedData = 0;  // the write takes it
    }
    return true;
}

void RunParked(const std::shared_ptr<ParkedRequest>& p) {
    const RequestHandler handler = RequestHandlerOf(p->code);
    NbaParamBlock& b = *GetNbaParamBlock();
    SavedRequestBlock saved(b);
    if (handler && Restored(*p, b))
        handler(b);
    saved.Restore();
}

// What the module learns of a request that waits: nothing done yet.
void AnswerWaiting(int code, NbaParamBlock& b) {
    switch (code) {
    case 8: b.param2 = 0; break;
    case 44: case 99: case 164: case 180: b.param1 = 0; break;
    case 146: b.param2 = GetCurrentTool(); break;
    case 151: b.param2 = kChooseCancelled; break;
    case 185: b.handled = 0; break;
    default: break;
    }
}

// A refused request answers as its failure does.
void AnswerRefused(int code, NbaParamBlock& b) {
    switch (code) {
    case 48: b.param1 = b.param2 = b.param3 = 0; break;
    case 129: b.handled = 0; break;
    default: b.param1 = 0; break;  // 86 no drawing context, 115 no picture
    }
}

}  // namespace

bool GuardRequest(int code, NbaParamBlock& b) {
    if (!EditorRuns())
        return false;
    switch (GuardedRequestOf(code, b)) {
    case GuardedRequest::kRuns:
        return false;
    case GuardedRequest::kRefused:
        AnswerRefused(code, b);
        return true;
    case GuardedRequest::kWaits:
        break;
    }
    auto parked = std::make_shared<ParkedRequest>();
    parked->code = code;
    std::memcpy(&parked->block, &b, sizeof b);
    KeepArguments(*parked);
    HoldUnderEditor(HeldScope::kOutside, [parked] { RunParked(parked); });
    AnswerWaiting(code, b);
    return true;
}
