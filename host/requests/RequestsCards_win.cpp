// Requests that move between cards and read or change the card list: 1 to 6, 14, 19 to 21, 62,
// 63, 117 to 119, 129, 131, 173, 181, 184 and 190.
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "cardview/transitions/QtEffectState.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackJump.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestRules.h"
#include "host/window/CardArea.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/FieldText.h"
#include "stack/cards/ObjectScan.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/Undo.h"

namespace {

constexpr size_t kMaxCardName = 15;
constexpr size_t kMaxStackPath = 260;
constexpr size_t kSortKeyBytes = 63;

NameBuffer g_cardName{};  // the copy request 173 hands out

using Move = void (*)(const CardMove& move);

// The effect record is let go, and the old card taken, when the card is left (LeaveCardFor).
void MoveAsAsked(const NbaParamBlock& b, Move move) {
    move({static_cast<uint16_t>(b.param1), static_cast<uint16_t>(b.handled), static_cast<uint16_t>(b.param2)});
}

// The card named by a caller's pointer; 0 for none.
Handle CardNamed(uint32_t pointer) {
    NameBuffer name;
    if (!ReadCallerName(pointer, &name) || name[0] == 0)
        return 0;
    const Handle card = FindCardByName(name.data());
    return card && !IsCardDeleted(card) ? card : 0;
}

// The 1-based place of a card given by index, or by 0 and a name.
int CardPlace(uint32_t index, uint32_t namePointer) {
    if (index != 0)
        return index <= static_cast<uint32_t>(CountCards()) ? static_cast<int>(index) : 0;
    const Handle card = CardNamed(namePointer);
    return card ? GetCardIndex(card) : 0;
}

// The first 63 bytes of the sorting text object's text on a card (the object by name, or the
// first text object visible on it).
std::vector<uint8_t> SortKey(Handle card, const NameBuffer* name) {
    Handle record = card;
    uint32_t offset = 0;
    const bool found = name ? FindObjectByName(kObjectText, name->data(), &record, true, &offset)
                            : FindObjectByIndex(kObjectText, 1, &record, &offset);
    if (!found)
        return {};
    HandleLock lock(record);
    if (!lock)
        return {};
    const std::span<const uint8_t> bytes(lock.get(), GetHandleSize(record));
    uint16_t kind = 0;
    uint32_t length = 0;
    if (!IsObjectBoundary(record, offset, &kind, &length) || kind != kObjectText)
        return {};
    const std::span<const uint8_t> object = bytes.subspan(offset, length);
    const auto entry = FindFieldTextEntry(object, GetCardId(card), 0);
    if (!entry)
        return {};
    const std::span<const uint8_t> text = FieldEntryText(object, *entry);
    return {text.begin(), text.begin() + std::min(text.size(), kSortKeyBytes)};
}

}  // namespace

void CbGoFirstCard(NbaParamBlock& b) { MoveAsAsked(b, GoFirstCard); }
void CbGoLastCard(NbaParamBlock& b) { MoveAsAsked(b, GoLastCard); }
void CbGoPrevCard(NbaParamBlock& b) { MoveAsAsked(b, GoPrevCard); }
void CbGoNextCard(NbaParamBlock& b) { MoveAsAsked(b, GoNextCard); }

void CbGoToCard(NbaParamBlock& b) {
    uint16_t id = static_cast<uint16_t>(b.param1);
    if (b.param1 == 0) {
        const Handle card = CardNamed(b.param3);
        if (!card)
            return;
        id = GetCardId(card);
    }
    const RequestedMove move = CheckRequestedMove(static_cast<uint16_t>(b.param2), static_cast<uint16_t>(b.param2 >> 16),
                                                  static_cast<uint16_t>(b.handled), QTEffectChoiceCount());
    GoToCardId(id, {move.transition, move.effect, move.speed});
}

void CbRedrawCard(NbaParamBlock&) {
    // Rebuilding the card frees its layers, which an authoring dialog may be editing.
    if (!HoldUnderEditor(HeldScope::kCard, [] { RefreshCurrentCard(0); }))
        RefreshCurrentCard(0);
}

void CbCountCards(NbaParamBlock& b) { b.param1 = static_cast<uint32_t>(GetCardCount()); }

void CbGetCardByIndex(NbaParamBlock& b) {
    b.param1 = b.param3 = 0;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (!IsCardDeleted(card)) {
            b.param1 = static_cast<uint32_t>(card);
            b.param3 = GetCardId(card);
            return;
        }
    }
}

void CbGetCardIndex(NbaParamBlock& b) {
    const Handle card = GetCurrentCardRecord();
    b.param1 = static_cast<uint32_t>(card);
    b.param2 = card ? static_cast<uint32_t>(GetCardIndex(card)) : 0;
    b.param3 = GetCardId(card);
}

void CbGetNextCard(NbaParamBlock& b) {
    const Handle card = static_cast<Handle>(b.param1);
    b.param1 = b.param2 = b.param3 = 0;
    if (!IsCardInList(card))
        return;
    for (int i = GetCardIndex(card) + 1; i <= CountCards(); ++i) {
        const Handle next = GetCardByIndex(i);
        if (IsCardDeleted(next))
            continue;
        b.param1 = static_cast<uint32_t>(next);
        b.param2 = static_cast<uint32_t>(i);
        b.param3 = GetCardId(next);
        return;
    }
}

void CbSwapCards(NbaParamBlock& b) {
    const int first = CardPlace(static_cast<uint16_t>(b.param1), b.param3);
    const int second = CardPlace(static_cast<uint16_t>(b.param2), b.param4);
    if (first == 0 || second == 0 || !SwapCardEntries(first, second))
        return;
    UpdateCardTitle(false);
}

void CbSortCards(NbaParamBlock& b) {
    NameBuffer name{};
    const bool byName = b.param1 != 0 && ReadCallerName(b.param1, &name) && name[0] != 0;
    const bool descending = b.param2 != 0;
    const int count = CountCards();
    int first = static_cast<int>(b.param3), last = static_cast<int>(b.param4);
    if (b.param3 == 0 && b.param4 == 0)
        first = 1, last = count;
    if (first < 1 || last > count || first >= last || b.param3 > 0xFFFF || b.param4 > 0xFFFF)
        return;
    std::vector<std::vector<uint8_t>> keys;
    for (int i = first; i <= last; ++i)
        keys.push_back(SortKey(GetCardByIndex(i), byName ? &name : nullptr));
    // Neighbours are exchanged until the range is in order, each exchange a card-list swap.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int i = first; i < last; ++i) {
            auto& a = keys[static_cast<size_t>(i - first)];
            auto& c = keys[static_cast<size_t>(i - first + 1)];
            if (descending ? a < c : c < a) {
                SwapCardEntries(i, i + 1);
                std::swap(a, c);
                swapped = true;
            }
        }
    }
    UpdateCardTitle(false);
}

void CbGetCardById(NbaParamBlock& b) {
    const Handle card = FindCardById(static_cast<uint16_t>(b.param1));
    b.param1 = card && !IsCardDeleted(card) ? static_cast<uint32_t>(card) : 0;
}

void CbGetCardAtIndex(NbaParamBlock& b) {
    const uint32_t index = b.param1;
    b.param1 = index >= 1 && index <= static_cast<uint32_t>(CountCards()) ? static_cast<uint32_t>(GetCardByIndex(static_cast<int>(index))) : 0;
}

namespace {

void DeleteListedCard(Handle card) {
    const bool last = GetCardCount() <= 1;
    if (card == GetCurrentCardRecord())
        DeleteCurrentCard(false);
    else
        DeleteCardRecord(GetCardId(card), false);
    ClearUndo();
    // The stack's last card gave way to a fresh one: the card area takes the stack's size and
    // depth again, as for a new stack.
    if (last && GetCurrentCardRecord() != card) {
        const Handle header = GetStackHeaderHandle();
        ResizeCardArea(GetHandleWord(header, kHeaderCardWidth), GetHandleWord(header, kHeaderCardHeight),
                       GetHandleWord(header, kHeaderDepth));
    }
}

}  // namespace

void CbDeleteCard(NbaParamBlock& b) {
    Handle card = static_cast<Handle>(b.param1);
    if (card == 0)
        card = CardNamed(b.param3);
    else if (!IsCardInList(card))
        return;
    if (!card || IsCardDeleted(card))
        return;
    // Deleting the card shown leaves it: under an authoring dialog that waits, for the same card.
    const uint16_t id = GetCardId(card);
    if (card == GetCurrentCardRecord() && HoldUnderEditor(HeldScope::kCard, [id] {
            const Handle again = FindCardById(id);
            if (again && !IsCardDeleted(again))
                DeleteListedCard(again);
        }))
        return;
    SavedRequestBlock saved(b);
    DeleteListedCard(card);
    saved.Restore();
}

void CbGoToStack(NbaParamBlock& b) {
    std::string path;
    const bool pathFits = ReadCallerCString(b.param1, kMaxStackPath, &path) && !path.empty();
    b.handled = 0;
    // Refused under an authoring dialog: the module learns the stack did not open.
    if (!pathFits || EditorHolds(HeldScope::kCard))
        return;
    const uint16_t cardId = static_cast<uint16_t>(b.param2);
    NameBuffer cardName{};
    const bool byName = cardId == 0 && b.param3 != 0 && ReadCallerName(b.param3, &cardName) && cardName[0] != 0;
    const int transition = b.param4 == 0 ? kPlainTransition : static_cast<int>(b.param4);
    const int speed = static_cast<uint16_t>(b.handled);
    SavedRequestBlock saved(b);
    FileSpec stack = EmptyFileSpec();
    SetFileSpecPath(&stack, path.c_str());
    int opened = 0;
    if (cardId == 0 && !byName) {
        opened = GoToAnotherStack(stack, 0, {transition, 0, speed}, true, false);
    } else {
        opened = GoToAnotherStack(stack, 0, {}, true, false);
        if (opened) {
            const Handle card = byName ? FindCardByName(cardName.data()) : FindCardById(cardId);
            if (card && !IsCardDeleted(card))
                GoToCardId(GetCardId(card), {transition, 0, speed});
        }
    }
    saved.Restore();
    b.handled = opened ? 1 : 0;
}

void CbSetHomeToCurrent(NbaParamBlock&) {
    SetHomeCardId(GetCurrentCardId());
    SetHomeStackKnown(true);
    CopyFileSpec(kSlotCurrentStack, kSlotHomeStack);
}

void CbGetCardName(NbaParamBlock& b) {
    Handle card = static_cast<Handle>(b.param1);
    if (card == 0)
        card = GetCurrentCardRecord();
    b.param1 = b.param2 = b.param3 = 0;
    if (!IsCardInList(card))
        return;
    g_cardName.fill(0);
    {
        HandleLock lock(card);
        if (!lock || GetHandleSize(card) < kCardName + kCardNameBytes)
            return;
        const uint8_t* name = lock.get() + kCardName;
        const size_t length = std::min<size_t>(name[0], kCardNameBytes - 1);
        g_cardName[0] = static_cast<uint8_t>(length);
        std::memcpy(g_cardName.data() + 1, name + 1, length);
    }
    b.param1 = GetCardId(card);
    b.param2 = static_cast<uint32_t>(GetCardIndex(card));
    b.param3 = BlockValue(g_cardName.data());
}

void CbFindCardByName(NbaParamBlock& b) {
    const Handle card = CardNamed(b.param1);
    b.param1 = card ? GetCardId(card) : 0;
    b.param2 = card ? static_cast<uint32_t>(GetCardIndex(card)) : 0;
    b.param3 = static_cast<uint32_t>(card);
}

void CbSetCardName(NbaParamBlock& b) {
    const Handle card = static_cast<Handle>(b.param1);
    NameBuffer name;
    if (b.param2 != 1 || !IsCardInList(card) || !ReadCallerPString(b.param3, kMaxCardName, &name))
        return;
    HandleLock lock(card);
    if (!lock || GetHandleSize(card) < kCardName + kCardNameBytes)
        return;
    std::memset(lock.get() + kCardName, 0, kCardNameBytes);
    std::memcpy(lock.get() + kCardName, name.data(), 1 + name[0]);
    MarkCardChanged();
}

void CbGoHomeStack(NbaParamBlock& b) {
    GoHomeStack({static_cast<uint16_t>(b.param1), 0, static_cast<uint16_t>(b.param2)});
}
