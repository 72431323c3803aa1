// MINIMAL undo record (see Undo.h).
#include "stack/Undo.h"

namespace {
bool g_made = false;
}  // namespace

bool CreateUndoRecord() {
    g_made = true;
    return true;
}
void FreeUndoRecord() { g_made = false; }
bool HasUndoRecord() { return g_made; }
void ClearUndo() {}
