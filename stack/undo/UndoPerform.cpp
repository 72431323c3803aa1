// PerformUndo: reverses the present step. The toggling kinds keep it (with the present state in
// its place, so that Undo again redoes); the others hand their data back and discard it.
#include "core/ui/ToolNumbers.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/format/StackFile.h"
#include "stack/open/StackOpenSession.h"
#include "stack/undo/Undo.h"
#include "stack/undo/UndoState.h"

namespace {

constexpr uint32_t kMaskSelectTool = 12;
constexpr uint32_t kRectSelectTool = 13;

// The present record's fields, read and written through short locks (neighbours may allocate).
uint32_t Field(uint32_t offset) { return GetUndoField(offset); }
void SetField(uint32_t offset, uint32_t value) {
    HandleLock lock(UndoRecordHandle());
    if (lock)
        SetU32({lock.get(), kUndoRecordBytes}, offset, value);
}
void ReadRect(uint32_t offset, int32_t rect[4]) {
    for (int i = 0; i < 4; ++i)
        rect[i] = static_cast<int32_t>(Field(offset + 4 * static_cast<uint32_t>(i)));
}
void WriteRect(uint32_t offset, const int32_t rect[4]) {
    for (int i = 0; i < 4; ++i)
        SetField(offset + 4 * static_cast<uint32_t>(i), static_cast<uint32_t>(rect[i]));
}

void RestoreSnapshotField() {
    if (const Handle snapshot = static_cast<Handle>(Field(kUndoSnapshot)))
        GetStackUpcalls().restoreSnapshot(snapshot);
}

// The step ends; its snapshot (if any) is freed, the rest was handed on.
void EndStep() {
    Handle snapshot = static_cast<Handle>(Field(kUndoSnapshot));
    DisposeHandleAndClear(&snapshot);
    DiscardUndoStepKeepingData();
}

// Kinds 0 and 20: the picture and the snapshot change places.
void SwapPicture() {
    const StackUpcalls& n = GetStackUpcalls();
    const DibHandle present = n.offscreenSnapshot();
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

void ImportBackgroundSwap() {
    const StackUpcalls& n = GetStackUpcalls();
    const DibHandle present = n.offscreenSnapshot();
    const uint32_t presentPalette = n.cardPalette();
    RestoreSnapshotField();
    MarkStackChanged();
    if (const uint32_t saved = Field(kUndoPalette))
        n.applyPalette(saved);  // the application palette owns it now
    Handle old = static_cast<Handle>(Field(kUndoSnapshot));
    DisposeHandleAndClear(&old);
    SetField(kUndoSnapshot, static_cast<uint32_t>(present));
    SetField(kUndoPalette, presentPalette);
    if (!present) {
        ClearUndo();
        return;
    }
    SelectToolNumber(Field(kUndoTool));
}

void RestoreMaskSelection(void* window) {
    const StackUpcalls& n = GetStackUpcalls();
    RestoreSnapshotField();
    n.replaceMaskSelection(window, Field(kUndoBitmap1), Field(kUndoBitmap2), Field(kUndoBitmap3),
                           static_cast<int>(Field(kUndoMaskX)), static_cast<int>(Field(kUndoMaskY)));
    EndStep();
    SelectToolNumber(kMaskSelectTool);
}

void RestoreRectSelection(int kind) {
    const StackUpcalls& n = GetStackUpcalls();
    if (kind == 16)
        n.freeMaskSelection();
    RestoreSnapshotField();
    int32_t rect[4];
    ReadRect(kUndoSelectRect, rect);
    n.restoreRectSelection(rect, Field(kUndoSelectBitmap));
    EndStep();
    SelectToolNumber(kRectSelectTool);
}

// The buttons that go to the card and were marked deleted with it.
void RestoreLinkedButtons(uint16_t cardId) {
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        std::vector<uint32_t> marked;
        {
            HandleLock lock(card);
            if (!lock)
                continue;
            const std::span<const uint8_t> bytes = lock.bytes();
            CardObjectWalk walk(bytes);
            ObjectPlace place;
            while (walk.Next(place))
                if (place.kind == kObjectButton && (place.flags & kObjectDeletedFlag) &&
                    place.length >= kButtonHeaderBytes &&
                    (GetU16(bytes, place.offset + kButtonActionFlags) & kActGoTo) &&
                    GetU16(bytes, place.offset + kButtonDestination) == cardId)
                    marked.push_back(place.offset);
        }
        for (uint32_t offset : marked)
            SetObjectFlags(card, offset, 0, kObjectDeletedFlag);
    }
}

void UndoDeletion() {
    const StackUpcalls& n = GetStackUpcalls();
    const uint16_t kind = static_cast<uint16_t>(GetUndoField(kUndoObjectKind, 2));
    const uint16_t id = static_cast<uint16_t>(GetUndoField(kUndoObjectId, 2));
    DiscardUndoStepKeepingData();
    if (kind == kUndoCardObjectKind) {
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
        n.goToCardId(id, 3, 0, 8);
        return;
    }
    Handle card = 0;
    uint32_t offset = 0;
    n.syncCardFromLayers();
    if (!FindObject(kind, id, &card, &offset))
        return;
    SetObjectFlags(card, offset, 0, kObjectDeletedFlag);
    MarkStackChanged();
    n.rebuildLayers();
}

void UndoObjectMove() {
    const uint16_t kind = static_cast<uint16_t>(GetUndoField(kUndoObjectKind, 2));
    const uint16_t id = static_cast<uint16_t>(GetUndoField(kUndoObjectId, 2));
    int32_t rect[4];
    ReadRect(kUndoObjectRect, rect);
    if (!GetStackUpcalls().swapObjectRect(kind, id, rect))
        return;
    WriteRect(kUndoObjectRect, rect);
    MarkStackChanged();
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

void PerformUndo(void* cardWindow) {
    if (GetUndoCount() == 0)
        return;
    const int kind = GetUndoKind();
    // A step belongs to its card; only a deletion may be undone from elsewhere.
    if (kind != 11 && GetUndoCardId() != GetCurrentCardId())
        return;
    const StackUpcalls& n = GetStackUpcalls();
    switch (kind) {
    case 0: case 20: SwapPicture(); break;
    case 1:
        RestoreSnapshotField();
        n.setPaintTextCaretPos(static_cast<int>(Field(kUndoValue1)), static_cast<int>(Field(kUndoValue2)));
        SelectToolNumber(Field(kUndoTool));
        break;
    case 2: case 4: case 18: case 19: case 21: case 24: case 30: case 31: case 33: RestoreMaskSelection(cardWindow); break;
    case 3: {
        int x = static_cast<int>(Field(kUndoMoveX)), y = static_cast<int>(Field(kUndoMoveY));
        n.swapMaskSelectionPosition(&x, &y);
        SetField(kUndoMoveX, static_cast<uint32_t>(x));
        SetField(kUndoMoveY, static_cast<uint32_t>(y));
        SelectToolNumber(kMaskSelectTool);
        break;
    }
    case 5: case 6: {
        int32_t rect[4];
        ReadRect(kUndoSelectRect, rect);
        if (kind == 5) {
            n.swapRectSelectionRect(rect);
        } else {
            uint32_t bitmap = Field(kUndoSelectBitmap);
            n.swapRectSelection(rect, &bitmap);
            SetField(kUndoSelectBitmap, bitmap);
        }
        WriteRect(kUndoSelectRect, rect);
        SelectToolNumber(kRectSelectTool);
        break;
    }
    case 7: case 8: case 16: case 17: case 22: case 25: case 32: RestoreRectSelection(kind); break;
    case 9: case 10:
        n.flipRectSelection(kind == 9 ? 'U' : 'S');
        SelectToolNumber(kRectSelectTool);
        break;
    case 11: UndoDeletion(); break;
    case 12: UndoObjectMove(); break;
    case 13: case 14: case 15: case 26: case 27: case 28: case 29: case 34: case 35: UndoObjectEdit(); break;
    case 23:
        RestoreSnapshotField();
        MarkStackChanged();
        EndStep();
        break;
    case 36: ImportBackgroundSwap(); break;
    default: ClearUndo(); break;
    }
    n.invalidateCard(cardWindow);
    n.refreshMagnifiedView();
}
