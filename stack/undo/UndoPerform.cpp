// Undoing the steps that need only the stack: the picture, deletions, object records and
// filters. The toggling kinds (an object's deletion among them) keep the step (with the present
// state in its place, so that Undo again redoes); the others hand their data back and discard
// it. The paint selections, object moves and background imports are undone above
// (authoring/cards/UndoPerform_win.cpp).
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/ToolNumbers.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/Undo.h"
#include "stack/undo/UndoState.h"

// The present record's fields, read and written through short locks (neighbours may allocate).
void SetUndoField(uint32_t offset, uint32_t value) {
    HandleLock lock(UndoRecordHandle());
    if (lock)
        SetU32({lock.get(), kUndoRecordBytes}, offset, value);
}
void ReadUndoRect(uint32_t offset, int32_t rect[4]) {
    for (int i = 0; i < 4; ++i)
        rect[i] = static_cast<int32_t>(GetUndoField(offset + 4 * static_cast<uint32_t>(i)));
}
void WriteUndoRect(uint32_t offset, const int32_t rect[4]) {
    for (int i = 0; i < 4; ++i)
        SetUndoField(offset + 4 * static_cast<uint32_t>(i), static_cast<uint32_t>(rect[i]));
}

void RestoreUndoSnapshot() {
    if (const Handle snapshot = static_cast<Handle>(GetUndoField(kUndoSnapshot)))
        GetStackUpcalls().restoreSnapshot(snapshot);
}

void EndUndoStep() {
    Handle snapshot = static_cast<Handle>(GetUndoField(kUndoSnapshot));
    DisposeHandleAndClear(&snapshot);
    DiscardUndoStepKeepingData();
}

namespace {

uint32_t Field(uint32_t offset) { return GetUndoField(offset); }
void SetField(uint32_t offset, uint32_t value) { SetUndoField(offset, value); }
void RestoreSnapshotField() { RestoreUndoSnapshot(); }
void EndStep() { EndUndoStep(); }

// Kinds 0 and 20: the picture and the snapshot change places.
void SwapPicture() {
    const DibHandle present = GetStackPlatformOps().offscreenSnapshot();
    RestoreSnapshotField();
    MarkStackChanged();
    if (!present) {  // nothing to redo with
        EndStep();
        return;
    }
    Handle old = static_cast<Handle>(Field(kUndoSnapshot));
    DisposeHandleAndClear(&old);
    SetField(kUndoSnapshot, static_cast<uint32_t>(present));
    SelectToolNumber(Field(kUndoTool));
}

// The buttons that go to the card and were marked deleted with it.
void RestoreLinkedButtons(uint16_t cardId) {
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        std::vector<uint32_t> marked;
        WalkCardObjects(card, [&](const ObjectPlace& place, std::span<const uint8_t> bytes) {
            if (place.kind == kObjectButton && (place.flags & kObjectDeletedFlag) &&
                place.length >= kButtonHeaderBytes && (GetU16(bytes, place.offset + kButtonActionFlags) & kActGoTo) &&
                GetU16(bytes, place.offset + kButtonDestination) == cardId)
                marked.push_back(place.offset);
            return true;
        });
        for (uint32_t offset : marked)
            SetObjectFlags(card, offset, 0, kObjectDeletedFlag);
    }
}

// A deleted object comes back and the step stays, so that Undo again deletes it again; a
// deleted card comes back and the step ends.
void UndoDeletion() {
    const StackUpcalls& n = GetStackUpcalls();
    const uint16_t kind = static_cast<uint16_t>(GetUndoField(kUndoObjectKind, 2));
    const uint16_t id = static_cast<uint16_t>(GetUndoField(kUndoObjectId, 2));
    if (kind == kUndoCardObjectKind) {
        DiscardUndoStepKeepingData();
        const Handle card = FindCardById(id);
        if (!card || !IsCardDeleted(card))
            return;
        {
            HandleLock lock(card);
            const std::span<uint8_t> bytes = lock.bytes();
            SetU16(bytes, kCardFlags, static_cast<uint16_t>(GetU16(bytes, kCardFlags) & ~kCardDeleted));
        }
        RestoreLinkedButtons(id);
        SetCardCount(GetCardCount() + 1);
        MarkStackChanged();
        n.goToCardId(id, kPlainTransition, kPlainEffect, kPlainSpeed);
        return;
    }
    Handle card = 0;
    uint32_t offset = 0;
    n.deselectObject();
    n.syncCardFromLayers();
    if (!FindObject(kind, id, &card, &offset)) {
        DiscardUndoStepKeepingData();
        return;
    }
    const bool deleted = GetHandleWord(card, offset + kObjectFlags) & kObjectDeletedFlag;
    SetObjectFlags(card, offset, deleted ? 0 : kObjectDeletedFlag, deleted ? kObjectDeletedFlag : 0);
    MarkStackChanged();
    n.rebuildLayers();
}

void UndoObjectEdit() {
    const StackUpcalls& n = GetStackUpcalls();
    const uint16_t kind = static_cast<uint16_t>(GetUndoField(kUndoObjectKind, 2));
    const uint16_t id = static_cast<uint16_t>(GetUndoField(kUndoObjectId, 2));
    Handle copy = static_cast<Handle>(Field(kUndoRecordCopy));
    SetField(kUndoRecordCopy, 0);
    DiscardUndoStepKeepingData();
    n.deselectObject();
    n.syncCardFromLayers();
    Handle card = 0;
    uint32_t offset = 0;
    const std::vector<uint8_t> saved = HandleToBytes(copy);
    DisposeHandleAndClear(&copy);
    if (saved.size() < kObjectCommonBytes || !FindObject(kind, id, &card, &offset))
        return;
    if (RemoveObjectRecord(card, offset) != 0)
        return;
    InsertObjectBytes(card, offset, saved);
    MarkStackChanged();
    n.rebuildLayers();
}

}  // namespace

bool UndoStepApplies() {
    if (GetUndoCount() == 0)
        return false;
    // A step belongs to its card; only a deletion may be undone from elsewhere.
    return GetUndoKind() == 11 || GetUndoCardId() == GetCurrentCardId();
}

bool PerformRecordUndo(int kind) {
    switch (kind) {
    case 0: case 20: SwapPicture(); return true;
    case 11: UndoDeletion(); return true;
    case 13: case 14: case 15: case 26: case 27: case 28: case 29: case 34: case 35: UndoObjectEdit(); return true;
    case 23:
        RestoreSnapshotField();
        MarkStackChanged();
        EndStep();
        return true;
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 12: case 16: case 17:
    case 18: case 19: case 21: case 22: case 24: case 25: case 30: case 31: case 32: case 33: case 36:
        return false;
    default: ClearUndo(); return true;
    }
}
