// Filled and framed arcs: the oval's rows cut by the start and end rays, quadrant by quadrant.
#include <algorithm>
#include <optional>

#include "graphics/masks/ShapeArcGeometry.h"
#include "graphics/masks/ShapeWalk.h"

namespace shapes {

namespace {

// What limits one end of a piece of a half-row.
enum class Limit { kAxis, kEdge, kStartRay, kEndRay };
struct Piece {
    Limit inner, outer;
};

// The pieces a class covers, the one at the vertical axis first. In quadrants 0 and 2 the
// quadrant begins at the axis, in quadrants 1 and 3 at the oval's edge.
int PiecesOf(int quadrant, int cls, Piece pieces[2]) {
    const bool beginsAtAxis = quadrant == 0 || quadrant == 2;
    const Piece toEnd = beginsAtAxis ? Piece{Limit::kAxis, Limit::kEndRay} : Piece{Limit::kEndRay, Limit::kEdge};
    const Piece fromStart =
        beginsAtAxis ? Piece{Limit::kStartRay, Limit::kEdge} : Piece{Limit::kAxis, Limit::kStartRay};
    switch (cls) {
    case kQuadrantWhole:
        pieces[0] = {Limit::kAxis, Limit::kEdge};
        return 1;
    case kQuadrantToEndRay:
        pieces[0] = toEnd;
        return 1;
    case kQuadrantFromStartRay:
        pieces[0] = fromStart;
        return 1;
    case kQuadrantBetweenRays:
        pieces[0] = beginsAtAxis ? Piece{Limit::kStartRay, Limit::kEndRay} : Piece{Limit::kEndRay, Limit::kStartRay};
        return 1;
    case kQuadrantBothPieces:
        pieces[0] = beginsAtAxis ? toEnd : fromStart;
        pieces[1] = beginsAtAxis ? fromStart : toEnd;
        return 2;
    default:
        return 0;
    }
}

// The state shared by every half-row of one arc: the ray end points and the walks along them.
struct Arc {
    ShapeSink& sink;
    OvalGeometry g;
    int classes[4];
    RayPoint startPoint, endPoint;
    RayWalk start, end;
};

// One half-row: the column offsets first..last from the centre, on the right of the centre for
// quadrants 0 and 1, on the left for 2 and 3.
struct HalfRow {
    int quadrant;
    int32_t row, first, last;
    bool startOnRow, endOnRow;
};

// The arc's part of a half-row. On the right a ray's low bound limits a piece from inside and
// its high bound from outside, so the ray's pixels belong to the piece; on the left the other
// way round. A ray off the row, or past the half-row's end, leaves the whole half-row on the
// axis side of it.
void DrawHalfRow(Arc& arc, const HalfRow& half) {
    if (half.first > half.last)
        return;
    const bool right = half.quadrant < 2;
    Piece pieces[2];
    const int count = PiecesOf(half.quadrant, arc.classes[half.quadrant], pieces);
    int32_t previousOuter = 0;
    for (int i = 0; i < count; ++i) {
        auto rayBound = [&](Limit limit, bool innerEnd, int32_t& bound) {
            const RayWalk& ray = limit == Limit::kStartRay ? arc.start : arc.end;
            const bool onRow = limit == Limit::kStartRay ? half.startOnRow : half.endOnRow;
            bound = right == innerEnd ? ray.low() : ray.high();
            if (!onRow || bound > half.last)
                return false;
            bound = std::max(bound, half.first);
            return true;
        };
        int32_t inner = half.first, outer = half.last;
        if (pieces[i].inner == Limit::kStartRay || pieces[i].inner == Limit::kEndRay) {
            if (!rayBound(pieces[i].inner, true, inner))
                continue;
        }
        if (pieces[i].outer == Limit::kStartRay || pieces[i].outer == Limit::kEndRay) {
            if (!rayBound(pieces[i].outer, false, outer))
                outer = half.last;
        }
        // The piece at the edge starts beyond the one at the axis.
        if (i == 1)
            inner = std::max(inner, previousOuter + 1);
        previousOuter = outer;
        if (inner > outer)
            continue;
        if (right)
            DrawSpan(arc.sink, arc.g.cxR + inner, arc.g.cxR + outer, half.row);
        else
            DrawSpan(arc.sink, arc.g.cxL - outer, arc.g.cxL - inner, half.row);
    }
}

// The first column offset of a quadrant's half-row: for an odd width the centre column belongs
// to quadrant 3 above the centre row, to quadrant 1 below it and to quadrant 2 on it.
int32_t FirstOffset(const OvalGeometry& g, int quadrant, bool centreRow) {
    if (!g.oddWidth)
        return 1;
    if (centreRow)
        return quadrant == 2 ? 0 : 1;
    return quadrant == 1 || quadrant == 3 ? 0 : 1;
}

int32_t RowOf(const OvalGeometry& g, int quadrant, int32_t y) {
    return quadrant == 0 || quadrant == 3 ? g.cyT - y : g.cyB + y;
}

// The quadrant's half-row of row offset y (the centre row for y = 0 on an odd height) with
// half-width x, from ringFrom outward (0 for the whole half-row). A half-row holds at least its
// first column, but never reaches past the rectangle (a one-column oval has nothing right of it).
void DrawQuadrant(Arc& arc, int quadrant, int32_t y, int32_t x, int32_t ringFrom, bool raysOnRow) {
    const bool centreRow = y == 0;
    const int32_t first = FirstOffset(arc.g, quadrant, centreRow);
    HalfRow half;
    half.quadrant = quadrant;
    half.row = RowOf(arc.g, quadrant, y);
    half.first = std::max(first, ringFrom);
    half.last = std::min(std::max(first, x), arc.g.a);
    half.startOnRow = raysOnRow || arc.start.OnRow(y);
    half.endOnRow = raysOnRow || arc.end.OnRow(y);
    DrawHalfRow(arc, half);
}

// The ring piece of a frame's half-row: from the inner oval's edge (half-width xi) outward.
void FrameArcQuadrant(Arc& arc, int quadrant, int32_t y, int32_t xo, int32_t xi, bool raysOnRow) {
    DrawQuadrant(arc, quadrant, y, xo, xi + (arc.g.oddWidth ? 0 : 1), raysOnRow);
}

std::optional<Arc> PrepareArc(ShapeSink& sink, const ShapeRect& rect, const ArcAngles& angles) {
    OvalGeometry g;
    if (!MakeOvalGeometry(rect, g))
        return std::nullopt;
    int classes[4];
    ClassifyArcQuadrants(angles, classes);
    const RayPoint start = ArcRayPoint(g.a, g.b, angles.start);
    const RayPoint end = ArcRayPoint(g.a, g.b, angles.start + angles.extent);
    return Arc{sink, g, {classes[0], classes[1], classes[2], classes[3]}, start, end, RayWalk(start), RayWalk(end)};
}

}  // namespace

void FillArcSpans(ShapeSink& sink, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, PenSize pen) {
    const ArcAngles angles = ReduceArcAngles(startAngle, arcAngle);
    if (!HasPen(pen) || angles.kind == ArcAngles::kNothing)
        return;
    if (angles.kind == ArcAngles::kWhole) {
        FillOvalSpans(sink, rect);
        return;
    }
    std::optional<Arc> prepared = PrepareArc(sink, rect, angles);
    if (!prepared)
        return;
    Arc& arc = *prepared;
    EllipseWalk walk(arc.g.a, arc.g.b);
    int32_t y, x, lastX = 0;
    while (walk.NextRow(y, x)) {
        arc.start.AdvanceTo(y);
        arc.end.AdvanceTo(y);
        for (int quadrant = 0; quadrant < 4; ++quadrant)
            DrawQuadrant(arc, quadrant, y, x, 0, false);
        lastX = x;
    }
    if (arc.g.oddHeight) {
        DrawQuadrant(arc, 0, 0, lastX, 0, true);
        DrawQuadrant(arc, 2, 0, lastX, 0, true);
    }
}

void FrameArc(ShapeSink& sink, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, PenSize pen) {
    const ArcAngles angles = ReduceArcAngles(startAngle, arcAngle);
    if (!HasPen(pen) || angles.kind == ArcAngles::kNothing)
        return;
    if (angles.kind == ArcAngles::kWhole) {
        FrameOval(sink, rect, pen);
        return;
    }
    if (PenFillsShape(rect, pen)) {
        FillArcSpans(sink, rect, startAngle, arcAngle, pen);
        return;
    }
    std::optional<Arc> prepared = PrepareArc(sink, rect, angles);
    if (!prepared)
        return;
    Arc& arc = *prepared;
    const OvalGeometry& g = arc.g;

    if (pen.width == 1 && pen.height == 1) {
        const int* classes = arc.classes;
        const RayPoint start = arc.startPoint, end = arc.endPoint;
        WalkOutline(g.a, g.b, [&](int32_t x, int32_t y) {
            if (ArcQuadrantCase(classes[0], end, start, x, y))
                PlotPixel(sink, g.cxR + x, g.cyT - y);
            if (ArcQuadrantCaseSwapped(classes[1], end, start, x, y))
                PlotPixel(sink, g.cxR + x, g.cyB + y);
            if (ArcQuadrantCase(classes[2], end, start, x, y))
                PlotPixel(sink, g.cxL - x, g.cyB + y);
            if (ArcQuadrantCaseSwapped(classes[3], end, start, x, y))
                PlotPixel(sink, g.cxL - x, g.cyT - y);
        });
        // The 3 and 9 o'clock pixels of an odd height lie beyond the walk: each is drawn when
        // the arc, counted clockwise from its start and across 12 o'clock, reaches its direction.
        if (g.oddHeight) {
            if (ArcCoversDirection(angles, 90))
                PlotPixel(sink, rect.right - 1, g.cyT);
            if (ArcCoversDirection(angles, 270))
                PlotPixel(sink, rect.left, g.cyT);
        }
        return;
    }

    RingWalk ring(g, pen);
    int32_t y;
    bool withinInner;
    while (ring.NextRow(y, withinInner)) {
        arc.start.AdvanceTo(y);
        arc.end.AdvanceTo(y);
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            if (withinInner)
                FrameArcQuadrant(arc, quadrant, y, ring.xo(), ring.xi(), false);
            else
                DrawQuadrant(arc, quadrant, y, ring.xo(), 0, false);
        }
    }
    if (g.oddHeight) {
        FrameArcQuadrant(arc, 0, 0, ring.xo(), ring.xi(), true);
        FrameArcQuadrant(arc, 2, 0, ring.xo(), ring.xi(), true);
    }
}

}  // namespace shapes
