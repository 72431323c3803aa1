// The copying transitions' plans: every plan keeps inside its rectangle and covers all of it,
// whatever the size (narrow, odd, offset), with the step counts the transitions are timed by;
// and what a request number, effect id and speed turn into.
#include "cardview/transitions/TransitionStrips.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "cardview/transitions/TransitionTable.h"

namespace {

struct Coverage {
    explicit Coverage(const Rect32& r) : rect(r), hits(size_t(r.right - r.left) * (r.bottom - r.top), 0) {}
    // False when the copy leaves the rectangle.
    bool Add(const Rect32& c) {
        if (c.left < rect.left || c.top < rect.top || c.right > rect.right || c.bottom > rect.bottom ||
            c.left >= c.right || c.top >= c.bottom)
            return false;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                hits[size_t(y - rect.top) * (rect.right - rect.left) + (x - rect.left)] = 1;
        return true;
    }
    int Missing() const {
        int n = 0;
        for (uint8_t h : hits)
            n += h == 0;
        return n;
    }
    Rect32 rect;
    std::vector<uint8_t> hits;
};

int StepEnds(const TransitionPlan& plan) {
    int n = 0;
    for (const TransitionGroup& g : plan.groups)
        n += g.endsStep;
    return n;
}

constexpr int kPlanned[] = {1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 15, 16, 17, 18, 19, 20};

TEST(TransitionStrips, EveryPlanCoversItsWholeRectangleFromInside) {
    const Rect32 rects[] = {{0, 0, 512, 384}, {0, 0, 100, 50}, {7, 11, 70, 74}, {3, 2, 66, 67}, {0, 0, 13, 1},
                            {0, 0, 1, 13},    {20, 30, 34, 44}, {0, 0, 63, 31}, {5, 5, 650, 487}, {0, 0, 19, 19},
                            {0, 0, 2, 2},     {0, 0, 33, 9}};
    for (int n : kPlanned)
        for (const Rect32& r : rects) {
            const TransitionPlan plan = PlanStripTransition(n, r);
            Coverage coverage(r);
            for (const TransitionGroup& g : plan.groups)
                for (const Rect32& c : g.rects)
                    ASSERT_TRUE(coverage.Add(c)) << "transition " << n << " copies " << c.left << "," << c.top << ","
                                                 << c.right << "," << c.bottom << " outside";
            EXPECT_EQ(coverage.Missing(), 0) << "transition " << n << " over " << r.right - r.left << "x"
                                             << r.bottom - r.top;
            const int ends = StepEnds(plan);
            // Barn and mouth close end one more step when they fill the gap between their halves.
            const bool closes = n == kTransBarnClose || n == kTransMouthClose;
            EXPECT_TRUE(ends == plan.stepCount || (closes && ends == plan.stepCount + 1))
                << "transition " << n << ": " << ends << " step ends for " << plan.stepCount << " steps";
        }
}

TEST(TransitionStrips, StepCountsFollowTheSides) {
    struct Case {
        int transition;
        Rect32 rect;
        int steps;
    } cases[] = {
        {kTransLeftToRight, {0, 0, 40, 30}, 40},  // narrower than 64: one column per step
        {kTransLeftToRight, {0, 0, 640, 30}, 64},
        {kTransFastest, {0, 0, 64, 3}, 3},        // bands of one row
        {kTransBlocks, {0, 0, 512, 384}, 41},
        {kTransBlinds, {0, 0, 10, 100}, 9 * 12},
        {kTransBars, {0, 0, 512, 20}, 20},
        {kTransIrisClose, {0, 0, 512, 40}, 32},   // max(32 column steps, 20 row steps)
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlanStripTransition(c.transition, c.rect).stepCount, c.steps) << "transition " << c.transition;
}

TEST(TransitionStrips, WipesStartAtTheirEdgeAndBlocksVisitEveryCell) {
    const Rect32 r = {10, 20, 110, 71};
    const auto first = [&r](int n) { return PlanStripTransition(n, r).groups.front().rects.front(); };
    EXPECT_EQ(first(kTransLeftToRight).left, 10);
    EXPECT_EQ(first(kTransRightToLeft).right, 110);
    EXPECT_EQ(first(kTransTopToBottom).top, 20);
    EXPECT_EQ(first(kTransBottomToTop).bottom, 71);
    EXPECT_EQ(first(kTransBarnOpen).right, 60) << "from the centre";
    std::set<std::pair<int, int>> cells;
    for (const auto& cell : kBlockCellOrder)
        cells.insert({cell[0], cell[1]});
    EXPECT_EQ(cells.size(), 160u);
    EXPECT_EQ(cells.rbegin()->first, 15);
}

TEST(TransitionTable, RequestsSpeedsAndListNames) {
    struct Case {
        int transition, effectId, plays;
    } cases[] = {
        {0, 0, 3},  {0, 7, 3},   {-5, 7, 3},  {40, 0, 3},          {40, 9, 29},
        {14, 0, 14}, {5, 12, 29}, {5, 0x10000, 5}, {29, 0, 29},   {1, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseTransition(c.transition, c.effectId), c.plays) << c.transition << " with effect " << c.effectId;
    for (auto [speed, plays] : {std::pair{12, 8}, {8, 8}, {16, 16}, {32, 32}, {0, 8}, {64, 8}})
        EXPECT_EQ(NormalizeTransitionSpeed(speed), plays) << speed;
    std::set<int> numbers;
    for (int i = 0; i < kTransitionListCount; ++i) {
        const int n = kTransitionListNumbers[i];
        numbers.insert(n);
        EXPECT_EQ(TransitionNameStringId(n), 2750 + i) << "list entry " << i;
        EXPECT_EQ(TransitionListIndex(n), i);
    }
    EXPECT_EQ(numbers.size(), 27u);
    EXPECT_EQ(TransitionNameStringId(28), 0);
    EXPECT_EQ(TransitionListIndex(29), -1);
}

}  // namespace
