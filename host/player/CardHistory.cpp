// The card history (see the header).
#include "host/player/CardHistory.h"

#include <cstring>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "host/player/CardNavigationRules.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"

namespace {

enum EntryField : uint32_t { kEntryCardId = 0, kEntryHasStack = 2, kEntrySpec = 6, kEntryNext = 10 };

Handle g_head = 0;
int g_count = 0;
uint16_t g_recentCardId = 0;

uint32_t Field(Handle entry, uint32_t offset, bool wide) {
    HandleLock lock(entry);
    if (!lock)
        return 0;
    const std::span<const uint8_t> bytes = lock.bytes();
    return wide ? GetU32(bytes, offset) : GetU16(bytes, offset);
}

Handle NextOf(Handle entry) { return Field(entry, kEntryNext, true); }
Handle SpecOf(Handle entry) { return Field(entry, kEntrySpec, true); }

void SetNext(Handle entry, Handle next) {
    HandleLock lock(entry);
    if (lock)
        SetU32(lock.bytes(), kEntryNext, next);
}

void FreeEntry(Handle entry) {
    Handle spec = SpecOf(entry);
    DisposeHandleAndClear(&spec);
    DisposeHandle(entry);
}

// Whether the stack an entry was made in is the open one.
bool SameStack(Handle entry) {
    const Handle spec = SpecOf(entry);
    if (!spec || !StackHasFile())
        return !spec && !StackHasFile();
    const FileSpec* current = GetFileSpec(kSlotCurrentStack);
    HandleLock lock(spec);
    if (!current || !lock)
        return false;
    FileSpec made = EmptyFileSpec();
    UnpackFileSpecTo(&made, lock.bytes());
    return SameSpecPath(made, *current);
}

void RememberMarkedCard(Handle card, uint16_t id) {
    if (!(GetHandleWord(card, kCardFlags) & kCardMarked))
        return;
    g_recentCardId = id;
    CopyFileSpec(kSlotCurrentStack, kSlotPreviousStack);
    if (!StackHasFile())
        if (FileSpec* spec = GetFileSpec(kSlotPreviousStack))
            spec->flag = 0;
}

Handle NewEntry(uint16_t id) {
    Handle spec = 0;
    const bool withStack = StackHasFile();
    if (withStack && !PackFileSpec(kSlotCurrentStack, &spec))
        return 0;
    const Handle entry = NewHandle(kCardHistoryEntryBytes);
    HandleLock lock(entry);
    if (!lock) {
        DisposeHandleAndClear(&spec);
        return 0;
    }
    const std::span<uint8_t> bytes(lock.get(), kCardHistoryEntryBytes);
    SetU16(bytes, kEntryCardId, id);
    SetU32(bytes, kEntryHasStack, withStack ? 1 : 0);
    SetU32(bytes, kEntrySpec, spec);
    SetU32(bytes, kEntryNext, g_head);
    return entry;
}

}  // namespace

void PushCardHistory() {
    const uint16_t id = GetCurrentCardId();
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    RememberMarkedCard(card, id);
    if (g_head && Field(g_head, kEntryCardId, false) == id && SameStack(g_head))
        return;
    const Handle entry = NewEntry(id);
    if (!entry)
        return;  // the history stays as it was
    g_head = entry;
    if (++g_count <= kCardHistoryLimit)
        return;
    g_count = kCardHistoryLimit;
    Handle keep = g_head;
    for (int i = 1; i < kCardHistoryLimit; ++i)
        keep = NextOf(keep);
    if (const Handle tail = NextOf(keep)) {
        SetNext(keep, 0);
        FreeEntry(tail);
    }
}

bool PopCardHistory(uint16_t* cardId, bool* otherStack) {
    if (!g_head)
        return false;
    const uint16_t id = static_cast<uint16_t>(Field(g_head, kEntryCardId, false));
    bool other;
    if (const Handle spec = SpecOf(g_head)) {
        UnpackFileSpec(kSlotHistoryStack, spec);
        other = !StackHasFile() || !SameFileSpecPath(kSlotHistoryStack, kSlotCurrentStack);
    } else {
        other = StackHasFile();
    }
    if (const Handle next = NextOf(g_head)) {
        FreeEntry(g_head);
        g_head = next;
        --g_count;
    }
    if (cardId)
        *cardId = id;
    if (otherStack)
        *otherStack = other;
    return true;
}

int CardHistoryCount() { return g_count; }

uint16_t CardHistoryIdAt(int index) {
    Handle entry = index >= 0 ? g_head : 0;
    for (int i = 0; entry && i < index; ++i)
        entry = NextOf(entry);
    return entry ? static_cast<uint16_t>(Field(entry, kEntryCardId, false)) : 0;
}

void FreeCardHistory() {
    while (g_head) {
        const Handle next = NextOf(g_head);
        FreeEntry(g_head);
        g_head = next;
    }
    g_count = 0;
}

uint16_t GetRecentCardId() { return g_recentCardId; }
void SetRecentCardId(uint16_t id) { g_recentCardId = id; }
