// New cards and deleting cards. Deleting only marks a card; it leaves the list when the undo
// step is discarded.
#include "stack/cards/CardEdit.h"

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/FrameWindow.h"
#include "core/system/PreferenceFlags.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/Undo.h"

namespace {

// Answers of the alerts, by the position of their labels.
constexpr int kLinkedCancel = 1, kLinkedYes = 3;  // 2217: Cancel, No, Yes
constexpr int kWholeCardYes = 2;                  // 2219: No, Yes

// A new card id from the header's counter: the next one that no card uses (the counter of a
// file may lag behind its cards). 0 when every id is taken or there is no header.
uint16_t TakeNewCardId() {
    const Handle header = GetStackHeaderHandle();
    uint16_t id = 0;
    {
        HandleLock lock(header);
        if (!lock || GetHandleSize(header) < kStackHeaderBytes)
            return 0;
        id = GetU16({lock.get(), kStackHeaderBytes}, kHeaderNextCardId);
    }
    for (uint32_t tries = 0; tries < 0xFFFF; ++tries) {
        if (id == 0)
            id = 1;
        if (!FindCardById(id))
            break;
        ++id;
    }
    if (FindCardById(id))
        return 0;
    HandleLock lock(header);
    if (lock)
        SetU16({lock.get(), kStackHeaderBytes}, kHeaderNextCardId, id == 0xFFFF ? 1 : static_cast<uint16_t>(id + 1));
    return id;
}

bool HasChunk(std::span<const uint8_t> button, uint16_t chunkKind) {
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk))
        if (chunk.kind == chunkKind)
            return true;
    return false;
}

void AppendLinkedButtons(Handle card, uint16_t cardId, std::vector<LinkedButton>& found) {
    HandleLock lock(card);
    if (!lock)
        return;
    const std::span<const uint8_t> record = lock.bytes();
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place)) {
        if (place.kind != kObjectButton || (place.flags & kObjectDeletedFlag) || place.length < kButtonHeaderBytes)
            continue;
        const std::span<const uint8_t> button = record.subspan(place.offset, place.length);
        if ((GetU16(button, kButtonActionFlags) & kActGoTo) && GetU16(button, kButtonDestination) == cardId &&
            !HasChunk(button, kTagOtherStack))
            found.push_back({card, place.offset});
    }
}

uint16_t CardFlagsOf(Handle card) { return GetHandleWord(card, kCardFlags); }

void SetCardFlags(Handle card, uint16_t set, uint16_t clear) {
    HandleLock lock(card);
    if (!lock)
        return;
    const std::span<uint8_t> record = lock.bytes();
    SetU16(record, kCardFlags, static_cast<uint16_t>((GetU16(record, kCardFlags) & ~clear) | set));
}

// The questions before a card is deleted; buttons that link to it are marked deleted when the
// user says so. True when the deletion goes on.
bool ConfirmCardDeletion(uint16_t id) {
    const std::vector<LinkedButton> linked = FindButtonsLinkingTo(id);
    if (linked.empty())
        return ShowCardAlert(kAlertDeleteWholeCard) == kWholeCardYes;
    const int answer = ShowCardAlert(kAlertButtonsLinkToCard);
    if (answer == kLinkedCancel || answer == 0)
        return false;
    if (answer == kLinkedYes)
        for (const LinkedButton& button : linked)
            SetObjectFlags(button.record, button.offset, kObjectDeletedFlag, 0);
    return true;
}

void MarkCardDeleted(Handle card) {
    SetCardFlags(card, kCardDeleted, 0);
    SetCardCount(GetCardCount() - 1);
    MarkStackChanged();
}

// The card shown after `card` is deleted: the previous live card in list order, else the last.
Handle CardBefore(Handle card) {
    const int index = GetCardIndex(card);
    for (int i = index - 1; i >= 1; --i)
        if (!IsCardDeleted(GetCardByIndex(i)))
            return GetCardByIndex(i);
    for (int i = CountCards(); i > index; --i)
        if (!IsCardDeleted(GetCardByIndex(i)))
            return GetCardByIndex(i);
    return 0;
}

}  // namespace

Handle NewCard(bool blank, bool share) {
    const StackUpcalls& n = GetStackUpcalls();
    const Handle current = GetCurrentCardRecord();
    if (current)
        SaveBackgroundPicture(current);

    const uint16_t id = TakeNewCardId();
    const Handle record = id ? NewHandleWithEndMark(kNewCardRecordBytes) : 0;
    if (!record) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    {
        HandleLock lock(record);
        const std::span<uint8_t> bytes = lock.bytes();
        SetU16(bytes, kCardId, id);
        SetU32(bytes, kCardLength, GetHandleSize(record));
        // Only a sharing card keeps the holder's id; storing a picture clears it anyway.
        SetU16(bytes, kCardBackgroundId, share && current ? GetPictureHolderId(current) : 0);
        SetU16(bytes, kCardMenuBar, FrameHasMenuBar() ? 1 : 0);
        SetU16(bytes, kCardDepth, CurrentStackDepth());
        SetU16(bytes, kCardWidth, width);
        SetU16(bytes, kCardHeight, height);
        // Sharing needs a card to share with; the first card of a stack takes its own picture.
        SetU16(bytes, kCardKind, share && current ? kCardKindShared : kCardKindPlain);
    }
    const int after = current ? GetCardIndex(current) : 0;
    if (AddCardRecord(record, after) != 0) {  // the alert is shown
        DisposeHandle(record);
        return 0;
    }
    // The new card takes the picture as it is shown. Putting the default palette into the
    // picture first would rewrite the colour table of the card still current, the one copied.
    if (!(share && current))
        SaveBackgroundPicture(record);
    n.goToCardId(id, kPlainTransition, kPlainEffect, kPlainSpeed);
    if (blank)
        n.eraseCardBackground(0);
    MarkStackChanged();
    if (!IsAdvancedUser() && GetCardCount() == kManyCardsCount)
        ShowCardAlert(kAlertManyCards);
    return record;
}

std::vector<LinkedButton> FindButtonsLinkingTo(uint16_t cardId) {
    std::vector<LinkedButton> found;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (!IsCardDeleted(card))
            AppendLinkedButtons(card, cardId, found);
    }
    return found;
}

int DeleteCardRecord(uint16_t id, bool ask) {
    const Handle card = FindCardById(id);
    if (!card || IsCardDeleted(card))
        return 0;
    // The step before goes first, so that only this deletion's marks stay to be undone.
    ClearUndo();
    if (ask && !ConfirmCardDeletion(id))
        return 0;
    MarkCardDeleted(card);
    RecordCardDeleteUndo(id);
    return 1;
}

void DeleteCurrentCard(bool ask) {
    const Handle card = GetCurrentCardRecord();
    if (!card || IsCardDeleted(card))
        return;
    if (CardFlagsOf(card) & kCardLockedFlag) {
        if (ShowCardAlert(kAlertCardLocked) != kAlertCardLockedYes)
            return;
        SetCardFlags(card, 0, kCardLockedFlag);
    }
    ClearUndo();
    // Asked before a fresh card is made, so that a refusal leaves the stack as it was.
    if (ask && !ConfirmCardDeletion(GetCardId(card)))
        return;
    if (GetCardCount() <= 1 && !NewCard(true, false))
        return;
    MarkCardDeleted(card);
    RecordCardDeleteUndo(GetCardId(card));
    const Handle shown = CardBefore(card);
    SetCurrentCardId(GetCardId(shown));
    GetStackUpcalls().refreshCurrentCard(0);
}
