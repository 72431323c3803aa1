// The demo stack as a newcomer meets it, through the real plug-in in the test browser: its first
// card shows the Logo graphic, and no object of a card lies over another's; a stack served from
// the web is called by its address's file name in the dialogs that name it, and the dialogs
// open on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

// The logo's rings, 4 pixels wide from the edge of its 32-pixel square at (20, 80): black,
// white, black, white. The card's picture below is a pattern of greys, which no ring matches.
// (Black and white are shown exactly on a palette display too, where the card's picture takes
// the system palette and the logo's pixels follow it.)
TEST(DemoInBrowser, TheFirstCardShowsItsLogo) {
    ServerFolder server;
    const std::string name = ServeDemo(server);
    const std::string shot = server.Name("logo.png");
    const BrowserRun run = RunPage(server, name, "320x240",
                                   {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1500", "--quit-after-last", "500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot card(shot);
    ASSERT_EQ(card.width, 320u);
    for (int ring = 0; ring < 4; ++ring) {
        const int grey = ring % 2 ? 255 : 0;
        const std::pair<int, int> points[] = {{20 + 4 * ring + 1, 96}, {36, 80 + 4 * ring + 2}, {51 - 4 * ring, 97}};
        for (const auto& [x, y] : points)
            EXPECT_TRUE(NearRgb(card.At(x, y), grey, grey, grey, 8)) << "ring " << ring << " at " << x << "," << y << ": "
                                                                      << Hex(card.At(x, y));
    }
}

// Each card's objects, with the background objects of the card whose picture it shares, lie
// apart: none covers another's name.
TEST(DemoInBrowser, NoObjectOfTheDemoLiesOverAnother) {
    const sb::Stack demo = sb::DemoStack();
    auto overlap = [](const sb::Rect& a, const sb::Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (const sb::Card& card : demo.cards) {
        std::vector<const sb::Object*> shown;
        for (const sb::Card& holder : demo.cards)
            if (card.background != 0 && holder.id == card.background)
                for (const sb::Object& o : holder.objects)
                    if (o.flags & 0x10)
                        shown.push_back(&o);
        for (const sb::Object& o : card.objects)
            shown.push_back(&o);
        for (size_t i = 0; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(overlap(shown[i]->rect, shown[j]->rect))
                    << "card " << card.id << ": \"" << shown[i]->name << "\" and \"" << shown[j]->name << "\"";
    }
}

// The stack's information, Save As and Open, each cancelled as soon as it shows: the first two
// name the stack by its address, not by its copy in the download cache; all lie on the screen
// although the plug-in's window sits at the screen's corner and is smaller than the Open dialog.
TEST(DemoInBrowser, AWebStackIsNamedByItsAddressAndItsDialogsOpenOnTheScreen) {
    ServerFolder server;
    const std::string name = ProcessUniqueName("named", "stk");
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 150;
    stack.cards.push_back(sb::PictureCard(1, sb::SolidPicture(200, 150, 8, 0)));
    server.Put(name, Built(stack));
    const BrowserRun run = RunPage(server, name, "200x150",
                                   {"--answer-alerts", "--close-dialogs", "--command", "303@800", "--command",
                                    "103" + OnceShown("About Stack - " + name, 800), "--command",
                                    "101" + OnceShown("Please name this Stack", 800), "--hover",
                                    "100,75" + OnceShown("Please select a stack", 800), "--quit-after-last", "500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    std::vector<std::string> dialogs;
    for (const std::string& line : run.log)
        if (StartsWith(line, "dialog("))
            dialogs.push_back(line);
    ASSERT_EQ(dialogs.size(), 3u) << Joined(run.log);
    EXPECT_EQ(dialogs[0].rfind("dialog(About Stack - " + name + ") at ", 0), 0u) << dialogs[0];
    const std::string stem = name.substr(0, name.size() - 4);
    EXPECT_NE(dialogs[1].find(" name=" + stem), std::string::npos) << "Save As proposes the address's name: " << dialogs[1];
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (const std::string& line : dialogs) {
        long left = -1, top = -1, right = -1, bottom = -1;
        const size_t at = line.find(") at ");
        ASSERT_NE(at, std::string::npos) << line;
        ASSERT_EQ(std::sscanf(line.c_str() + at + 5, "%ld,%ld,%ld,%ld", &left, &top, &right, &bottom), 4) << line;
        EXPECT_GE(left, 0) << line;
        EXPECT_GE(top, 0) << line;
        EXPECT_LE(right, screenWidth) << line;
        EXPECT_LE(bottom, screenHeight) << line;
    }
    EXPECT_LT(dialogs[2].find("Please select a stack"), dialogs[2].find(") at ")) << dialogs[2];
}

}  // namespace
