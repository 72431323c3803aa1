// Deleting cards. Deleting only marks a card; it leaves the list when the undo step is
// discarded, and the step just before is discarded first, so that only this deletion's marks
// stay to be undone.
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/UiOps.h"
#include "stack/StackOpenSession.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/undo/Undo.h"

namespace {

// Answers of the alerts, by the position of their labels.
constexpr int kLinkedCancel = 1, kLinkedYes = 3;  // 2217: Cancel, No, Yes
constexpr int kWholeCardYes = 2;                  // 2219: No, Yes

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
