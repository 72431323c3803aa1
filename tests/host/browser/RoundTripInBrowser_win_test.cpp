// Edited stacks saved through the real plug-in in the test browser and opened again: every card
// shows as it did before the edit. Stacks of 4, 8, 16 and 32-bit pictures with a card sharing
// another's picture, text and graphic objects; New Card and Save answered "Save over original";
// then a walk that types into a text field, drags a graphic, makes a button that goes to the
// next card and declines the conversion, saving under a new name, whose button still works.
#include <regex>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "cardview/transitions/TransitionTable.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kFieldRect = {20, 20, 300, 60};
constexpr sb::Rect kGraphicRect = {20, 80, 50, 110};
constexpr int kCards = 3;
constexpr int kNextCard = 204, kSave = 102, kNewCard = 155, kNewButton = 306;

// Card 1 holds its picture, a text field and a graphic that browse mode may drag; card 2 shares
// card 1's picture and has a field of its own; card 3 holds another picture and a button.
std::string RoundTripStack(int depth) {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, static_cast<uint16_t>(depth));
    uint16_t id = 1;
    sb::Card first = sb::PictureCard(1, sb::GradientPicture(kWidth, kHeight, depth));
    first.objects.push_back(sb::TextField(id++, kFieldRect, "Note", "Hello"));
    sb::Object graphic = sb::Graphic(id++, kGraphicRect, "Block");
    sb::SetGraphicPicture(graphic, sb::GradientPicture(kGraphicRect.right - kGraphicRect.left,
                                                       kGraphicRect.bottom - kGraphicRect.top, 8));
    graphic.flags = 0x80;  // draggable in browse mode
    first.objects.push_back(graphic);
    sb::Card second = sb::SharedCard(2, 1);
    second.objects.push_back(sb::TextField(id++, {40, 150, 280, 190}, "Other", "A card sharing the picture"));
    sb::Picture own = sb::GradientPicture(kWidth, kHeight, depth);
    std::reverse(own.pixels.begin(), own.pixels.end());
    sb::Card third = sb::PictureCard(3, own);
    third.objects.push_back(sb::Button(id++, {200, 180, 300, 220}, "Onward"));
    stack.cards = {first, second, third};
    stack.nextObjectId = id;
    return Built(stack);
}

// The options that take a shot of each card in turn from the first, starting at startMs, and
// the files they go to (base.png, base-t2.png, ...).
std::vector<std::string> ShotsOfEveryCard(CachedSite& site, const std::string& base, int startMs, std::vector<std::string>* files) {
    std::vector<std::string> args = {"--screenshot", site.server.Name(base + ".png")};
    for (int card = 0; card < kCards; ++card) {
        const int at = startMs + card * 700;
        if (card > 0)
            args.insert(args.end(), {"--command", std::to_string(kNextCard) + "@" + std::to_string(at - 400)});
        args.insert(args.end(), {"--screenshot-after", std::to_string(at)});
        files->push_back(card == 0 ? site.server.Name(base + ".png")
                                   : site.server.Name(base + "-t" + std::to_string(card + 1) + ".png"));
    }
    return args;
}

// Pixels of the shown shot unlike the wanted one, outside the left-out rectangle; on a 16-bit
// display one step of a five-bit channel, what a 16-bit stack file keeps, is allowed.
std::string Unlike(const Shot& wanted, const Shot& shown, RECT leftOut = {}) {
    if (wanted.width != UINT(kWidth) || shown.width != UINT(kWidth))
        return "shots of " + std::to_string(wanted.width) + " and " + std::to_string(shown.width) + " pixels wide";
    const int slack = DisplayBits() == 16 ? 8 : 0;
    int differing = 0;
    RECT where = {kWidth, kHeight, -1, -1};
    for (int row = 0; row < kHeight; ++row)
        for (int column = 0; column < kWidth; ++column) {
            if (column >= leftOut.left && column < leftOut.right && row >= leftOut.top && row < leftOut.bottom)
                continue;
            const uint32_t was = wanted.At(column, row);
            if (!NearRgb(shown.At(column, row), was >> 16 & 255, was >> 8 & 255, was & 255, slack)) {
                ++differing;
                where = {std::min<LONG>(where.left, column), std::min<LONG>(where.top, row),
                         std::max<LONG>(where.right, column), std::max<LONG>(where.bottom, row)};
            }
        }
    if (differing == 0)
        return "";
    return std::to_string(differing) + " pixels within " + std::to_string(where.left) + "," + std::to_string(where.top) +
           " - " + std::to_string(where.right) + "," + std::to_string(where.bottom) + ", first " +
           Hex(wanted.At(where.left, where.top)) + " then " + Hex(shown.At(where.left, where.top));
}

class RoundTrip : public testing::TestWithParam<int> {};

// New Card after the last card, Save, "Save over original"; the saved copy shows every card of
// the stack as the first run showed it.
TEST_P(RoundTrip, NewCardSavedOverTheOriginalShowsEveryCardAsBefore) {
    const int depth = GetParam();
    if (IndexedDisplay() && depth > 8)
        GTEST_SKIP() << "a palette display shows " << depth << "-bit pictures through its 256 colours";
    CachedSite site;
    const std::string name = site.Serve("round" + std::to_string(depth), RoundTripStack(depth));
    const std::string copy = site.server.Name("round-copy.stk");
    std::vector<std::string> before, after;
    std::vector<std::string> args = ShotsOfEveryCard(site, "before", 1000, &before);
    args.insert(args.end(), {"--answer-alert", "2340:2", "--command", std::to_string(kNewCard) + "@2800", "--command",
                             std::to_string(kSave) + "@3300", "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(id=2340)"), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(id=2694)"), -1) << "the write failed\n" << Joined(run.log);
    ASSERT_NE(FindHolding(run.log, "saved(" + copy + ")"), -1) << "saved where the person said\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "saved(" + site.cache), -1) << Joined(run.log);

    std::vector<std::string> again = ShotsOfEveryCard(site, "after", 1000, &after);
    again.insert(again.end(), {"--answer-alerts", "--quit-after-last", "500"});
    const BrowserRun reopened = site.Run("round-copy.stk", again);
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    for (int card = 0; card < kCards; ++card)
        EXPECT_EQ(Unlike(Shot(before[card]), Shot(after[card])), "") << "card " << card + 1 << " of a " << depth
                                                                      << "-bit stack";
}

INSTANTIATE_TEST_SUITE_P(PictureDepths, RoundTrip, testing::Values(4, 8, 16, 32),
                         [](const testing::TestParamInfo<int>& param) { return std::to_string(param.param) + "Bit"; });

// On an 8-bit stack: the first card's field typed into, its graphic dragged, a new button moved
// to the bottom whose actions go to the next card with a transition, a new text object with typed
// words; Save of the stack from the web asks where to save it, without a question about the
// conversion (on a palette display Save As is chosen). The copy holds all of it, shows the other
// cards as before, and its new button moves to the next card.
TEST(RoundTripWalk, NewButtonTextAndMovedGraphicSavedAsANewStack) {
    CachedSite site;
    const std::string name = site.Serve("rwalk", RoundTripStack(8));
    const std::string savedAs = site.server.Name("rwalk-named.stk");
    const std::string copy = site.server.Name("rwalk-copy.stk");
    std::vector<std::string> before;
    std::vector<std::string> args = ShotsOfEveryCard(site, "rwalk", 1000, &before);
    std::vector<std::string> walk = {
        "--command", "202@2700", "--click", "150,40@3000", "--key", "End Space w o r l d@3300",
        "--drag", "35,95-85,165@3800",
        // The new button, dragged to the bottom while it is placed; its actions: the next card.
        "--command", std::to_string(kNewButton) + "@4300", "--dialog", "Button Appearance|OK|press@4700",
        "--answer-alert", "2328:1", "--drag", "160,120-160,205@5400", "--click", "300,100@6000",
        "--dialog", "Actions|Next card|press@6500", "--dialog", "*|50|choose:Right to left@7000",
        "--dialog", "*|OK|press@7200", "--dialog", "Actions|Done|press@7600",
        // The new text object, made shorter, and words typed into it.
        "--command", "308@8000", "--answer-alert", "2370:1", "--drag", "240,180-240,130@8700",
        "--click", "300,100@9300", "--dialog", "Text Appearance|OK|press@9800", "--click", "160,95@10300",
        "--keys", "Typed@10700",
        // Save asks where: Save As names a new stack.
        "--command", (IndexedDisplay() ? "103" : std::to_string(kSave)) + "@11300"};
    Append(walk, SaveAsDialogAt(savedAs, 11900));
    Append(walk, {"--save-copy", copy, "--quit-after-last", "1500"});
    args.insert(args.end(), walk.begin(), walk.end());
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(id=2340)"), -1) << "the download is not the author's file to convert\n"
                                                           << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(id=2694)"), -1) << "the write failed\n" << Joined(run.log);
    ASSERT_NE(Find(run.log, "saved(" + savedAs + ")"), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "saved(" + site.cache), -1) << "the original stays as it was\n" << Joined(run.log);

    const std::string json = site.Report(copy);
    const std::vector<std::string> texts = ReportedTexts(json);
    const auto holding = [&](const std::string& words) {
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(words) != std::string::npos; });
    };
    EXPECT_TRUE(holding("Hello world")) << json;
    EXPECT_TRUE(holding("Typed")) << json;
    EXPECT_EQ(ReportedValue(ReportedObjectWithId(json, 2), "rect"), "[70,150,100,180]") << json;
    EXPECT_NE(ReportedObject(json, "New Button"), "") << json;
    // Its actions: the next card, by the transition chosen second in the list ("Right to left").
    const std::string move = ReportedDestination(json, 1, 5);
    EXPECT_EQ(ReportedNumber(move, "destination"), -1) << json;
    EXPECT_EQ(ReportedNumber(move, "transition"), kTransitionListNumbers[1]) << json;

    // Cards 2 and 3 show as before; a click on the new button goes to card 2.
    std::vector<std::string> after;
    std::vector<std::string> again = ShotsOfEveryCard(site, "rwalk-again", 1000, &after);
    const std::string clicked = site.server.Name("rwalk-again-t4.png");
    again.insert(again.end(), {"--command", "202@2700", "--click", "160,205@3000", "--screenshot-after", "4200",
                               "--answer-alerts", "--quit-after-last", "400"});
    const BrowserRun reopened = site.Run("rwalk-copy.stk", again);
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    // On a palette display nothing is converted, and the third card was only looked at: it is
    // stored as it came. It is fitted to the palette again for showing, after a first card now
    // stored in the shown colours, so there its record is compared rather than its pixels.
    const auto thirdCard = [](const std::string& report) {
        return std::regex_replace(ReportedCard(report, kCards), std::regex("\"offset\":[0-9]+,"), "");
    };
    if (IndexedDisplay()) {
        EXPECT_EQ(thirdCard(json), thirdCard(site.Report(site.server.Name(name))));
    }
    for (int card = 1; card < (IndexedDisplay() ? kCards - 1 : kCards); ++card)
        EXPECT_EQ(Unlike(Shot(before[card]), Shot(after[card])), "") << "card " << card + 1;
    EXPECT_EQ(Unlike(Shot(before[1]), Shot(clicked)), "") << "the new button goes to the next card\n"
                                                          << Joined(reopened.log);
}

}  // namespace
