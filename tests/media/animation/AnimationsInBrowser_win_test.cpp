// Animated-object actions in the real plug-in, driven through the test browser: a button whose
// 'Sprt' record is damaged plays nothing and still moves to the next card, as does one whose
// record is whole; an object moves along its path behind a button, leaving a trail or not, and
// stays or goes when done.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

// The card the screenshot shows, told apart by its strongest channel (any display depth).
bool Greenish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return g > r + 60 && g > b + 60;
}
bool Reddish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return r > g + 60 && r > b + 60;
}

bool Bluish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return b > r + 60 && b > g + 60;
}
bool ObjectColoured(uint32_t pixel) { return Reddish(pixel) || Bluish(pixel); }

// Two 30 by 30 frames, red and blue, along three points a second and a half apart; one path
// repeat, not floating over the card's objects.
std::vector<uint8_t> MovingSpriteBytes(bool trail) {
    sb::Sprite s;
    s.number = 1;
    sb::Picture strip = sb::SolidPicture(60, 30, 32, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            strip.pixels[size_t(y) * 60 + x] = x < 30 ? 0xE02020 : 0x2020E0;
    s.film.strip = strip;
    s.film.frames = {{0, 0, 30, 30}, {30, 0, 60, 30}};
    s.path = {{40, 100, 1500}, {120, 65, 1500}, {200, 100, 1500}};
    s.words = {{kSpriteEndCondition, 5}, {kSpriteFloatGoing, 0}};
    if (trail)  // don't erase while going (133) and stay visible when done (131)
        s.words.insert(s.words.end(), {{kSpriteDontEraseGoing - 1, 1}, {kSpriteStayVisible - 1, 1}});
    return sb::SpriteRecord(s);
}

}  // namespace

TEST(AnimationsInBrowser, AnObjectMovesBehindAButtonAndLeavesATrailOrNot) {
    SKIP_UNLESS_TRUE_COLOUR("the object's frames are told apart from the card by colour");
    for (const bool trail : {false, true}) {
        SCOPED_TRACE(trail ? "with a trail, staying" : "erased, going");
        ServerFolder server;
        sb::Stack s;
        s.cardWidth = 240;
        s.cardHeight = 160;
        s.cards = {ColourCard(1, {190, 190, 190}, 240, 160)};
        s.cards[0].objects = {sb::AnimationButton(1, {0, 0, 40, 20}, "Play", MovingSpriteBytes(trail)),
                              sb::ShapedButton(2, {105, 60, 135, 70}, "", 2)};
        const std::string name = ServeStack(server, std::string("moving-") + (trail ? "trail" : "plain"), s);
        const std::vector<std::string> shots = server.Shots("moving", 5);
        const BrowserRun run = RunPage(server, name, "240x160",
                                       {"--answer-alerts", "--screenshot", shots[0], "--screenshot-after", "1500", "--click",
                                        "20,10@2000", "--screenshot-after", "3000", "--screenshot-after", "4300",
                                        "--screenshot-after", "5800", "--screenshot-after", "7800", "--quit-after-last", "500"});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        const Shot before(shots[0]), first(shots[1]), second(shots[2]), third(shots[3]), done(shots[4]);
        ASSERT_GT(before.width, 0u) << Joined(run.log);
        EXPECT_FALSE(ObjectColoured(before.At(40, 100)));
        // At each point in turn: the object's centre (the anchor) on the point.
        EXPECT_TRUE(ObjectColoured(first.At(40, 100))) << Hex(first.At(40, 100));
        EXPECT_FALSE(ObjectColoured(first.At(120, 55)));
        EXPECT_TRUE(ObjectColoured(second.At(120, 55))) << Hex(second.At(120, 55));
        EXPECT_TRUE(ObjectColoured(third.At(200, 100))) << Hex(third.At(200, 100));
        // The button stays in front of an object that does not float over it.
        EXPECT_EQ(second.At(107, 65), before.At(107, 65)) << Hex(second.At(107, 65));
        EXPECT_EQ(second.At(133, 68), before.At(133, 68)) << Hex(second.At(133, 68));
        // Where it was: its trail, or the card again.
        EXPECT_EQ(ObjectColoured(second.At(40, 100)), trail) << Hex(second.At(40, 100));
        EXPECT_EQ(ObjectColoured(third.At(120, 55)), trail) << Hex(third.At(120, 55));
        // Done: it stays or is gone.
        EXPECT_EQ(ObjectColoured(done.At(200, 100)), trail) << Hex(done.At(200, 100));
    }
}

TEST(AnimationsInBrowser, ADamagedSpriteRecordPlaysNothingAndTheMoveStillRuns) {
    std::vector<uint8_t> damaged = TwoFrameSpriteBytes();
    SetBE32(damaged, kSpriteFilmLength, GetBE32(damaged, kSpriteFilmLength) + 2);  // past the record
    for (const auto& [what, payload] : {std::pair{"damaged", damaged}, std::pair{"whole", TwoFrameSpriteBytes()}}) {
        SCOPED_TRACE(what);
        ServerFolder server;
        sb::Stack s;
        s.cardWidth = 160;
        s.cardHeight = 120;
        s.cards = {ColourCard(1, {200, 40, 40}), ColourCard(2, {40, 200, 40})};
        s.cards[0].objects = {sb::AnimationButton(1, {0, 0, 40, 20}, "Play", payload, -1)};
        const std::string name = ServeStack(server, std::string("sprite-") + what, s);
        const std::string before = server.Name("before.png"), after = server.Name("before-t2.png");
        const BrowserRun run = RunPage(server, name, "160x120",
                                       {"--answer-alerts", "--screenshot", before, "--screenshot-after", "1800", "--click",
                                        "20,10@2300", "--screenshot-after", "3600", "--quit-after-last", "600"});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
        const Shot first(before), second(after);
        EXPECT_TRUE(Reddish(first.At(120, 90))) << Hex(first.At(120, 90));
        EXPECT_TRUE(Greenish(second.At(120, 90))) << "the move to card 2 ran " << Hex(second.At(120, 90)) << "\n"
                                                  << Joined(run.log);
    }
}
