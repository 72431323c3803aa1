// The step clock against a fake millisecond source: a transition of n steps lasts speed x 8
// ticks whatever n is, steps end on their quarter-tick schedule, speed 0 never waits, and the
// blend levels climb to 256.
#include "cardview/transitions/TransitionTiming.h"

#include <gtest/gtest.h>

#include <vector>

#include "cardview/transitions/TransitionContext.h"
#include "core/system/Ticks.h"

namespace {

uint32_t g_ms = 0;
uint32_t FakeClock() { return ++g_ms; }  // a millisecond per reading

struct Recorded {
    std::vector<uint32_t> ticks;
    std::vector<int> levels;
};
Recorded g_recorded;

void RecordStep(const TransitionContext&, int, int, void*) { g_recorded.ticks.push_back(GetTicks()); }
void RecordLevel(int level) { g_recorded.levels.push_back(level); }

class TransitionTimingTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousClock_ = SetMillisecondClock(FakeClock);
        saved_ = TransitionHooks();
        TransitionHooks() = {RecordLevel, RecordStep, nullptr};
        g_recorded = {};
    }
    void TearDown() override {
        TransitionHooks() = saved_;
        SetMillisecondClock(previousClock_);
    }
    MillisecondClock previousClock_ = nullptr;
    TransitionStepHooks saved_{};
};

// (RunTransition's own timing is measured on a window in CardTransitions_win_test.cpp.)
TEST_F(TransitionTimingTest, StepsEndOnScheduleAndBlendClimbsTo256) {
    TransitionContext blending;
    blending.blend = 1;
    blending.speed = 16;
    for (int steps : {4, 41, 108}) {
        g_recorded = {};
        BeginTransitionSteps(blending, steps);
        const uint32_t start = TransitionStartTick();
        FinishTransitionSteps(blending);
        ASSERT_EQ(g_recorded.ticks.size(), size_t(steps));
        EXPECT_EQ(g_recorded.levels.back(), 256);
        EXPECT_EQ(g_recorded.levels.front(), 256 / steps);
        // Two readings a step fall outside the waits; the integer step time loses up to n / 4.
        const uint32_t elapsed = GetTicks() - start;
        EXPECT_LE(elapsed, uint32_t(128 + 2 + 2 * steps / 17)) << steps;
        EXPECT_GE(elapsed, uint32_t(128 - steps / 4 - 1)) << steps;
        for (int k = 1; k < steps; ++k)  // step k + 1 ends no earlier than the wait of step k
            EXPECT_GE(int64_t{4} * (g_recorded.ticks[k] - start), int64_t{TransitionStepTime(16, steps)} * k);
    }
    TransitionContext fastest;
    fastest.speed = 0;  // "Fastest" at speed 8 counts as 0: no waiting at all
    g_recorded = {};
    BeginTransitionSteps(fastest, 4);
    const uint32_t start = TransitionStartTick();
    FinishTransitionSteps(fastest);
    EXPECT_LE(GetTicks() - start, 1u);
    EXPECT_TRUE(g_recorded.levels.empty()) << "no blend without the context's flag";
}

}  // namespace
