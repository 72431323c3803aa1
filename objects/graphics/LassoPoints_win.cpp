// The lasso point buffer. MINIMAL: the buffer and its clamping, no lasso tracking yet.
#include "objects/graphics/LassoPoints.h"

#include <algorithm>
#include <span>

#include "core/memory/ByteReader.h"
#include "graphics/masks/MaskLasso.h"

namespace {

constexpr int32_t kPointGrowth = 1000;

Handle g_points = 0;
int32_t g_count = 0;
int32_t g_boundsWidth = 0;
int32_t g_boundsHeight = 0;

}  // namespace

void LassoBeginPoints(int32_t width, int32_t height) {
    LassoFreePoints();
    g_boundsWidth = std::max(width, 0);
    g_boundsHeight = std::max(height, 0);
    g_points = NewHandle(kPointGrowth * kPointBytes);
}

void LassoAddPoint(int32_t x, int32_t y) {
    if (!g_points)
        return;
    const uint32_t needed = static_cast<uint32_t>(g_count + 1) * kPointBytes;
    if (needed > GetHandleSize(g_points) &&
        SetHandleSize(g_points, static_cast<uint32_t>(g_count + kPointGrowth) * kPointBytes) != 0)
        return;
    HandleLock lock(g_points);
    if (!lock)
        return;
    ByteWriter out(lock.bytes(), size_t{kPointBytes} * g_count);
    out.I32LE(x);
    out.I32LE(y);
    if (out.ok())
        ++g_count;
}

void LassoClampPoints() {
    HandleLock lock(g_points);
    if (!lock || g_count == 0)
        return;
    const std::span<uint8_t> bytes = lock.bytes();
    for (int32_t i = 0; i < g_count; ++i) {
        const size_t at = size_t{kPointBytes} * i;
        SetU32(bytes, at, static_cast<uint32_t>(std::clamp(static_cast<int32_t>(GetU32(bytes, at)), 0, g_boundsWidth)));
        SetU32(bytes, at + 4,
               static_cast<uint32_t>(std::clamp(static_cast<int32_t>(GetU32(bytes, at + 4)), 0, g_boundsHeight)));
    }
}

void LassoFreePoints() {
    DisposeHandleAndClear(&g_points);
    g_count = 0;
}

void LassoGetPoints(Handle* points, int32_t* count) {
    *points = g_points;
    *count = g_points ? g_count : 0;
}

void LassoPointsBounds(Rect32* bounds) { *bounds = LassoPointsBoundsOf(LassoPointsIn(g_points, g_count)); }
