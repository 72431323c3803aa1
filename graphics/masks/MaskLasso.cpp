// The lasso point buffer as the mask code sees it.
#include "graphics/masks/MaskLasso.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

void NoClamp() {}
void NoPoints(Handle* points, int32_t* count) {
    *points = 0;
    *count = 0;
}

LassoPointAccess g_access = {NoClamp, NoPoints};

}  // namespace

void SetLassoPointAccess(const LassoPointAccess& access) { g_access = access; }

std::vector<LassoPoint> LassoPointsIn(Handle buffer, int32_t count) {
    std::vector<LassoPoint> points;
    HandleLock lock(buffer);
    if (!lock || count <= 0)
        return points;
    ByteReader in(lock.bytes());
    const size_t held = std::min(static_cast<size_t>(count), in.size() / kPointBytes);
    points.reserve(held);
    for (size_t i = 0; i < held; ++i) {
        const int32_t x = in.I32LE();
        points.push_back({x, in.I32LE()});
    }
    return points;
}

std::vector<LassoPoint> ClampedLassoPoints() {
    g_access.clampPoints();
    Handle buffer = 0;
    int32_t count = 0;
    g_access.getPoints(&buffer, &count);
    return LassoPointsIn(buffer, count);
}

Rect32 LassoPointsBoundsOf(std::span<const LassoPoint> points) {
    if (points.empty())
        return {};
    Rect32 bounds = {points[0].x, points[0].y, points[0].x, points[0].y};
    for (const LassoPoint& p : points) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.right = std::max(bounds.right, p.x);
        bounds.bottom = std::max(bounds.bottom, p.y);
    }
    bounds.right += bounds.right < INT32_MAX;
    bounds.bottom += bounds.bottom < INT32_MAX;
    return bounds;
}

void StoreLassoPoints(const std::vector<LassoPoint>& points) {
    Handle buffer = 0;
    int32_t count = 0;
    g_access.getPoints(&buffer, &count);
    HandleLock lock(buffer);
    if (!lock || count <= 0)
        return;
    ByteWriter out(lock.bytes(), 0);
    const size_t n = std::min(points.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < n; ++i) {
        out.I32LE(points[i].x);
        out.I32LE(points[i].y);
    }
}
