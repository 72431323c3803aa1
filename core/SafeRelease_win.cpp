// Releasing graphics objects and blocks safely.
#include "core/SafeRelease.h"

#include "graphics/BitmapCopy.h"

BOOL SafeDeleteObject(HGDIOBJ object) { return object ? DeleteObject(object) : TRUE; }

BOOL SafeDestroyCursor(HCURSOR cursor) { return cursor ? DestroyCursor(cursor) : TRUE; }

BOOL SafeDestroyIcon(HICON icon) { return icon ? DestroyIcon(icon) : TRUE; }

HBITMAP DuplicateBitmap(HBITMAP bitmap) {
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return nullptr;
    RECT whole = {0, 0, info.bmWidth, info.bmHeight};
    return CutOutBitmap(bitmap, whole);
}

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
