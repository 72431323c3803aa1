// Command 308 in the real plug-in under the test browser: the question answered, the new field
// shows a quarter in from the card's corner, half the card's size, with its marching frame.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kGreen = 0x00A000;

bool IsReddish(uint32_t pixel) { return (pixel >> 16 & 255) > 160 && (pixel >> 8 & 255) < 90 && (pixel & 255) < 90; }

TEST(NewTextObjectInBrowser, Command308PlacesAFramedFieldAQuarterIn) {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.depth = 32;
    stack.cards = {sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen))};
    ServerFolder server;
    const std::string name = ServeStack(server, "place", stack);
    const std::string shot = server.Name("place.png");
    server.Name("place-t2.png");
    const BrowserRun run =
        RunBrowser(server, {"--dll", PluginPath(), "--log", "--answer-alerts", "--close-dialogs", "--size", "320x240",
                            "--command", "308@1500", "--screenshot", shot, "--screenshot-after", "1000",
                            "--screenshot-after", "3500", "--quit-after-last", "1000", server.path + "\\" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "2370"), -1) << "the question was asked\n" << Joined(run.log);

    const Shot before(shot);
    const Shot after(server.path + "\\place-t2.png");
    ASSERT_EQ(after.width, UINT(kWidth)) << Joined(run.log);
    // The field covers 80,60 to 240,180: inside, the card (however the display shows it) is
    // covered; outside it is as it was.
    EXPECT_NE(after.At(160, 120), before.At(160, 120)) << Hex(after.At(160, 120));
    EXPECT_NE(after.At(100, 170), before.At(100, 170)) << Hex(after.At(100, 170));
    EXPECT_EQ(after.At(40, 30), before.At(40, 30)) << "outside stays the card's";
    EXPECT_EQ(after.At(280, 210), before.At(280, 210));
    // The frame's red dashes run along the rectangle's top and left edges.
    int redTop = 0, redLeft = 0;
    for (int x = 80; x < 240; ++x)
        for (int y = 57; y <= 62; ++y)
            redTop += IsReddish(after.At(x, y)) ? 1 : 0;
    for (int y = 60; y < 180; ++y)
        for (int x = 77; x <= 82; ++x)
            redLeft += IsReddish(after.At(x, y)) ? 1 : 0;
    EXPECT_GT(redTop, 10);
    EXPECT_GT(redLeft, 10);
}

}  // namespace
