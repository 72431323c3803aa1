// Step geometry of the copying transitions.
#include "cardview/transitions/TransitionStrips.h"

#include <algorithm>

#include "cardview/transitions/TransitionTable.h"

const std::array<std::array<uint8_t, 2>, kBlockCellCount> kBlockCellOrder = {{
    {15, 3}, {0, 8}, {4, 8}, {3, 3}, {5, 8}, {8, 0}, {15, 5}, {14, 8}, {0, 0}, {3, 2}, {10, 7}, {9, 5},
    {0, 9}, {13, 8}, {7, 6}, {1, 0}, {8, 9}, {12, 1}, {14, 9}, {9, 2}, {8, 6}, {14, 3}, {4, 0}, {5, 1},
    {11, 9}, {11, 7}, {13, 5}, {15, 4}, {9, 7}, {10, 8}, {13, 3}, {7, 0}, {5, 2}, {1, 4}, {7, 2}, {9, 4},
    {11, 5}, {14, 4}, {14, 6}, {3, 9}, {3, 0}, {7, 7}, {2, 9}, {14, 0}, {2, 1}, {4, 2}, {14, 5}, {2, 7},
    {2, 4}, {10, 5}, {1, 6}, {5, 9}, {9, 6}, {6, 4}, {6, 0}, {9, 3}, {7, 5}, {12, 3}, {8, 2}, {3, 8},
    {11, 8}, {10, 2}, {7, 9}, {6, 2}, {13, 1}, {5, 5}, {13, 9}, {14, 7}, {11, 0}, {13, 4}, {2, 8}, {0, 0},
    {9, 1}, {5, 7}, {4, 9}, {15, 0}, {11, 6}, {11, 1}, {2, 2}, {4, 5}, {3, 4}, {4, 6}, {13, 0}, {3, 7},
    {1, 2}, {6, 6}, {2, 6}, {10, 6}, {14, 1}, {6, 7}, {12, 7}, {1, 8}, {12, 8}, {1, 3}, {9, 9}, {15, 8},
    {11, 4}, {10, 9}, {12, 4}, {1, 7}, {4, 1}, {12, 2}, {7, 3}, {13, 7}, {5, 6}, {8, 1}, {6, 9}, {10, 0},
    {1, 5}, {5, 0}, {6, 5}, {5, 4}, {4, 4}, {9, 8}, {1, 1}, {8, 7}, {8, 5}, {0, 1}, {3, 6}, {8, 8}, {8, 4},
    {10, 1}, {0, 2}, {11, 2}, {4, 3}, {9, 0}, {3, 1}, {1, 9}, {6, 8}, {6, 3}, {8, 3}, {12, 6}, {10, 3},
    {0, 6}, {7, 1}, {12, 0}, {0, 7}, {13, 2}, {2, 5}, {15, 6}, {14, 2}, {6, 1}, {15, 7}, {11, 3}, {15, 1},
    {7, 4}, {5, 3}, {4, 7}, {13, 6}, {0, 5}, {3, 5}, {12, 9}, {2, 0}, {12, 5}, {0, 4}, {7, 8}, {10, 4},
    {15, 3}, {2, 3}, {0, 3}, {15, 9}, {15, 3}, {15, 2},
}};

namespace {

Rect32 Clip(Rect32 r, const Rect32& bounds) {
    r.left = std::max(r.left, bounds.left);
    r.top = std::max(r.top, bounds.top);
    r.right = std::min(r.right, bounds.right);
    r.bottom = std::min(r.bottom, bounds.bottom);
    return r;
}

bool Empty(const Rect32& r) { return r.right <= r.left || r.bottom <= r.top; }

class PlanBuilder {
public:
    explicit PlanBuilder(const Rect32& bounds) : bounds_(bounds) {}
    void Copy(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        const Rect32 r = Clip({left, top, right, bottom}, bounds_);
        if (!Empty(r))
            current_.rects.push_back(r);
    }
    void Columns(int32_t left, int32_t right) { Copy(left, bounds_.top, right, bounds_.bottom); }
    void Rows(int32_t top, int32_t bottom) { Copy(bounds_.left, top, bounds_.right, bottom); }
    // Everything of the rectangle outside inner: the last copy of the centred transitions.
    void AllBut(const Rect32& inner) {
        Copy(bounds_.left, bounds_.top, bounds_.right, inner.top);
        Copy(bounds_.left, inner.bottom, bounds_.right, bounds_.bottom);
        Copy(bounds_.left, inner.top, inner.left, inner.bottom);
        Copy(inner.right, inner.top, bounds_.right, inner.bottom);
    }
    void EndStep(bool ends = true) {
        current_.endsStep = ends;
        plan_.groups.push_back(std::move(current_));
        current_ = {};
    }
    // Copies made after the last step end ride on it: the caller's finish does not add steps.
    void EndWithoutStep() {
        if (!current_.rects.empty())
            EndStep(false);
    }
    TransitionPlan Take(int stepCount) {
        EndWithoutStep();
        plan_.stepCount = stepCount;
        return std::move(plan_);
    }

private:
    Rect32 bounds_;
    TransitionGroup current_;
    TransitionPlan plan_;
};

TransitionPlan Wipe(int transition, const Rect32& r) {
    PlanBuilder b(r);
    const bool horizontal = transition == kTransLeftToRight || transition == kTransRightToLeft;
    const StripRule rule = StripsOfSide(horizontal ? r.right - r.left : r.bottom - r.top);
    for (int i = 0; i < rule.count; ++i) {
        const int from = StripEdge(rule, i), to = StripEdge(rule, i + 1);
        switch (transition) {
        case kTransLeftToRight: b.Columns(r.left + from, r.left + to); break;
        case kTransRightToLeft: b.Columns(r.right - to, r.right - from); break;
        case kTransTopToBottom: b.Rows(r.top + from, r.top + to); break;
        default: b.Rows(r.bottom - to, r.bottom - from); break;
        }
        b.EndStep();
    }
    return b.Take(rule.count);
}

TransitionPlan Fastest(const Rect32& r) {
    PlanBuilder b(r);
    const int h = r.bottom - r.top;
    const int bands = h < 4 ? std::max(h, 0) : 4;
    for (int i = 0; i < bands; ++i) {
        b.Rows(r.top + i * h / bands, r.top + (i + 1) * h / bands);
        b.EndStep();
    }
    return b.Take(bands);
}

TransitionPlan Diagonal(bool fromBottomRight, const Rect32& r) {
    PlanBuilder b(r);
    const float dx = static_cast<float>(r.right - r.left) / 64.0f;
    const float dy = static_cast<float>(r.bottom - r.top) / 64.0f;
    int previousX = fromBottomRight ? r.right : r.left;
    int previousY = fromBottomRight ? r.bottom : r.top;
    for (int i = 1; i <= 64; ++i) {
        const int ox = static_cast<int>(static_cast<float>(i) * dx);
        const int oy = static_cast<int>(static_cast<float>(i) * dy);
        if (fromBottomRight) {
            const int x = r.right - ox, y = r.bottom - oy;
            b.Rows(y, previousY);
            b.Columns(x, previousX);
            previousX = x, previousY = y;
        } else {
            const int x = r.left + ox, y = r.top + oy;
            b.Rows(previousY, y);
            b.Columns(previousX, x);
            previousX = x, previousY = y;
        }
        b.EndStep();
    }
    return b.Take(64);
}

TransitionPlan Blinds(const Rect32& r) {
    PlanBuilder b(r);
    const int k = (r.bottom - r.top + 8) / 9;
    for (int j = 0; j < 9; ++j)
        for (int band = 0; band < k; ++band) {
            const int y = r.top + j + 9 * band;
            b.Rows(y, y + 1);
            b.EndStep();
        }
    return b.Take(9 * k);
}

// Barn (vertical split) and mouth (horizontal split): strips from the centre out or from the
// edges in. An odd side leaves one line that the halves never reach; it is copied last.
TransitionPlan Split(bool vertical, bool opening, const Rect32& r) {
    PlanBuilder b(r);
    const int low = vertical ? r.left : r.top;
    const int high = vertical ? r.right : r.bottom;
    const int half = (high - low) / 2;
    const int centre = low + half;
    const StripRule rule = StripsOfSide(half);
    auto band = [&](int from, int to) { vertical ? b.Columns(from, to) : b.Rows(from, to); };
    for (int i = 0; i < rule.count; ++i) {
        const int a = StripEdge(rule, i), c = StripEdge(rule, i + 1);
        if (opening) {
            band(centre - c, centre - a);
            band(centre + a, centre + c);
        } else {
            band(low + a, low + c);
            band(high - c, high - a);
        }
        b.EndStep();
    }
    const int reached = StripEdge(rule, rule.count);
    if (opening) {
        band(centre + reached, high);  // the last line of an odd side
        b.EndWithoutStep();
    } else if (low + reached < high - reached) {
        band(low + reached, high - reached);  // the gap between the two halves
        b.EndStep();
    }
    return b.Take(rule.count);
}

struct IrisRule {
    int count = 0;
    float size = 1.0f;
};
IrisRule IrisSide(int half) { return half < 32 ? IrisRule{half, 1.0f} : IrisRule{32, static_cast<float>(half) / 32.0f}; }

TransitionPlan IrisClose(const Rect32& r) {
    PlanBuilder b(r);
    const int hh = (r.bottom - r.top) / 2, hw = (r.right - r.left) / 2;
    const IrisRule ry = IrisSide(hh), rx = IrisSide(hw);
    const int steps = std::max(rx.count, ry.count);
    auto edge = [](const IrisRule& rule, int i) { return static_cast<int>(static_cast<float>(i) * rule.size); };
    for (int i = 0; i < steps; ++i) {
        if (i < ry.count) {
            b.Rows(r.top + edge(ry, i), r.top + edge(ry, i + 1));
            b.Rows(r.bottom - edge(ry, i + 1), r.bottom - edge(ry, i));
        }
        if (i < rx.count) {
            b.Columns(r.left + edge(rx, i), r.left + edge(rx, i + 1));
            b.Columns(r.right - edge(rx, i + 1), r.right - edge(rx, i));
        }
        b.EndStep();
    }
    // The centre line of odd sides.
    const Rect32 centre = {r.left + edge(rx, rx.count), r.top + edge(ry, ry.count), r.right - edge(rx, rx.count),
                            r.bottom - edge(ry, ry.count)};
    b.Copy(centre.left, centre.top, centre.right, centre.bottom);
    return b.Take(steps);
}

TransitionPlan IrisOpen(const Rect32& r) {
    PlanBuilder b(r);
    const int hh = (r.bottom - r.top) / 2, hw = (r.right - r.left) / 2;
    const int cx = r.left + hw, cy = r.top + hh;
    const IrisRule ry = IrisSide(hh), rx = IrisSide(hw);
    const int steps = std::max(rx.count, ry.count);
    float sumX = 0.0f, sumY = 0.0f;
    int x = 0, y = 0;  // X(i - 1), Y(i - 1)
    for (int i = 1; i <= steps; ++i) {
        int newX = x, newY = y;
        if (i <= ry.count) {
            sumY += ry.size;
            newY = static_cast<int>(sumY);
        }
        if (i <= rx.count) {
            sumX += rx.size;
            newX = i == 1 ? static_cast<int>(rx.size / 2.0f) : static_cast<int>(sumX);
        }
        if (i <= ry.count) {
            b.Copy(cx - newX, cy - newY, cx + newX, cy - y);
            b.Copy(cx - newX, cy + y, cx + newX, cy + newY);
        }
        if (i <= rx.count) {
            b.Copy(cx - newX, cy - newY, cx - x, cy + newY);
            b.Copy(cx + x, cy - newY, cx + newX, cy + newY);
        }
        x = newX, y = newY;
        b.EndStep();
    }
    // Whatever the single-precision sums and odd sides left around the opened rectangle.
    b.AllBut({cx - x, cy - y, cx + x, cy + y});
    return b.Take(steps);
}

TransitionPlan Bars(const Rect32& r) {
    PlanBuilder b(r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const bool narrow = width < 16;
    const float cw = narrow ? 1.0f : static_cast<float>(width) / 16.0f;
    const int pairs = narrow ? width : 8;
    const bool low = height < 32;
    const float rh = low ? 1.0f : static_cast<float>(height) / 32.0f;
    const int steps = low ? height : 32;
    auto at = [](int i, float size) { return static_cast<int>(static_cast<float>(i) * size); };
    for (int k = 0; k < steps; ++k) {
        for (int j = 0; j < pairs; ++j) {
            const int x0 = r.left + at(2 * j, cw), x1 = r.left + at(2 * j + 1, cw), x2 = r.left + at(2 * j + 2, cw);
            b.Copy(x0, r.top + at(k, rh), x1, r.top + at(k + 1, rh));
            b.Copy(x1, r.bottom - at(k + 1, rh), x2, r.bottom - at(k, rh));
        }
        b.EndStep();
    }
    return b.Take(steps);
}

TransitionPlan Blocks(const Rect32& r) {
    PlanBuilder b(r);
    const int cw = (r.right - r.left) / 16 + 1;
    const int rh = (r.bottom - r.top) / 10;
    for (int i = 0; i < kBlockCellCount; ++i) {
        const int c = kBlockCellOrder[i][0], row = kBlockCellOrder[i][1];
        Rect32 cell = {r.left + c * cw, r.top + row * rh, 0, 0};
        cell.right = cell.left + cw + 1;
        cell.bottom = cell.top + rh + 1;
        const int below = r.bottom - cell.bottom;
        // The last row always reaches the bottom: rows of rh + 1 fall short when the height
        // leaves more than rh rows over.
        if ((below >= 1 && below < rh) || (row == 9 && below >= 1))
            cell.bottom = r.bottom;
        b.Copy(cell.left, cell.top, cell.right, cell.bottom);
        if (i % 4 == 0 && i <= 160)
            b.EndStep();
    }
    return b.Take(41);
}

}  // namespace

StripRule StripsOfSide(int length) {
    if (length <= 0)
        return {0, 1.0f};
    if (length < 64)
        return {length, 1.0f};
    return {64, static_cast<float>(length) / 64.0f};
}

TransitionPlan PlanStripTransition(int transition, const Rect32& rect) {
    if (Empty(rect))
        return {};
    switch (transition) {
    case kTransLeftToRight:
    case kTransRightToLeft:
    case kTransTopToBottom:
    case kTransBottomToTop: return Wipe(transition, rect);
    case kTransFastest: return Fastest(rect);
    case kTransBlocks: return Blocks(rect);
    case kTransDiagonalRight: return Diagonal(true, rect);
    case kTransDiagonalLeft: return Diagonal(false, rect);
    case kTransBlinds: return Blinds(rect);
    case kTransBars: return Bars(rect);
    case kTransBarnOpen: return Split(true, true, rect);
    case kTransBarnClose: return Split(true, false, rect);
    case kTransMouthOpen: return Split(false, true, rect);
    case kTransMouthClose: return Split(false, false, rect);
    case kTransIrisOpen: return IrisOpen(rect);
    case kTransIrisClose: return IrisClose(rect);
    default: return {};
    }
}
