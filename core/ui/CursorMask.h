// Cursor mask buffers: one bit per pixel, most significant bit first (0x80 is x mod 8 = 0),
// rows of cursor width / 8 bytes, cursor height rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Bytes of a mask for a cursor of that size (0 for a size below one byte row).
size_t CursorMaskBytes(int32_t cursorWidth, int32_t cursorHeight);

// Sets the bit of pixel (x, y) in a mask of rows cursorWidth / 8 bytes long. False, nothing
// written, when the pixel lies outside the cursor or beyond the end of the buffer.
bool SetCursorMaskBit(std::span<uint8_t> mask, int32_t cursorWidth, int32_t x, int32_t y);

// The AND and XOR buffers are made as a pair through these services (global blocks in the
// Windows build). allocate returns null on failure, having warned the user itself.
struct CursorMaskBlockOps {
    void* (*allocate)(size_t bytes);
    void (*release)(void* block);
    void (*reportNoXorRoom)();  // told when the AND buffer was had but the XOR buffer was not
};

// Both buffers of bytes each, or neither: true with both stored; false with both null and
// nothing kept when either allocation fails.
bool CreateCursorMaskPair(const CursorMaskBlockOps& ops, size_t bytes, void** andMask, void** xorMask);
