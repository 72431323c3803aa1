// A QuickTime movie in the real plug-in, through the test browser: a button plays a two-second
// 'rle ' movie over card 1, which shows its first frame until the click; each screenshot shows
// one of the movie's frames in its rectangle (exactly at 24 bits), the later shot a later frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kW = 64, kH = 48, kFrames = 20;
constexpr sb::Rect kMovieRect{48, 40, 48 + kW, 40 + kH};

// Twenty frames of two seconds, each distinct: a gradient with a band of the frame's own colour
// that moves down two lines a frame; key frames every fifth.
sb::MovVideo TwoSecondMovie() {
    sb::MovVideo v;
    v.codec = sb::MovCodec::Rle;
    v.width = kW;
    v.height = kH;
    v.fps = 10;
    v.keyEvery = 5;
    std::vector<uint32_t> f(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            f[size_t(y) * kW + x] = uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | 0x80;
    for (int k = 0; k < kFrames; ++k) {
        const uint32_t band = uint32_t((k * 53) % 256) << 16 | uint32_t((255 - k * 12) & 0xFF) << 8 | uint32_t(k * 11);
        for (int y = k * 2; y < k * 2 + 6; ++y)
            for (int x = 0; x < kW; ++x)
                f[size_t(y) * kW + x] = band;
        v.frames.push_back(f);
    }
    return v;
}

// The frame the shot shows in the movie's rectangle (every pixel exact at 24 bits, within what
// 16 bits keep otherwise); -1 when none.
int ShownFrame(const Shot& shot, const sb::MovVideo& v) {
    const int slack = DisplayBits() == 16 ? 8 : 0;
    for (int k = 0; k < kFrames; ++k) {
        bool all = true;
        for (int y = 0; y < kH && all; ++y)
            for (int x = 0; x < kW && all; ++x) {
                const uint32_t want = v.frames[size_t(k)][size_t(y) * kW + x];
                all = NearRgb(shot.At(kMovieRect.left + x, kMovieRect.top + y), int(want >> 16), int((want >> 8) & 0xFF),
                              int(want & 0xFF), slack);
            }
        if (all)
            return k;
    }
    return -1;
}

TEST(MovInBrowser, AButtonPlaysAnRleMovieOverCardOneAfterItsFirstFrame) {
    SKIP_UNLESS_TRUE_COLOUR("the movie's frames are compared with their exact colours in the screenshot");
    ServerFolder server;
    const std::string stem = ProcessUniqueName("mov");
    const std::string movie = stem + ".mov", stack = stem + ".stk";
    const sb::MovVideo video = TwoSecondMovie();
    server.Put(movie, AsText(sb::MovFile(video)));
    sb::Stack s;
    s.cardWidth = 160;
    s.cardHeight = 120;
    sb::Card card = ColourCard(1, {200, 40, 40});
    // Plays the movie in its rectangle; its first frame shows there until then (flag 4).
    card.objects = {sb::MovieButton(1, {0, 0, 40, 20}, "Play", kMovieRect, "Disk:" + movie, 4)};
    s.cards = {card, sb::PictureCard(2, sb::SolidPicture(160, 120, 8, 1))};
    server.Put(stack, Built(s));
    const std::vector<std::string> shots = server.Shots(stem, 3);
    const BrowserRun run = RunPage(server, stack, "160x120",
                                   {"--answer-alerts", "--screenshot", shots[0], "--screenshot-after", "1000", "--click",
                                    "20,10@1200", "--screenshot-after", "1700", "--screenshot-after", "2500", "--quit-after-last", "500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot before(shots[0]), during(shots[1]), later(shots[2]);
    ASSERT_EQ(before.width, 160u);
    EXPECT_EQ(ShownFrame(before, video), 0) << "the first frame before playing";
    const int first = ShownFrame(during, video), second = ShownFrame(later, video);
    EXPECT_GE(first, 1) << "a frame of the movie while it plays";
    EXPECT_GT(second, first) << "a later frame in the later shot";
    EXPECT_TRUE(NearRgb(later.At(140, 100), 200, 40, 40, 8)) << "the card beside the movie stays: " << Hex(later.At(140, 100));
}

}  // namespace
