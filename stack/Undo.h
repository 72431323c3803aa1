// Undo: the one undo record of the open stack.
#pragma once

#include <cstddef>

// MINIMAL until undo is built (Undo.cpp): the record is only marked made and freed.
bool CreateUndoRecord();
void FreeUndoRecord();
bool HasUndoRecord();
// Discards the undo step (before every new undoable step and every save); nothing is held yet.
void ClearUndo();
// The Undo menu text: "Undo", then the step's name when one is held, then "\tCtrl+Z" when
// withShortcut. True when a step is held (the item is enabled by it).
bool GetUndoMenuText(char* buffer, size_t size, bool withShortcut);
// Records a paint step: a snapshot of the card offscreen, taken before the picture changes.
void RecordPaintUndo();
