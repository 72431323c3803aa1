// What authoring (card import, saved object files) asks of the program above it: host/wiring/
// WireStack_win.cpp fills it, whole, when the layers are wired. Until then (native builds,
// tests) the defaults do the least: the stack is never fresh, opening instead of importing
// fails and no count is shown.
#pragma once

#include <cstddef>
#include <cstdint>

struct AuthoringUpcalls {
    // No pending change, never read from or saved to a file.
    bool (*stackIsFresh)();
    // The stack at path becomes the document once the open one may go (asked about when it was
    // edited): the current card left and the stack read whole. 0 on success; otherwise the open
    // stack stays as it was.
    int (*openInsteadOfImport)(const char* path);
    // The imported cards shown: the card of firstCardId gone to, then, when count is not 0, how
    // many cards came from fileName.
    void (*showImportedCards)(uint16_t firstCardId, const char* fileName, int count);
};

const AuthoringUpcalls& GetAuthoringUpcalls();
void SetAuthoringUpcalls(const AuthoringUpcalls& upcalls);
AuthoringUpcalls DefaultAuthoringUpcalls();
