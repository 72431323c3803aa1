// The recorders: each discards the previous step and fills the zeroed record for a new one.
#include "core/memory/ByteReader.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/undo/Undo.h"
#include "stack/undo/UndoState.h"

namespace {

void SetRect(std::span<uint8_t> r, uint32_t offset, int left, int top, int right, int bottom) {
    SetU32(r, offset, static_cast<uint32_t>(left));
    SetU32(r, offset + 4, static_cast<uint32_t>(top));
    SetU32(r, offset + 8, static_cast<uint32_t>(right));
    SetU32(r, offset + 12, static_cast<uint32_t>(bottom));
}

// A field of a step's record: a 32-bit value, or a 16-bit word.
struct StepField {
    uint32_t at = 0;
    uint32_t value = 0;
    bool word = false;
};
constexpr StepField Word(uint32_t at, uint16_t value) { return {at, value, true}; }
constexpr StepField Long(uint32_t at, int64_t value) { return {at, static_cast<uint32_t>(value)}; }

// Fills the fields of the begun step and commits it as the kind; false without a step.
bool CommitFields(UndoStep step, uint16_t kind, std::initializer_list<StepField> fields) {
    if (!step)
        return false;
    for (const StepField& f : fields) {
        if (f.word)
            SetU16(step.bytes(), f.at, static_cast<uint16_t>(f.value));
        else
            SetU32(step.bytes(), f.at, f.value);
    }
    step.Commit(kind);
    return true;
}

// A snapshot of the offscreen, then the kind; without a snapshot there is no step.
bool RecordSnapshotStep(uint16_t kind, int x = 0, int y = 0) {
    UndoStep step = BeginUndoStep();
    if (!step)
        return false;
    const DibHandle snapshot = GetStackPlatformOps().offscreenSnapshot();
    if (!snapshot)
        return false;
    SetU32(step.bytes(), kUndoSnapshot, static_cast<uint32_t>(snapshot));
    SetU32(step.bytes(), kUndoValue1, static_cast<uint32_t>(x));
    SetU32(step.bytes(), kUndoValue2, static_cast<uint32_t>(y));
    step.Commit(kind);
    return true;
}

int KindOfLetter(char letter, std::initializer_list<std::pair<char, int>> table) {
    for (const auto& [l, kind] : table)
        if (l == letter)
            return kind;
    return -1;
}

}  // namespace

void RecordPaintUndo() { RecordSnapshotStep(0); }

void RecordPaintUndoAt(int x, int y) { RecordSnapshotStep(1, x, y); }

int RecordFilterUndo(char letter) {
    const int kind = KindOfLetter(letter, {{'F', 23}, {'G', 20}});
    if (kind < 0)
        return 0;
    return RecordSnapshotStep(static_cast<uint16_t>(kind)) ? 1 : 0;
}

int RecordSelectionUndo(char letter, uint32_t data, uint32_t pixels, uint32_t mask, uint32_t outline, int x,
                        int y) {
    const int kind = KindOfLetter(letter, {{'S', 30}, {'U', 31}, {'Y', 33}, {'c', 4}, {'d', 2}, {'f', 24},
                                           {'g', 21}, {'k', 18}, {'s', 19}});
    if (kind < 0)
        return 0;
    const bool recorded = CommitFields(BeginUndoStep(), static_cast<uint16_t>(kind),
                                       {Long(kUndoSnapshot, data), Long(kUndoBitmap1, pixels), Long(kUndoBitmap2, mask),
                                        Long(kUndoBitmap3, outline), Long(kUndoMaskX, x), Long(kUndoMaskY, y)});
    return recorded ? 1 : 0;
}

void RecordGraphicMoveUndo(int dx, int dy) {
    CommitFields(BeginUndoStep(), 3, {Long(kUndoMoveX, dx), Long(kUndoMoveY, dy)});
}

void RecordSelectionMoveUndo(char letter, int left, int top, int right, int bottom, uint32_t bitmap) {
    UndoStep step = BeginUndoStep();
    if (!step)
        return;
    SetRect(step.bytes(), kUndoSelectRect, left, top, right, bottom);
    SetU32(step.bytes(), kUndoSelectBitmap, bitmap);
    step.Commit(letter == 'M' ? 5 : 6);
}

int PushUndoByCommand(char letter, uint32_t data, uint32_t bitmap, int left, int top, int right, int bottom) {
    const int kind = KindOfLetter(letter, {{'C', 8}, {'D', 7}, {'F', 25}, {'G', 22}, {'K', 17}, {'R', 16}, {'X', 32}});
    if (kind < 0)
        return 0;
    UndoStep step = BeginUndoStep();
    if (!step)
        return 0;
    SetU32(step.bytes(), kUndoSnapshot, data);
    SetRect(step.bytes(), kUndoSelectRect, left, top, right, bottom);
    SetU32(step.bytes(), kUndoSelectBitmap, bitmap);
    step.Commit(static_cast<uint16_t>(kind));
    return 1;
}

void RecordFlipUndo(char letter) {
    UndoStep step = BeginUndoStep();
    if (step)
        step.Commit(letter == 'U' ? 9 : 10);
}

void RecordObjectDeleteUndo(uint16_t kind, uint16_t id) {
    CommitFields(BeginUndoStep(), 11, {Word(kUndoObjectKind, kind), Word(kUndoObjectId, id)});
}

void RecordCardDeleteUndo(uint16_t cardId) {
    CommitFields(BeginUndoStepKeepingMarks(), 11,
                 {Word(kUndoObjectKind, kUndoCardObjectKind), Word(kUndoObjectId, cardId)});
}

void RecordObjectMoveUndoFor(uint16_t kind, uint16_t id, const int32_t rect[4]) {
    UndoStep step = BeginUndoStep();
    if (!step)
        return;
    SetRect(step.bytes(), kUndoObjectRect, rect[0], rect[1], rect[2], rect[3]);
    SetU16(step.bytes(), kUndoObjectKind, kind);
    SetU16(step.bytes(), kUndoObjectId, id);
    step.Commit(12);
}

void RecordObjectEditUndoFor(uint16_t kind, uint16_t id) {
    const uint16_t stepKind = kind == kObjectGraphic ? 13 : kind == kObjectButton ? 14 : kind == kObjectText ? 15 : 0;
    UndoStep step = BeginUndoStep();
    if (!step || !stepKind)
        return;
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return;
    const Handle copy = CopyObjectRecord(card, offset);
    if (!copy)
        return;
    SetU32(step.bytes(), kUndoRecordCopy, static_cast<uint32_t>(copy));
    SetU16(step.bytes(), kUndoObjectKind, kind);
    SetU16(step.bytes(), kUndoObjectId, id);
    step.Commit(stepKind);
}

void SetUndoKindByLetterFor(uint16_t kind, uint16_t id, char letter) {
    RecordObjectEditUndoFor(kind, id);
    const int byLetter = KindOfLetter(letter, {{'S', 28}, {'U', 27}, {'c', 29}, {'g', 34}, {'p', 35}, {'r', 26}});
    if (GetUndoCount() == 0 || byLetter < 0)
        return;
    HandleLock lock(UndoRecordHandle());
    if (lock)
        SetU16({lock.get(), kUndoRecordBytes}, kUndoKind, static_cast<uint16_t>(byLetter));
}

void RecordImportBackgroundUndo(uint32_t snapshot, uint32_t palette) {
    CommitFields(BeginUndoStep(), 36, {Long(kUndoSnapshot, snapshot), Long(kUndoPalette, palette)});
}
