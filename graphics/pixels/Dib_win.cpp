// GDI bitmaps to and from DibHandles.
#include "graphics/pixels/DibGdi.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/WindowsFamily.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/dib/DibPixels.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/GraphicsErrors.h"

namespace {

constexpr uint32_t kStringImageRectNoDc = 4076;
// Header, a 256-entry table and 4 spare bytes: room for whatever GetDIBits reports first.
constexpr SIZE_T kPackedDibProbeBytes = 1068;

bool GetBitmapInfo(HBITMAP bitmap, BITMAP& info) {
    return bitmap && GetObjectA(bitmap, sizeof info, &info) == sizeof info;
}

// A palette of the system palette's current entries; null when there are none.
HPALETTE CopySystemPalette(HDC dc) {
    std::vector<uint8_t> block(LogPaletteSize(256));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(GetSystemPaletteEntries(dc, 0, 256, logical->palPalEntry));
    return logical->palNumEntries ? CreatePalette(logical) : nullptr;
}

int PaletteColors(HPALETTE palette, std::vector<DibColor>& colors) {
    PALETTEENTRY entries[256] = {};
    const UINT count = GetPaletteEntries(palette, 0, 256, entries);
    colors.assign(256, DibColor{});
    for (UINT i = 0; i < count && i < 256; ++i)
        colors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return static_cast<int>(count);
}

}  // namespace

DibHandle GetBitmapDibBits(HDC dc, HBITMAP bitmap, int depth, HPALETTE palette) {
    BITMAP info;
    if (!dc || !GetBitmapInfo(bitmap, info))
        return 0;
    if (!palette && GetDisplayBitsPerPixel() <= 8)
        palette = GetAppPalette();
    if (depth == 0 || depth >= 33)
        depth = info.bmPlanes * info.bmBitsPixel;
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    if (!IsDibDepth(depth) || width <= 0 || height <= 0 || width > kDibMaxDimension || height > kDibMaxDimension)
        return 0;
    const uint32_t table = depth <= 8 ? 4u << depth : 0;
    const uint64_t rows = static_cast<uint64_t>(DibRowBytes(depth, width)) * static_cast<uint64_t>(height);
    if (rows > kDibMaxImageBytes)
        return 0;
    const auto image = static_cast<uint32_t>(rows);
    DibHandle dib = NewHandle(kDibInfoHeaderBytes + table + image);
    if (!dib)
        return 0;
    int lines = 0;
    {
        HandleLock lock(dib);
        if (lock) {
            WriteDibInfoHeader({lock.get(), kDibInfoHeaderBytes}, width, height, depth, image);
            SelectedPalette selected(dc, palette, SelectedPalette::kAlways);
            lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), lock.get() + kDibInfoHeaderBytes + table,
                              reinterpret_cast<BITMAPINFO*>(lock.get()), DIB_RGB_COLORS);
        }
    }
    if (lines == 0) {
        DisposeHandle(dib);
        return 0;
    }
    return dib;
}

DibHandle DibFromDeviceBitmap(HBITMAP bitmap, int depth, HPALETTE palette) {
    WindowDC window(GetMainWindow());
    if (!window)
        return 0;
    // NT 4 reads through a copy of the system palette, made and dropped here.
    OwnedGdiObject<HPALETTE> systemCopy(GetWindowsFamily() == kWindowsFamilyNt4 ? CopySystemPalette(window.get())
                                                                                : nullptr);
    if (systemCopy)
        palette = systemCopy.get();
    return GetBitmapDibBits(window.get(), bitmap, depth, palette);
}

HGLOBAL BitmapToPackedDib(HBITMAP bitmap) {
    BITMAP info;
    if (!GetBitmapInfo(bitmap, info) || info.bmWidth <= 0 || info.bmHeight <= 0 ||
        info.bmWidth > kDibMaxDimension || info.bmHeight > kDibMaxDimension)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GHND, kPackedDibProbeBytes);
    if (!block)
        return nullptr;
    WindowDC window(GetMainWindow());
    SelectedPalette selected(window.get(), GetAppPalette(), SelectedPalette::kAlways);
    bool ok = false;
    if (auto* p = static_cast<uint8_t*>(GlobalLock(block))) {
        const int depth = info.bmPlanes * info.bmBitsPixel;
        WriteDibInfoHeader({p, kDibInfoHeaderBytes}, info.bmWidth, info.bmHeight, depth, 0);
        uint32_t size = 0;
        if (window && GetDIBits(window.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), nullptr,
                                reinterpret_cast<BITMAPINFO*>(p), DIB_RGB_COLORS)) {
            std::span<uint8_t> header{p, kDibInfoHeaderBytes};
            const int gotDepth = GetU16(header, kDibBitCountAt);
            // Rows are read back uncompressed (16 and 32 bits may come back described as bit
            // fields, whose masks would land where the rows begin), with a whole colour table.
            SetU32(header, kDibCompressionAt, 0);
            SetU32(header, kDibColorsUsedAt, 0);
            const uint32_t computed = static_cast<uint32_t>(DibRowBytes(gotDepth, info.bmWidth)) *
                                      static_cast<uint32_t>(info.bmHeight);
            uint32_t image = GetU32(header, kDibImageSizeAt);
            if (image < computed)
                image = computed;
            SetU32(header, kDibImageSizeAt, image);
            size = kDibInfoHeaderBytes + DibColorTableBytes(header) + image;
        }
        GlobalUnlock(block);
        if (size != 0) {
            if (HGLOBAL grown = GlobalReAlloc(block, size, GMEM_MOVEABLE)) {
                block = grown;
                if (auto* q = static_cast<uint8_t*>(GlobalLock(block))) {
                    const uint32_t table = DibColorTableBytes({q, kDibInfoHeaderBytes});
                    ok = GetDIBits(window.get(), bitmap, 0, static_cast<UINT>(info.bmHeight),
                                   q + kDibInfoHeaderBytes + table, reinterpret_cast<BITMAPINFO*>(q),
                                   DIB_RGB_COLORS) != 0;
                    GlobalUnlock(block);
                }
            }
        }
    }
    if (!ok) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

bool DibSetPaletteFrom(DibHandle dib, HPALETTE palette) {
    if (!palette)
        return false;
    std::vector<DibColor> colors;
    PaletteColors(palette, colors);
    auto nearest = [palette](DibColor c) {
        const UINT index = GetNearestPaletteIndex(palette, RGB(c.red, c.green, c.blue));
        return static_cast<uint8_t>(index == CLR_INVALID ? 0 : index);
    };
    return DibRemapPixels(dib, nearest, colors);
}

int DibSetPaletteFromMap(DibHandle dib, HPALETTE palette) {
    if (!palette)
        return -1;
    std::vector<DibColor> colors;
    PaletteColors(palette, colors);
    return SetDibColorTable(dib, colors);
}

void ImageRectToDC(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom, int sourceX, int sourceY) {
    if (!bitmap || right == left || bottom == top)
        return;
    MemoryDC memory(dc);
    if (!memory) {
        ShowGraphicsError(kStringImageRectNoDc);
        return;
    }
    SelectedPalette selected(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedObject source(memory.get(), bitmap);
    BitBlt(dc, left, top, right - left, bottom - top, memory.get(), sourceX, sourceY, SRCCOPY);
}

void BlitImageRect(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom) {
    ImageRectToDC(dc, bitmap, left, top, right, bottom, left, top);
}
