// The card list: a handle of 16-byte entries in card order, the card count beside it, and the
// lookups by place, id and name.
#include "stack/cards/CardList.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "stack/StackUpcalls.h"
#include "stack/StackOpenSession.h"

namespace {

// The list's handle and its count of entries.
struct Cards {
    Handle list = 0;
    int count = 0;
} g_cards;

bool NameMatches(Handle record, const uint8_t* name) {
    HandleLock lock(record);
    if (!lock || GetHandleSize(record) < kCardName + kCardNameBytes)
        return false;
    const uint8_t* stored = lock.get() + kCardName;
    const uint8_t length = stored[0] < kCardNameBytes ? stored[0] : kCardNameBytes - 1;
    if (length != name[0])
        return false;
    for (uint8_t i = 1; i <= length; ++i)
        if (AsciiToLower(stored[i]) != AsciiToLower(name[i]))
            return false;
    return true;
}

}  // namespace

int AddCardRecord(Handle record, int position) {
    if (!g_cards.list) {
        g_cards.list = NewHandle(0);
        if (!g_cards.list) {
            ShowCardAlert(kAlertNotEnoughMemory);
            return 1;
        }
    }
    const int entries = CountCards();
    const int after = (position < 0 || entries == 0) ? 0 : (position > entries ? entries : position);
    uint8_t entry[kCardListEntryBytes] = {};
    SetU32(entry, 0, static_cast<uint32_t>(record));
    if (InsertBytesInHandle(g_cards.list, entry, static_cast<uint32_t>(after) * kCardListEntryBytes,
                            kCardListEntryBytes) != 0) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 1;
    }
    ++g_cards.count;
    return 0;
}

Handle GetCardByIndex(int index) {
    if (index < 1 || index > CountCards())
        return 0;
    HandleLock lock(g_cards.list);
    if (!lock)
        return 0;
    const std::span<const uint8_t> list = lock.bytes();
    return static_cast<Handle>(GetU32(list, static_cast<size_t>(index - 1) * kCardListEntryBytes));
}

int GetCardIndex(Handle record) {
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i)
        if (record && GetCardByIndex(i) == record)
            return i;
    return entries + 1;
}

Handle TakeCardRecordAt(int index) {
    const Handle record = GetCardByIndex(index);
    if (!record)
        return 0;
    const uint32_t at = static_cast<uint32_t>(index - 1) * kCardListEntryBytes;
    const uint32_t size = GetHandleSize(g_cards.list);
    {
        HandleLock lock(g_cards.list);
        if (!lock)
            return 0;
        std::memmove(lock.get() + at, lock.get() + at + kCardListEntryBytes, size - at - kCardListEntryBytes);
    }
    SetHandleSize(g_cards.list, size - kCardListEntryBytes);
    return record;
}

Handle GetCardListHandle() { return g_cards.list; }

bool SwapCardEntries(int a, int b) {
    const int entries = CountCards();
    if (a < 1 || b < 1 || a > entries || b > entries)
        return false;
    HandleLock lock(g_cards.list);
    if (!lock)
        return false;
    uint8_t* first = lock.get() + static_cast<uint32_t>(a - 1) * kCardListEntryBytes;
    uint8_t* second = lock.get() + static_cast<uint32_t>(b - 1) * kCardListEntryBytes;
    std::swap_ranges(first, first + kCardListEntryBytes, second);
    return true;
}

int CountCards() { return g_cards.list ? static_cast<int>(GetHandleSize(g_cards.list) / kCardListEntryBytes) : 0; }

int GetCardCount() { return g_cards.count; }
void SetCardCount(int count) { g_cards.count = count < 0 ? 0 : count; }

Handle FindCardById(uint16_t id) {
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle card = GetCardByIndex(i);
        if (IsValidHandle(card) && GetCardId(card) == id)
            return card;
    }
    return 0;
}

Handle FindCardByName(const uint8_t* name) {
    if (!name)
        return 0;
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle card = GetCardByIndex(i);
        if (NameMatches(card, name))
            return card;
    }
    return 0;
}

uint16_t GetCardId(Handle record) { return GetHandleWord(record, kCardId); }
uint16_t GetCardKind(Handle record) { return GetHandleWord(record, kCardKind); }
bool IsCardDeleted(Handle record) { return (GetHandleWord(record, kCardFlags) & kCardDeleted) != 0; }

void KeepOneLiveCard() {
    for (int i = 1; i <= CountCards(); ++i)
        if (!IsCardDeleted(GetCardByIndex(i)))
            return;
    if (CountCards() == 0)
        return;
    const Handle first = GetCardByIndex(1);
    HandleLock lock(first);
    if (lock && GetHandleSize(first) >= kMinCardRecordBytes) {
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardFlags, static_cast<uint16_t>(GetU16(record, kCardFlags) & ~kCardDeleted));
    }
}

Handle GetCurrentCardRecord() {
    const uint16_t id = GetCurrentCardId();
    return id ? FindCardById(id) : 0;
}

uint16_t GetPictureHolderId(Handle record) {
    const uint16_t own = GetCardId(record);
    Handle at = record;
    // A chain longer than the list has passed some card twice: it loops and holds no picture.
    for (int links = 0; GetCardKind(at) == kCardKindShared; ++links) {
        if (links >= CountCards())
            return own;
        const Handle next = FindCardById(GetHandleWord(at, kCardBackgroundId));
        if (!next)
            break;  // names a missing card: the chain ends here
        at = next;
    }
    return GetCardId(at);
}

Handle ResolvePictureResource(Handle record) {
    if (!IsValidHandle(record))
        return 0;
    if (GetCardKind(record) == kCardKindPicture)
        return record;
    return FindCardById(GetHandleWord(record, kCardBackgroundId));
}

bool HasBackgroundRecord(Handle record) {
    switch (GetCardKind(record)) {
    case kCardKindShared:
        return IsValidHandle(record);
    case kCardKindPicture: {
        const uint16_t id = GetCardId(record);
        const int entries = CountCards();
        for (int i = 1; i <= entries; ++i) {
            const Handle card = GetCardByIndex(i);
            if (card != record && GetCardKind(card) == kCardKindShared && GetHandleWord(card, kCardBackgroundId) == id)
                return true;
        }
        return false;
    }
    default:
        return false;
    }
}

uint16_t CurrentStackDepth() {
    HandleLock header(GetStackHeaderHandle());
    const uint16_t depth = GetU16(header.bytes(), kHeaderDepth);
    if (depth == 0)
        return 8;
    return depth == 24 ? 32 : depth;
}

void CurrentCardSize(uint16_t* width, uint16_t* height) {
    HandleLock header(GetStackHeaderHandle());
    const uint16_t w = GetU16(header.bytes(), kHeaderCardWidth);
    const uint16_t h = GetU16(header.bytes(), kHeaderCardHeight);
    if (width)
        *width = w ? w : 512;
    if (height)
        *height = h ? h : 384;
}

uint32_t ColorTableSize() {
    const uint16_t depth = CurrentStackDepth();
    return ColorTableBytesForDepth(depth == 4 ? 4 : 8);
}

void SyncCardLength(Handle record) {
    HandleLock lock(record);
    if (lock)
        SetU32(lock.bytes(), kCardLength, GetHandleSize(record));
}

void DisposeCards() {
    uint16_t closingAction = 0;
    {
        HandleLock header(GetStackHeaderHandle());
        closingAction = GetU16(header.bytes(), kHeaderClosingAction);
    }
    if (GetStackHeaderHandle())
        GetStackUpcalls().runCardAction(closingAction, kByEvent, 1, kStringLeaveStackAction);
    SetStackHeaderHandle(0);
    FreeTestingAnswers();
    for (int i = CountCards(); i >= 1; --i)
        DisposeHandle(GetCardByIndex(i));
    DisposeHandleAndClear(&g_cards.list);
    g_cards.count = 0;
    SetCurrentCardId(0);
}

void ClearTestingAnswers() {
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle card = GetCardByIndex(i);
        HandleLock lock(card);
        if (lock)
            SetU32(lock.bytes(), kCardTestingAnswers, 0);
    }
}
