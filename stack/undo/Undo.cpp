// The undo record, its count, the kind table and discarding a step.
#include "stack/undo/Undo.h"

#include <array>

#include "core/memory/ByteReader.h"
#include "core/ui/ToolNumbers.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/UndoState.h"

namespace {

Handle g_record = 0;
int g_count = 0;
uint16_t g_cardId = 0;

// The menu string of each kind, in kind order.
constexpr std::array<uint16_t, kUndoKindCount> kKindStrings = {
    2702, 2702, 2713, 2703, 2709, 2703, 2704, 2713, 2709, 2705,  // 0-9
    2706, 2709, 2708, 2715, 2716, 2717, 2718, 2719, 2719, 2718,  // 10-19
    2721, 2721, 2721, 2722, 2722, 2722, 2718, 2705, 2706, 2720,  // 20-29
    2706, 2705, 2720, 2720, 2721, 2722, 2723,                    // 30-36
};

enum class Owns { nothing, snapshot, maskBitmaps, rectBitmap, bitmapOnly, recordCopy };

Owns OwnedBy(int kind) {
    switch (kind) {
    case 0: case 1: case 20: case 23: case 36: return Owns::snapshot;
    case 2: case 4: case 18: case 19: case 21: case 24: case 30: case 31: case 33: return Owns::maskBitmaps;
    case 7: case 8: case 16: case 17: case 22: case 25: case 32: return Owns::rectBitmap;
    case 6: return Owns::bitmapOnly;
    case 13: case 14: case 15: case 26: case 27: case 28: case 29: case 34: case 35: return Owns::recordCopy;
    default: return Owns::nothing;
    }
}

// Each field freed is cleared, so that nothing is freed twice.
void FreeHandleField(std::span<uint8_t> r, uint32_t offset) {
    Handle h = static_cast<Handle>(GetU32(r, offset));
    if (h)
        DisposeHandle(h);
    SetU32(r, offset, 0);
}
void DeleteGdiField(std::span<uint8_t> r, uint32_t offset) {
    const uint32_t object = GetU32(r, offset);
    if (object)
        GetStackPlatformOps().deleteGdiObject(object);
    SetU32(r, offset, 0);
}

void FreeStepData() {
    HandleLock lock(g_record);
    if (!lock)
        return;
    const std::span<uint8_t> r(lock.get(), kUndoRecordBytes);
    switch (OwnedBy(GetU16(r, kUndoKind))) {
    case Owns::snapshot:
        FreeHandleField(r, kUndoSnapshot);
        DeleteGdiField(r, kUndoPalette);
        break;
    case Owns::maskBitmaps:
        FreeHandleField(r, kUndoSnapshot);
        DeleteGdiField(r, kUndoBitmap1);
        DeleteGdiField(r, kUndoBitmap2);
        DeleteGdiField(r, kUndoBitmap3);
        break;
    case Owns::rectBitmap:
        FreeHandleField(r, kUndoSnapshot);
        DeleteGdiField(r, kUndoSelectBitmap);
        break;
    case Owns::bitmapOnly: DeleteGdiField(r, kUndoSelectBitmap); break;
    case Owns::recordCopy: FreeHandleField(r, kUndoRecordCopy); break;
    case Owns::nothing: break;
    }
}

// The offset of the first object marked deleted; false when there is none.
bool FindDeletedObject(Handle card, uint32_t* offset) {
    HandleLock lock(card);
    if (!lock)
        return false;
    const std::span<const uint8_t> bytes = lock.bytes();
    CardObjectWalk walk(bytes, CardObjectsOffsetIn(bytes));
    ObjectPlace place;
    while (walk.Next(place))
        if (place.flags & kObjectDeletedFlag) {
            *offset = place.offset;
            return true;
        }
    return false;
}

// Cuts out every object marked deleted; the walk starts again after each cut.
void PurgeDeletedObjects(Handle card) {
    uint32_t offset = 0;
    while (FindDeletedObject(card, &offset))
        if (RemoveObjectRecord(card, offset) != 0)
            return;
}

}  // namespace

uint32_t UndoKindStringId(int kind) {
    return kind >= 0 && kind < kUndoKindCount ? kKindStrings[static_cast<size_t>(kind)] : 0;
}

bool UndoKindToggles(int kind) {
    switch (kind) {
    case 0: case 1: case 3: case 5: case 6: case 9: case 10: case 12: case 20: case 36: return true;
    default: return false;
    }
}

bool CreateUndoRecord() {
    if (!g_record)
        g_record = NewHandle(kUndoRecordBytes);
    if (!g_record)
        return false;
    HandleLock lock(g_record);
    if (lock)
        ZeroBytes(lock.get(), kUndoRecordBytes);
    g_count = 0;
    return true;
}

void FreeUndoRecord() {
    ClearUndo();
    DisposeHandleAndClear(&g_record);
    g_count = 0;
}

bool HasUndoRecord() { return g_record != 0; }
int GetUndoCount() { return g_count; }
int GetUndoKind() { return g_count ? static_cast<int>(GetUndoField(kUndoKind, 2)) : -1; }
uint16_t GetUndoCardId() { return g_count ? g_cardId : 0; }

uint32_t GetUndoField(uint32_t offset, int width) {
    HandleLock lock(g_record);
    if (!lock)
        return 0;
    const std::span<const uint8_t> r(lock.get(), kUndoRecordBytes);
    return width == 2 ? GetU16(r, offset) : GetU32(r, offset);
}

void PurgeDeletedRecords() {
    KeepOneLiveCard();
    for (int i = 1; i <= CountCards();) {
        const Handle card = GetCardByIndex(i);
        if (!IsCardDeleted(card)) {
            PurgeDeletedObjects(card);
            ++i;
            continue;
        }
        // A picture other cards still share goes to one of them first.
        if (GetCardKind(card) == kCardKindPicture && HasBackgroundRecord(card))
            SwitchCardBackgroundMode(card);
        TakeCardRecordAt(i);
        FreeCardTestingAnswer(card);
        DisposeHandle(card);
    }
    if (GetStackHeaderHandle() || CountCards())
        SetCardCount(CountCards());
}

namespace {

void DiscardStep() {
    if (!g_count)
        return;
    FreeStepData();
    HandleLock lock(g_record);
    if (lock)
        ZeroBytes(lock.get(), kUndoRecordBytes);
    g_count = 0;
    g_cardId = 0;
}

}  // namespace

void ClearUndo() {
    PurgeDeletedRecords();
    DiscardStep();
}

void DiscardUndoOnLeavingCard() {
    if (GetUndoKind() == 11)
        return;
    ClearUndo();
}

// ---- shared with the recorders and PerformUndo (UndoState.h) ----

UndoStep BeginUndoStep() {
    ClearUndo();
    return UndoStep(g_record);
}

UndoStep BeginUndoStepKeepingMarks() {
    DiscardStep();
    return UndoStep(g_record);
}

UndoStep::UndoStep(Handle record) : lock_(record) {}

std::span<uint8_t> UndoStep::bytes() const {
    return lock_ ? std::span<uint8_t>(lock_.get(), kUndoRecordBytes) : std::span<uint8_t>();
}

void UndoStep::Commit(uint16_t kind) {
    const std::span<uint8_t> r = bytes();
    if (r.empty())
        return;
    SetU16(r, kUndoKind, kind);
    SetU32(r, kUndoTool, GetCurrentTool());
    g_count = 1;
    g_cardId = GetCurrentCardId();
}

Handle UndoRecordHandle() { return g_record; }

void DiscardUndoStepKeepingData() {
    HandleLock lock(g_record);
    if (lock)
        ZeroBytes(lock.get(), kUndoRecordBytes);
    g_count = 0;
    g_cardId = 0;
}
