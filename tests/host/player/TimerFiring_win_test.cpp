// A timer button in the real plug-in, run by the test browser on the system's clock: nothing
// clicked, a 3-second timer moves to the next card by itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr sb::Rgb kRed{200, 40, 40}, kGreen{40, 200, 40};

sb::Card ColourCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(160, 120, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    return card;
}

// Nearer red (1) or green (2): a display of 256 colours shows them only roughly.
int CardOfColour(uint32_t pixel) {
    const int r = int(pixel >> 16 & 255), g = int(pixel >> 8 & 255);
    return r > g ? 1 : 2;
}

TEST(TimerFiring, AThreeSecondTimerMovesToTheNextCardBetweenTheShots) {
    ServerFolder server;
    const std::string name = "timer-" + ProcessTag() + ".stk";
    sb::Stack s;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {ColourCard(1, kRed), ColourCard(2, kGreen)};
    sb::Object timed = sb::ShapedButton(1, {0, 0, 40, 20}, "Later", 2, 0, -1);
    sb::SetTimer(timed, 3, kTimerOnce);
    s.cards[0].objects = {timed};
    const std::vector<uint8_t> bytes = sb::BuildStack(s).bytes;
    server.Put(name, std::string(bytes.begin(), bytes.end()));
    const std::string early = server.Name("timer.png"), late = server.Name("timer-t2.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                               "--size", "160x120", "--screenshot", early, "--screenshot-after", "1500",
                                               "--screenshot-after", "6000", "--quit-after-last", "400",
                                               "http://localhost/" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot first(early), second(late);
    ASSERT_EQ(first.width, 160u);
    ASSERT_EQ(second.width, 160u);
    EXPECT_EQ(CardOfColour(first.At(150, 110)), 1) << Hex(first.At(150, 110)) << ": still the first card";
    EXPECT_EQ(CardOfColour(second.At(150, 110)), 2) << Hex(second.At(150, 110)) << ": the timer moved on\n"
                                                    << Joined(run.log);
}

}  // namespace
