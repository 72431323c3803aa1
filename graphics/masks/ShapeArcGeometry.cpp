// Arc angles, quadrant classes, ray end points and ray walks.
#include "graphics/masks/ShapeArcGeometry.h"

#include <algorithm>
#include <cmath>

namespace shapes {

int32_t NormalizeAngle(int64_t angle) {
    const int64_t reduced = angle % 360;
    return static_cast<int32_t>(reduced < 0 ? reduced + 360 : reduced);
}

ArcAngles ReduceArcAngles(int32_t startAngle, int32_t arcAngle) {
    ArcAngles arc;
    int64_t start = startAngle, extent = arcAngle;
    if (extent == 0)
        return arc;
    if (extent < 0) {
        start += extent;
        extent = -extent;
    }
    arc.kind = extent >= 360 ? ArcAngles::kWhole : ArcAngles::kPart;
    arc.start = NormalizeAngle(start);
    arc.extent = static_cast<int32_t>(std::min<int64_t>(extent, 360));
    return arc;
}

bool ArcCoversDirection(const ArcAngles& arc, int32_t direction) {
    switch (arc.kind) {
    case ArcAngles::kWhole:
        return true;
    case ArcAngles::kPart:
        return NormalizeAngle(int64_t{direction} - arc.start) <= arc.extent;
    default:
        return false;
    }
}

int ClassifyArcQuadrant(int32_t q, int32_t e) {
    const int32_t n = NormalizeAngle(int64_t{q} + e);
    const int64_t reach = int64_t{q} + e;
    if (q == 0)
        return n < 90 ? kQuadrantToEndRay : kQuadrantWhole;
    if (q >= 90) {
        if (reach < 360)
            return kQuadrantNone;
        return reach < 450 ? kQuadrantToEndRay : kQuadrantWhole;
    }
    if (n >= 90)
        return kQuadrantFromStartRay;
    return q < n ? kQuadrantBetweenRays : kQuadrantBothPieces;
}

void ClassifyArcQuadrants(const ArcAngles& arc, int classes[4]) {
    for (int k = 0; k < 4; ++k)
        classes[k] = ClassifyArcQuadrant(NormalizeAngle(int64_t{arc.start} - 90 * k), arc.extent);
}

RayPoint ArcRayPoint(int32_t a, int32_t b, int32_t angle) {
    // The degree factor is the one the shapes were always drawn with, not a closer pi / 180:
    // rays that fall on a pixel boundary round the same way as before.
    const double theta = NormalizeAngle(90 - int64_t{NormalizeAngle(angle)}) * 0.017453292;
    const double t = std::tan(theta);
    const double da = a, db = b;
    const double denominator = db * db + da * da * t * t;
    // A one-row oval with a horizontal ray (or a one-pixel oval) has no slope to divide by: the
    // ray ends at the side.
    if (denominator == 0)
        return {a, 0};
    const double x = da * db / std::sqrt(denominator);
    const double y = x * t;
    return {static_cast<int32_t>(std::fabs(std::round(x))), static_cast<int32_t>(std::fabs(std::round(y)))};
}

RayWalk::RayWalk(RayPoint end) : x_(end.x), y_(end.y), low_(end.x), high_(end.x) {
    const int64_t minor = std::min(end.x, end.y), major = std::max(end.x, end.y);
    straightStep_ = 2 * minor;
    diagonalStep_ = 2 * (minor - major);
    err_ = 2 * minor - major;
    xMajor_ = end.y <= end.x;
}

void RayWalk::AdvanceTo(int32_t row) {
    if (!(row - 1 < y_))
        return;
    low_ = high_ = x_;
    if (xMajor_) {
        // Every step moves one column inward; the ray leaves the row on its diagonal step.
        while (row - 1 < y_) {
            if (err_ < 1) {
                err_ += straightStep_;
                low_ = x_ - 1;
            } else {
                err_ += diagonalStep_;
                --y_;
            }
            --x_;
        }
    } else {
        if (err_ < 1) {
            err_ += straightStep_;
        } else {
            err_ += diagonalStep_;
            --x_;
            low_ = high_ = x_;
        }
        --y_;
    }
}

namespace {

bool OnEndSide(RayPoint end, int32_t x, int32_t y) {
    return x < end.x || (x == end.x && y >= end.y);
}
bool OnStartSide(RayPoint start, int32_t x, int32_t y) {
    return x > start.x || (x == start.x && y < start.y);
}

}  // namespace

bool ArcQuadrantCase(int cls, RayPoint end, RayPoint start, int32_t x, int32_t y) {
    switch (cls) {
    case kQuadrantWhole:
        return true;
    case kQuadrantToEndRay:
        return OnEndSide(end, x, y);
    case kQuadrantFromStartRay:
        return OnStartSide(start, x, y);
    case kQuadrantBothPieces:
        return OnEndSide(end, x, y) || OnStartSide(start, x, y);
    case kQuadrantBetweenRays:
        return OnStartSide(start, x, y) && OnEndSide(end, x, y);
    default:
        return false;
    }
}

bool ArcQuadrantCaseSwapped(int cls, RayPoint end, RayPoint start, int32_t x, int32_t y) {
    return ArcQuadrantCase(cls, {end.y, end.x}, {start.y, start.x}, y, x);
}

}  // namespace shapes
