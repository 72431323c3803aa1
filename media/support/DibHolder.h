// A picture in device-independent form, moved between bitmaps, DIB sections, packed DIBs and
// QuickTime. The header handle holds the 40-byte header and colour table, and for a packed DIB
// the rows too; a DIB section made from the holder keeps its rows in the section instead.
//
//   DibHolder_win.cpp   bitmaps, sections and global blocks
//   PackedDib.cpp       the checks of packed DIBs given to the holder (PackedDib.h)
//   QTBlendBitmaps_win.cpp  partial transparency of graphic objects through QuickTime
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

class Window;

struct DibHolder {
    uint16_t bitsPerPixel = 0;
    Handle header = 0;
    int32_t height = 0;
    int32_t width = 0;
    void* sectionBits = nullptr;  // the pixels of the DIB section made from the holder
};

// The bitmap's pixels at the given depth, rows top first, read with the application palette
// selected in the dc. False (holder unchanged) when nothing could be read.
bool DibHolderFromBitmap(DibHolder* holder, HBITMAP bitmap, int bits, HDC dc);
bool DibHolderFromBitmap(DibHolder* holder, HBITMAP bitmap, int bits, const Window& window);
// A DIB section of the holder's header, or of a new top-first 24-bit one of width x height when
// the holder has none. Its pixels are the source packed DIB's when its geometry is the
// section's, else white. The bitmap, or null.
HBITMAP MakeDibSection(DibHolder* holder, int width, int height, HDC dc, std::span<const uint8_t> sourcePackedDib = {});
// A movable, zeroed global block holding a copy of the header handle; null when none.
HGLOBAL DibToGlobal(const DibHolder& holder);
// A packed DIB (rows bottom first) of the DIB section's pixels in a movable, zeroed global
// block; null without a section.
HGLOBAL DibSectionToPackedDib(const DibHolder& holder);
// The holder takes a copy of a checked packed DIB (PackedDib.h); false, holder unchanged, for
// one whose header, colours or rows do not lie in the block.
bool DibHolderFromPackedDib(DibHolder* holder, std::span<const uint8_t> packedDib);
// A device bitmap of the holder's picture, or null.
HBITMAP DibHolderToBitmap(const DibHolder& holder, HDC dc);
void DibFree(DibHolder* holder);
// A one-bit holder with its rows in the handle as a QuickTime bit map (PackedDib.h
// NewQTBitMapFromDib), for turning the layer mask into a region; 0 otherwise.
Handle DibToQTBitMap(const DibHolder& holder);

// ---- QTBlendBitmaps_win.cpp ----
// A over B, A weighing `percent` (0..100): a new device bitmap of B's blended pixels at A's size,
// or null when QuickTime cannot make the worlds.
HBITMAP QTBlendBitmaps(HDC dc, HBITMAP bitmapA, HBITMAP bitmapB, int percent);
