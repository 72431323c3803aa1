// The size of a GDI bitmap, as GetObject describes it.
#pragma once

#include <windows.h>

// The bitmap's width and height in *size; false, with a zero size, when the bitmap is null or
// GetObject cannot describe it.
bool BitmapSize(HBITMAP bitmap, SIZE* size);
// The same as a value: zero when the bitmap cannot be described.
SIZE BitmapSizeOf(HBITMAP bitmap);
