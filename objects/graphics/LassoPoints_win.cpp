// The lasso point buffer and the tracking of a lasso drawn with the mouse.
#include "objects/graphics/LassoPoints.h"

#include <algorithm>
#include <span>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/MaskLasso.h"

namespace {

constexpr int32_t kPointGrowth = 1000;
constexpr uint32_t kStartBytes = kPointGrowth * kPointBytes;

// The one point buffer: its points, how many it holds and has room for, the bounds the points
// are clamped to and the last point added.
struct LassoBuffer {
    Handle points = 0;
    int32_t count = 0, capacity = 0;
    int32_t boundsWidth = 0, boundsHeight = 0;
    POINT last = {};
};
LassoBuffer g_lasso;

int32_t ClampTo(int32_t value, int32_t bound) {
    if (value < 1)
        return 0;
    return value >= bound ? bound : value;
}

void InvertedLine(HDC dc, POINT from, POINT to) {
    const int old = SetROP2(dc, R2_NOT);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SetROP2(dc, old);
}

}  // namespace

void LassoBeginPoints(int32_t width, int32_t height) {
    LassoFreePoints();
    g_lasso.boundsWidth = std::max(width, 0);
    g_lasso.boundsHeight = std::max(height, 0);
    g_lasso.points = NewHandle(kStartBytes);
    g_lasso.capacity = g_lasso.points ? kPointGrowth : 0;
}

void LassoAddPoint(int32_t x, int32_t y) {
    if (!g_lasso.points)
        return;
    if (g_lasso.count >= g_lasso.capacity) {
        if (SetHandleSize(g_lasso.points, static_cast<uint32_t>(g_lasso.capacity) * kPointBytes + kStartBytes) != 0)
            return;
        g_lasso.capacity += kPointGrowth;
    }
    HandleLock lock(g_lasso.points);
    if (!lock)
        return;
    ByteWriter out(lock.bytes(), size_t{kPointBytes} * g_lasso.count);
    out.I32LE(x);
    out.I32LE(y);
    if (out.ok())
        ++g_lasso.count;
}

void LassoSetBounds(int32_t width, int32_t height) {
    g_lasso.boundsWidth = std::max(width, 0);
    g_lasso.boundsHeight = std::max(height, 0);
}

void LassoClampPoints() {
    HandleLock lock(g_lasso.points);
    if (!lock || g_lasso.count == 0)
        return;
    const std::span<uint8_t> bytes = lock.bytes();
    for (int32_t i = 0; i < g_lasso.count && size_t{kPointBytes} * (i + 1) <= bytes.size(); ++i) {
        const size_t at = size_t{kPointBytes} * i;
        SetU32(bytes, at, static_cast<uint32_t>(ClampTo(static_cast<int32_t>(GetU32(bytes, at)), g_lasso.boundsWidth)));
        SetU32(bytes, at + 4,
               static_cast<uint32_t>(ClampTo(static_cast<int32_t>(GetU32(bytes, at + 4)), g_lasso.boundsHeight)));
    }
}

void LassoFreePoints() {
    DisposeHandleAndClear(&g_lasso.points);
    g_lasso.count = 0;
    g_lasso.capacity = 0;
}

void LassoGetPoints(Handle* points, int32_t* count) {
    *points = g_lasso.points;
    *count = g_lasso.points ? g_lasso.count : 0;
}

void LassoPointsBounds(Rect32* bounds) {
    std::vector<LassoPoint> points = LassoPointsIn(g_lasso.points, g_lasso.count);
    for (LassoPoint& p : points) {
        p.x = ClampTo(p.x, g_lasso.boundsWidth);
        p.y = ClampTo(p.y, g_lasso.boundsHeight);
    }
    *bounds = LassoPointsBoundsOf(points);
}

void LassoTrackBegin(int32_t maxX, int32_t maxY, int x, int y) {
    LassoBeginPoints(maxX, maxY);
    LassoAddPoint(x, y);
    g_lasso.last = {x, y};
}

void LassoTrackMove(HDC dc, int x, int y) {
    if (!g_lasso.points)
        return;
    if (dc)
        InvertedLine(dc, g_lasso.last, {x, y});
    LassoAddPoint(x, y);
    g_lasso.last = {x, y};
}

bool LassoTrackEnd(HDC dc, int x, int y) {
    if (!g_lasso.points)
        return false;
    LassoTrackMove(dc, x, y);
    // The whole polyline inverted again: the view shows what it showed before the drag.
    if (dc)
        DrawLassoPolyline(dc, {});
    LassoClampPoints();
    return true;
}

void DrawLassoPolyline(HDC dc, POINT offset) {
    const std::vector<LassoPoint> points = LassoPointsIn(g_lasso.points, g_lasso.count);
    if (!dc || points.size() < 2)
        return;
    std::vector<POINT> line;
    line.reserve(points.size());
    for (const LassoPoint& p : points)
        line.push_back({p.x + offset.x, p.y + offset.y});
    const int old = SetROP2(dc, R2_NOT);
    Polyline(dc, line.data(), static_cast<int>(line.size()));
    SetROP2(dc, old);
}

void DrawLassoOutline(HWND window) {
    WindowDC dc(window);
    if (dc)
        DrawLassoPolyline(dc.get(), {});
}
