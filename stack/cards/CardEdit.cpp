// New cards, and the buttons that link to a card (deleting one is stack/undo/CardDelete.cpp).
#include "stack/cards/CardEdit.h"

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/FrameWindow.h"
#include "core/system/PreferenceFlags.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPicturePaint.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

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
    WalkCardObjects(card, [&](const ObjectPlace& place, std::span<const uint8_t> record) {
        if (place.kind != kObjectButton || (place.flags & kObjectDeletedFlag) || place.length < kButtonHeaderBytes)
            return true;
        const std::span<const uint8_t> button = record.subspan(place.offset, place.length);
        if ((GetU16(button, kButtonActionFlags) & kActGoTo) && GetU16(button, kButtonDestination) == cardId &&
            !HasChunk(button, kTagOtherStack))
            found.push_back({card, place.offset});
        return true;
    });
}

}  // namespace

Handle NewCard(bool blank, bool share) {
    // Under an authoring dialog the move to the new card would wait while the blank went onto
    // the card still shown: the command waits in the queue instead, and nothing is made here.
    if (EditorHolds(HeldScope::kCard))
        return 0;
    const StackUpcalls& n = GetStackUpcalls();
    const Handle current = GetCurrentCardRecord();
    if (current && CardPicturePainted())
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
