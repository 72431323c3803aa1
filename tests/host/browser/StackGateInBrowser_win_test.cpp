// The open stack replaced only through its gate, in the real plug-in in the test browser: a
// stack a link asked for that arrives late, after an edit, asks before it replaces the edited
// one; a ready-made stack chosen in a new stack that was edited asks too; a button's card walk
// from a stack never saved into another stack, kept, lands on the button after Save As; and one
// within that stack asks nothing and keeps it.
// Each walk ends with Save, the saved file read again by the report tool.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "resources/info_ids.h"
#include "tests/support/ReportJson.h"
#include "tests/support/TestBrowserRun_win.h"
#include "tests/support/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rgb kRed{200, 40, 40}, kGreen{40, 200, 40}, kBlue{40, 40, 200};
constexpr sb::Rect kLinkRect{240, 150, 300, 180};
constexpr int kSave = 102;

// Cards of the colours given, for a person who may edit.
sb::Stack ColourStack(std::initializer_list<sb::Rgb> colours) {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.experiencedUser = 1;
    uint16_t id = 1;
    for (const sb::Rgb& colour : colours)
        stack.cards.push_back(ColourCard(id++, colour));
    stack.nextObjectId = 1;
    return stack;
}

// Three cards whose first holds a button to the first card of the stack named.
sb::Stack LinkStack(const std::string& other) {
    sb::Stack stack = ColourStack({kRed, kGreen, kBlue});
    sb::Object link = sb::ShapedButton(1, kLinkRect, "Away", 1);
    link.words.push_back({kButtonDestination, static_cast<uint16_t>(-6)});
    link.words.push_back({kButtonActionFlags, kActGoTo | kActOtherStack});
    link.chunks.push_back(sb::PathChunk(kTagOtherStack, "Disk:" + other));
    stack.cards[0].objects.push_back(link);
    stack.nextObjectId = 2;
    return stack;
}

// The first line at or after `from` holding the text; -1 when none.
int LineFrom(const std::vector<std::string>& log, const std::string& text, int from = 0) {
    for (int i = std::max(from, 0); i < static_cast<int>(log.size()); ++i)
        if (log[i].find(text) != std::string::npos)
            return i;
    return -1;
}

// A click on a link to a stack the server answers late: nothing is asked (the stack is
// unchanged) and the author goes on, renaming the card. When the other stack arrives the
// plug-in asks whether to save the edit; Cancel keeps the stack, the edit with it, and the edit
// is saved afterwards.
TEST(StackGateInBrowser, AStackArrivingLateAfterAnEditAsksBeforeItReplacesTheEditedStack) {
    CachedSite site;
    site.server.Put("gatehome.stk", Built(LinkStack("gatelate.stk")));
    site.server.Put("gatelate.stk", Built(ColourStack({kGreen})));
    const std::string copy = site.server.Name("gatehome-copy.stk"), about = "About Card - 1|";
    const BrowserRun run = site.Run(
        "gatehome.stk",
        {"--answer-late", "gatelate.stk@5000", "--answer-alert", "2343:3", "--click", Centre(kLinkRect) + At(500),
         "--command", "301" + At(900), "--dialog", about + std::to_string(INF_CARD_NAME) + "|type:Edited" + At(1400),
         "--dialog", about + "OK|press" + At(1700), "--command", std::to_string(kSave) + OnceLogged("alert(id=2343)", 800),
         "--answer-alert", "2340:2", "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int asked = LineFrom(run.log, "gatelate.stk is answered");
    ASSERT_NE(asked, -1) << Joined(run.log);
    const int edited = LineFrom(run.log, "dialog-action(About Card - 1|OK|press)", asked);
    const int arrived = LineFrom(run.log, "NPP_NewStream", edited);
    ASSERT_NE(edited, -1) << "the edit is made while the stack is on its way" << Joined(run.log);
    ASSERT_NE(arrived, -1) << Joined(run.log);
    EXPECT_EQ(LineFrom(run.log, "alert(id=2343)"), LineFrom(run.log, "alert(id=2343)", arrived))
        << "asked once, when the stack arrived" << Joined(run.log);
    EXPECT_NE(LineFrom(run.log, "alert(id=2343)", arrived), -1) << Joined(run.log);
    const std::string json = site.Report(copy);
    EXPECT_EQ(ReportedNumber(json, "cardCount"), 3) << "the stack stayed" << json;
    EXPECT_EQ(ReportedText(ReportedCard(json, 1), "name"), "Edited") << json;
}

// New Stack, then the first ready-made stack of the folder beside the plug-in. Untouched, the
// new stack gives way to it without a question; edited (a card added, then left, which clears
// the card's mark but not the edit), the plug-in asks first, and Cancel keeps the new stack
// with both its cards, saved afterwards under a name of its own.
TEST(StackGateInBrowser, AReadyMadeStackChosenInAnEditedNewStackAsksFirst) {
    CachedSite site;
    PluginCopy plugin("");
    const std::string readyMade = plugin.folder + "\\RdyMCard";
    CreateDirectoryA(readyMade.c_str(), nullptr);
    {
        const std::string bytes = Built(ColourStack({kBlue, kBlue, kBlue}));
        HANDLE file = CreateFileA((readyMade + "\\Three.stk").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    site.plugin = plugin.dll;
    sb::Stack page = ColourStack({kRed});
    page.experiencedUser = 0;
    site.server.Put("gatepage.stk", Built(page));
    constexpr int kNewStack = 100, kSameBackground = 501, kPreviousCard = 203, kFirstReadyMade = 503, kSaveAs = 103;
    for (const bool edited : {false, true}) {
        const std::string saved = site.server.Name(edited ? "gate-edited.stk" : "gate-untouched.stk");
        std::vector<std::string> args = {"--answer-alerts", "--answer-alert", "2343:3", "--command",
                                         std::to_string(kNewStack) + At(500)};
        if (edited)
            Append(args, {"--command", std::to_string(kSameBackground) + At(1000), "--command",
                          std::to_string(kPreviousCard) + At(1500)});
        Append(args, {"--command", std::to_string(kFirstReadyMade) + At(2000), "--command", std::to_string(kSaveAs) + At(3000),
                      "--quit-after-last", "1500"});
        Append(args, SaveAsDialogAt(saved, 3500, 300));
        const BrowserRun run = site.Run("gatepage.stk", args);
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_EQ(LineFrom(run.log, "alert(id=2343)") != -1, edited) << Joined(run.log);
        const std::string json = site.Report(saved);
        EXPECT_EQ(ReportedNumber(json, "cardCount"), edited ? 2 : 3)
            << (edited ? "the edited new stack stayed" : "the ready-made stack opened instead") << json;
    }
    site.plugin.clear();
}

// In a new stack never saved, a new button is made, then its actions walk to another card by
// Ctrl+O: the stack must be saved first (alert 2359, then Save As), another stack opened in the
// walk, its second card kept with OK and the transition's OK, and the walk comes back by reading
// the saved file again. Done writes the way to that card into the button it was asked for, in the
// stack it was made in; saved, the file holds it.
TEST(StackGateInBrowser, AButtonsWalkFromANeverSavedStackIntoAnotherStackLandsOnTheButtonAfterSaveAs) {
    CachedSite site;
    site.server.Put("gatewalk.stk", Built(ColourStack({kRed})));
    const std::string other = site.server.Put("gateother.stk", Built(ColourStack({kGreen, kBlue})));
    const std::string mine = site.server.Name("gate-mine.stk");
    constexpr int kNewStack = 100, kNewButton = 306, kNextCard = 204;
    const std::string walk = "Move to card";
    std::vector<std::string> args = {
        "--answer-alerts", "--answer-alert", "2328:1", "--answer-alert", "2359:1",
        "--command", std::to_string(kNewStack) + At(500),
        "--command", std::to_string(kNewButton) + At(1500), "--dialog", "Button Appearance|OK|press" + At(2000),
        "--click", "5,5" + At(2700), "--dialog", "Actions|Done|press" + At(3300)};
    Append(args, OpenActionsAt("160,120", 4000));
    Append(args, {"--dialog", "Actions|Another card...|press" + At(5500), "--key", "ctrl+o" + OnceShown(walk, 800)});
    Append(args, SaveAsDialogAt(mine, 7000, 300));
    Append(args, OpenDialogAt(other, 7900, 300));
    Append(args, {"--command", std::to_string(kNextCard) + At(9000), "--dialog", walk + "|OK|press" + At(9700),
                  "--dialog", "Transitions|OK|press" + At(10300), "--dialog", "Actions|Done|press" + At(11100),
                  "--command", std::to_string(kSave) + At(11900), "--quit-after-last", "1500"});
    const BrowserRun run = site.Run("gatewalk.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(LineFrom(run.log, "alert(id=2359)"), -1) << Joined(run.log);
    EXPECT_EQ(LineFrom(run.log, "alert(id=2395)"), -1) << "the edit was not dropped" << Joined(run.log);
    const std::string json = site.Report(mine);
    EXPECT_EQ(ReportedNumber(json, "cardCount"), 1) << json;
    const std::string button = ReportedObject(json, "New Button");
    ASSERT_NE(button, "") << "the new button is in the stack it was made in\n" << json << Joined(run.log);
    const std::string destination = ReportedDestination(json, 1, ReportedNumber(button, "id"));
    EXPECT_EQ(ReportedNumber(destination, "destination"), 2) << "the card kept in the other stack" << json << Joined(run.log);
    EXPECT_NE(button.find("\"chunks\":[60]"), std::string::npos) << "it names the other stack" << button;
}

// A stack never saved, of two cards: a new button on its first card is linked by the walk to its
// second. The walk never left the stack, so nothing is asked and nothing is replaced; Save As
// writes the button with its move to card 2 of the same stack.
TEST(StackGateInBrowser, AButtonsWalkWithinANeverSavedStackAsksNothingAndKeepsTheLink) {
    CachedSite site;
    site.server.Put("gatenew.stk", Built(ColourStack({kRed})));
    const std::string mine = site.server.Name("gatenew-mine.stk");
    constexpr int kNewStack = 100, kNewCard = 155, kFirstCard = 202, kNewButton = 306, kNextCard = 204, kSaveAs = 103;
    const std::string walk = "Move to card";
    std::vector<std::string> args = {
        "--answer-alerts", "--answer-alert", "2328:1",
        "--command", std::to_string(kNewStack) + At(500), "--command", std::to_string(kNewCard) + At(1200),
        "--command", std::to_string(kFirstCard) + At(1700),
        "--command", std::to_string(kNewButton) + At(2200), "--dialog", "Button Appearance|OK|press" + At(2700),
        "--click", "5,5" + At(3400), "--dialog", "Actions|Done|press" + At(4000)};
    Append(args, OpenActionsAt("160,120", 4700));
    Append(args, {"--dialog", "Actions|Another card...|press" + At(6200),
                  "--command", std::to_string(kNextCard) + OnceShown(walk, 800),
                  "--dialog", walk + "|OK|press" + At(7800), "--dialog", "Transitions|OK|press" + At(8400),
                  "--dialog", "Actions|Done|press" + At(9200), "--command", std::to_string(kSaveAs) + At(10000)});
    Append(args, SaveAsDialogAt(mine, 10700, 300));
    Append(args, {"--quit-after-last", "1500"});
    const BrowserRun run = site.Run("gatenew.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    for (const char* asked : {"alert(id=2343)", "alert(id=2361)", "alert(id=2359)", "alert(id=2395)"})
        EXPECT_EQ(LineFrom(run.log, asked), -1) << asked << Joined(run.log);
    const std::string json = site.Report(mine);
    EXPECT_EQ(ReportedNumber(json, "cardCount"), 2) << json;
    const std::string button = ReportedObject(json, "New Button");
    ASSERT_NE(button, "") << "the new button is kept\n" << json << Joined(run.log);
    const std::string destination = ReportedDestination(json, 1, ReportedNumber(button, "id"));
    EXPECT_EQ(ReportedNumber(destination, "destination"), ReportedCardIds(json).at(1)) << json << Joined(run.log);
    EXPECT_EQ(button.find("\"chunks\":[60]"), std::string::npos) << "no other stack named" << button;
}

}  // namespace
