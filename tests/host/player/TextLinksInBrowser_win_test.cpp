// Text links through the real plug-in in the test browser: a click inside a link of a read-only
// field follows it to the next card, and so does a click on the demo's title word "Pageloom".
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
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

uint32_t Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
uint32_t Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }

// Card 1 (red) holds a read-only field whose words "to the green card" link to card 2 (green).
TEST(TextLinksInBrowser, AClickInsideAReadOnlyFieldsLinkFollowsIt) {
    ServerFolder server;
    const std::string name = ProcessUniqueName("links", "stk");
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    stack.cards = {ColourCard(1, {200, 40, 40}), ColourCard(2, {40, 200, 40})};
    sb::Object field = sb::TextField(5, {4, 4, 156, 40}, "Words", "go to the green card");
    field.words = {{26, 2}, {30, 1}};  // read-only
    stack.cards[0].objects.push_back(field);
    const sb::Object go = sb::ShapedButton(0, {}, "", 0, 0, 2);
    std::vector<uint8_t> link = sb::LinkData("to the green card", {}, &go);
    link[0] = 0, link[1] = 140;
    link[2] = 0, link[3] = 5;
    stack.resources.push_back({"Hlnk", 140, "to the green card", 0, 0, link});
    server.Put(name, Built(stack));
    const std::string before = server.Name("before.png");
    const std::string after = server.Name("before-t2.png");
    const BrowserRun run = RunPage(server, name, "160x120",
                                   {"--answer-alerts", "--click", "90,12@1200", "--screenshot", before, "--screenshot-after",
                                    "1000", "--screenshot-after", "4400", "--quit-after-last", "400"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot first(before), second(after);
    ASSERT_EQ(first.width, 160u);
    ASSERT_EQ(second.width, 160u);
    EXPECT_GT(Red(first.At(80, 100)), Green(first.At(80, 100)) + 60) << "card 1 before: " << Hex(first.At(80, 100));
    EXPECT_GT(Green(second.At(80, 100)), Red(second.At(80, 100)) + 60)
        << "card 2 after the click: " << Hex(second.At(80, 100)) << "\n" << Joined(run.log);
}

// The demo's second card shares the first's picture: the shot after the click on the title's
// link is compared with one of the second card reached by the Next command.
TEST(TextLinksInBrowser, TheDemosTitleLinkGoesToTheNextCard) {
    ServerFolder server;
    const std::string name = ServeDemo(server);
    auto shoot = [&](const std::string& shot, const std::vector<std::string>& action) {
        std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "3400", "--quit-after-last", "400"};
        Append(args, action);
        const BrowserRun run = RunPage(server, name, "320x240", args);
        EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        return Shot(shot);
    };
    const Shot clicked = shoot(server.Name("clicked.png"), {"--click", "195,38@1500"});
    const Shot next = shoot(server.Name("next.png"), {"--command", "204@1500"});
    const Shot still = shoot(server.Name("still.png"), {});
    ASSERT_EQ(clicked.width, 320u);
    ASSERT_EQ(next.width, 320u);
    ASSERT_EQ(still.width, 320u);
    const int differsFromNext = Differing(clicked, next, {0, 0, 320, 240}, nullptr, 2);
    const int differsFromFirst = Differing(clicked, still, {0, 0, 320, 240}, nullptr, 2);
    EXPECT_LT(differsFromNext, 200) << "the click left the demo on its second card";
    EXPECT_GT(differsFromFirst, 400) << "and not on the first";
}

}  // namespace
