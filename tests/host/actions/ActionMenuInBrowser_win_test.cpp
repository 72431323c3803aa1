// The object's actions in its context menu, in the real plug-in in the test browser: a right
// click on a button with the object tools lists what the button does and a sub-menu of every
// kind of action; a kind chosen from it by the keyboard runs its dialog, lands in the saved
// stack and is followed by a click after the stack is opened again. A button without actions
// lists "N&one", which opens its whole actions dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/TestBrowserRun_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kButtonRect = {200, 180, 300, 220};
constexpr int kButtonX = 250, kButtonY = 200;
constexpr int kNextCard = 204, kSave = 102;
constexpr sb::Rect kPlainRect = {20, 180, 120, 220};
constexpr int kPlainX = 70, kPlainY = 200;
constexpr uint16_t kButtonId = 7, kPlainId = 8;

// Three cards of their own colour; the second holds a button that goes to the next card and one
// that does nothing.
std::string ThreeCards() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.depth = 8;
    stack.experiencedUser = 1;
    for (uint16_t card = 1; card <= 3; ++card)
        stack.cards.push_back(sb::PictureCard(card, sb::SolidPicture(kWidth, kHeight, 8, card * 40u)));
    stack.cards[1].objects.push_back(sb::ShapedButton(kButtonId, kButtonRect, "Go", 0, 0, -1));
    stack.cards[1].objects.push_back(sb::ShapedButton(kPlainId, kPlainRect, "Stay", 0));
    stack.nextObjectId = kPlainId + 1;
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    return std::string(bytes.begin(), bytes.end());
}

struct Site : CachedSite {
    Site() : CachedSite(kWidth, kHeight) {}
};

std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

TEST(ActionMenuInBrowser, ARightClickListsTheButtonsActionsAndAKindChosenIsSavedAndFollowed) {
    Site site;
    const std::string name = "actmenu-" + std::to_string(GetCurrentProcessId()) + ".stk";
    site.server.Put(name, ThreeCards());
    const std::string copy = site.server.Name("actmenu-copy.stk");
    // Up reaches the kinds' sub-menu at the menu's end, Right opens it on "Another &Card", two
    // Downs go to "&Previous Card".
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--command", std::to_string(kNextCard) + "@900", "--key", "shift+Tab@1300",
               "--right-click", At(kButtonX, kButtonY) + "@1700", "--key", "Up Right Down Down Return@2300",
               "--dialog", "Transitions|50|choose:Dissolve@2900", "--dialog", "Transitions|OK|press@3100",
               "--right-click", At(kPlainX, kPlainY) + "@3600", "--key", "Up Up Return@4100", "--dialog",
               "Actions|&Next card|check@4700", "--dialog", "Transitions|OK|press@5200", "--dialog",
               "Actions|Done|press@5600", "--command", std::to_string(kSave) + "@6200", "--save-copy", copy,
               "--quit-after", "7200"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);

    // The button's menu: its title, the edit items, what it does now, then the kinds.
    const int menu = Find(run.log, "shown(menu) class=#32768");
    ASSERT_NE(menu, -1) << Joined(run.log);
    const std::string& items = run.log[menu];
    const size_t title = items.find("\"Button: Go...\""), clear = items.find("\"Clear \""),
                 current = items.find(" 15851 \"&Next Card\""), kinds = items.find("\"Actions\"");
    ASSERT_NE(title, std::string::npos) << items;
    ASSERT_NE(clear, std::string::npos) << items;
    ASSERT_NE(current, std::string::npos) << items;
    ASSERT_NE(kinds, std::string::npos) << items;
    EXPECT_LT(title, clear);
    EXPECT_LT(clear, current) << "the actions come after the menu's own items";
    EXPECT_LT(current, kinds);
    EXPECT_EQ(items.find("\"N&one\""), std::string::npos) << "a button with a destination has one entry\n" << items;
    // The sub-menu: every kind, in order; the script, which has no editor, grey.
    const int sub = Find(run.log, "shown(menu) class=#32768", menu + 1);
    ASSERT_NE(sub, -1) << Joined(run.log);
    std::string wanted;
    const char* texts[] = {"Another &Card", "&Next Card", "&Previous Card", "&Back", "&Home Stack", "&Last Marked Card",
                           "Another &Stack", "&Another Program", "&Internet Site...", "N&one", "So&unds...",
                           "Lo&go Script...", "N&ew Button Actions...", "&Video...", "Pla&y Animation...",
                           "&Timer...", "Testing &Function..."};
    for (int i = 0; i < 17; ++i)
        wanted += (i ? "; " : " ") + std::to_string(15850 + i) + " \"" + texts[i] + "\"" + (i == 11 ? " (disabled)" : "");
    EXPECT_NE(run.log[sub].find("items:" + wanted), std::string::npos) << run.log[sub];
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
    EXPECT_NE(Find(run.log, "dialog-action(Actions|Done|press) -> Button 1 ", actions), -1) << Joined(run.log);
    ASSERT_NE(FindHolding(run.log, "saved("), -1) << Joined(run.log);

    // The saved button goes to the previous card by "Dissolve".
    const std::string json = site.Report(copy);
    EXPECT_NE(json.find("{\"card\":2,\"button\":" + std::to_string(kButtonId) + ",\"destination\":-2,\"transition\":14,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"card\":2,\"button\":" + std::to_string(kPlainId) + ",\"destination\":-1,"), std::string::npos)
        << json;

    // Opened again, a click on the button on the second card shows the first.
    const std::string first = site.server.Name("first.png"), after = site.server.Name("first-t2.png");
    const BrowserRun again = site.Run(
        "actmenu-copy.stk", {"--answer-alerts", "--screenshot", first, "--screenshot-after", "700", "--command",
                             std::to_string(kNextCard) + "@900", "--click", At(kButtonX, kButtonY) + "@1500",
                             "--screenshot-after", "3000", "--quit-after", "3400"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const Shot before(first), shown(after);
    ASSERT_EQ(before.width, UINT(kWidth));
    ASSERT_EQ(shown.width, UINT(kWidth));
    EXPECT_EQ(Hex(shown.At(40, 40)), Hex(before.At(40, 40))) << "the first card again";
}

}  // namespace
