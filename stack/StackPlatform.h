// The platform under the stack's platform-free code: the disk, GDI objects, the system
// clipboard, the display, the card offscreen and palette, the save folder preference, and the
// stack's own Windows side (pictures converted through GDI, the size change with its progress
// window, the offscreen remade at a stack's card size). host/wiring/WireStack_win.cpp installs
// the system's when the layers are wired; until then (native builds, tests) the defaults do
// the least: the disk has unlimited room, there is no display, offscreen or palette, pictures
// stay as they are, and every preference reads "Bad".
//
// Windows handles travel as void* or uint32_t so that platform-free code can hold them.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "format/StackFile.h"

struct StackPlatformOps {
    // Free bytes on the disk of a path (clamped to 32 bits); false when unknown.
    bool (*freeSpace)(const char* path, uint32_t* bytes);
    // DeleteObject of a bitmap or palette the caller owns.
    void (*deleteGdiObject)(uint32_t object);
    // The system clipboard: emptied, or emptied and given the marker.
    void (*clearSystemClipboard)();
    void (*setClipboardMarker)();
    // The display's bits per pixel; 0 without a display (no conversion).
    int (*displayBitsPerPixel)();
    // A new DIB of the card offscreen as the stack keeps pictures (card width by card height
    // plus the two extra rows, bottom row first, the palette's colours in its table; deeper
    // pixels in the stack's layout, 24 bits as 32); 0 when there is none.
    DibHandle (*offscreenPicture)();
    // A new DIB of the card offscreen as it is, for undo.
    DibHandle (*offscreenSnapshot)();
    // The application palette's colours, for the colour table of pictures deeper than 8 bits.
    std::span<const PaletteColor> (*appPaletteColors)();
    // The preferences as saving and saved objects read them (the remembered save folder): every
    // key missing until they are given the preferences file.
    void (*readSavePreference)(const char* section, const char* key, char* buffer, int size);
    // ConvertCardPicture: 0 done, 16 not done.
    int (*convertCardPicture)(Handle card, int oldDepth, int newDepth, int width, int height);
    // ConvertCardGraphicsDepth with the JPEG-encode switch on: 0 done, 16 not.
    int (*convertCardGraphicsDepth)(Handle card, int depth);
    // The stack resized from the old header to the new one (both host order); 0 or 16. The
    // default writes the new card size into the open header and every card record.
    int (*changeStackSize)(Handle oldHeader, Handle newHeader);
    // The offscreen remade at a read stack's card size and depth.
    void (*resizeCardArea)(int width, int height, int depth);
};

const StackPlatformOps& GetStackPlatformOps();
void SetStackPlatformOps(const StackPlatformOps& ops);

// The display's depth as the stack compares it: 24 counts as 32; 0 without a display.
int DisplayDepthForStack();
StackPlatformOps DefaultStackPlatformOps();
