// Transitions on a real window: a window showing card A, RunTransition with a bitmap of card B,
// then the window's pixels. Every transition ends with B exactly in its rectangle and A
// untouched outside; frames caught at a step end show both cards; the steps follow the speed
// on a fake tick clock.
#include "cardview/transitions/CardTransitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "graphics/palette/PaletteBlend.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionFade.h"
#include "cardview/transitions/TransitionTable.h"
#include "tests/graphics/AppPaletteTestUtil.h"
#include "tests/graphics/TransitionTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

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
            CardMove move{n, 0, 8};
            move.zoomCentre = POINT{r.left + 3, r.top + 4};
            Capture capture;
            Run(move, r, &capture);
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

// A zoom's frames start at the centre its own move gives, else at the rectangle's centre: the
// centre of one move (a clicked button's) is never left for the next. The smallest frame seen on
// the window between clock readings is where the zoom starts or ends, around the centre.
TEST_F(TransitionsTest, AZoomStartsAtItsOwnMovesCentreAndNothingDrawsWithoutABitmapOrARectangle) {
    static decltype(this) self = nullptr;
    static RECT smallest;
    self = this;
    SetMillisecondClock([] {
        const Pixels now = self->WindowPixels();
        RECT box = {kWidth, kHeight, -1, -1};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (now[size_t(y) * kWidth + x] != self->pixelsA_[size_t(y) * kWidth + x])
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
                           std::max<LONG>(box.bottom, y)};
        const auto area = [](const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); };
        if (box.right >= 0 && area(box) < area(smallest))
            smallest = box;
        return FakeClock();
    });
    const RECT whole = {0, 0, kWidth, kHeight};
    const auto startOf = [&](const CardMove& move) {
        ShowCardA();
        smallest = {0, 0, kWidth * 2, kHeight * 2};
        RunTransition(move, window_, whole, cardB_, 0);
        EXPECT_EQ(Compare(WindowPixels(), whole).showB, kWidth * kHeight) << "the card in place afterwards";
        return POINT{(smallest.left + smallest.right) / 2, (smallest.top + smallest.bottom) / 2};
    };
    for (const int zoom : {kTransZoomIn, kTransZoomOut}) {
        SCOPED_TRACE(zoom);
        CardMove fromButton{zoom, 0, 8};
        fromButton.zoomCentre = POINT{20, 30};
        const POINT button = startOf(fromButton);
        EXPECT_NEAR(button.x, 20, 3);
        EXPECT_NEAR(button.y, 30, 3);
        const POINT later = startOf(CardMove{zoom, 0, 8});
        EXPECT_NEAR(later.x, kWidth / 2, 3) << "not at the earlier button";
        EXPECT_NEAR(later.y, kHeight / 2, 3);
    }
    SetMillisecondClock(FakeClock);

    ShowCardA();
    RunTransition(CardMove{kTransLeftToRight, 0, 8}, window_, whole, nullptr, 0);
    RunTransition(CardMove{kTransLeftToRight, 0, 8}, window_, {40, 40, 40, 90}, cardB_, 0);
    EXPECT_EQ(Compare(WindowPixels(), whole).showA, kWidth * kHeight);
}

// On a palette display a fade steps the palette to its colour in 32 steps, shows the new card,
// and steps back to the target colours in 31 more, each step timed by the speed; the card is in
// place at the end. On deeper displays a fade is a plain copy and the palette is left alone.
TEST_F(TransitionsTest, FadesStepThePaletteThroughTheirColourOnAPaletteDisplay) {
    static std::vector<PaletteRgbTable> steps;
    static HWND window = nullptr;
    static Pixels middle;
    window = window_;
    SetPaletteAnimationHook([](std::span<const PaletteRgb> entries) {
        PaletteRgbTable t{};
        std::copy_n(entries.begin(), std::min<size_t>(entries.size(), t.size()), t.begin());
        steps.push_back(t);
        if (steps.size() == kFadeOutSteps + 1)  // the first step back: the new card is shown
            middle = ReadPixels(WindowDC(window).get());
    });
    const PaletteRgbTable savedStart = PaletteBlendStartTable(), savedTarget = PaletteBlendTargetTable();
    for (int i = 0; i < 256; ++i) {
        PaletteBlendStartTable()[size_t(i)] = {uint8_t(i), uint8_t(255 - i), 64, 0};
        PaletteBlendTargetTable()[size_t(i)] = {uint8_t(255 - i), 100, uint8_t(i), 0};
    }
    const RECT whole = {0, 0, kWidth, kHeight};
    struct Fade {
        int n;
        PaletteRgb colour;
    } fades[] = {{kTransFadeToBlack, {0, 0, 0, 0}}, {kTransFadeToWhite, {255, 255, 255, 0}},
                 {kTransFadeToButtonColor, {10, 200, 30, 0}}};
    for (const Fade& f : fades) {
        SCOPED_TRACE(testing::Message() << "transition " << f.n);
        steps.clear();
        middle.clear();
        ShowCardA();
        Capture capture;
        const uint32_t start = GetTicks();
        Run(CardMove{f.n, 0, 16, RGB(10, 200, 30)}, whole, &capture);
        EXPECT_EQ(Compare(WindowPixels(), whole).showB, kWidth * kHeight);
        if (!IndexedDisplay()) {
            EXPECT_TRUE(steps.empty()) << "no palette steps on a true-colour display";
            continue;
        }
        ASSERT_EQ(steps.size(), size_t(kFadeOutSteps + kFadeInSteps + 1));
        // Half way out, each entry lies half way between its start colour and the fade colour;
        // at the turn every entry is the fade colour.
        const PaletteRgbTable& half = steps[15];
        EXPECT_EQ(half[200].red, (200 + f.colour.red) / 2);
        EXPECT_EQ(half[200].green, (55 + f.colour.green) / 2);
        for (const PaletteRgb& e : steps[kFadeOutSteps - 1])
            ASSERT_TRUE(e.red == f.colour.red && e.green == f.colour.green && e.blue == f.colour.blue);
        // The first step back is one 32nd of the way to the target; the last hands the target.
        EXPECT_EQ(steps[kFadeOutSteps][0].red, (255 + f.colour.red * 31) / 32);
        EXPECT_EQ(steps.back(), PaletteBlendTargetTable());
        EXPECT_EQ(Compare(middle, whole).showB, kWidth * kHeight) << "the new card shows between the halves";
        // (speed + 2) x 32 and (speed + 2) x 31 quarter ticks.
        EXPECT_GE(GetTicks() - start, uint32_t(18 * 32 / 4 + 18 * 31 / 4));
    }
    SetPaletteAnimationHook(nullptr);
    PaletteBlendStartTable() = savedStart;
    PaletteBlendTargetTable() = savedTarget;
}

// Before a fade on a palette display the window's image is drawn back with the pixels of the
// application palette's top entries 246..255 (the system's first ten) moved to the nearest of
// entries 0..245, and those of entries 0..9 to the nearest of 10..245: an image of every entry
// keeps the colours of 10..245 and shows each of the others as its nearest.
class FadePreparationTest : public AppPaletteTest {};

TEST_F(FadePreparationTest, TheReservedEntriesOfAnImageMoveToTheirNearest) {
    auto nearest = [&](int e, int first, int last) {
        int best = first;
        long bestDistance = -1;
        for (int i = first; i <= last; ++i) {
            const long db = Entry(i).blue - Entry(e).blue, dg = Entry(i).green - Entry(e).green,
                       dr = Entry(i).red - Entry(e).red;
            const long d = 2 * db * db + 4 * dg * dg + 3 * dr * dr;
            if (bestDistance < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return Entry(best);
    };
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 256, -1, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i)
        info.colors[i] = {Entry(i).blue, Entry(i).green, Entry(i).red, 0};
    void* bits = nullptr;
    WindowDC dc(window_);
    OwnedGdiObject<HBITMAP> image(
        CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(image && bits);
    auto* pixels = static_cast<uint8_t*>(bits);
    for (int i = 0; i < 256; ++i)
        pixels[i] = uint8_t(i);
    ASSERT_TRUE(RemapBitmapTopColors(dc.get(), image.get()));
    GdiFlush();
    for (int i = 0; i < 256; ++i) {
        const int now = pixels[i];
        if (i >= 10 && i <= 245) {
            EXPECT_EQ(Entry(now), Entry(i)) << "entry " << i << " keeps its colour";
        } else {
            EXPECT_TRUE(now >= 10 && now <= 245) << "entry " << i << " became " << now;
            EXPECT_EQ(Entry(now), i < 10 ? nearest(i, 10, 245) : nearest(i, 0, 245)) << "entry " << i;
        }
    }
}

}  // namespace
