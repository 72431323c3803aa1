// Rotating and scaling bitmaps through their pixels (RotateScale.h).
#include "paint/RotateScale.h"
#include "paint/Selections.h"

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"

namespace {

bool ReadPixels(HDC dc, HBITMAP bitmap, PixelImage* image) {
    BITMAP b = {};
    if (!bitmap || !GetObject(bitmap, sizeof b, &b) || b.bmWidth <= 0 || b.bmHeight <= 0)
        return false;
    image->width = b.bmWidth;
    image->height = b.bmHeight;
    image->pixels.assign(static_cast<size_t>(b.bmWidth) * b.bmHeight, 0);
    BITMAPINFO info = TopDownRgbInfo(b.bmWidth, b.bmHeight);
    return GetDIBits(dc, bitmap, 0, b.bmHeight, image->pixels.data(), &info, DIB_RGB_COLORS) == b.bmHeight;
}

HBITMAP MakeBitmap(HDC dc, const PixelImage& image, bool monochrome) {
    HBITMAP bitmap = monochrome ? CreateBitmap(image.width, image.height, 1, 1, nullptr)
                                : CreateCompatibleBitmap(dc, image.width, image.height);
    if (!bitmap)
        return nullptr;
    BITMAPINFO info = TopDownRgbInfo(image.width, image.height);
    SetDIBits(dc, bitmap, 0, image.height, image.pixels.data(), &info, DIB_RGB_COLORS);
    return bitmap;
}

}  // namespace

BITMAPINFO TopDownRgbInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool RotateScaleBitmap(HBITMAP picture, HBITMAP mask, double angle, double scaleX, double scaleY, COLORREF color,
                       HBITMAP* pictureOut, HBITMAP* maskOut) {
    if (pictureOut)
        *pictureOut = nullptr;
    if (maskOut)
        *maskOut = nullptr;
    WindowDC screen(GetMainWindow());
    PixelImage source, sourceMask;
    if (!screen || !pictureOut || !ReadPixels(screen.get(), picture, &source))
        return false;
    const bool hasMask = mask && ReadPixels(screen.get(), mask, &sourceMask);
    if (hasMask)
        for (uint32_t& p : sourceMask.pixels)
            p &= 0xFFFFFF;  // white (inside) stays nonzero
    const uint32_t fill = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    PixelImage turnedMask;
    const PixelImage turned = RotateScalePixels(source, hasMask ? &sourceMask : nullptr, angle, scaleX, scaleY, fill,
                                                maskOut ? &turnedMask : nullptr);
    if (turned.pixels.empty())
        return false;
    *pictureOut = MakeBitmap(screen.get(), turned, false);
    if (maskOut && !turnedMask.pixels.empty()) {
        for (uint32_t& p : turnedMask.pixels)
            p = p ? 0xFFFFFF : 0;
        *maskOut = MakeBitmap(screen.get(), turnedMask, true);
    }
    return *pictureOut != nullptr;
}
