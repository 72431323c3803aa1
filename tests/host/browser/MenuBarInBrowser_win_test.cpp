// What a person does by hand in the test browser, through the real plug-in: every command from
// the page's menu bar (the plug-in's own main menu, chosen by keys, brought up to date as it
// opens), everything else with the mouse. A card, a button, a text and a graphic made that way
// survive Save As and a reopen; placing objects by hand leaves the card as it was (no copy of a
// dragged button, no press of the default button by the Return that places a graphic, the keys
// back on the card after the clip art dialog, no field drawn beyond the card's edge); a
// selection made with the mouse shows and takes Bold; the Undo item follows what was done; a
// deletion undone comes back and is deleted again by a second Undo; a button whose Appearance was
// cancelled is drawn again; words typed into a new text object wrap inside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
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
constexpr uint32_t kGreen = 0x00A000, kBlue = 0x2040C0;
constexpr sb::Rect kDefaultButton = {200, 180, 300, 220};  // Return presses it: to the next card
constexpr sb::Rect kNotes = {20, 20, 200, 60};
constexpr int kObjectButton = 48, kObjectGraphic = 16, kObjectText = 96;

// Two cards for a person who may edit: the first green with a default button to the next card
// and a field of plain words, the second blue.
std::string HandStack() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
    sb::Card first = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen));
    first.objects.push_back(sb::ShapedButton(1, kDefaultButton, "Onward", 1, 0, -1));
    first.objects.push_back(sb::TextField(2, kNotes, "Notes", "Plain words here"));
    stack.cards = {first, sb::PictureCard(2, sb::SolidPicture(kWidth, kHeight, 32, kBlue))};
    stack.nextObjectId = 3;
    return Built(stack);
}

struct Site : CachedSite {
    std::string name, picture;
    explicit Site(int pageWidth = kWidth, int pageHeight = kHeight)
        : CachedSite(pageWidth, pageHeight), name(Serve("hand", HandStack())), picture(server.Put("cells.bmp", CellPictureBmp())) {}
};

// A menu item chosen from the bar at the time.
std::vector<std::string> Menu(const std::string& path, int ms) { return {"--menu", path + At(ms)}; }

// The logged items of the menus shown that hold the item, in order.
std::vector<std::string> ShownMenusHolding(const std::vector<std::string>& log, const std::string& item) {
    std::vector<std::string> menus;
    for (const std::string& line : log)
        if (StartsWith(line, "shown(menu)") && line.find(item) != std::string::npos)
            menus.push_back(line);
    return menus;
}

// Pixels of the rectangle (card coordinates) that differ between two shots, and the first.

// Only the menu bar and the mouse: a new card, a button named in its dialog and placed by a
// click beside it, a graphic cut from a picture and dragged where it goes, a text object, then
// Save As. The file holds the new card with the three objects; reopened, the graphic shows the
// cut cells where it was dragged.
TEST(MenuBarInBrowser, AWalkByTheMenuBarAndTheMouseMakesACardAButtonATextAndAGraphic) {
    Site site;
    const std::string target = site.server.Name("walked.stk");
    std::vector<std::string> args = {"--click", "160,130@800"};
    Append(args, Menu("Edit|New Card", 1300));
    Append(args, Menu("Objects|Add a Button", 1900));
    Append(args, {"--dialog", "Button Appearance|51|type:Go" + At(2400), "--dialog", "Button Appearance|OK|press" + At(2700),
                  "--answer-alert", "2328:1", "--click", "5,5" + At(3400), "--dialog", "Actions|Done|press" + At(4000)});
    Append(args, Menu("Objects|Add a Graphic", 4600));
    Append(args, CellPictureCutAt(site.picture, "Graphic Objects", 5100));
    // Offered in the middle of the card (144,104)-(176,136), dragged right and up by 100 and
    // 60, and kept there by a click beside it.
    Append(args, {"--dialog", "Pageloom|OK|press" + At(7800), "--drag", "160,120-260,60" + At(8400),
                  "--click", "5,5" + At(9000), "--dialog", "Graphic Appearance|Name:|type:Pic" + At(9600),
                  "--dialog", "Graphic Appearance|OK|press" + At(9900)});
    Append(args, Menu("Objects|Add a Text", 10500));
    Append(args, {"--answer-alert", "2370:1", "--click", "5,5" + At(11300),
                  "--dialog", "Text Appearance|54|type:Note" + At(11900), "--dialog", "Text Appearance|OK|press" + At(12200)});
    Append(args, Menu("File|Save Stack As", 12800));
    Append(args, SaveAsDialogAt(target, 13400, 300));
    Append(args, {"--answer-alerts", "--quit-after-last", "1200"});
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "command("), -1) << "no command but from the menu bar\n" << Joined(run.log);
    for (const char* command : {"menu-command(155)", "menu-command(306)", "menu-command(307)", "menu-command(308)",
                                "menu-command(103)"})
        EXPECT_NE(Find(run.log, command), -1) << command << "\n" << Joined(run.log);

    const std::string json = site.Report(target);
    ASSERT_EQ(ReportedCardIds(json).size(), 3u) << json;
    const std::string made = ReportedCard(json, 2);
    EXPECT_EQ(ReportedNumber(ReportedObject(made, "Go"), "kind"), kObjectButton) << made;
    EXPECT_EQ(ReportedNumber(ReportedObject(made, "Note"), "kind"), kObjectText) << made;
    const std::string graphic = ReportedObject(made, "Pic");
    ASSERT_EQ(ReportedNumber(graphic, "kind"), kObjectGraphic) << made;
    const RECT r = ReportedRect(graphic);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({244, 44, 276, 76})) << graphic;

    const std::string shot = site.server.Name("walked.png");
    std::vector<std::string> again = Menu("Move|Next Card", 800);
    Append(again, {"--screenshot", shot, "--screenshot-after", "1600", "--quit-after-last", "500"});
    const BrowserRun reopened = site.Run("walked.stk", again);
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const Shot drawn(shot);
    int wrong = 0;
    std::string first;
    for (int dy = 2; dy < 32; dy += 4)
        for (int dx = 2; dx < 32; dx += 4) {
            const uint32_t want = CellColour(10 + dx, 6 + dy), got = drawn.At(r.left + dx, r.top + dy);
            if (!NearRgb(got, int(want >> 16), int(want >> 8 & 255), int(want & 255), 40) && !wrong++)
                first = std::to_string(dx) + "," + std::to_string(dy) + " " + Hex(got) + " for " + Hex(want);
        }
    EXPECT_EQ(wrong, 0) << "first at " << first << "\n" << Joined(reopened.log);
}

// Browsing, on the green card: a new button dragged from where it is offered leaves nothing
// where it was; a graphic dragged and placed with Return opens its dialog, whose OK leaves the
// page on this card (Return does not also press the default button); after the clip art dialog
// the card has the keys, so Escape drops the floating picture.
TEST(MenuBarInBrowser, PlacingByHandLeavesTheCardAsItWas) {
    Site site;
    const std::string shot = site.server.Name("placing.png");
    std::vector<std::string> args = {"--screenshot", shot, "--screenshot-after", "700", "--click", "160,150@900"};
    Append(args, Menu("Objects|Add a Button", 1400));
    // Offered in the middle, dragged 100 to the left; then kept by a click beside it.
    Append(args, {"--dialog", "Button Appearance|OK|press" + At(2000), "--answer-alert", "2328:1",
                  "--drag", "160,120-60,120" + At(2700), "--screenshot-after", "3400", "--click", "5,235" + At(3700),
                  "--dialog", "Actions|Done|press" + At(4300)});
    Append(args, Menu("Objects|Add a Graphic", 4900));
    Append(args, CellPictureCutAt(site.picture, "Graphic Objects", 5400));
    Append(args, {"--dialog", "Pageloom|OK|press" + At(8100), "--drag", "160,120-160,170" + At(8700),
                  "--key", "Return" + At(9300), "--dialog", "Graphic Appearance|OK|click:5,5" + At(9900),
                  "--screenshot-after", "10600"});
    Append(args, Menu("File|Add Clip Art", 11000));
    Append(args, CellPictureCutAt(site.picture, "Clip Art", 11500));
    Append(args, {"--key", "Escape" + At(14600), "--screenshot-after", "15300", "--quit-after-last", "500"});
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot plain(shot), dragged(site.server.Name("placing-t2.png")), returned(site.server.Name("placing-t3.png")),
        escaped(site.server.Name("placing-t4.png"));
    std::string first;
    // Where the button was offered, right of where it went: the card as before.
    EXPECT_EQ(Differing(plain, dragged, {130, 104, 215, 134}, &first), 0) << "first at " << first << "\n" << Joined(run.log);
    // Still the green card, not the blue one the default button goes to.
    EXPECT_EQ(Differing(plain, returned, {230, 64, 320, 98}, &first), 0) << "first at " << first << "\n" << Joined(run.log);
    EXPECT_NE(Find(run.log, "key(Escape) focus=LoomTestBrowserEmbed"), -1) << Joined(run.log);
    EXPECT_EQ(Differing(plain, escaped, {140, 100, 180, 140}, &first), 0) << "first at " << first << "\n" << Joined(run.log);
}

// On a page larger than the card, a new text object dragged across the card's corner and kept
// there: on the next card the page beyond the card is white, not the field's frame and scroll
// bar.
TEST(MenuBarInBrowser, ATextObjectPastTheCardsEdgeLeavesThePageAsItWas) {
    constexpr int kPageWidth = kWidth + 200, kPageHeight = kHeight + 140;
    Site site(kPageWidth, kPageHeight);
    const std::string shot = site.server.Name("edge.png");
    std::vector<std::string> args = {"--click", "160,150@800"};
    Append(args, Menu("Objects|Add a Text", 1300));
    Append(args, {"--answer-alert", "2370:1", "--drag", "160,120-300,200" + At(2100), "--key", "Return" + At(2800),
                  "--dialog", "Text Appearance|OK|press" + At(3400)});
    Append(args, Menu("Move|Next Card", 4000));
    Append(args, {"--screenshot", shot, "--screenshot-after", "4800", "--quit-after-last", "500"});
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot drawn(shot);
    int painted = 0;
    std::string first;
    for (int y = 0; y < kPageHeight; ++y)
        for (int x = 0; x < kPageWidth; ++x)
            if ((x >= kWidth || y >= kHeight) && drawn.At(x, y) != 0xFFFFFF && !painted++)
                first = std::to_string(x) + "," + std::to_string(y) + " " + Hex(drawn.At(x, y));
    EXPECT_EQ(painted, 0) << "first at " << first << "\n" << Joined(run.log);
}

// With the object tools, a click that selects the default button leaves the Undo item grey; a
// drag of it names the move, which the item undoes. Browsing again, words of the field selected
// with the mouse (after the field lost the keys once) show their selection, and Bold from the
// bar makes them bold. Saved: the button where it was, the field's first run bold.
TEST(MenuBarInBrowser, TheUndoItemAndAMouseSelectionFollowWhatWasDone) {
    Site site;
    const std::string copy = site.server.Name("undo-copy.stk"), shot = site.server.Name("undo.png");
    std::vector<std::string> args = {"--click", "160,150@800", "--key", "shift+Tab" + At(1100), "--click", "250,200" + At(1500),
                                     "--key", "alt+e" + At(2000), "--key", "Escape" + OnceShown("menu", 300, kNextShown),
                                     "--drag", "250,200-250,150" + At(3000),
                                     "--key", "alt+e" + At(3700), "--key", "Escape" + OnceShown("menu", 300, kNextShown)};
    Append(args, Menu("Edit|Undo", 4700));
    Append(args, {"--key", "shift+Tab" + At(5400), "--click", "100,40" + At(5800), "--click", "160,150" + At(6200),
                  "--screenshot", shot, "--screenshot-after", "6600", "--drag", "23,28-52,28" + At(6900),
                  "--screenshot-after", "7500"});
    Append(args, Menu("Format|Style|Bold", 7900));
    Append(args, Menu("File|Save Stack", 8600));
    Append(args, {"--answer-alert", "2340:2", "--save-copy", copy, "--quit-after-last", "1000"});
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);

    const std::vector<std::string> edits = ShownMenusHolding(run.log, "150 \"Undo");
    ASSERT_GE(edits.size(), 3u) << Joined(run.log);
    EXPECT_NE(edits[0].find("150 \"Undo Ctrl+Z\" (disabled)"), std::string::npos) << edits[0];
    EXPECT_NE(edits[1].find("150 \"Undo Object move Ctrl+Z\";"), std::string::npos) << edits[1];
    EXPECT_NE(Find(run.log, "menu-command(150)"), -1) << Joined(run.log);

    // The selected word drawn otherwise than before: highlighted.
    const Shot before(shot), selected(site.server.Name("undo-t2.png"));
    const RECT word = {24, 24, 46, 34};
    EXPECT_GT(Differing(before, selected, word, nullptr), (word.right - word.left) * (word.bottom - word.top) / 2)
        << Joined(run.log);

    const std::string json = site.Report(copy);
    const RECT onward = ReportedRect(ReportedObject(json, "Onward"));
    EXPECT_EQ(std::vector<int>({onward.left, onward.top, onward.right, onward.bottom}),
              std::vector<int>({kDefaultButton.left, kDefaultButton.top, kDefaultButton.right, kDefaultButton.bottom}))
        << json;
    const std::string runs = ReportedValue(ReportedObject(json, "Notes"), "runs");
    EXPECT_EQ(runs.rfind("[[0,", 0), 0u) << runs;
    EXPECT_NE(runs.find(",1,"), std::string::npos) << "the first run bold\n" << runs;
}

// With the object tools: the default button selected, its Appearance opened by a double click and
// cancelled: the button is drawn as it was. The text object cleared, then Undo: it is back and
// the item still names the deletion; Undo again: it is gone again, and saved so. Then a new text
// object, and words typed into it: they wrap inside its text area, left of its scroll bar, as
// the same words do when the saved stack is opened again.
TEST(MenuBarInBrowser, UndoRedoesADeletionACancelledButtonIsDrawnAndTypedWordsWrapInside) {
    Site site;
    const std::string copy = site.server.Name("redo-copy.stk"), shot = site.server.Name("redo.png");
    const std::string typed = "Words typed into a new text object wrap inside it from the first little word on";
    std::vector<std::string> args = {"--click", "160,150@800", "--key", "shift+Tab" + At(1100), "--click", "250,200" + At(1500),
                                     "--screenshot", shot, "--screenshot-after", "2000", "--double-click", "250,200" + At(2400),
                                     "--dialog", "Button Appearance|Cancel|press" + At(3200), "--screenshot-after", "3900",
                                     "--click", "110,40" + At(4300)};
    Append(args, Menu("Edit|Clear", 4800));
    Append(args, {"--screenshot-after", "5500", "--key", "alt+e" + At(5800), "--key", "Escape" + OnceShown("menu", 300, kNextShown)});
    Append(args, Menu("Edit|Undo", 6600));
    Append(args, {"--screenshot-after", "7300", "--key", "alt+e" + At(7600), "--key", "Escape" + OnceShown("menu", 300, kNextShown)});
    Append(args, Menu("Edit|Undo", 8400));
    Append(args, {"--screenshot-after", "9100", "--key", "shift+Tab" + At(9400)});
    Append(args, Menu("Objects|Add a Text", 9800));
    Append(args, {"--answer-alert", "2370:1", "--click", "5,5" + At(10600), "--dialog", "Text Appearance|54|type:Wrap" + At(11200),
                  "--dialog", "Text Appearance|OK|press" + At(11500), "--keys", typed + At(12100),
                  "--screenshot-after", "15000"});
    Append(args, Menu("File|Save Stack", 15500));
    Append(args, {"--answer-alert", "2340:2", "--save-copy", copy, "--quit-after-last", "1200"});
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);
    const Shot selected(shot), cancelled(site.server.Name("redo-t2.png")), cleared(site.server.Name("redo-t3.png")),
        undone(site.server.Name("redo-t4.png")), redone(site.server.Name("redo-t5.png")), wrapped(site.server.Name("redo-t6.png"));
    std::string first;
    // Inside the selection's frame the button is drawn as before the dialog.
    const RECT button = {kDefaultButton.left + 3, kDefaultButton.top + 3, kDefaultButton.right - 3, kDefaultButton.bottom - 3};
    EXPECT_EQ(Differing(selected, cancelled, button, &first), 0) << "first at " << first << "\n" << Joined(run.log);
    // The text object: gone, back, gone again.
    const RECT notes = {kNotes.left + 2, kNotes.top + 2, kNotes.right - 2, kNotes.bottom - 2};
    const int area = (notes.right - notes.left) * (notes.bottom - notes.top);
    EXPECT_GT(Differing(selected, cleared, notes), area / 2) << "the text object is gone\n" << Joined(run.log);
    EXPECT_GT(Differing(cleared, undone, notes), area / 2) << "the text object is back\n" << Joined(run.log);
    EXPECT_EQ(Differing(cleared, redone, notes, &first), 0) << "gone again: first at " << first << "\n" << Joined(run.log);
    const std::vector<std::string> edits = ShownMenusHolding(run.log, "150 \"Undo");
    // Opened to choose Clear, then after it, to choose Undo, after it, and to choose Undo again.
    ASSERT_EQ(edits.size(), 5u) << Joined(run.log);
    for (size_t i = 1; i < edits.size(); ++i)
        EXPECT_NE(edits[i].find("150 \"Undo Deletion Ctrl+Z\";"), std::string::npos) << edits[i];

    const std::string json = site.Report(copy);
    EXPECT_EQ(ReportedObject(json, "Notes"), "") << "deleted again, and saved so\n" << json;
    EXPECT_NE(ReportedObject(json, "Onward"), "") << json;
    const std::string made = ReportedObject(json, "Wrap");
    ASSERT_NE(made, "") << json;
    EXPECT_EQ(ReportedText(made, "text"), typed) << made;

    // Opened again, the saved words are laid out inside the object anew: the same lines as typed
    // (the caret aside).
    const std::string again = site.server.Name("redo-again.png");
    const BrowserRun reopened = site.Run("redo-copy.stk", {"--screenshot", again, "--screenshot-after", "1200",
                                                           "--quit-after-last", "500"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const RECT r = ReportedRect(made);
    const RECT text = {r.left + 2, r.top + 2, r.right - 20, r.bottom - 2};
    const Shot laid(again);
    EXPECT_LT(Differing(wrapped, laid, text, &first), 40) << "first at " << first << "\n" << Joined(run.log);
    // The last columns of the text area, left of the frame's scroll bar: words that run under the
    // bar are cut there.
    const int edge = r.right - 2 - GetSystemMetrics(SM_CXVSCROLL);
    for (const Shot* drawn : {&wrapped, &laid}) {
        int cut = 0;
        for (int x = edge - 2; x <= edge; ++x)
            for (int y = r.top + 2; y < r.bottom - 2; ++y)
                cut += NearRgb(drawn->At(x, y), 0, 0, 0, 100) ? 1 : 0;
        EXPECT_EQ(cut, 0) << "text at the scroll bar, left of x=" << edge + 1;
    }
}

}  // namespace
