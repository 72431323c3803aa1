// Undo: the one undo record of the open stack.
#pragma once

// MINIMAL until undo is built (Undo.cpp): the record is only marked made and freed.
bool CreateUndoRecord();
void FreeUndoRecord();
bool HasUndoRecord();
// Discards the undo step (before every new undoable step and every save); nothing is held yet.
void ClearUndo();
