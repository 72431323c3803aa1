// The undo record as the recorders and the undoing fill and read it (stack/undo and
// authoring/cards/UndoPerform_win.cpp).
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

// The record locked while a recorder fills it. Commit stores the kind, the current tool and the
// card, and makes the step present; a step left uncommitted stays absent (the record is zero).
class UndoStep {
public:
    explicit UndoStep(Handle record);
    std::span<uint8_t> bytes() const;  // empty when the record is missing or cannot be locked
    explicit operator bool() const { return static_cast<bool>(lock_); }
    void Commit(uint16_t kind);

private:
    HandleLock lock_;
};

// Discards the present step (ClearUndo), then locks the zeroed record for a new one.
UndoStep BeginUndoStep();
// The same without purging: a deletion that has just marked its records records with it.
UndoStep BeginUndoStepKeepingMarks();
Handle UndoRecordHandle();
// The step is gone but what it held was handed on (to a selection, or freed by the caller).
void DiscardUndoStepKeepingData();

// ---- UndoPerform.cpp: the present record's fields while a step is undone ----
void SetUndoField(uint32_t offset, uint32_t value);
void ReadUndoRect(uint32_t offset, int32_t rect[4]);
void WriteUndoRect(uint32_t offset, const int32_t rect[4]);
// The snapshot field's pixels written back into the offscreen.
void RestoreUndoSnapshot();
// The step ends; its snapshot (if any) is freed, the rest was handed on.
void EndUndoStep();
