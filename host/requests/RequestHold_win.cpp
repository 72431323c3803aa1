// A module's request under an authoring dialog (RequestHold.h): the waiting ones are copied,
// with the texts, rectangles and data their pointers and handles name, and made again once the
// last dialog has ended; the refused ones answer as a failure. Which is which, and what each
// keeps, is the request's row (RequestTable_win.cpp).
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
#include "host/requests/RequestSupport.h"

namespace {

struct ParkedRequest {
    const RequestRow* row = nullptr;
    NbaParamBlock block{};
    // Copies of what the pointers named, and the field each goes back into.
    std::vector<std::pair<BlockField, std::vector<uint8_t>>> copies;
    // Object records named by card record and offset (183, 185): the ids found there now.
    std::vector<std::pair<BlockField, uint16_t>> objectsAt;
    Handle ownedData = 0;      // 127: the resource data taken over, or a copy of it
    bool dataWasCopy = false;  // 127: the module keeps its own handle
    Handle givenText[2] = {};  // 59: the text and style handles it hands over, until made
    // A copy of what a handle of the module held (164), made again with it, then freed.
    Handle handleCopy = 0;
    BlockField handleCopyInto = nullptr;
    ~ParkedRequest() {
        if (ownedData)
            DisposeHandle(ownedData);
        if (handleCopy)
            DisposeHandle(handleCopy);
        for (Handle h : givenText)
            if (ModulesOwnHandle(static_cast<uint32_t>(h)))
                DisposeHandle(h);
    }
};

constexpr uint32_t kLastObjectKindIndex = 2;  // a graphic; the card (3) and its events have no name
constexpr uint32_t kChooseCancelled = 2;

// A name as ReadCallerName reads it, kept NUL-terminated (it reads that form again, whatever its
// length).
void KeepName(ParkedRequest& p, BlockField f) {
    NameBuffer name;
    if (!ReadCallerName(p.block.*f, &name))
        return;
    std::vector<uint8_t> text(name.begin() + 1, name.begin() + 1 + name[0]);
    text.push_back(0);
    p.copies.push_back({f, std::move(text)});
}

// A length-prefixed text, byte for byte.
void KeepPString(ParkedRequest& p, BlockField f) {
    const auto* at = CallerPointer<const uint8_t>(p.block.*f);
    if (at)
        p.copies.push_back({f, std::vector<uint8_t>(at, at + 1 + at[0])});
}

void KeepBytes(ParkedRequest& p, BlockField f, size_t count) {
    const auto* at = CallerPointer<const uint8_t>(p.block.*f);
    if (at)
        p.copies.push_back({f, std::vector<uint8_t>(at, at + count)});
}

uint16_t ObjectIdAt(Handle record, uint32_t offset) {
    return IsCardInList(record) && IsObjectBoundary(record, offset) ? GetHandleWord(record, offset + kObjectId) : 0;
}

void KeepObjectAt(ParkedRequest& p, BlockField f) {
    p.objectsAt.push_back({f, ObjectIdAt(static_cast<Handle>(p.block.param1), p.block.*f)});
}

// The block of the request as it was asked, its pointers on the copies; false when an object it
// named by place is no longer there.
bool Restored(ParkedRequest& p, NbaParamBlock& b) {
    for (const auto& [field, id] : p.objectsAt)
        if (id == 0 || ObjectIdAt(static_cast<Handle>(p.block.param1), p.block.*field) != id)
            return false;
    std::memcpy(&b, &p.block, sizeof b);
    p.givenText[0] = p.givenText[1] = 0;  // the request takes them now
    for (auto& [field, bytes] : p.copies)
        b.*field = BlockValue(bytes.data());
    if (p.handleCopyInto)
        b.*p.handleCopyInto = static_cast<uint32_t>(p.handleCopy);
    if (p.row->keep == ArgumentKeeper::kResourceRequest && !p.copies.empty()) {
        auto* request = reinterpret_cast<ResRequest*>(p.copies.front().second.data());
        request->data = p.ownedData;
        if (!p.dataWasCopy)
            p.ownedData = 0;  // the write takes it
    }
    return true;
}

void RunParked(const std::shared_ptr<ParkedRequest>& p) {
    NbaParamBlock& b = *GetNbaParamBlock();
    SavedRequestBlock saved(b);
    if (Restored(*p, b))
        p->row->handler(b);
    saved.Restore();
}

void KeepNameWhenNoId(ParkedRequest& p) {
    if (p.block.param1 == 0)
        KeepName(p, &NbaParamBlock::param3);
}

// The object reference's names: the object's when its id is 0, the card's when it is chosen by
// name.
void KeepObjectRef(ParkedRequest& p) {
    const NbaParamBlock& b = p.block;
    if ((b.param1 & 0xFFFF) == 0 && b.param2 <= kLastObjectKindIndex)
        KeepName(p, &NbaParamBlock::param3);
    if ((b.param1 >> 16) == kSelectByName)
        KeepName(p, &NbaParamBlock::param4);
}

void KeepScrollTarget(ParkedRequest& p) {
    const NbaParamBlock& b = p.block;
    const bool firstTextObject = b.param1 == 0 && (b.param3 == 0 || CallerPointer<const uint8_t>(b.param3)[0] == 0);
    if (b.param2 == 0 && !firstTextObject)
        KeepObjectRef(p);
}

void KeepGivenText(ParkedRequest& p) {
    // The handles are the request's: given up with it when it is dropped.
    KeepObjectRef(p);
    p.givenText[0] = static_cast<Handle>(p.block.param2);
    p.givenText[1] = static_cast<Handle>(p.block.handled);
}

void KeepSwappedCardNames(ParkedRequest& p) {
    if ((p.block.param1 & 0xFFFF) == 0)
        KeepName(p, &NbaParamBlock::param3);
    if ((p.block.param2 & 0xFFFF) == 0)
        KeepName(p, &NbaParamBlock::param4);
}

void KeepResourceRequest(ParkedRequest& p) {
    auto* request = CallerPointer<ResRequest>(p.block.param1);
    if (!request)
        return;
    KeepBytes(p, &NbaParamBlock::param1, sizeof(ResRequest));
    // Data to be kept is copied now; data handed over is taken now, as the write would.
    p.dataWasCopy = (request->flags & kResRequestCopyData) != 0;
    p.ownedData = request->data;
    if (p.dataWasCopy && (!IsValidHandle(p.ownedData) || HandToHand(&p.ownedData) != 0))
        p.ownedData = 0;
}

void KeepPrintRequest(ParkedRequest& p) {
    // A handle of ours is the module's print request: what it holds now is printed, whatever
    // the module does with its handle meanwhile. Any other value is an option, kept as it is.
    Handle copy = CallerHandle(p.block.param2);
    if (!copy || HandToHand(&copy) != 0)
        return;
    p.handleCopy = copy;
    p.handleCopyInto = &NbaParamBlock::param2;
}

void Keep(ParkedRequest& p) {
    switch (p.row->keep) {
    case ArgumentKeeper::kNothing: break;
    case ArgumentKeeper::kNameWhenNoId: KeepNameWhenNoId(p); break;
    case ArgumentKeeper::kFindText: KeepPString(p, &NbaParamBlock::param1); break;
    case ArgumentKeeper::kMenuItem:
        KeepPString(p, &NbaParamBlock::param3);
        KeepPString(p, &NbaParamBlock::param4);
        break;
    case ArgumentKeeper::kObjectRef: KeepObjectRef(p); break;
    case ArgumentKeeper::kObjectRefAndRect:
        KeepObjectRef(p);
        KeepBytes(p, &NbaParamBlock::handled, 4 * sizeof(int32_t));
        break;
    case ArgumentKeeper::kScrollTarget: KeepScrollTarget(p); break;
    case ArgumentKeeper::kGivenText: KeepGivenText(p); break;
    case ArgumentKeeper::kSwappedCardNames: KeepSwappedCardNames(p); break;
    case ArgumentKeeper::kSortFieldName:
        if (p.block.param1 != 0)
            KeepName(p, &NbaParamBlock::param1);
        break;
    case ArgumentKeeper::kResourceRequest: KeepResourceRequest(p); break;
    case ArgumentKeeper::kPrintRequest: KeepPrintRequest(p); break;
    case ArgumentKeeper::kScriptText:
        if (p.block.param2 != 0 && p.block.param2 <= 0xFFFF)
            KeepBytes(p, &NbaParamBlock::param1, p.block.param2);
        break;
    case ArgumentKeeper::kObjectNameAt:
        KeepObjectAt(p, &NbaParamBlock::param2);
        KeepPString(p, &NbaParamBlock::param4);
        break;
    case ArgumentKeeper::kCardNameText: KeepPString(p, &NbaParamBlock::param3); break;
    case ArgumentKeeper::kSwappedObjects:
        KeepObjectAt(p, &NbaParamBlock::param2);
        KeepObjectAt(p, &NbaParamBlock::param3);
        break;
    }
}

void Answer(HeldAnswer answer, NbaParamBlock& b) {
    switch (answer) {
    case HeldAnswer::kNothing: break;
    case HeldAnswer::kNothingDone: b.param1 = 0; break;
    case HeldAnswer::kNotFound: b.param2 = 0; break;
    case HeldAnswer::kNoResult: b.handled = 0; break;
    case HeldAnswer::kToolUnchanged: b.param2 = GetCurrentTool(); break;
    case HeldAnswer::kCancelled: b.param2 = kChooseCancelled; break;
    case HeldAnswer::kNoDrawingTargets: b.param1 = b.param2 = b.param3 = 0; break;
    }
}

}  // namespace

bool GuardRequest(const RequestRow& row, NbaParamBlock& b) {
    if (!EditorRuns())
        return false;
    const int code = static_cast<int>(row.code);
    const GuardedRequest rule = GuardedRequestOf(code, b);
    if (rule == GuardedRequest::kRuns)
        return false;
    if (rule == GuardedRequest::kWaits) {
        auto parked = std::make_shared<ParkedRequest>();
        parked->row = &row;
        std::memcpy(&parked->block, &b, sizeof b);
        Keep(*parked);
        HoldUnderEditor(HeldScope::kOutside, [parked] { RunParked(parked); });
    }
    Answer(row.answer, b);
    return true;
}
