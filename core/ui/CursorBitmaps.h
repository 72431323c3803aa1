// Cursor mask buffers of the system cursor size in plain global blocks (layout in
// core/ui/CursorMask.h).
#pragma once

#include <windows.h>

// Allocates the AND and XOR mask buffers, zero-filled. True when both were had; otherwise the
// user has been told (the out-of-memory warning, or string 4133 for the XOR mask), neither
// block is kept and both results are null.
bool CreateCursorBitmaps(HGLOBAL* andMask, HGLOBAL* xorMask);

// Sets the bit of pixel (x, y) in a mask buffer of the system cursor size. False, nothing
// written, for a pixel outside the cursor or beyond the block.
bool SetCursorMaskBit(HGLOBAL mask, int x, int y);
