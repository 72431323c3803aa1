// What a drawing context shows: its top-left width x height pixels as 0x00RRGGBB values, top
// row first, read through a compatible copy (so window DCs read as memory DCs do).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/ui/GdiGuards.h"

inline std::vector<uint32_t> ReadDcPixels(HDC dc, int width, int height) {
    MemoryDC memory(dc);
    OwnedGdiObject<HBITMAP> copy(CreateCompatibleBitmap(dc, width, height));
    {
        SelectedObject selected(memory.get(), copy.get());
        BitBlt(memory.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    }
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(size_t(width) * height);
    GetDIBits(dc, copy.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}
