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

// MINIMAL: no step is ever held, so the text is the bare "Undo".
bool GetUndoMenuText(char* buffer, size_t size, bool withShortcut) {
    (void)withShortcut;
    if (buffer && size) {
        const char text[] = "Undo";
        size_t i = 0;
        for (; i + 1 < size && text[i]; ++i)
            buffer[i] = text[i];
        buffer[i] = '\0';
    }
    return false;
}

// MINIMAL: no snapshot is taken.
void RecordPaintUndo() {}
