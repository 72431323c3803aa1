// Drawing icon images and their footprints, and what this layer installs below it: the 'Crsr'
// converter of the resource reader and the cursor cache's source of stack cursors.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/CursorCache.h"
#include "core/ui/CursorImages.h"
#include "core/ui/GdiGuards.h"
#include "objects/buttons/Buttons.h"
#include "format/ResFile.h"
#include "format/StackFile.h"

namespace {

// BITMAPINFO with room for a 256-entry colour table.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// The colour part of an image as a bottom-up DIB of its own height.
void ColorInfo(std::span<const uint8_t> data, const IconImage& image, DibInfo* info) {
    *info = {};
    info->header.biSize = sizeof info->header;
    info->header.biWidth = image.width;
    info->header.biHeight = image.height;
    info->header.biPlanes = 1;
    info->header.biBitCount = static_cast<WORD>(image.bitCount);
    info->header.biClrUsed = image.colorCount;
    for (uint32_t i = 0; i < image.colorCount; ++i)
        std::memcpy(&info->colors[i], data.data() + image.colorsOffset + i * 4, 4);
}

void MaskInfo(const IconImage& image, DibInfo* info) {
    *info = {};
    info->header.biSize = sizeof info->header;
    info->header.biWidth = image.width;
    info->header.biHeight = image.height;
    info->header.biPlanes = 1;
    info->header.biBitCount = 1;
    info->header.biClrUsed = 2;
    info->colors[1] = {255, 255, 255, 0};
}

void DrawDib(HDC dc, int x, int y, const IconImage& image, const void* bits, const DibInfo& info, DWORD rop) {
    StretchDIBits(dc, x, y, image.width, image.height, 0, 0, image.width, image.height, bits,
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, rop);
}

bool DrawIconBlock(HDC dc, std::span<const uint8_t> stored, int index, int x, int y) {
    IconImage image;
    if (!dc || !ReadIconImage(stored, index, &image))
        return false;
    // A copy: the stored data is never changed by drawing.
    std::vector<uint8_t> data(stored.begin(), stored.end());
    DibInfo colors, mask;
    ColorInfo(data, image, &colors);
    MaskInfo(image, &mask);
    if (image.bitCount == 4 && image.colorCount < 16) {
        bool hasBlack = false;
        for (uint32_t i = 0; i < image.colorCount; ++i)
            hasBlack |= !colors.colors[i].rgbRed && !colors.colors[i].rgbGreen && !colors.colors[i].rgbBlue;
        const uint8_t last = static_cast<uint8_t>(image.colorCount ? image.colorCount - 1 : 0);
        if (hasBlack)
            for (uint32_t at = image.xorOffset; at < image.andOffset; ++at) {
                uint8_t& b = data[at];
                b = static_cast<uint8_t>((std::min<uint8_t>(b >> 4, last) << 4) | std::min<uint8_t>(b & 15, last));
            }
    }
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255)), oldText = SetTextColor(dc, RGB(0, 0, 0));
    DrawDib(dc, x, y, image, data.data() + image.andOffset, mask, SRCAND);
    bool drawn = false;
    {
        MemoryDC memory(dc);
        OwnedGdiObject<HBITMAP> picture(CreateCompatibleBitmap(dc, image.width, image.height));
        SelectedObject selected(memory.get(), picture.get());
        if (selected) {
            DrawDib(memory.get(), 0, 0, image, data.data() + image.xorOffset, colors, SRCCOPY);
            DrawDib(memory.get(), 0, 0, image, data.data() + image.andOffset, mask, 0x00220326);  // D and not mask
            BitBlt(dc, x, y, image.width, image.height, memory.get(), 0, 0, SRCPAINT);
            drawn = true;
        }
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return drawn;
}

}  // namespace

bool DrawIconImage(HDC dc, Handle iconData, int index, int x, int y) {
    HandleLock lock(iconData);
    return lock && DrawIconBlock(dc, lock.bytes(), index, x, y);
}

void DrawIconFootprint(HDC dc, Handle iconData, int x, int y) {
    HandleLock lock(iconData);
    IconImage image;
    const std::span<const uint8_t> data = lock.bytes();
    if (!lock || !ReadIconImage(data, 0, &image))
        return;
    DibInfo mask;
    MaskInfo(image, &mask);
    DrawDib(dc, x, y, image, data.data() + image.andOffset, mask, MERGEPAINT);
}

bool DrawAnimatedCursorFrame(HDC dc, Handle cursorData, uint32_t step, int x, int y) {
    HandleLock lock(cursorData);
    CursorResource cursor;
    if (!lock || !ReadCursorResource(lock.bytes(), &cursor))
        return false;
    if (cursor.kind == kCursorStill)
        return DrawIconBlock(dc, cursor.still, 0, x, y);
    return DrawIconBlock(dc, cursor.frames[cursor.sequence[step < cursor.sequence.size() ? step : 0]], 0, x, y);
}

std::vector<uint8_t> StackCursorData(uint16_t id) { return HandleToBytes(GetResource(kCrsr, id)); }
