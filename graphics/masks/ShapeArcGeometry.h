// The angles of an arc: reduction into one turn, the coverage class of each quadrant, the end
// points of the start and end rays on the oval and the line walks along those rays
// (ShapeArcGeometry.cpp).
#pragma once

#include <cstdint>

namespace shapes {

// The angle reduced into 0..359.
int32_t NormalizeAngle(int64_t angle);

// An arc as drawn: a start angle in 0..359 and a clockwise extent in 1..359, or the whole oval,
// or nothing.
//   Arc angles outside 0..359: a negative arc angle runs counterclockwise from the start, which
//   is the clockwise arc of the same size from start + arc angle; an extent of a whole turn or
//   more is the whole oval. Only an arc angle of 0 draws nothing.
struct ArcAngles {
    enum Kind { kNothing, kWhole, kPart } kind = kNothing;
    int32_t start = 0, extent = 0;
};
ArcAngles ReduceArcAngles(int32_t startAngle, int32_t arcAngle);

// True when the clockwise direction lies on the arc, its two end rays included.
bool ArcCoversDirection(const ArcAngles& arc, int32_t direction);

// What an arc covers of one quadrant (the quadrant beginning at 90k degrees, q = the start angle
// measured from there, e = the extent):
enum ArcQuadrantClass {
    kQuadrantWhole = 0,
    kQuadrantNone = 1,
    kQuadrantToEndRay = 2,      // from the quadrant's beginning to the end ray
    kQuadrantFromStartRay = 3,  // from the start ray to the quadrant's end
    kQuadrantBothPieces = 4,    // both of the above
    kQuadrantBetweenRays = 5,
};
int ClassifyArcQuadrant(int32_t q, int32_t e);
// The classes of quadrants 0 (upper right) to 3 (upper left) of an arc.
void ClassifyArcQuadrants(const ArcAngles& arc, int classes[4]);

// Where the ray at a clockwise angle from 12 o'clock meets the oval with semi-axes (a, b), as
// offsets from the centre (both >= 0).
struct RayPoint {
    int32_t x = 0, y = 0;
};
RayPoint ArcRayPoint(int32_t a, int32_t b, int32_t angle);

// A line walk from a ray's end point towards the centre, one row offset at a time. After
// AdvanceTo(y) the ray is on row y when OnRow(y), and low..high are the column offsets it covers
// there.
class RayWalk {
public:
    explicit RayWalk(RayPoint end);
    void AdvanceTo(int32_t row);
    bool OnRow(int32_t row) const { return y_ == row - 1; }
    int32_t low() const { return low_; }
    int32_t high() const { return high_; }

private:
    int32_t x_, y_, low_, high_;
    int64_t straightStep_, diagonalStep_, err_;
    bool xMajor_;
};

// Whether an outline point at offsets (x, y) lies on the arc's part of a quadrant of the given
// class, measured against the end and start ray points: for quadrants 0 and 2; the swapped test
// (x and y exchanged) for quadrants 1 and 3.
bool ArcQuadrantCase(int cls, RayPoint end, RayPoint start, int32_t x, int32_t y);
bool ArcQuadrantCaseSwapped(int cls, RayPoint end, RayPoint start, int32_t x, int32_t y);

}  // namespace shapes
