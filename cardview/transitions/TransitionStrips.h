// The geometry of the transitions that copy rectangles of the new card in a fixed order: the
// wipes, "Fastest", the diagonals, blinds, barn, mouth, iris, bars and blocks. A plan lists,
// step by step, the rectangles to copy; the drawing side copies them and ends the steps.
//
// Every plan covers the whole transition rectangle, so each transition ends with the new card
// in place: where the halving of odd sides or the rounding of the steps would leave a column,
// a row or the centre uncovered, a last copy fills it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/memory/ShortRect.h"

struct TransitionGroup {
    std::vector<Rect32> rects;  // copied in this order, each clipped to the rectangle
    bool endsStep = true;       // a step end follows the copies
};

struct TransitionPlan {
    int stepCount = 0;  // the count the steps are begun with
    std::vector<TransitionGroup> groups;
};

// The plan of transition 1, 2, 3, 4, 7 to 12 or 15 to 20 over the rectangle; an empty plan for
// other numbers or an empty rectangle.
TransitionPlan PlanStripTransition(int transition, const Rect32& rect);

// Strips of a side of length L: L strips of 1 when L < 64, else 64 of L / 64 (single precision);
// strip i spans the truncated products i x size to (i + 1) x size.
struct StripRule {
    int count = 0;
    float size = 1.0f;
};
StripRule StripsOfSide(int length);
inline int StripEdge(const StripRule& rule, int i) { return static_cast<int>(static_cast<float>(i) * rule.size); }

// "Blocks": the 163 cells (column, row) of the 16 x 10 grid in the order they are copied.
inline constexpr int kBlockCellCount = 163;
extern const std::array<std::array<uint8_t, 2>, kBlockCellCount> kBlockCellOrder;
