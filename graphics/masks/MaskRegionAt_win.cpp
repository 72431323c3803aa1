// Masks of the connected area of one colour, for the paint bucket.
#include "graphics/masks/Masks.h"

#include <algorithm>

#include "core/ui/GdiGuards.h"
#include "graphics/masks/MaskRegions.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"

namespace {

// The bitmap's pixels at its own depth, read with the application palette.
class BitmapPixels {
public:
    explicit BitmapPixels(HBITMAP bitmap) : dib_(DibFromDeviceBitmap(bitmap, 0, GetAppPalette())), lock_(dib_.get()) {
        ok_ = lock_ && ReadPixelRows(lock_.bytes(), &pixels_);
    }
    explicit operator bool() const { return ok_; }
    const PixelRows& pixels() const { return pixels_; }

private:
    ScopedHandle dib_;
    HandleLock lock_;
    PixelRows pixels_;
    bool ok_ = false;
};

// Hands out the bits as a mask and the found area; 1, or 0 when no bitmap could be made.
int HandOut(const MaskBits& bits, const Rect32& found, HBITMAP* mask, RECT* bounds) {
    *mask = NewMaskBitmap(bits);
    if (!*mask)
        return 0;
    *bounds = {found.left, found.top, found.right, found.bottom};
    return 1;
}

}  // namespace

int MakeRegionMaskAt(HWND window, HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds) {
    *mask = nullptr;
    if (!bitmap)
        return 0;
    // The seed and the pixels above and below it; outside the bitmap they read as CLR_INVALID.
    COLORREF above = CLR_INVALID, seed = CLR_INVALID, below = CLR_INVALID;
    {
        WindowDC windowDc(window);
        MemoryDC dc(windowDc.get());
        SelectedObject selected(dc.get(), bitmap);
        if (selected) {
            above = GetPixel(dc.get(), x, y - 2);
            seed = GetPixel(dc.get(), x, y - 1);
            below = GetPixel(dc.get(), x, y);
        }
    }
    // A seed on a one-pixel horizontal line: the exact run scan before the surface fill.
    if (above == below && seed != above && MaskFromColorRunScan(bitmap, x, y, mask, bounds))
        return 1;
    if (MaskFromFloodFill(window, bitmap, x, y, mask, bounds))
        return 1;
    return MaskFromColorRunScan(bitmap, x, y, mask, bounds);
}

int MakeRegionMaskAtOffscreen(HWND window, int x, int y, HBITMAP* mask, RECT* bounds) {
    return MakeRegionMaskAt(window, GetOffscreenBitmap(), x, y, mask, bounds);
}

int MaskFromColorRunScan(HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds) {
    *mask = nullptr;
    BitmapPixels pixels(bitmap);
    MaskBits bits;
    Rect32 found;
    if (!pixels || !ScanColorRun(pixels.pixels(), x, y - 1, &bits, &found))
        return 0;
    return HandOut(bits, found, mask, bounds);
}

int MaskFromFloodFill(HWND window, HBITMAP bitmap, int x, int y, HBITMAP* mask, RECT* bounds) {
    *mask = nullptr;
    const int row = std::max(y, 1) - 1;
    OwnedGdiObject<HBITMAP> filled(DuplicateBitmap(bitmap));
    WindowDC windowDc(window);
    if (!filled || !windowDc)
        return 0;
    {
        MemoryDC dc(windowDc.get());
        SelectedObject selected(dc.get(), filled.get());
        SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        const COLORREF color = selected ? GetPixel(dc.get(), x, row) : CLR_INVALID;
        if (color == CLR_INVALID)
            return 0;
        // A brush of another colour than the area's, so that every pixel of it changes.
        SelectedObject brush(dc.get(), GetStockObject(color == RGB(0, 0, 0) ? WHITE_BRUSH : BLACK_BRUSH));
        if (!ExtFloodFill(dc.get(), x, row, PALETTERGB(GetRValue(color), GetGValue(color), GetBValue(color)),
                          FLOODFILLSURFACE) &&
            !ExtFloodFill(dc.get(), x, row, color, FLOODFILLSURFACE))
            return 0;
    }
    BitmapPixels before(bitmap);
    BitmapPixels after(filled.get());
    MaskBits bits;
    Rect32 found;
    if (!before || !after || !ScanFloodFillChange(before.pixels(), after.pixels(), x, row, &bits, &found))
        return 0;
    return HandOut(bits, found, mask, bounds);
}
