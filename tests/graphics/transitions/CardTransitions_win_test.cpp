// Transitions on a real window: a window showing card A, RunTransition with a bitmap of card B,
// then the window's pixels. Every transition ends with B exactly in its rectangle and A
// untouched outside; frames caught at a step end show both cards; the steps follow the speed
// on a fake tick clock.
#include "graphics/transitions/CardTransitions.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/transitions/TransitionTable.h"
#include "tests/graphics/TransitionTestUtil.h"

namespace {

using namespace transition_test;

TEST_F(TransitionsTest, EveryTransitionEndsWithTheNewCardExactlyInPlace) {
    const RECT whole = {0, 0, kWidth, kHeight};
    const RECT object = {37, 23, 51, 37};  // a 14 x 14 object update
    const RECT odd = {5, 9, 108, 70};
    ASSERT_NE(pixelsA_, pixelsB_);
    for (const RECT& r : {whole, object, odd})
        for (int n = 1; n <= kTransitionCount; ++n) {
            ShowCardA();
            ASSERT_EQ(Compare(WindowPixels(), r).showB, 0) << "card A shown first";
            SetZoomCentre({r.left + 3, r.top + 4});
            Capture capture;
            Run(n, 0, 8, r, &capture);
            const Mix m = Compare(WindowPixels(), r);
            EXPECT_EQ(m.showB, (r.right - r.left) * (r.bottom - r.top))
                << "transition " << n << " over " << r.left << "," << r.top << "," << r.right << "," << r.bottom
                << ": " << m.showA << " old pixels, " << m.other << " others";
            EXPECT_EQ(m.strayOutside, 0) << "transition " << n << " drew outside its rectangle";
        }
}

TEST_F(TransitionsTest, FramesBetweenStepsShowBothCards) {
    const RECT whole = {0, 0, kWidth, kHeight};
    for (int n : {kTransLeftToRight, kTransDissolve, kTransBlocks, kTransRain, kTransDiamondDissolve, kTransIrisOpen}) {
        ShowCardA();
        Capture capture;
        capture.captureAt = n == kTransLeftToRight ? 32 : n == kTransBlocks ? 20 : n == kTransIrisOpen ? 15 : 4;
        Run(n, 0, 8, whole, &capture);
        ASSERT_EQ(capture.capturedStep, capture.captureAt) << "transition " << n;
        const Mix m = Compare(capture.frame, whole);
        EXPECT_GT(m.showA, kWidth * kHeight / 10) << "transition " << n;
        EXPECT_GT(m.showB, kWidth * kHeight / 10) << "transition " << n;
        EXPECT_EQ(m.other, 0) << "transition " << n << ": pixels of neither card";
        if (n == kTransLeftToRight) {
            // Half way: the left half is B, the right half still A.
            EXPECT_EQ(capture.frame[10 * kWidth + 79], pixelsB_[10 * kWidth + 79]);
            EXPECT_EQ(capture.frame[10 * kWidth + 80], pixelsA_[10 * kWidth + 80]);
        }
    }
}

TEST_F(TransitionsTest, DurationFollowsTheSpeedInTicks) {
    const RECT whole = {0, 0, kWidth, kHeight};
    struct Case {
        int transition, effectId, speed;
        int steps;
        uint32_t ticks;
    } cases[] = {
        {kTransLeftToRight, 0, 8, 64, 64},  {kTransLeftToRight, 0, 16, 64, 128}, {kTransLeftToRight, 0, 32, 64, 256},
        {kTransLeftToRight, 0, 12, 64, 64}, {kTransDissolve, 0, 32, 16, 256},    {kTransBlocks, 0, 16, 41, 123},  // 16 x 32 / 41 = 12 quarter ticks a step
        {kTransFastest, 0, 8, 4, 0},        {kTransFastest, 0, 32, 4, 128},      {0, 5, 16, 4, 64},
        {-5, 5, 8, 4, 0},                   {40, 0, 8, 4, 0},
    };
    for (const Case& c : cases) {
        ShowCardA();
        Capture capture;
        const uint32_t start = GetTicks();
        Run(c.transition, c.effectId, c.speed, whole, &capture);
        ASSERT_EQ(capture.ticks.size(), size_t(c.steps)) << "transition " << c.transition << " speed " << c.speed;
        EXPECT_EQ(capture.stepCount, c.steps);
        const uint32_t last = capture.ticks.back() - start;
        // The last step's wait ends at the whole length; a few readings of the fake clock are
        // drawing, not waiting.
        EXPECT_GE(GetTicks() - start, c.ticks) << "transition " << c.transition << " speed " << c.speed;
        EXPECT_LE(GetTicks() - start, c.ticks + 12) << "transition " << c.transition << " speed " << c.speed;
        if (c.ticks > 0) {
            EXPECT_LT(last, c.ticks) << "the last step ends before its wait";
            EXPECT_GE(capture.ticks[c.steps / 2] - start, c.ticks / 2 - c.ticks / 8) << "steps are spread out";
        }
        EXPECT_EQ(Compare(WindowPixels(), whole).showB, kWidth * kHeight);
    }
}

TEST_F(TransitionsTest, ButtonColorIsBlackAgainAfterwardsAndNoBitmapDrawsNothing) {
    SetTransitionColor(RGB(10, 200, 30));
    Capture capture;
    Run(kTransFadeToButtonColor, 0, 8, {0, 0, kWidth, kHeight}, &capture);
    EXPECT_EQ(GetTransitionColor(), RGB(0, 0, 0));
    ShowCardA();
    RunTransition(kTransLeftToRight, 0, 8, window_, {0, 0, kWidth, kHeight}, nullptr, 0);
    EXPECT_EQ(Compare(WindowPixels(), {0, 0, kWidth, kHeight}).showA, kWidth * kHeight);
}

}  // namespace
