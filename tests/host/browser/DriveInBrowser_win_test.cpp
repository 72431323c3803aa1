// The real plug-in driven in the test browser as a person drives it: a click on a button moves
// on, a click puts a text field (a child window) in focus and keys type into it, a drag moves a
// graphic, Shift+Tab leaves browsing and a right click opens the card's menu, which Escape
// closes, the card's information dialog renames and marks the card, Save is answered "Save over
// original" and Save As is named in its dialog; the stack saved last, copied when the page
// closed, holds all of it and opens again as the walk left it. Missing dialogs and controls are
// reported and fail the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kFieldRect = {20, 20, 300, 60};  // the demo's second card's note
constexpr sb::Rect kGraphicRect = {20, 80, 50, 110};
constexpr int kNextCard = 204, kSave = 102, kSaveAs = 103, kCardInfo = 301;

// The demo's first two cards (8-bit pictures, converted for a deeper display, so Save asks about
// the colours), for a person who may edit (the card's menu opens on a right click), with a
// graphic on the second card that can be dragged in browse mode.
std::string WalkStack() {
    sb::Stack stack = sb::DemoStack();
    stack.cards.resize(2);
    stack.experiencedUser = 1;
    sb::Object graphic = sb::Graphic(stack.nextObjectId, kGraphicRect, "Block");
    const int width = kGraphicRect.right - kGraphicRect.left, height = kGraphicRect.bottom - kGraphicRect.top;
    graphic.mask.clear();
    graphic.trailer = false;
    graphic.words = {{16, 0}, {24, 0}, {30, 0}, {32, 0}, {34, static_cast<uint16_t>(height)},
                     {36, static_cast<uint16_t>(width)}, {54, 8}, {58, 28016}};
    graphic.data.assign(sb::MacRowBytes(width, 8) * height, 1);
    graphic.flags = 0x80;  // draggable in browse mode
    stack.cards[1].objects.push_back(graphic);
    ++stack.nextObjectId;
    return Built(stack);
}

// "at CLASS X,Y" of an input line: the window the input reached and the point in it.
bool InputTarget(const std::string& line, std::string& windowClass, int& x, int& y) {
    const size_t at = line.find(" at ");
    char name[64] = {};
    return at != std::string::npos && std::sscanf(line.c_str() + at + 4, "%63s %d,%d", name, &x, &y) == 3 &&
           !(windowClass = name).empty();
}

TEST(DriveInBrowser, AWalkByMouseKeysAndDialogsIsSavedAndOpensAgain) {
    CachedSite site;
    const std::string name = site.Serve("walk", WalkStack());
    const std::string savedAs = site.server.Name("walk-named.stk");
    const std::string copy = site.server.Name("walk-copy.stk");
    const std::string before = site.server.Name("walk.png"), after = site.server.Name("walk-t2.png");
    const std::string title = "Please name this Stack", card = "About Card - 2";
    std::vector<std::string> args = {"--answer-alert", "2340:2", "--screenshot", before, "--screenshot-after", "1000",
               "--click", "270,205@1200", "--click", "150,40@1700", "--key", "End Space w o r l d shift+1@2000",
               "--drag", "35,95-85,155@2600", "--key", "shift+Tab@3100", "--right-click", "160,200@3400",
               "--key", "Escape" + OnceShown("menu", 300), "--key", "shift+Tab@4000", "--command", std::to_string(kCardInfo) + "@4200",
               "--dialog", card + "|Card name:|type:Walked@4600", "--dialog", card + "|Marked card|check@4700",
               "--dialog", card + "|OK|press@4800", "--command", std::to_string(kSave) + "@5100"};
    Append(args, SaveAsDialogAt(copy, 5500));
    Append(args, {"--command", std::to_string(kSaveAs) + "@6300"});
    Append(args, SaveAsDialogAt(savedAs, 6800));
    Append(args, {"--screenshot-after", "7700", "--save-copy", copy, "--quit-after-last", "1000"});
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);

    // The click reached the field's own window, at the point in its coordinates.
    std::string windowClass;
    int x = -1, y = -1;
    const int click = Find(run.log, "click(150,40) at ");
    ASSERT_NE(click, -1) << Joined(run.log);
    ASSERT_TRUE(InputTarget(run.log[click], windowClass, x, y)) << run.log[click];
    EXPECT_EQ(windowClass, "LMText") << run.log[click];
    EXPECT_NEAR(x, 150 - kFieldRect.left, 4) << run.log[click];
    EXPECT_NEAR(y, 40 - kFieldRect.top, 4) << run.log[click];
    EXPECT_NE(Find(run.log, "key(End Space w o r l d shift+1) focus=LMText"), -1) << Joined(run.log);
    EXPECT_EQ(Find(run.log, "drag(35,95-85,155) from LoomTestBrowserEmbed 35,95 to LoomTestBrowserEmbed 85,155"),
              Find(run.log, "drag(")) << Joined(run.log);
    // Shift+Tab left browsing for the object tools, where a right click opens the card's menu;
    // Escape closed it, and Shift+Tab again went back to browsing.
    const int menu = Find(run.log, "shown(menu) class=#32768");
    ASSERT_NE(menu, -1) << Joined(run.log);
    EXPECT_NE(run.log[menu].find(" 303 \"About This Stack...\""), std::string::npos) << run.log[menu];
    EXPECT_NE(Find(run.log, "gone(menu)", menu), -1) << Joined(run.log);
    // The card's information dialog renamed and marked the card.
    for (const char* action : {"|Card name:|type:Walked) -> Edit 420 ", "|Marked card|check) -> Button 411 ",
                               "|OK|press) -> Button 1 "})
        EXPECT_NE(Find(run.log, "dialog-action(" + card + action), -1) << action << "\n" << Joined(run.log);
    // Save of the web stack asks where (the walk names the copy), never about the colours: the
    // download is not the author's file to replace.
    EXPECT_EQ(Find(run.log, "alert(id=2340)"), -1) << Joined(run.log);
    const int overOriginal = FindHolding(run.log, "saved(" + copy);
    EXPECT_NE(overOriginal, -1) << "saved where the person said\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "saved(" + site.cache), -1) << "never into the download cache\n" << Joined(run.log);
    // Save As: its dialog in front of the page, named through its controls.
    const int dialog = Find(run.log, "shown(" + title + ") class=#32770");
    ASSERT_NE(dialog, -1) << Joined(run.log);
    EXPECT_NE(run.log[dialog].find(" front=yes "), std::string::npos) << run.log[dialog];
    EXPECT_NE(Find(run.log, "dialog-action(" + title + "|Save|press) -> Button 1 "), -1) << Joined(run.log);
    const int named = Find(run.log, "saved(" + savedAs + ")");
    ASSERT_NE(named, -1) << Joined(run.log);
    EXPECT_GT(named, overOriginal);
    EXPECT_NE(Find(run.log, "save-copy(" + copy + ") -> ok: from " + savedAs), -1) << Joined(run.log);
    EXPECT_EQ(ReadFile(copy), ReadFile(savedAs));

    // The copy holds the card's new name and mark, the typed text and the moved graphic, and
    // opens again on its second card as
    // the walk left it there.
    const std::string json = site.Report(copy);
    const std::vector<std::string> texts = ReportedTexts(json);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "A card sharing the first picture world!"), texts.end()) << json;
    EXPECT_EQ(ReportedValue(ReportedObjectWithId(json, 20), "rect"), "[70,140,100,170]") << json;
    const std::string walkedCard = ReportedObject(json, "Walked");
    EXPECT_EQ(ReportedNumber(walkedCard, "background"), 1) << json;
    EXPECT_EQ(ReportedNumber(walkedCard, "flags"), kCardMarked) << json;
    const std::string again = site.server.Name("again.png");
    const BrowserRun reopened =
        site.Run("walk-copy.stk", {"--answer-alerts", "--command", std::to_string(kNextCard) + "@900", "--screenshot",
                                   again, "--screenshot-after", "1500", "--quit-after-last", "500"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const Shot walked(after), shown(again);
    ASSERT_EQ(walked.width, UINT(kWidth));
    ASSERT_EQ(shown.width, UINT(kWidth));
    // On a 16-bit display the card shows with six bits of green, and the stack file keeps 16-bit
    // pictures with five: one step of a five-bit channel is allowed.
    int differing = 0;
    RECT where = {kWidth, kHeight, -1, -1};
    for (int row = 0; row < kHeight; ++row)
        for (int column = 0; column < kWidth; ++column) {
            const uint32_t was = walked.At(column, row);
            if (!NearRgb(shown.At(column, row), was >> 16 & 255, was >> 8 & 255, was & 255, 8)) {
                ++differing;
                where = {std::min<LONG>(where.left, column), std::min<LONG>(where.top, row),
                         std::max<LONG>(where.right, column), std::max<LONG>(where.bottom, row)};
            }
        }
    EXPECT_EQ(differing, 0) << "pixels of the second card unlike the walk's, within " << where.left << "," << where.top
                            << " - " << where.right << "," << where.bottom << ": " << Hex(walked.At(where.left, where.top))
                            << " then " << Hex(shown.At(where.left, where.top));
    // The graphic left its place: there the card shows as it did before the walk's drag.
    EXPECT_NE(shown.At(85, 155), shown.At(35, 95));
}

// A --dialog whose control or window is not there, and a --save-copy with nothing saved, are
// logged; the dialog without the control is cancelled, and the run ends with the exit code of a
// missed dialog. A dialog shown before its --dialog's time is left to it by --close-dialogs.
TEST(DriveInBrowser, WhatIsNotThereIsReportedAndFailsTheRun) {
    CachedSite site;
    const std::string name = "missing-" + ProcessTag() + ".stk";
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.cards.push_back(sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 8, 0)));
    site.server.Put(name, Built(stack));
    const std::string info = "About Stack - " + name;
    const std::string copy = site.server.Name("never.stk");
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--command", "303@800", "--dialog", info + "|Bogus|press@1300",
                                           "--dialog", "Nothing here|OK|press@1600", "--save-copy", copy,
                                           "--quit-after", "5500"});
    EXPECT_EQ(run.exitCode, 14) << run.errors << Joined(run.log);
    const int shown = Find(run.log, "shown(" + info + ") class=#32770 at ");
    ASSERT_NE(shown, -1) << Joined(run.log);
    EXPECT_NE(run.log[shown].find(" 2 Button \"Cancel\""), std::string::npos) << run.log[shown];
    const int missed = Find(run.log, "dialog-action(" + info + "|Bogus|press) -> no such control in \"" + info + "\"");
    ASSERT_NE(missed, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "dialog(" + info + ") at ", missed), -1) << "cancelled\n" << Joined(run.log);
    EXPECT_NE(Find(run.log, "gone(" + info + ")", missed), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "dialog-action(Nothing here|OK|press) -> no such window; shown: none"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "save-copy(" + copy + ") -> failed: the plug-in saved no stack"), -1) << Joined(run.log);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    // Shown at once, acted on a second later: --close-dialogs leaves it to the action ("*": the
    // first dialog shown).
    const BrowserRun later = site.Run(name, {"--close-dialogs", "--command", "303@500", "--dialog", "*|Cancel|press@2000",
                                             "--quit-after", "3000"});
    EXPECT_EQ(later.exitCode, 0) << later.errors << Joined(later.log);
    const int cancelled = Find(later.log, "dialog-action(*|Cancel|press) -> Button 2 \"Cancel\"");
    ASSERT_NE(cancelled, -1) << Joined(later.log);
    const int closed = Find(later.log, "dialog(" + info + ")");
    EXPECT_TRUE(closed == -1 || closed > cancelled) << "not closed before its action\n" << Joined(later.log);
    EXPECT_NE(Find(later.log, "gone(" + info + ")", cancelled), -1) << Joined(later.log);
}

}  // namespace
