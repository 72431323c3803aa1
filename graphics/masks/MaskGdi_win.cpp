// Masks between bits and GDI bitmaps; single pixels, outlines and packed masks.
#include "graphics/masks/Masks.h"

#include <cstring>

#include "core/memory/HandlesGlobal.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/MaskRegions.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"

namespace {

// A filled white circle on black, 2n x 2n, as GDI draws it.
bool CircleStamp(int n, MaskBits* stamp) {
    OwnedGdiObject<HBITMAP> bitmap(CreateBitmap(2 * n, 2 * n, 1, 1, nullptr));
    MemoryDC dc(nullptr);
    if (!bitmap || !dc)
        return false;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        SelectedObject brush(dc.get(), GetStockObject(WHITE_BRUSH));
        SelectedObject pen(dc.get(), GetStockObject(WHITE_PEN));
        PatBlt(dc.get(), 0, 0, 2 * n, 2 * n, BLACKNESS);
        Ellipse(dc.get(), 0, 0, 2 * n, 2 * n);
    }
    return ReadMaskBitmap(bitmap.get(), stamp);
}

}  // namespace

bool ReadMaskBitmap(HBITMAP bitmap, MaskBits* bits) {
    *bits = {};
    SIZE size{};
    if (!BitmapSize(bitmap, &size))
        return false;
    ScopedHandle dib(DibFromDeviceBitmap(bitmap, 0, GetAppPalette()));
    HandleLock lock(dib.get());
    PixelRows pixels;
    if (!lock || !ReadPixelRows(lock.bytes(), &pixels))
        return false;
    MaskBits read(pixels.width, pixels.height);
    // A one-bit DIB (any monochrome mask) copies whole rows when its table is black and white.
    const bool whiteOne = pixels.depth == 1 && !pixels.IsBlackIndex(1) && pixels.IsBlackIndex(0);
    const bool whiteZero = pixels.depth == 1 && !pixels.IsBlackIndex(0) && pixels.IsBlackIndex(1);
    if ((whiteOne || whiteZero) && MaskBitsFromRows(pixels.image, pixels.rowBytes, false, whiteOne, &read)) {
        *bits = std::move(read);
        return true;
    }
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (!pixels.IsBlack(x, y))
                read.Set(x, y);
        }
    }
    *bits = std::move(read);
    return !bits->empty();
}

HBITMAP NewMaskBitmap(const MaskBits& bits) {
    if (bits.empty())
        return nullptr;
    // Monochrome bitmap rows are padded to 16 bits.
    const uint32_t rowBytes = (static_cast<uint32_t>(bits.width()) + 15) / 16 * 2;
    const std::vector<uint8_t> rows = MaskBitsToRows(bits, rowBytes);
    return CreateBitmap(bits.width(), bits.height(), 1, 1, rows.data());
}

bool BitmapPixelIsSet(HWND window, HBITMAP bitmap, int x, int y) {
    SIZE size{};
    if (!BitmapSize(bitmap, &size) || x < 0 || y < 0 || x >= size.cx || y >= size.cy)
        return false;
    WindowDC windowDc(window);
    MemoryDC dc(windowDc.get());
    SelectedObject selected(dc.get(), bitmap);
    if (!selected)
        return false;
    const COLORREF color = GetPixel(dc.get(), x, y);
    return color != CLR_INVALID && color != RGB(0, 0, 0);
}

void SetMaskPixel(HDC dc, int x, int y, COLORREF color) { SetPixel(dc, x, y, color); }

HBITMAP MaskOutlineThin(HBITMAP mask) {
    MaskBits bits;
    if (!ReadMaskBitmap(mask, &bits))
        return nullptr;
    return NewMaskBitmap(MaskOutlineBits(bits));
}

HBITMAP MaskOutline(HBITMAP mask, int penWidth) {
    if (penWidth <= 1)
        return MaskOutlineThin(mask);
    MaskBits bits, stamp;
    if (penWidth > kMaskMaxDimension / 2 || !ReadMaskBitmap(mask, &bits) || !CircleStamp(penWidth, &stamp))
        return nullptr;
    return NewMaskBitmap(MaskOutlineStamped(bits, stamp, penWidth));
}

void MaskToPackedBits(HBITMAP mask, uint16_t first, uint16_t second, uint32_t* size, HGLOBAL* block) {
    *size = 0;
    *block = nullptr;
    MaskBits bits;
    if (!ReadMaskBitmap(mask, &bits))
        return;
    const std::vector<uint8_t> packed = WritePackedMask(bits, first, second);
    HGLOBAL made = AllocGlobalOrWarn(packed.size());
    if (!made)
        return;
    void* p = GlobalLock(made);
    if (!p) {
        GlobalFree(made);
        return;
    }
    std::memcpy(p, packed.data(), packed.size());
    GlobalUnlock(made);
    *size = static_cast<uint32_t>(packed.size());
    *block = made;
}

std::vector<uint8_t> MaskToPackedBytes(HBITMAP mask) {
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    MaskToPackedBits(mask, 0, 0, &size, &block);
    std::vector<uint8_t> bytes;
    if (!block)
        return bytes;
    if (const auto* p = static_cast<const uint8_t*>(GlobalLock(block))) {
        if (size <= GlobalSize(block))
            bytes.assign(p, p + size);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return bytes;
}

PackedMaskRefusal MaskFromPackedBits(std::span<const uint8_t> block, HBITMAP* mask, uint16_t* first, uint16_t* second) {
    *mask = nullptr;
    *first = 0;
    *second = 0;
    MaskBits bits;
    uint16_t a = 0, b = 0;
    const PackedMaskRefusal refusal = ReadPackedMaskBits(block, &bits, &a, &b);
    if (refusal != PackedMaskRefusal::None)
        return refusal;
    *mask = NewMaskBitmap(bits);
    if (!*mask)
        return PackedMaskRefusal::NoBitmap;
    *first = a;
    *second = b;
    return PackedMaskRefusal::None;
}

PackedMaskRefusal MaskFromPackedBlock(HGLOBAL block, HBITMAP* mask, uint16_t* first, uint16_t* second) {
    const auto* p = block ? static_cast<const uint8_t*>(GlobalLock(block)) : nullptr;
    const std::span<const uint8_t> bytes = p ? std::span<const uint8_t>(p, GlobalSize(block)) : std::span<const uint8_t>{};
    const PackedMaskRefusal refusal = MaskFromPackedBits(bytes, mask, first, second);
    if (p)
        GlobalUnlock(block);
    return refusal;
}
