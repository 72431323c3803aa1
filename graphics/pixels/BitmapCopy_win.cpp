// Copies of parts of device bitmaps, plain and through a one-bit mask.
#include "graphics/pixels/BitmapCopy.h"

#include "core/system/PluginModule.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/GraphicsErrors.h"

namespace {
constexpr uint32_t kStringCutOutNoDc = 4010;
constexpr uint32_t kStringCutOutNoBitmap = 4011;
constexpr uint32_t kStringNoMemoryForOperation = 4036;

// A one-bit source blits white as the background colour and black as the text colour.
void MonochromeColors(HDC dc) {
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
}
}  // namespace

// Both memory contexts get the application palette on indexed displays, so that the copy keeps
// the source's palette indexes.
HBITMAP CutOutBitmap(HBITMAP bitmap, const RECT& rect) {
    BITMAP info;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!bitmap || width <= 0 || height <= 0 || !GetObjectA(bitmap, sizeof info, &info))
        return nullptr;

    WindowDC window(GetMainWindow());
    if (!window) {
        ShowGraphicsError(kStringCutOutNoDc);
        return nullptr;
    }
    MemoryDC sourceDc(window.get());
    MemoryDC copyDc(window.get());
    if (!sourceDc || !copyDc) {
        ShowGraphicsError(kStringCutOutNoDc);
        return nullptr;
    }
    SelectedPalette sourcePalette(sourceDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedPalette copyPalette(copyDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    HBITMAP copy = (info.bmPlanes == 1 && info.bmBitsPixel == 1) ? CreateBitmap(width, height, 1, 1, nullptr)
                                                                 : CreateCompatibleBitmap(window.get(), width, height);
    if (!copy) {
        ShowGraphicsError(kStringCutOutNoBitmap);
        return nullptr;
    }
    SelectedObject source(sourceDc.get(), bitmap);
    SelectedObject target(copyDc.get(), copy);
    BitBlt(copyDc.get(), 0, 0, width, height, sourceDc.get(), rect.left, rect.top, SRCCOPY);
    return copy;
}

HBITMAP DuplicateBitmap(HBITMAP bitmap) {
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return nullptr;
    RECT whole = {0, 0, info.bmWidth, info.bmHeight};
    return CutOutBitmap(bitmap, whole);
}

HBITMAP CopyBitmapPadded(HDC dc, HDC sourceDc, int x, int y, HBITMAP mask) {
    SIZE size{};
    if (!BitmapSize(mask, &size))
        return nullptr;
    const int width = size.cx, height = size.cy;
    MemoryDC copyDc(dc);
    MemoryDC maskDc(dc);
    OwnedGdiObject<HBITMAP> copy(copyDc && maskDc ? CreateCompatibleBitmap(dc, width + 2, height + 2) : nullptr);
    if (!copy) {
        ShowGraphicsError(kStringNoMemoryForOperation);
        return nullptr;
    }
    {
        SelectedObject target(copyDc.get(), copy.get());
        SelectedPalette palette(copyDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        SelectedObject maskIn(maskDc.get(), mask);
        PatBlt(copyDc.get(), 0, 0, width + 2, height + 2, BLACKNESS);
        BitBlt(copyDc.get(), 0, 0, width, height, sourceDc, x, y, SRCCOPY);
        MonochromeColors(copyDc.get());
        BitBlt(copyDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);
    }
    return copy.release();
}

void DrawBitmapMasked(HDC dc, HBITMAP image, HBITMAP mask, int x, int y) {
    SIZE size{};
    if (!image || !BitmapSize(mask, &size))
        return;
    const int width = size.cx, height = size.cy;
    MemoryDC workDc(dc);
    MemoryDC sourceDc(dc);
    OwnedGdiObject<HBITMAP> work(workDc && sourceDc ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    if (!work)
        return;
    SelectedObject target(workDc.get(), work.get());
    SelectedPalette workPalette(workDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    BitBlt(workDc.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
    MonochromeColors(workDc.get());
    {
        SelectedObject maskIn(sourceDc.get(), mask);
        BitBlt(workDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, kRopAndNotSource);
    }
    {
        SelectedObject imageIn(sourceDc.get(), image);
        SelectedPalette imagePalette(sourceDc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        BitBlt(workDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCPAINT);
    }
    BitBlt(dc, x, y, width, height, workDc.get(), 0, 0, SRCCOPY);
}
