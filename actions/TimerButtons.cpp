// The timer table: one handle of 32-bit words, a header (capacity, count, last tick, and the
// dialog's two working words) and 20 entries (id, source, remaining, reload, repeat).
#include "actions/TimerButtons.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/Ticks.h"
#include "core/ui/ToolNumbers.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

// The table's header and its entries, 32-bit words.
enum TableWord : uint32_t {
    kCapacityWord = 0, kCountWord = 4, kLastTickWord = 8, kDialogModeWord = 12, kDialogTenthsWord = 16,
    kTableHeaderBytes = 20,
};
enum EntryWord : uint32_t {
    kEntryId = 0, kEntrySource = 4, kEntryRemaining = 8, kEntryReload = 12, kEntryRepeats = 16, kEntryBytes = 20,
};
constexpr uint32_t kTimerTableBytes = kTableHeaderBytes + kTimerTableCapacity * kEntryBytes;
constexpr uint32_t kTicksPerTenth = 6;

struct TableState {
    Handle table = 0;
    int lockDepth = 0;
    uint8_t* data = nullptr;  // while locked
    uint32_t serial = 0;      // which table a lock was taken on (handle numbers come back)
    uint32_t generation = 0;
};
TableState g_timers;

std::span<uint8_t> Words() {
    return g_timers.data ? std::span<uint8_t>(g_timers.data, kTimerTableBytes) : std::span<uint8_t>();
}
uint32_t EntryAt(uint32_t index) { return kTableHeaderBytes + index * kEntryBytes; }

int32_t GetI32(std::span<const uint8_t> r, uint32_t offset) { return static_cast<int32_t>(GetU32(r, offset)); }
void SetI32(std::span<uint8_t> r, uint32_t offset, int32_t v) { SetU32(r, offset, static_cast<uint32_t>(v)); }

// Calls visit(record, source) for each record the card's timers come from, in table order.
template <typename Visit>
void ForEachTimerRecord(Visit visit) {
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return;
    auto action = [&](uint16_t id) {
        if (!id || !GetStackResFile())
            return;
        const StackResFileCurrent current;
        HandleLock lock(GetResource(kActn, id));
        if (lock)
            visit(std::span<const uint8_t>(lock.bytes()), kTimerFromAction);
    };
    action(GetHandleWord(card, kCardAction3));
    action(GetHandleWord(GetStackHeaderHandle(), kHeaderStackActionB));
    ObjectScan scan;
    BeginObjectScan(scan, card, false);
    ScannedObject object;
    while (NextObjectInScan(scan, &object, true)) {
        switch (object.kind) {
        case kObjectGraphic: action(GetHandleWord(object.record, object.offset + kGraphicAction)); break;
        case kObjectText: action(GetHandleWord(object.record, object.offset + kTextAction)); break;
        case kObjectButton: {
            HandleLock lock(object.record);
            const std::span<const uint8_t> bytes = lock.bytes();
            if (object.offset + object.length <= bytes.size())
                visit(bytes.subspan(object.offset, object.length), kTimerFromButton);
            break;
        }
        default: break;
        }
    }
    EndObjectScan(scan);
}

bool HasTimer(std::span<const uint8_t> record) {
    return record.size() >= kButtonTimerMode + 2 && GetU16(record, kButtonTimerMode) != kTimerOff;
}

// The table, unless the handles it lived among were let go as a whole (each test starts with
// none): then there is none.
Handle LiveTable() {
    if (g_timers.table && g_timers.lockDepth == 0 &&
        (!IsValidHandle(g_timers.table) || GetHandleSize(g_timers.table) != kTimerTableBytes))
        g_timers.table = 0;
    return g_timers.table;
}

}  // namespace

TimerTableLock::TimerTableLock() : locked_(LiveTable() ? g_timers.serial : 0) {
    if (locked_ && g_timers.lockDepth++ == 0)
        g_timers.data = LockHandle(g_timers.table);
}

TimerTableLock::~TimerTableLock() {
    // A table freed meanwhile was unlocked then.
    if (locked_ && locked_ == g_timers.serial && g_timers.table && --g_timers.lockDepth == 0) {
        UnlockHandle(g_timers.table);
        g_timers.data = nullptr;
    }
}

int32_t TimerValueTenths(uint16_t value) {
    return (value & kTimerTenths) ? value - kTimerTenths : int32_t{value} * 10;
}

bool MakeTimerTable() {
    if (LiveTable())
        return true;
    g_timers.table = NewHandle(kTimerTableBytes);
    if (!g_timers.table)
        return false;
    if (++g_timers.serial == 0)
        g_timers.serial = 1;
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    std::fill(words.begin(), words.end(), 0);
    SetU32(words, kCapacityWord, kTimerTableCapacity);
    return true;
}

bool HasTimerTable() { return LiveTable() != 0; }

void ClearTimerTable() {
    ++g_timers.generation;
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.empty())
        return;
    std::fill(words.begin() + kTableHeaderBytes, words.end(), 0);
    SetU32(words, kCountWord, 0);
}

void FreeTimerTable() {
    ++g_timers.generation;
    if (!LiveTable())
        return;
    if (g_timers.lockDepth > 0)
        UnlockHandle(g_timers.table);
    g_timers.lockDepth = 0;
    g_timers.data = nullptr;
    DisposeHandleAndClear(&g_timers.table);
}

std::vector<uint8_t> CopyTimerTable() {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    return {words.begin(), words.end()};
}

void RestoreTimerTable(const std::vector<uint8_t>& copy) {
    ClearTimerTable();
    if (copy.size() != kTimerTableBytes || !MakeTimerTable())
        return;
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.size() == copy.size())
        std::copy(copy.begin(), copy.end(), words.begin());
}

void RebuildTimerTable() {
    ClearTimerTable();
    TimerTableLock lock;
    ForEachTimerRecord([](std::span<const uint8_t> record, uint32_t source) { AddTimerEntry(record, source); });
}

int AddTimerFromActionResource(uint16_t actionId) {
    if (!actionId || !GetStackResFile())
        return 0;
    const StackResFileCurrent current;
    HandleLock lock(GetResource(kActn, actionId));
    return lock ? AddTimerEntry(lock.bytes(), kTimerFromAction) : 0;
}

int AddTimerEntry(std::span<const uint8_t> record, uint32_t source) {
    // Made with the first timer: a card without any keeps no table. Without memory the card
    // runs without its timers.
    if (!HasTimer(record) || !MakeTimerTable())
        return 0;
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.empty())
        return 0;
    const uint32_t count = GetU32(words, kCountWord);
    if (count >= GetU32(words, kCapacityWord) || count >= kTimerTableCapacity)
        return 0;
    const int32_t tenths = TimerValueTenths(GetU16(record, kButtonTimerValue));
    const uint32_t at = EntryAt(count);
    SetU32(words, at + kEntryId, GetU16(record, kObjectId));
    SetU32(words, at + kEntrySource, source);
    SetI32(words, at + kEntryRemaining, tenths);
    SetI32(words, at + kEntryReload, tenths);
    SetU32(words, at + kEntryRepeats, GetU16(record, kButtonTimerMode) == kTimerRepeating ? 1 : 0);
    SetU32(words, kCountWord, count + 1);
    SetU32(words, kLastTickWord, GetTicks());
    return 1;
}

bool TickTimerTable(uint32_t timersOn) {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.empty())
        return false;
    const uint32_t now = GetTicks();
    const uint32_t elapsed = now - GetU32(words, kLastTickWord);
    if (elapsed <= kTicksPerTenth)
        return false;
    const uint32_t count = GetU32(words, kCountWord);
    if (!timersOn || GetCurrentTool() != static_cast<uint32_t>(kBrowseTool) || count == 0) {
        SetU32(words, kLastTickWord, now);
        return false;
    }
    // The ticks short of a whole tenth count with the next step: dropping them made a 3-second
    // timer on the 55 ms tick fire near 4.5 s.
    SetU32(words, kLastTickWord, now - elapsed % kTicksPerTenth);
    const int32_t tenths = static_cast<int32_t>(elapsed / kTicksPerTenth);
    bool counted = false;
    for (uint32_t i = 0; i < count && i < kTimerTableCapacity; ++i) {
        const uint32_t at = EntryAt(i);
        const int32_t remaining = GetI32(words, at + kEntryRemaining);
        if (GetU32(words, at + kEntryId) == 0 || remaining < 0)
            continue;
        SetI32(words, at + kEntryRemaining, remaining - tenths);
        counted = true;
    }
    return counted;
}

int TimerCount() {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    return words.empty() ? 0 : static_cast<int>(GetU32(words, kCountWord));
}

TimerEntry GetTimerEntry(uint32_t index) {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    TimerEntry entry;
    if (words.empty() || index >= kTimerTableCapacity)
        return entry;
    const uint32_t at = EntryAt(index);
    entry.id = static_cast<uint16_t>(GetU32(words, at + kEntryId));
    entry.source = GetU32(words, at + kEntrySource);
    entry.remaining = GetI32(words, at + kEntryRemaining);
    entry.reload = GetI32(words, at + kEntryReload);
    entry.repeats = GetU32(words, at + kEntryRepeats) != 0;
    return entry;
}

uint32_t TimerTableGeneration() { return g_timers.generation; }

bool TakeDueTimer(uint32_t index, TimerEntry* due) {
    const TimerEntry entry = GetTimerEntry(index);
    if (entry.id == 0 || entry.remaining >= 1)
        return false;
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    const uint32_t at = EntryAt(index);
    if (entry.repeats)
        SetI32(words, at + kEntryRemaining, entry.reload);
    else
        std::fill(words.begin() + at, words.begin() + at + kEntryBytes, 0);
    if (due)
        *due = entry;
    return true;
}

int CountCardTimers() {
    int count = 0;
    ForEachTimerRecord([&](std::span<const uint8_t> record, uint32_t) { count += HasTimer(record) ? 1 : 0; });
    return count;
}

bool SetTimerDialogWords(uint16_t mode, int32_t tenths) {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.empty())
        return false;
    SetU32(words, kDialogModeWord, mode);
    SetI32(words, kDialogTenthsWord, tenths);
    return true;
}

bool GetTimerDialogWords(uint16_t* mode, int32_t* tenths) {
    TimerTableLock lock;
    const std::span<uint8_t> words = Words();
    if (words.empty())
        return false;
    *mode = static_cast<uint16_t>(GetU32(words, kDialogModeWord));
    *tenths = GetI32(words, kDialogTenthsWord);
    return true;
}
