// The object's actions in its context menu, in the real plug-in in the test browser: a right
// click on a button, a graphic or a text object with the object tools lists what the object
// does and a sub-menu of every kind of action; a kind chosen from it by the keyboard runs its
// dialog, lands in the saved stack and is followed by a click after the stack is opened again.
// A button without actions lists "N&one", which opens its whole actions dialog.
#include <windows.h>

#include <gtest/gtest.h>

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

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kButtonRect = {200, 180, 300, 220};
constexpr int kButtonX = 250, kButtonY = 200;
constexpr int kNextCard = 204, kSave = 102;
constexpr sb::Rect kPlainRect = {20, 180, 120, 220};
constexpr int kPlainX = 70, kPlainY = 200;
constexpr uint16_t kButtonId = 7, kPlainId = 8, kGraphicId = 9, kFieldId = 10;
constexpr sb::Rect kGraphicRect = {20, 20, 100, 80}, kFieldRect = {200, 20, 300, 80};
constexpr int kGraphicX = 60, kGraphicY = 50, kFieldX = 250, kFieldY = 50;
constexpr uint16_t kNextCardAction = 300;

// Three cards of their own colour; the second holds a button that goes to the next card and one
// that does nothing, a graphic that goes to the next card and a text object that does nothing.
std::string ThreeCards() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 8);
    for (uint16_t card = 1; card <= 3; ++card)
        stack.cards.push_back(sb::PictureCard(card, sb::SolidPicture(kWidth, kHeight, 8, card * 40u)));
    stack.cards[1].objects.push_back(sb::ShapedButton(kButtonId, kButtonRect, "Go", 0, 0, -1));
    stack.cards[1].objects.push_back(sb::ShapedButton(kPlainId, kPlainRect, "Stay", 0));
    sb::Object graphic = sb::Graphic(kGraphicId, kGraphicRect, "Tile");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(kGraphicRect.right - kGraphicRect.left,
                                                    kGraphicRect.bottom - kGraphicRect.top, 8, 0));
    graphic.words.push_back({kGraphicAction, kNextCardAction});
    stack.cards[1].objects.push_back(graphic);
    stack.cards[1].objects.push_back(sb::TextField(kFieldId, kFieldRect, "Note", "Words"));
    const sb::Object toNext = sb::ShapedButton(99, {0, 0, 1, 1}, "", 2, 0, -1);
    stack.resources.push_back({"Actn", kNextCardAction, "", 0, 0, sb::ActionRecord(toNext)});
    stack.nextObjectId = kFieldId + 1;
    return Built(stack);
}

std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// The menu an object's right click showed at or after from, with its title, an item for what
// the object does now and the kinds' sub-menu after the menu's own items; then the sub-menu,
// listing every kind in order, the script, which has no editor, grey. The sub-menu's line, or
// -1.
int CheckObjectMenu(const std::vector<std::string>& log, int from, const std::string& title, const std::string& current) {
    const int menu = Find(log, "shown(menu) class=#32768", from);
    if (menu == -1) {
        ADD_FAILURE() << "no menu for " << title << "\n" << Joined(log);
        return -1;
    }
    const std::string& items = log[menu];
    const size_t at = items.find("\"" + title + "\""), clear = items.find("\"Clear \""), now = items.find(current),
                 kinds = items.find("\"Actions\"");
    EXPECT_NE(at, std::string::npos) << items;
    EXPECT_NE(now, std::string::npos) << items;
    EXPECT_TRUE(at < clear && clear < now && now < kinds && kinds != std::string::npos)
        << "the actions come after the menu's own items\n" << items;
    const int sub = Find(log, "shown(menu) class=#32768", menu + 1);
    if (sub == -1) {
        ADD_FAILURE() << "no kinds for " << title << "\n" << Joined(log);
        return -1;
    }
    std::string wanted;
    const char* texts[] = {"Another &Card", "&Next Card", "&Previous Card", "&Back", "&Home Stack", "&Last Marked Card",
                           "Another &Stack", "&Another Program", "&Internet Site...", "N&one", "So&unds...",
                           "Lo&go Script...", "N&ew Button Actions...", "&Video...", "Pla&y Animation...",
                           "&Timer...", "Testing &Function..."};
    for (int i = 0; i < 17; ++i)
        wanted += (i ? "; " : " ") + std::to_string(15850 + i) + " \"" + texts[i] + "\"" + (i == 11 ? " (disabled)" : "");
    EXPECT_NE(log[sub].find("items:" + wanted), std::string::npos) << log[sub];
    return sub;
}

TEST(ActionMenuInBrowser, ARightClickListsAnObjectsActionsAndAKindChosenIsSavedAndFollowed) {
    CachedSite site;
    const std::string name = site.Serve("actmenu", ThreeCards());
    const std::string copy = site.server.Name("actmenu-copy.stk");
    // Up reaches the kinds' sub-menu at the menu's end, Right opens it on "Another &Card", a Down
    // goes to "&Next Card", two to "&Previous Card". The button and the graphic go back a card
    // instead, the text object on; the plain button takes "N&one", just above the kinds.
    // Each sub-menu is a menu shown of its own: the keys wait for the menu of each right click.
    const std::string previous = "Up Right Down Down Return", next = "Up Right Down Return";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--command", std::to_string(kNextCard) + "@900", "--key", "shift+Tab@1300",
               "--right-click", At(kButtonX, kButtonY) + "@1700", "--key", previous + OnceShown("menu", 400),
               "--dialog", "Transitions|50|choose:Dissolve@2900", "--dialog", "Transitions|OK|press@3100",
               "--right-click", At(kPlainX, kPlainY) + "@3600", "--key", "Up Up Return" + OnceShown("menu", 400, kNextShown), "--dialog",
               "Actions|&Next card|check@4700", "--dialog", "Transitions|OK|press@5200", "--dialog",
               "Actions|Done|press@5600", "--right-click", At(kGraphicX, kGraphicY) + "@6100",
               "--key", previous + OnceShown("menu", 400, kNextShown),
               "--dialog", "Transitions|OK|press@7200", "--right-click", At(kFieldX, kFieldY) + "@7700",
               "--key", next + OnceShown("menu", 400, kNextShown), "--dialog", "Transitions|OK|press@8800",
               "--command", std::to_string(kSave) + "@9400", "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);

    // The button lists where it goes, once; the kind chosen ran its dialog.
    const int sub = CheckObjectMenu(run.log, 0, "Button: Go...", " 15851 \"&Next Card\"");
    ASSERT_NE(sub, -1);
    const std::string& buttonMenu = run.log[Find(run.log, "shown(menu) class=#32768")];
    EXPECT_EQ(buttonMenu.find("\"N&one\""), std::string::npos) << "a button with a destination has one entry";
    const int dialog = Find(run.log, "shown(Transitions) class=#32770", sub);
    ASSERT_NE(dialog, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "dialog-action(Transitions|OK|press) -> Button 1 ", dialog), -1) << Joined(run.log);
    // The plain button's menu offers "N&one" before the kinds; it opened the actions dialog.
    const int plain = Find(run.log, "shown(menu) class=#32768", dialog);
    ASSERT_NE(plain, -1) << Joined(run.log);
    EXPECT_NE(run.log[plain].find("\"Button: Stay...\""), std::string::npos) << run.log[plain];
    EXPECT_NE(run.log[plain].find(" 15859 \"N&one\""), std::string::npos) << run.log[plain];
    const int actions = Find(run.log, "shown(Actions) class=#32770", plain);
    ASSERT_NE(actions, -1) << Joined(run.log);
    const int done = Find(run.log, "dialog-action(Actions|Done|press) -> Button 1 ", actions);
    ASSERT_NE(done, -1) << Joined(run.log);
    // The graphic lists where it goes, the text object that it does nothing.
    const int graphic = CheckObjectMenu(run.log, done, "Graphic: Tile...", " 15851 \"&Next Card\"");
    ASSERT_NE(graphic, -1);
    const int field = CheckObjectMenu(run.log, graphic + 1, "Text: Note...", " 15859 \"N&one\"");
    ASSERT_NE(field, -1);
    EXPECT_NE(Find(run.log, "dialog-action(Transitions|OK|press) -> Button 1 ", field), -1) << Joined(run.log);
    ASSERT_NE(FindHolding(run.log, "saved("), -1) << Joined(run.log);

    // The saved button goes to the previous card by "Dissolve".
    const std::string json = site.Report(copy);
    const std::string back = ReportedDestination(json, 2, kButtonId);
    EXPECT_EQ(ReportedNumber(back, "destination"), -2) << json;
    EXPECT_EQ(ReportedNumber(back, "transition"), 14) << json;
    EXPECT_EQ(ReportedNumber(ReportedDestination(json, 2, kPlainId), "destination"), -1) << json;

    // Opened again, on the second card: the button and the graphic show the first card, the
    // text object the third.
    const std::string first = site.server.Name("first.png");
    for (int i = 2; i <= 5; ++i)
        site.server.Name("first-t" + std::to_string(i) + ".png");
    const std::string second = std::to_string(kNextCard);
    const BrowserRun again = site.Run(
        "actmenu-copy.stk",
        {"--answer-alerts", "--screenshot", first, "--screenshot-after", "700", "--command", second + "@900",
         "--click", At(kButtonX, kButtonY) + "@1500", "--screenshot-after", "3000", "--command", second + "@3300",
         "--screenshot-after", "3700", "--click", At(kGraphicX, kGraphicY) + "@4000", "--screenshot-after", "5500",
         "--command", second + "@5800", "--click", At(kFieldX, kFieldY) + "@6300", "--screenshot-after", "7800",
         "--quit-after-last", "400"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const Shot one(first), byButton(site.server.Name("first-t2.png")), two(site.server.Name("first-t3.png")),
        byGraphic(site.server.Name("first-t4.png")), byText(site.server.Name("first-t5.png"));
    ASSERT_EQ(one.width, UINT(kWidth));
    const int x = 160, y = 120;  // clear of the objects
    EXPECT_EQ(Hex(byButton.At(x, y)), Hex(one.At(x, y))) << "the button showed the first card";
    EXPECT_NE(Hex(two.At(x, y)), Hex(one.At(x, y))) << "the second card";
    EXPECT_EQ(Hex(byGraphic.At(x, y)), Hex(one.At(x, y))) << "the graphic showed the first card";
    EXPECT_NE(Hex(byText.At(x, y)), Hex(one.At(x, y))) << "the text object left the second card";
    EXPECT_NE(Hex(byText.At(x, y)), Hex(two.At(x, y))) << "for the third";
}

}  // namespace
