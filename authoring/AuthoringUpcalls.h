// What card import and saved object files ask of the program above them: host/wiring/
// WireStack_win.cpp fills it, whole, when the layers are wired. Until then (native builds,
// tests) the defaults do the least: the stack is never fresh, opening instead of importing
// fails and no count is shown.
#pragma once

#include <cstddef>

struct EditUpcalls {
    // No pending change, never read from or saved to a file.
    bool (*stackIsFresh)();
    // Slot 0 becomes the document (slot 1): the current card left and the stack read. 0 on success.
    int (*openInsteadOfImport)();
    void (*showImportCount)(const char* fileName, int count);
};

const EditUpcalls& GetEditUpcalls();
void SetEditUpcalls(const EditUpcalls& upcalls);
EditUpcalls DefaultEditUpcalls();
