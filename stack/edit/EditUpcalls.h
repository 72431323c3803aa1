// What card import and saved object files ask of the program above them: host/wiring/
// WireStack_win.cpp fills it, whole, when the layers are wired. Until then (native builds,
// tests) the defaults do the least: the stack is never fresh, opening instead of importing
// fails, no count is shown, and there is no media library (never under a drop, no path in it,
// nothing listed).
#pragma once

#include <cstddef>

struct EditUpcalls {
    // No pending change, never read from or saved to a file.
    bool (*stackIsFresh)();
    // Slot 0 becomes the document (slot 1): the current card left and the stack read. 0 on success.
    int (*openInsteadOfImport)();
    void (*showImportCount)(const char* fileName, int count);
    // The media library: whether a screen point lies over its list, a unique path in its folder
    // (1, or 0 with an empty path), and listing a file there.
    bool (*isPointOverMediaLib)(int screenX, int screenY);
    int (*makeUniqueMediaLibPath)(char* out, size_t size, const char* name, const char* extension);
    void (*addMediaLibItem)(const char* path, int mediaCode);
};

const EditUpcalls& GetEditUpcalls();
void SetEditUpcalls(const EditUpcalls& upcalls);
EditUpcalls DefaultEditUpcalls();
