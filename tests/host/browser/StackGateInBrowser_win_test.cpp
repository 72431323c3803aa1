// The open stack replaced only through its gate, in the real plug-in in the test browser: a
// stack a link asked for that arrives late, after an edit, asks before it replaces the edited
// one; a ready-made stack chosen in a new stack that was edited asks too; a button's card walk
// from a stack never saved into another stack, kept, lands on the button after Save As; and one
// within that stack asks nothing and keeps it.
// Each walk ends with Save, the saved file read again by the report tool.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "resources/info_ids.h"
#include "tests/support/ReportJson.h"
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

// The stack's text object, whose words a person types into.
constexpr sb::Rect kNotesRect{20, 20, 200, 60};
sb::Stack WithNotes(sb::Stack stack) {
    stack.cards[0].objects.push_back(sb::TextField(stack.nextObjectId, kNotesRect, "Notes", "Plain words"));
    ++stack.nextObjectId;
    return stack;
}
// A click past the words of the text object, then more words typed there.
std::vector<std::string> TypeIntoNotes(int ms) {
    return {"--click", "190,50" + At(ms), "--keys", " and typed@" + std::to_string(ms + 400)};
}
std::string NotesText(const std::string& json) { return ReportedText(ReportedObject(json, "Notes"), "text"); }
// One card of a colour (an 8-bit picture, shown alike at 256 colours), with the text object.
std::string SolidNotesStack(sb::Rgb colour) {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 8);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    stack.cards = {card};
    stack.nextObjectId = 1;
    return Built(WithNotes(stack));
}

// Words typed into a text object are an edit, though nothing else changed: Open asks first
// (2343). Cancel keeps the stack with the words, which a Save then writes; Save writes them and
// then opens the other stack; Don't save opens the other stack and writes nothing. A text file
// dropped into the object is an edit too, kept by Cancel and written by Save.
TEST(StackGateInBrowser, WordsTypedIntoATextObjectAreAskedAboutBeforeAnotherStackOpens) {
    CachedSite site;
    const std::string name = site.Serve("typed", SolidNotesStack(kRed));
    const std::string other = site.server.Put("typed-other.stk", SolidNotesStack(kGreen));
    const std::string words = site.server.Put("dropped.txt", " and dropped");
    constexpr int kOpen = 101, kCancel = 3, kSaveFirst = 1, kDontSave = 2;
    for (const auto& [answer, dropped] : {std::pair{kCancel, false}, {kSaveFirst, false}, {kDontSave, false}, {kCancel, true}}) {
        const std::string which = std::to_string(answer) + (dropped ? "-dropped" : "");
        SCOPED_TRACE(which);
        const std::string copy = site.server.Name("typed-copy-" + which + ".stk");
        const std::string shot = site.server.Name("typed-" + which + ".png");
        std::vector<std::string> args = dropped ? std::vector<std::string>{"--drop", words + "@190,50@1000"} : TypeIntoNotes(1000);
        Append(args, {"--command", std::to_string(kOpen) + At(2200), "--answer-alert", "2343:" + std::to_string(answer),
                      "--answer-alert", "2340:2"});
        if (answer != kDontSave)
            Append(args, {"--save-copy", copy});
        if (answer == kCancel)
            Append(args, {"--command", std::to_string(kSave) + OnceLogged("alert(id=2343)", 800)});
        else
            Append(args, {"--keys", other + OnceShown("Please select a stack", 400),
                          "--key", "Return" + OnceShown("Please select a stack", 1000)});
        Append(args, {"--screenshot", shot, "--screenshot-after", "6000", "--quit-after-last", "1500"});
        const BrowserRun run = site.Run(name, args);
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_NE(LineFrom(run.log, "alert(id=2343)"), -1) << "typed words are an edit" << Joined(run.log);
        const Shot drawn(shot);
        // The card shown at the end: this stack's kept, or the other stack's opened.
        const sb::Rgb shown = answer == kCancel ? kRed : kGreen;
        EXPECT_TRUE(NearRgb(drawn.At(100, 150), shown.red, shown.green, shown.blue, 40)) << Hex(drawn.At(100, 150)) << Joined(run.log);
        EXPECT_EQ(LineFrom(run.log, "alert(id=2235)"), -1) << Joined(run.log);
        if (answer == kDontSave) {
            EXPECT_EQ(LineFrom(run.log, "saved("), -1) << "nothing written" << Joined(run.log);
            continue;
        }
        ExpectSaved(site, run);
        EXPECT_EQ(NotesText(site.Report(copy)), dropped ? "Plain words and dropped" : "Plain words and typed")
            << Joined(run.log);
    }
}

// A link to a stack the server answers late, then words typed into the text object while it is
// on its way: when it arrives the plug-in asks (2343) before it replaces the stack; Cancel keeps
// the words, and Save writes them.
TEST(StackGateInBrowser, WordsTypedWhileALinkedStackDownloadsAreAskedAboutWhenItArrives) {
    CachedSite site;
    site.server.Put("typedhome.stk", Built(WithNotes(LinkStack("typedlate.stk"))));
    site.server.Put("typedlate.stk", Built(ColourStack({kGreen})));
    const std::string copy = site.server.Name("typedhome-copy.stk");
    std::vector<std::string> args = {"--answer-late", "typedlate.stk@4000", "--answer-alert", "2343:3", "--click",
                                     Centre(kLinkRect) + At(500)};
    Append(args, TypeIntoNotes(1000));
    Append(args, {"--command", std::to_string(kSave) + OnceLogged("alert(id=2343)", 800), "--answer-alert", "2340:2",
                  "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run("typedhome.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int arrived = LineFrom(run.log, "NPP_NewStream", LineFrom(run.log, "typedlate.stk is answered"));
    ASSERT_NE(arrived, -1) << Joined(run.log);
    EXPECT_NE(LineFrom(run.log, "alert(id=2343)", arrived), -1) << Joined(run.log);
    const std::string json = site.Report(copy);
    EXPECT_EQ(ReportedNumber(json, "cardCount"), 3) << "the stack stayed" << json;
    EXPECT_EQ(NotesText(json), "Plain words and typed") << json;
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
