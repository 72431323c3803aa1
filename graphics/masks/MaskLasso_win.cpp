// Masks from the lasso point buffer and around a whole bitmap.
#include "graphics/masks/Masks.h"

#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/MaskLasso.h"
#include "graphics/masks/MaskRegions.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"

namespace {

std::vector<POINT> ToPoints(const std::vector<LassoPoint>& points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const LassoPoint& p : points)
        out.push_back({p.x, p.y});
    return out;
}

// The polygon black on white in a display-compatible bitmap of width x height, read back as a
// DIB with the application palette; 0 on failure.
DibHandle PolygonPicture(HWND window, int width, int height, const std::vector<LassoPoint>& points) {
    WindowDC windowDc(window);
    if (!windowDc)
        return 0;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(windowDc.get(), width, height));
    MemoryDC dc(windowDc.get());
    if (!bitmap || !dc)
        return 0;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        SetROP2(dc.get(), R2_COPYPEN);
        PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
        SelectedObject pen(dc.get(), GetStockObject(BLACK_PEN));
        SelectedObject brush(dc.get(), GetStockObject(BLACK_BRUSH));
        SetPolyFillMode(dc.get(), ALTERNATE);
        const std::vector<POINT> polygon = ToPoints(points);
        Polygon(dc.get(), polygon.data(), static_cast<int>(polygon.size()));
    }
    return GetBitmapDibBits(windowDc.get(), bitmap.get(), 0, GetAppPalette());
}

enum class Scan { Failed, Nothing, Found };

// The pixels of the image inside the polygon that differ from the colour under its first point.
Scan PolygonMaskBits(HWND window, DibHandle image, const std::vector<LassoPoint>& points, const Rect32& lassoBounds,
                     bool fillGaps, MaskBits* bits, Rect32* found) {
    if (points.empty())
        return Scan::Nothing;
    HandleLock imageLock(image);
    PixelRows imagePixels;
    if (!imageLock || !ReadPixelRows(imageLock.bytes(), &imagePixels))
        return Scan::Failed;
    ScopedHandle polygon(PolygonPicture(window, imagePixels.width, imagePixels.height, points));
    HandleLock polygonLock(polygon.get());
    PixelRows polygonPixels;
    if (!polygonLock || !ReadPixelRows(polygonLock.bytes(), &polygonPixels))
        return Scan::Failed;
    return ScanPolygonMask(imagePixels, polygonPixels, lassoBounds, points[0].x, points[0].y, fillGaps, bits, found)
               ? Scan::Found
               : Scan::Nothing;
}

Rect32 ToRect32(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const Rect32& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

int MaskFromPolygon(HWND window, DibHandle image, HBITMAP* mask, RECT* bounds) {
    const bool fillGaps = GetKeyState(VK_MENU) < 0;
    *mask = nullptr;
    if (!image)
        return 0;
    MaskBits bits;
    Rect32 found;
    if (PolygonMaskBits(window, image, ClampedLassoPoints(), ToRect32(*bounds), fillGaps, &bits, &found) != Scan::Found)
        return 0;
    *mask = NewMaskBitmap(bits);
    if (!*mask)
        return 0;
    *bounds = ToRect(found);
    return 1;
}

int MaskFromLassoPoints(HWND window, HBITMAP* mask, RECT* rect) {
    *mask = nullptr;
    std::vector<LassoPoint> points = ClampedLassoPoints();
    const Rect32 bounds = LassoPointsBoundsOf(points);
    const int64_t width = int64_t{bounds.right} - bounds.left;
    const int64_t height = int64_t{bounds.bottom} - bounds.top;
    if (points.empty() || width > kMaskMaxDimension || height > kMaskMaxDimension)
        return 0;
    OwnedGdiObject<HBITMAP> made(CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 1, nullptr));
    WindowDC windowDc(window);
    MemoryDC dc(windowDc.get());
    if (!made || !dc)
        return 0;
    for (LassoPoint& p : points) {
        p.x -= bounds.left;
        p.y -= bounds.top;
    }
    // Whoever reads the buffer next finds the points at the mask's origin.
    StoreLassoPoints(points);
    {
        SelectedObject selected(dc.get(), made.get());
        PatBlt(dc.get(), 0, 0, static_cast<int>(width), static_cast<int>(height), BLACKNESS);
        SelectedObject brush(dc.get(), GetStockObject(WHITE_BRUSH));
        SelectedObject pen(dc.get(), GetStockObject(WHITE_PEN));
        const std::vector<POINT> polygon = ToPoints(points);
        Polygon(dc.get(), polygon.data(), static_cast<int>(polygon.size()));
    }
    *mask = made.release();
    *rect = ToRect(bounds);
    return 1;
}

HBITMAP AutoMaskBitmap(HBITMAP bitmap) {
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;
    ScopedHandle image(DibFromDeviceBitmap(bitmap, 0, GetAppPalette()));
    if (!image.get())
        return nullptr;
    // The whole bitmap is the lasso, so the colour under its first point is the corner's.
    const std::vector<LassoPoint> corners = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    MaskBits bits;
    Rect32 found;
    switch (PolygonMaskBits(GetMainWindow(), image.get(), corners, {0, 0, width, height}, false, &bits, &found)) {
    case Scan::Failed:
        return nullptr;
    case Scan::Nothing:
        return NewMaskBitmap(MaskBits(width, height));
    case Scan::Found:
        break;
    }
    // Back to the bitmap's size, the found area in its place.
    return NewMaskBitmap(CutMaskBits(bits, {-found.left, -found.top, width - found.left, height - found.top}));
}
