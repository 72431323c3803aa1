// A paint selection dropped off the card, saved as a .bmp file (ObjectFile_win.cpp).
#pragma once

#include <windows.h>

inline constexpr int kMediaCodeBitmap = 13804;

// Whether the drop lies over the media library's list, and listing a file there. MINIMAL until
// the media library installs its own: never over it, nothing listed.
struct MediaLibCalls {
    bool (*isPointOverMediaLib)(POINT screenPoint);
    void (*addMediaLibItem)(const char* path, int mediaCode);
};
void SetMediaLibCalls(const MediaLibCalls& calls);

// A 24-bit bitmap file of the picture named "Pict" (numbered when taken) beside the stack, or
// in the media library when dropped there; a file that could not be written whole is deleted.
// 1 when written.
int SavePictureAsBmp(HBITMAP bitmap, HPALETTE palette, POINT drop);
