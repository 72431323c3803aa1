// Copy Card, Cut Card and Paste Card: a whole card record travels with its picture (a sharing
// card takes its holder's picture and background objects along), the resources of its buttons
// and its three card actions.
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/ToolNumbers.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/depth/StackDepth.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/save/SaveStack.h"
#include "stack/undo/Undo.h"

namespace {

constexpr uint32_t kCardActionOffsets[kHeldActionSlots] = {kCardAction1, kCardAction2, kCardAction3};

bool IsLive(Handle card) { return card && !IsCardDeleted(card); }

// The picture block's length when the record holds one at 96 that fits; else 0.
uint32_t PictureBlockLength(Handle record) {
    HandleLock lock(record);
    if (!lock)
        return 0;
    const std::span<const uint8_t> r = lock.bytes();
    if (r.size() < kPictureBlockLength + 4)
        return 0;
    const uint32_t length = GetU32(r, kPictureBlockLength);
    if (length < kPictureBlockHeaderBytes || length > r.size() - kMinCardRecordBytes)
        return 0;
    return length;
}

// The background-layer objects of a record that are not marked deleted, as bytes.
std::vector<uint8_t> BackgroundObjects(Handle record) {
    std::vector<uint8_t> out;
    WalkCardObjects(record, [&](const ObjectPlace& place, std::span<const uint8_t> r) {
        if ((place.flags & kObjectBackground) && !(place.flags & kObjectDeletedFlag))
            out.insert(out.end(), r.begin() + place.offset, r.begin() + place.offset + place.length);
        return true;
    });
    return out;
}

// A sharing card's copy takes its holder's picture block and background objects at 96.
bool AddHolderPicture(Handle copy, Handle holder) {
    const uint32_t length = PictureBlockLength(holder);
    if (!length)
        return true;
    std::vector<uint8_t> insert;
    {
        HandleLock lock(holder);
        insert.assign(lock.get() + kPictureBlockOffset, lock.get() + kPictureBlockOffset + length);
    }
    const std::vector<uint8_t> objects = BackgroundObjects(holder);
    insert.insert(insert.end(), objects.begin(), objects.end());
    if (InsertBytesInHandle(copy, insert.data(), kPictureBlockOffset, static_cast<uint32_t>(insert.size())) != 0)
        return false;
    SyncCardLength(copy);
    return true;
}

// The picture block cut out of a record whose kind word does not say it has one, and its
// background-layer objects removed (they stay with the card it shares).
void CutSharedParts(Handle copy) {
    if (const uint32_t length = PictureBlockLength(copy))
        DeleteFromHandle(copy, kPictureBlockOffset, length);
    SetHandleWord(copy, kCardKind, kCardKindShared);
    SyncCardLength(copy);
    ObjectPlace place;
    while (FirstCardObject(copy, [](const ObjectPlace& p) { return (p.flags & kObjectBackground) != 0; }, &place))
        if (!place.offset || RemoveObjectRecord(copy, place.offset) != 0)
            break;
}

// Whether a live sharing card names this id as its picture holder.
bool IsNamedByLiveSharer(uint16_t id) {
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (IsLive(card) && GetCardKind(card) == kCardKindShared && GetHandleWord(card, kCardBackgroundId) == id)
            return true;
    }
    return false;
}

// A new card id from the header's counter that no card in the list uses, deleted or not.
uint16_t TakeFreshCardId() {
    const Handle header = GetStackHeaderHandle();
    uint16_t id = GetHandleWord(header, kHeaderNextCardId);
    for (uint32_t tries = 0; tries <= 0xFFFF && (id == 0 || FindCardById(id)); ++tries)
        id = static_cast<uint16_t>(id + 1);
    if (id == 0 || FindCardById(id))
        return 0;
    SetHandleWord(header, kHeaderNextCardId, static_cast<uint16_t>(id == 0xFFFF ? 1 : id + 1));
    return id;
}

void Renumber(Handle copy, uint16_t oldId, uint16_t newId) {
    SetHandleWord(copy, kCardId, newId);
    for (const ObjectPlace& place : CardObjectPlaces(copy))
        if (place.kind == kObjectText && place.length >= kTextOwnerCard + 2 &&
            GetHandleWord(copy, place.offset + kTextOwnerCard) == oldId)
            SetHandleWord(copy, place.offset + kTextOwnerCard, newId);
}

// Into the list after the current card; a new stack that was never changed gives up its one
// card instead.
bool InsertPastedCard(Handle copy) {
    const Handle current = GetCurrentCardRecord();
    if (IsStackChanged() || StackHasFile() || CountCards() != 1 || !current) {
        ClearStackChanged();
        return AddCardRecord(copy, current ? GetCardIndex(current) : CountCards()) == 0;
    }
    const int count = GetCardCount();
    if (AddCardRecord(copy, 1) != 0)
        return false;
    const Handle replaced = TakeCardRecordAt(1);
    FreeCardTestingAnswer(replaced);
    DisposeHandle(replaced);
    SetCardCount(count);
    ClearStackChanged();
    return true;
}

// The card's pictures brought to this stack's depth and card size.
void ConvertPastedCard(Handle copy) {
    const int depth = static_cast<int16_t>(GetHandleWord(copy, kCardDepth));
    const int display = DisplayDepthForStack();
    const int working = GetScreenDepth();
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    if ((depth < 1 || depth == display) && GetHandleWord(copy, kCardWidth) == width &&
        GetHandleWord(copy, kCardHeight) == height && display != 16 && display != 32)
        return;
    ResizeCardObjects(copy, 1, width, height);
    {
        ConversionSwitches run;
        run.matchThroughLibrary = working == 8 && depth > 8;
        run.convertPixels = true;
        run.force = true;
        run.jpegEncode = true;
        run.convertGraphics = false;
        ConversionRun switches(run);
        GetStackPlatformOps().convertCardPicture(copy, depth, working, width, height);
    }
    SetHandleWord(copy, kCardWidth, width);
    SetHandleWord(copy, kCardHeight, height);
    const StackPlatformOps& platform = GetStackPlatformOps();
    platform.convertCardGraphicsDepth(copy, working);
    ConversionSwitches order;
    order.keepGraphicByteOrder = true;
    order.displayPixelOrder = true;
    ConversionRun switches(order);
    platform.convertCardGraphicsDepth(copy, display);
}

// Converts the card's graphics to the working depth for the copy and back on every way out.
class GraphicsAtWorkingDepth {
public:
    explicit GraphicsAtWorkingDepth(Handle card) : card_(card) {
        const int display = DisplayDepthForStack();
        active_ = card && (GetScreenDepth() != display || display == 16 || display == 32);
        if (active_)
            Convert(GetScreenDepth());
    }
    ~GraphicsAtWorkingDepth() {
        if (active_)
            Convert(DisplayDepthForStack());
    }
    GraphicsAtWorkingDepth(const GraphicsAtWorkingDepth&) = delete;
    GraphicsAtWorkingDepth& operator=(const GraphicsAtWorkingDepth&) = delete;

private:
    void Convert(int depth) {
        ConversionSwitches run;
        run.jpegEncode = true;
        ConversionRun switches(run);
        GetStackPlatformOps().convertCardGraphicsDepth(card_, depth);
    }
    Handle card_;
    bool active_ = false;
};

}  // namespace

void CopyCardToClipboard() {
    const StackUpcalls& n = GetStackUpcalls();
    CheckStackDepthAgainstDisplay();
    ClearClipboard();
    n.stackEvent(StackEvent::FlushingCardEdits);
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    GraphicsAtWorkingDepth graphics(card);
    InternalClipboard& c = Clip();
    Handle copy = card;
    if (HandToHand(&copy) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return;
    }
    {
        // The answer stays with its card: a copy starts with none.
        HandleLock lock(copy);
        ZeroTestingAnswerField(lock.bytes());
    }
    if (GetCardKind(copy) == kCardKindShared) {
        const Handle holder = FindCardById(GetPictureHolderId(card));
        if (holder && holder != card && !AddHolderPicture(copy, holder)) {
            DisposeHandle(copy);
            ShowCardAlert(kAlertNotEnoughMemory);
            return;
        }
    }
    c.record = copy;
    c.kind = kClipCard;
    c.tool = GetCurrentTool();
    for (const ObjectPlace& place : CardObjectPlaces(copy))
        if (place.kind == kObjectButton && !(place.flags & kObjectDeletedFlag) &&
            !GatherButtonResources(copy, place.offset, &c.held))
            return;  // the clipboard was cleared
    for (int slot = 0; slot < kHeldActionSlots; ++slot) {
        const uint16_t action = GetHandleWord(card, kCardActionOffsets[slot]);
        if (!action)
            continue;
        c.actions[slot] = DuplicateResource(kActn, action);
        if (c.actions[slot] && !GatherButtonResources(c.actions[slot], 0, &c.held))
            return;
    }
    c.cardFromThisStack = true;
    MarkHeldResourcesFromThisStack();
    c.sourceCardId = GetCardId(card);
    SetClipboardMarker();
}

void CutCard() {
    CheckStackDepthAgainstDisplay();
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    if (GetHandleWord(card, kCardFlags) & kCardLockedFlag) {
        if (ShowCardAlert(kAlertCardLocked) != kAlertCardLockedYes)
            return;
        SetHandleWord(card, kCardFlags, static_cast<uint16_t>(GetHandleWord(card, kCardFlags) & ~kCardLockedFlag));
    }
    CopyCardToClipboard();
    if (Clip().kind == kClipCard)
        DeleteCurrentCard(false);
}

int PasteCard() {
    // As a new card: under an authoring dialog the card shown stays as it is (the command waits).
    if (EditorHolds(HeldScope::kCard))
        return 0;
    InternalClipboard& c = Clip();
    CheckStackDepthAgainstDisplay();
    Handle copy = c.record;
    if (c.kind != kClipCard || HandToHand(&copy) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    ScopedHandle owned(copy);
    {
        HandleLock lock(copy);
        ZeroTestingAnswerField(lock.bytes());
    }
    const uint16_t oldId = GetCardId(copy);
    c.sourceCardId = oldId;

    // A card marked deleted (a cut card) counts as absent: the copy keeps its own picture.
    const uint16_t kind = GetCardKind(copy);
    const uint16_t holderId = GetHandleWord(copy, kCardBackgroundId);
    if (c.cardFromThisStack && kind == kCardKindShared && IsLive(FindCardById(holderId))) {
        CutSharedParts(copy);
        ClearUndo();
    } else if (kind == kCardKindShared) {
        SetHandleWord(copy, kCardKind, kCardKindPicture);
        SetHandleWord(copy, kCardBackgroundId, 0);
        for (const ObjectPlace& place : CardObjectPlaces(copy))
            if (place.kind == kObjectText)
                PurgeFieldCardEntries(place.id, copy, 0);
    } else if (c.cardFromThisStack && kind == kCardKindPicture && IsLive(FindCardById(oldId)) &&
               IsNamedByLiveSharer(oldId)) {
        CutSharedParts(copy);
        SetHandleWord(copy, kCardBackgroundId, oldId);
        ClearUndo();
    }

    // A taken id stays taken while its card waits, deleted, for the undo step to go.
    if (FindCardById(oldId) || !c.cardFromThisStack) {
        const uint16_t fresh = TakeFreshCardId();
        if (!fresh) {
            ShowCardAlert(kAlertNotEnoughMemory);
            return 0;
        }
        Renumber(copy, oldId, fresh);
    }
    for (const ObjectPlace& place : CardObjectPlaces(copy))
        if (const uint16_t id = NewUniqueObjectId())
            SetHandleWord(copy, place.offset + kObjectId, id);

    if (!InsertPastedCard(copy))
        return 0;  // the alert was shown
    owned.release();

    StoreClipboardResources();
    for (int slot = 0; slot < kHeldActionSlots; ++slot)
        if (c.actions[slot])
            SetHandleWord(copy, kCardActionOffsets[slot], StoreActionCopy(c.actions[slot], kResRequestCopyData));

    ConvertPastedCard(copy);
    const uint16_t id = GetCardId(copy);
    GetStackUpcalls().goToCardId(id, kPlainTransition, kPlainEffect, kPlainSpeed);
    MarkStackChanged();
    return 1;
}
