// Releasing graphics objects and blocks safely.
#include "core/memory/SafeRelease.h"

BOOL SafeDeleteObject(HGDIOBJ object) { return object ? DeleteObject(object) : TRUE; }

BOOL SafeDestroyCursor(HCURSOR cursor) { return cursor ? DestroyCursor(cursor) : TRUE; }

BOOL SafeDestroyIcon(HICON icon) { return icon ? DestroyIcon(icon) : TRUE; }

void* AllocLockedGlobal(HGLOBAL* block, SIZE_T size) {
    if (!block)
        return nullptr;
    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!*block)
        return nullptr;
    void* p = GlobalLock(*block);
    if (!p) {
        GlobalFree(*block);
        *block = nullptr;
    }
    return p;
}

void FreeLockedGlobal(HGLOBAL block, BOOL locked) {
    if (!block)
        return;
    if (locked)
        GlobalUnlock(block);
    GlobalFree(block);
}
