// Packed DIBs handed to the media layer (by QuickTime, the clipboard or a caller): a checked
// view of their header, colour table and rows, so that nothing is read past the block.
// Platform-neutral; the DIB holder (DibHolder.h) builds on it.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "quicktime/QtTypes.h"

struct PackedDibView {
    int32_t width = 0;
    int32_t height = 0;  // as stored: negative for rows top first
    int depth = 0;
    uint32_t colors = 0;                // entries of the colour table
    std::span<const uint8_t> header;    // the first 40 bytes of the header
    std::span<const uint8_t> table;     // colors x 4 bytes
    std::span<const uint8_t> image;     // DibRowBytes x |height|
};

// Accepts a header of at least 40 bytes (as it says) with one plane, a DIB depth, uncompressed
// rows, width and height within 1..32767 (either row order), and a colour table and rows that
// lie inside the block. False, with *out untouched, otherwise.
bool ReadPackedDib(std::span<const uint8_t> block, PackedDibView* out);

// The rows of a packed DIB of exactly this geometry (width, signed height, depth), or empty:
// pixels are copied from a source only when they fit where they go.
std::span<const uint8_t> PackedDibPixelsIf(std::span<const uint8_t> block, int32_t width, int32_t height, int depth);

// A new handle with a 40-byte header (the view's, its size field 40), the table and the rows;
// 0 when no handle can be had.
Handle NewHandleFromPackedDib(const PackedDibView& dib);

// A one-bit packed DIB as a QuickTime bit map in a new handle: the QtBitMap record (bounds 0, 0,
// height, width; rows MacRowBytes apart) followed by the rows, top first. Of each row the
// shorter of the two row lengths is copied. 0 for a DIB that is not one bit deep or no handle.
Handle NewQTBitMapFromDib(std::span<const uint8_t> packedDib);
// Locks such a handle and points its record at its rows (the data may have moved since it was
// made); unlock with UnlockHandle. Null when it cannot be locked.
QtBitMap* LockQTBitMap(Handle bitMap);
