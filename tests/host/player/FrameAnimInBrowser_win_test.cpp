// Frame animations in the real plug-in, through the test browser: buttons whose actions play a
// two-frame animation (about a second a frame) leave its last frame on the card, or the card
// again when the animation asks for it; one that also moves to the next card moves only when
// the animation has ended; and the next card shows the first frame of its own animation, which
// asks to be shown with the card, as soon as it is entered. The demo's third card plays its
// flip-book once entered.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr sb::Rgb kGrey{128, 128, 128}, kLeaf{40, 200, 40}, kRed{255, 0, 0}, kBlue{0, 0, 255};
constexpr uint8_t kRedIndex = 2, kBlueIndex = 3;
constexpr uint16_t kSecond = 60;  // ticks
constexpr uint16_t kRefreshAtEnd = 0x0001, kShownWithCard = 0x0002;

bool Near(uint32_t got, sb::Rgb want) { return NearRgb(got, want.red, want.green, want.blue, 8); }

// Red for a second, then blue for a second.
sb::FrameAnimation RedThenBlue(uint16_t flags) {
    sb::FrameAnimation a;
    a.width = 40;
    a.height = 40;
    a.delay = kSecond;
    a.flags = flags;
    a.frames = {std::vector<uint8_t>(1600, kRedIndex), std::vector<uint8_t>(1600, kBlueIndex)};
    return a;
}

TEST(FrameAnimInBrowser, ButtonsPlayFlipBooksAndTheMoveWaitsForTheirEnd) {
    SKIP_UNLESS_TRUE_COLOUR("the frames and the cards are told apart by exact colours in the screenshot");
    ServerFolder server;
    const std::string name = "frames-" + ProcessTag() + ".stk";
    sb::Stack s;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {ColourCard(1, kGrey, 160, 120, {kRed, kBlue}), ColourCard(2, kLeaf, 160, 120, {kRed, kBlue})};
    // Along the top: the last frame stays; the card again at the end; the next card afterwards
    // (16-bit pairs).
    sb::FrameAnimation stays = RedThenBlue(0), refreshed = RedThenBlue(kRefreshAtEnd), moving = RedThenBlue(0);
    moving.shortPairs = true;
    sb::Object onward = sb::FrameAnimationButton(3, {100, 0, 140, 20}, "Onward", {110, 40, 150, 80}, moving);
    onward.words.push_back({16, static_cast<uint16_t>(-1)});
    onward.words.push_back({20, 0xA0});
    s.cards[0].objects = {sb::FrameAnimationButton(1, {0, 0, 40, 20}, "Stays", {10, 40, 50, 80}, stays),
                          sb::FrameAnimationButton(2, {50, 0, 90, 20}, "Back", {60, 40, 100, 80}, refreshed), onward};
    // Card 2's click action: an animation shown with the card (blue first), never clicked here.
    sb::FrameAnimation shown = RedThenBlue(kShownWithCard);
    std::swap(shown.frames[0], shown.frames[1]);
    s.resources.push_back({"Actn", 130, "", 0, 0,
                           sb::ActionRecord(sb::FrameAnimationButton(0, {}, "", {60, 40, 100, 80}, shown))});
    s.cards[1].actions = {0, 0, 130};
    server.Put(name, Built(s));
    const std::vector<std::string> shots = server.Shots("frames", 4);
    const BrowserRun run = RunPage(server, name, "160x120",
                                   {"--answer-alerts", "--click", "20,10@1000", "--click", "70,10@1100", "--click", "120,10@3900",
                                    "--screenshot", shots[0], "--screenshot-after", "1600", "--screenshot-after", "3700",
                                    "--screenshot-after", "4400", "--screenshot-after", "7000", "--quit-after-last", "400"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot playing(shots[0]), ended(shots[1]), holding(shots[2]), moved(shots[3]);
    ASSERT_EQ(playing.width, 160u);
    // Both play their first frame; the card round them stays.
    EXPECT_TRUE(Near(playing.At(30, 60), kRed)) << Hex(playing.At(30, 60)) << "\n" << Joined(run.log);
    EXPECT_TRUE(Near(playing.At(80, 60), kRed)) << Hex(playing.At(80, 60));
    EXPECT_TRUE(Near(playing.At(5, 100), kGrey)) << Hex(playing.At(5, 100));
    // Ended: the last frame stays; the other asked for the card again.
    EXPECT_TRUE(Near(ended.At(30, 60), kBlue)) << Hex(ended.At(30, 60));
    EXPECT_TRUE(Near(ended.At(80, 60), kGrey)) << Hex(ended.At(80, 60));
    // The third plays and holds its move to the next card.
    EXPECT_TRUE(Near(holding.At(130, 60), kRed)) << Hex(holding.At(130, 60));
    EXPECT_TRUE(Near(holding.At(5, 100), kGrey)) << Hex(holding.At(5, 100));
    // On card 2 at last, with the first frame of its own animation.
    EXPECT_TRUE(Near(moved.At(5, 100), kLeaf)) << Hex(moved.At(5, 100));
    EXPECT_TRUE(Near(moved.At(130, 60), kLeaf)) << Hex(moved.At(130, 60));
    EXPECT_TRUE(Near(moved.At(80, 60), kBlue)) << Hex(moved.At(80, 60));
}

// Two steps to the third card; two shots a second apart differ inside the flip-book's area (its
// square has gone round by about half a turn), and the card beside it stays.
TEST(FrameAnimInBrowser, TheDemosThirdCardPlaysItsFlipBook) {
    ServerFolder server;
    const std::string name = ServeDemo(server);
    const std::string shot = server.Name("flip.png");
    const std::string later = server.Name("flip-t2.png");
    const BrowserRun run = RunPage(server, name, "320x240",
                                   {"--answer-alerts", "--command", "204@600", "--command", "204@1000", "--screenshot", shot,
                                    "--screenshot-after", "2000", "--screenshot-after", "3100", "--quit-after-last", "400"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot first(shot), second(later);
    ASSERT_EQ(first.width, 320u);
    ASSERT_EQ(second.width, 320u);
    const sb::Rect area = sb::kDemoFlipBookArea;
    const int changed = Differing(first, second, {area.left, area.top, area.right, area.bottom}, nullptr, 2);
    EXPECT_GT(changed, 100) << "the flip-book's frames advanced between the shots\n" << Joined(run.log);
    EXPECT_EQ(first.At(110, 60), second.At(110, 60)) << "the card above it stays";
    // In the card's own colours (its grey ramp: 200 dark grey, 0 white), on a palette display the
    // nearest the display has: the middle, which the square never covers, and the square.
    const int slack = IndexedDisplay() ? 24 : DisplayBits() == 16 ? 8 : 0;
    for (const Shot* shown : {&first, &second}) {
        const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
        EXPECT_TRUE(NearRgb(shown->At(cx, cy), 55, 55, 55, slack)) << Hex(shown->At(cx, cy));
        int white = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                white += NearRgb(shown->At(x, y), 255, 255, 255, slack);
        EXPECT_GE(white, 20 * 20) << "the white square";
    }
}

}  // namespace
