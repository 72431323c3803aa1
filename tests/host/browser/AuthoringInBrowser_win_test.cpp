// Objects made by hand in the real plug-in under the test browser, saved, and opened again: a
// new button with a sample icon from the chooser and a cursor from its features, whose cursor shows
// over it and over nothing else once reopened; buttons whose shapes are picked from the card and
// lassoed on it, with their icons and cursors; a new text object whose style and features are
// chosen before words are typed into it, and Find Text going to the card that holds a word;
// objects moved across the card's edge on a larger page, which leave the page outside the card
// as it was; a graphic cropped from a picture file, drawn as cropped and showing its cursor once
// reopened; a link made in the Hypertext Links dialog and followed once reopened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "resources/graphics_ids.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
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
constexpr uint32_t kGreen = 0x00A000, kBlue = 0x2040C0;
constexpr sb::Rect kOldButton = {200, 180, 300, 220};
constexpr int kNewButton = 306, kNewText = 308, kFindText = 207;

// An empty stack of the walks' card size, true colour, for a person who may edit.
sb::Stack EditableStack() { return sb::EditableStack(kWidth, kHeight, 32); }

// An icon of the stack's own, a disc of the colour in a black ring, for the chooser's "In use".
void WithOwnIcon(sb::Stack& stack, sb::Rgb colour) {
    stack.resources.push_back({"Icon", 300, "", 0, 0, sb::IconFile(32, colour)});
}

// Two cards for a person who may edit: the first green with a button, the second blue with a
// field holding the word to find; an icon of the stack's own.
std::string AuthoringStack() {
    sb::Stack stack = EditableStack();
    sb::Card first = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen));
    first.objects.push_back(sb::Button(1, kOldButton, "Old"));
    sb::Card second = sb::PictureCard(2, sb::SolidPicture(kWidth, kHeight, 32, kBlue));
    second.objects.push_back(sb::TextField(2, {20, 20, 300, 60}, "Haystack", "Somewhere a needle hides"));
    stack.cards = {first, second};
    stack.nextObjectId = 3;
    WithOwnIcon(stack, {200, 30, 30});
    return Built(stack);
}

struct Site : CachedSite {
    std::string name;
    explicit Site(int pageWidth = kWidth, int pageHeight = kHeight)
        : CachedSite(pageWidth, pageHeight), name(Serve("author", AuthoringStack())) {}
};

// A point and a time, as the test browser takes them.
std::string At(POINT p, int ms) { return std::to_string(p.x) + "," + std::to_string(p.y) + "@" + std::to_string(ms); }

// The cursor a hover logged: "arrow", "custom:DIGEST", ...; empty when it was not logged.
std::string HoverCursor(const std::vector<std::string>& log, int x, int y) {
    const int line = Find(log, "hover(" + std::to_string(x) + "," + std::to_string(y) + ")");
    if (line == -1)
        return "";
    const size_t at = log[line].find(" cursor=");
    return at == std::string::npos ? "" : log[line].substr(at + 8);
}

// Hovers from 1500 ms on, 800 ms apart: the bare card, each point, the bare card a pixel away,
// and the old button's place.
std::vector<std::string> HoversOver(const std::vector<POINT>& points) {
    std::vector<POINT> all = {{20, 21}};
    all.insert(all.end(), points.begin(), points.end());
    all.insert(all.end(), {{20, 20}, {250, 200}});
    std::vector<std::string> args;
    for (size_t i = 0; i < all.size(); ++i)
        Append(args, {"--hover", At(all[i], 1500 + 800 * int(i))});
    return args;
}

// After HoversOver: the same cursor of the stack's own shows over each point, and neither over
// the bare card (which shows one cursor wherever it is bare) nor over the old button.
void ExpectOwnCursorOnlyOver(const std::vector<std::string>& log, const std::vector<POINT>& points) {
    const std::string over = HoverCursor(log, points.front().x, points.front().y);
    EXPECT_EQ(over.rfind("custom:", 0), 0u) << Joined(log);
    for (POINT p : points)
        EXPECT_EQ(HoverCursor(log, p.x, p.y), over) << Joined(log);
    EXPECT_NE(HoverCursor(log, 20, 21), over) << Joined(log);
    EXPECT_EQ(HoverCursor(log, 20, 20), HoverCursor(log, 20, 21)) << "left for the card\n" << Joined(log);
    EXPECT_NE(HoverCursor(log, 250, 200), over) << "the old button keeps its own cursor\n" << Joined(log);
}

// A hover after a Shift+Tab from browsing: the object tools show their cursor, not the object's.
void ExpectObjectToolsCursor(const std::vector<std::string>& log, POINT at, const std::string& own) {
    const std::string shown = HoverCursor(log, at.x, at.y);
    EXPECT_NE(shown, "") << Joined(log);
    EXPECT_NE(shown, own) << Joined(log);
}

// The star's yellow, as the display shows it: 256 colours give the palette's nearest.
bool IsYellowish(uint32_t rgb) {
    const int r = int(rgb >> 16 & 0xFF), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
    return r >= 200 && g >= 150 && b <= 90;
}

// A new button: its icon the first of the samples from the chooser, its cursor the first of the
// built-in ones through Features...; placed where it is offered, with no actions, and saved.
// Reopened, the report holds the icon and a cursor of the stack, the button shows the icon, and
// the cursor shows over the new button only; the card's and the stack's information check none
// of their action boxes.
TEST(AuthoringInBrowser, ANewButtonKeepsItsChosenIconAndCursor) {
    Site site;
    const std::string copy = site.server.Name("button-copy.stk");
    const std::string look = "Button Appearance", features = "Object Features";
    std::vector<std::string> args = {
        "--command", std::to_string(kNewButton) + "@1500",
        "--dialog", look + "|Icons...|press@2000", "--key", "Home" + OnceShown("Icons", 300),
        "--dialog", "Icons|OK|press@2900",
        "--dialog", look + "|Features...|press@3400", "--dialog", features + "|Cursor...|check@3900",
        "--key", "Home" + OnceShown("Cursors", 300), "--dialog", "Cursors|OK|press@4800",
        "--dialog", features + "|OK|press@5300",
        "--dialog", look + "|OK|press@5800", "--answer-alert", "2328:1", "--click", "10,10@6500",
        "--dialog", "Actions|Done|press@7100", "--key", "shift+Tab@7500", "--hover", "160,120@7700",
        "--quit-after-last", "1500"};
    Append(args, SaveAt(8200, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);

    const std::string json = site.Report(copy);
    const std::string button = ReportedObject(json, "New Button");
    ASSERT_NE(button, "") << json;
    // The icon is stored with the stack (the save may number it anew); the cursor, one of the
    // plug-in's own, by its number.
    const int iconId = ReportedNumber(button, "iconId");
    EXPECT_TRUE(HasResource(json, "Icon", iconId)) << button << "\n" << json;
    EXPECT_GT(ReportedNumber(button, "cursorId"), 0) << button;
    // A new button has no icon yet: the chooser opened on the samples beside the plug-in, and
    // Home took the first of them, the yellow star, which the stack now keeps as its own.
    const int chooser = Find(run.log, "shown(Icons)");
    ASSERT_NE(chooser, -1) << Joined(run.log);
    EXPECT_NE(run.log[chooser].find("\"&Samples\" (checked)"), std::string::npos) << run.log[chooser];
    EXPECT_EQ(FindHolding(run.log, "alert(id=2292)"), -1) << Joined(run.log);
    EXPECT_NE(iconId, 300) << button;

    const RECT r = ReportedRect(button);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    // Reopened, the button draws the star's yellow; its cursor shows over it only.
    const std::string shot = site.server.Name("button-again.png");
    std::vector<std::string> againArgs = {"--screenshot", shot, "--screenshot-after", "1200"};
    Append(againArgs, HoversOver({{x, y}}));
    Append(againArgs, {"--command", "301@5300", "--command", "303@6100", "--answer-alerts", "--close-dialogs",
                       "--quit-after-last", "900"});
    const BrowserRun again = site.Run("button-copy.stk", againArgs);
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const Shot card(shot);
    int yellow = 0;
    for (int py = r.top; py < r.bottom; ++py)
        for (int px = r.left; px < r.right; ++px)
            yellow += IsYellowish(card.At(px, py));
    EXPECT_GT(yellow, 100) << "star pixels in the reopened button";
    ExpectOwnCursorOnlyOver(again.log, {{x, y}});
    // Placed, the button left the tool for browsing; the first Shift+Tab after it reached the card
    // (not the browser's frame, which the closing dialog handed the focus) and went on to the
    // object tools, whose cursor the button then shows instead of its own.
    EXPECT_NE(Find(run.log, "key(shift+Tab) focus=LoomTestBrowserEmbed"), -1) << Joined(run.log);
    ExpectObjectToolsCursor(run.log, {160, 120}, HoverCursor(again.log, x, y));
    // Neither the card nor the stack has actions: no "Things to do when" box is checked.
    for (const char* title : {"shown(About Card - ", "shown(About Stack - "}) {
        const int shown = Find(again.log, title);
        ASSERT_NE(shown, -1) << title << "\n" << Joined(again.log);
        EXPECT_EQ(again.log[shown].find("(checked)"), std::string::npos) << again.log[shown];
    }
}

// A new button gets a cursor from a disk folder through Features..., is placed, and its actions
// dialog is cancelled, which takes the button away; the next new button, given no cursor, is
// kept. Saved, that button has no cursor and the stack no cursor of its own: the cancelled
// choice was not left for it.
TEST(AuthoringInBrowser, ACursorChosenForAButtonThatIsCancelledGoesToNoOtherObject) {
    Site site;
    const std::string copy = site.server.Name("leak-copy.stk");
    const std::vector<uint8_t> blue = sb::CursorFile(32, {0, 0, 255});
    const std::string cursor = site.server.Put("blue.cur", AsText(blue));
    const std::string look = "Button Appearance|", features = "Object Features|", open = "Open|";
    std::vector<std::string> args = {
        "--command", std::to_string(kNewButton) + "@1500", "--dialog", look + "Features...|press@2000",
        "--dialog", features + "Cursor...|check@2500", "--dialog", "Cursors|&Disk Folder...|check@3100",
        "--dialog", open + "File name:|type:" + cursor + "@3700", "--dialog", open + "Open|press@3900",
        "--dialog", "Cursors|OK|press@4600", "--dialog", features + "OK|press@5100",
        "--dialog", look + "OK|press@5600", "--answer-alert", "2328:1", "--click", "10,10@6300",
        "--dialog", "Actions|Cancel|press@6900",
        "--command", std::to_string(kNewButton) + "@7500", "--dialog", look + "OK|press@8000",
        "--click", "10,10@8700", "--dialog", "Actions|Done|press@9300", "--quit-after-last", "1500"};
    Append(args, SaveAt(9900, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);
    const int chooser = Find(run.log, "shown(Cursors)");
    ASSERT_NE(chooser, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "gone(Cursors)", chooser), -1) << Joined(run.log);

    const std::string json = site.Report(copy);
    const std::string button = ReportedObject(json, "New Button");
    ASSERT_NE(button, "") << json;
    EXPECT_EQ(ReportedObjects(json, "New Button").size(), 1u) << "one new button\n" << json;
    EXPECT_EQ(ReportedNumber(button, "cursorId"), 0) << button;
    EXPECT_TRUE(ReportedResources(json, "Crsr").empty()) << json;
}

// A new text object: placed where offered, its style made bold and, through Features..., made
// locked and transparent with the first built-in cursor before OK, words typed into it; then
// Find Text finds the word on the second card and goes there. On a page larger than the card
// the field is offered half the card's size, a quarter in. Reopened, the report holds the typed
// words in bold where the field was offered, and the field's flags; the card shows through the
// field, its cursor shows over it only, and the object tools refuse to take it as it is locked.
TEST(AuthoringInBrowser, ANewTextObjectTypedInBoldWithItsFeaturesThenFindTextGoesToTheWord) {
    Site site(kWidth + 160, kHeight + 120);  // a page larger than the card
    const std::string copy = site.server.Name("text-copy.stk");
    const std::string shot = site.server.Name("text.png");
    const std::string look = "Text Appearance|", find = "Find Text|", features = "Object Features|";
    std::vector<std::string> args = {
        "--command", std::to_string(kNewText) + "@1500", "--answer-alert", "2370:1", "--click", "300,20@2200",
        "--dialog", look + "Style...|press@2700", "--dialog", "Text Style|Bold|check@3200",
        "--dialog", "Text Style|OK|press@3500", "--dialog", look + "Features...|press@3900",
        "--dialog", features + "Locked|check@4400", "--dialog", features + "Transparent|check@4600",
        "--dialog", features + "Cursor...|check@4800", "--key", "Home" + OnceShown("Cursors", 300),
        "--dialog", "Cursors|OK|press@5700",
        "--dialog", features + "OK|press@6200", "--dialog", look + "OK|press@6700",
        "--key", "shift+Tab@7100", "--right-click", "20,200@7300", "--key", "Escape" + OnceShown("menu", 200),
        "--key", "shift+Tab@7700", "--click", "160,120@7900", "--keys", "Typed words@8300",
        "--command", std::to_string(kFindText) + "@8500", "--dialog", find + "Search for:|type:needle@9000",
        "--dialog", find + "OK|press@9200", "--screenshot", shot, "--screenshot-after", "10000",
        "--quit-after-last", "1500"};
    Append(args, SaveAt(10500, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);
    // OK left the tool for browsing with the new field active; the first Shift+Tab, which the
    // field hands to the card, went on to the object tools, where a right click opens the card's
    // menu, and the second came back.
    EXPECT_NE(Find(run.log, "key(shift+Tab) focus=LMText"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "shown(menu)"), -1) << Joined(run.log);
    const Shot found(shot);
    // The second card is blue, the first green (on a palette display, the nearest the palette has).
    const uint32_t corner = found.At(10, 230);
    EXPECT_GT(corner & 255, corner >> 8 & 255) << "Find Text went to the second card: " << Hex(corner);

    const std::string json = site.Report(copy);
    // The text object whose text is the words typed.
    const ReportJson report = ParseReport(json);
    const ReportJson *typed = nullptr, *object = nullptr;
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& o : ItemsOf(card, "objects"))
            for (const ReportJson& entry : ItemsOf(o, "entries"))
                if (!typed && entry.value("text", "").starts_with("Typed words")) {
                    typed = &entry;
                    object = &o;
                }
    ASSERT_NE(typed, nullptr) << json;
    const std::string field = JsonText(*object);
    // Half the card a quarter in, however large the page; locked and transparent.
    const RECT r = ReportedRect(field);
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({80, 60, 240, 180}));
    EXPECT_EQ(ReportedNumber(field, "flags") & (kObjectLocked | kObjectBackground | kObjectHidden | kTextTransparent),
              kObjectLocked | kTextTransparent)
        << field;
    // Its runs: [start, font, face, ...]; bold is face bit 1.
    const ReportJson& runs = (*typed)["runs"];
    ASSERT_TRUE(runs.is_array() && !runs.empty() && runs[0].size() >= 3) << JsonText(*typed);
    EXPECT_EQ(runs[0][2].get<int>() & 1, 1) << JsonText(*typed);

    const std::string card = site.server.Name("text-again.png");
    std::vector<std::string> againArgs = HoversOver({{160, 150}});
    Append(againArgs, {"--screenshot", card, "--screenshot-after", "1200", "--key", "shift+Tab@4500",
                       "--click", "160,150@4900", "--answer-alerts", "--quit-after-last", "900"});
    const BrowserRun again = site.Run("text-copy.stk", againArgs);
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    // Below the typed line, inside the field's frame, the card as it is beside the field.
    const Shot shown(card);
    const uint32_t through = shown.At(200, 160), beside = shown.At(40, 160);
    EXPECT_TRUE(NearRgb(through, int(beside >> 16), int(beside >> 8 & 255), int(beside & 255), 8))
        << Hex(through) << " for " << Hex(beside);
    ExpectOwnCursorOnlyOver(again.log, {{160, 150}});
    EXPECT_NE(FindHolding(again.log, "alert(id=2210)"), -1) << "locked\n" << Joined(again.log);
}

// Where a shape's cell of the Button Appearance dialog lies, in the card's coordinates: the
// dialog made here from the same template gives the cell within its window, and a run that
// opened it gives where that window and the card lay on the screen.
bool ShapeCell(const std::vector<std::string>& log, int shape, int* x, int* y) {
    RECT shown{};
    POINT card{};
    if (!ShownPlace(log, "Button Appearance", &shown) || !CardOnScreen(log, &card))
        return false;
    const long left = shown.left, top = shown.top, cardX = card.x, cardY = card.y;
    HINSTANCE module = GetModuleHandleA(nullptr);
    HWND dialog = CreateDialogParamA(module, "BUTTONDLG", nullptr, QuietDialogProc, 0);
    HBITMAP shapes = LoadBitmapA(module, "BUTTONS");
    BITMAP info{};
    const bool ok = dialog && shapes && GetObjectA(shapes, sizeof info, &info);
    if (ok) {
        RECT window{}, frame{};
        GetWindowRect(dialog, &window);
        POINT client = {0, 0};
        ClientToScreen(dialog, &client);
        GetWindowRect(GetDlgItem(dialog, 50), &frame);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&frame), 2);
        const int cellsLeft = frame.left + (frame.right - frame.left - info.bmWidth) / 2;
        const int cellsTop = frame.top + (frame.bottom - frame.top - info.bmHeight) / 2;
        const int column = shape % 2, row = shape / 2;
        *x = left + (client.x - window.left) + cellsLeft + column * (info.bmWidth / 2) + info.bmWidth / 4 - cardX;
        *y = top + (client.y - window.top) + cellsTop + row * (info.bmHeight / 4) + info.bmHeight / 8 - cardY;
    }
    if (shapes)
        DeleteObject(shapes);
    if (dialog)
        DestroyWindow(dialog);
    return ok;
}

// A run that opens the Button Appearance dialog for a new button and cancels it, for ShapeCell.
BrowserRun AppearanceProbe(CachedSite& site, const std::string& stack) {
    return site.Run(stack, {"--command", std::to_string(kNewButton) + "@1200", "--dialog",
                            "Button Appearance|Cancel|press@1500", "--answer-alerts", "--quit-after-last", "300"});
}

// One new button of a freehand shape: the shape's cell clicked in Button Appearance, the
// stack's own icon from Icons... (its "In use" source), through Features... the first built-in
// cursor or the stack's own first, then placed by the given input at the time given and left
// without actions. Returns when it is done. The chooser's keys wait for the nth showing of
// their chooser.
int FreehandButtonWithIconAndCursor(std::vector<std::string>& args, int ms, POINT cell,
                                    std::vector<std::string> placing, bool stacksCursor = false, int nth = 1) {
    const std::string look = "Button Appearance|", features = "Object Features|";
    Append(args, {"--command", std::to_string(kNewButton) + "@" + std::to_string(ms), "--click", At(cell, ms + 600),
                  "--dialog", look + "Icons...|press@" + std::to_string(ms + 1000),
                  "--dialog", "Icons|&In use|check@" + std::to_string(ms + 1300),
                  "--key", "Home" + OnceShown("Icons", 300, nth), "--dialog", "Icons|OK|press@" + std::to_string(ms + 1900),
                  "--dialog", look + "Features...|press@" + std::to_string(ms + 2400),
                  "--dialog", features + "Cursor...|check@" + std::to_string(ms + 2900)});
    if (stacksCursor)
        Append(args, {"--dialog", "Cursors|&In use|check@" + std::to_string(ms + 3250)});
    Append(args, {"--key", "Home" + OnceShown("Cursors", 300, nth), "--dialog", "Cursors|OK|press@" + std::to_string(ms + 3800),
                  "--dialog", features + "OK|press@" + std::to_string(ms + 4300),
                  "--dialog", look + "OK|press@" + std::to_string(ms + 4800)});
    placing.back() += "@" + std::to_string(ms + 5500);
    Append(args, placing);
    Append(args, {"--dialog", "Actions|Done|press@" + std::to_string(ms + 6900)});
    return ms + 7300;
}

// The stack's own icon drawn in the middle of a button: the disc's colour at its centre, its
// black ring, and the card under the icon's corner, outside the disc.
void ExpectIconDrawn(const Shot& shot, const RECT& r, sb::Rgb disc, uint32_t card) {
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    EXPECT_TRUE(NearRgb(shot.At(x, y), disc.red, disc.green, disc.blue, 24)) << Hex(shot.At(x, y));
    EXPECT_TRUE(NearRgb(shot.At(x + 14, y), 0, 0, 0, 24)) << Hex(shot.At(x + 14, y));
    EXPECT_EQ(shot.At(x - 15, y - 15), card) << Hex(shot.At(x - 15, y - 15));
}

// Buttons of the two freehand placing modes on a card with a red and a blue square: the shape
// picked from the card (a click on the red square) and the lasso drawn around the blue one,
// each with the stack's own icon and a built-in cursor. Each is saved with its shape, over its
// square; reopened, each shows its icon in its middle and its cursor over it, and the bare card
// does not. The first Shift+Tab after the second is placed changes the tool at once.
TEST(AuthoringInBrowser, ButtonsPickedAndLassoedFromTheCardTakeTheirSquaresIconsAndCursors) {
    constexpr uint32_t kRed = 0xC02020, kDarkBlue = 0x2020C0;
    constexpr sb::Rgb kYellow = {255, 255, 0};
    sb::Stack stack = EditableStack();
    sb::Picture picture = sb::SolidPicture(kWidth, kHeight, 32, kGreen);
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 80; ++x) {
            picture.pixels[size_t(y) * kWidth + size_t(x)] = kRed;
            picture.pixels[size_t(y) * kWidth + size_t(x + 160)] = kDarkBlue;
        }
    stack.cards = {sb::PictureCard(1, picture)};
    WithOwnIcon(stack, kYellow);
    CachedSite site(kWidth, kHeight);
    site.server.Put("shapes.stk", Built(stack));

    // Where the dialog opens, to click its shape cells.
    const BrowserRun probe = AppearanceProbe(site, "shapes.stk");
    int pickX = 0, pickY = 0, lassoX = 0, lassoY = 0;
    ASSERT_TRUE(ShapeCell(probe.log, 6, &pickX, &pickY) && ShapeCell(probe.log, 7, &lassoX, &lassoY))
        << Joined(probe.log);
    const POINT pick = {pickX, pickY}, lasso = {lassoX, lassoY};
    const std::string copy = site.server.Name("shapes-copy.stk");
    std::vector<std::string> args;
    int ms = FreehandButtonWithIconAndCursor(args, 1500, pick, {"--click", "60,60"});
    ms = FreehandButtonWithIconAndCursor(args, ms, lasso, {"--drag", "190,30-250,30-250,90-190,90-190,31"}, false, 2);
    // Over the lassoed button: with the object tools its handles' cursor, not its own.
    Append(args, {"--key", "shift+Tab@" + std::to_string(ms), "--hover", At({220, 60}, ms + 200),
                  "--answer-alerts", "--quit-after-last", "1500"});
    Append(args, SaveAt(ms + 900, copy));
    const BrowserRun run = site.Run("shapes.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    const std::vector<std::string> found = ReportedObjects(json, "New Button");
    ASSERT_EQ(found.size(), 2u) << json;
    const RECT picked = ReportedRect(found[0]), lassoed = ReportedRect(found[1]);
    EXPECT_EQ(ReportedNumber(found[0], "shape"), 6) << found[0];
    EXPECT_EQ(std::vector<int>({picked.left, picked.top, picked.right, picked.bottom}),
              std::vector<int>({40, 40, 80, 80}));
    EXPECT_EQ(ReportedNumber(found[1], "shape"), 7) << found[1];
    EXPECT_EQ(std::vector<int>({lassoed.left, lassoed.top, lassoed.right, lassoed.bottom}),
              std::vector<int>({200, 40, 240, 80}));
    for (const std::string& button : found) {
        const int iconId = ReportedNumber(button, "iconId");
        EXPECT_TRUE(HasResource(json, "Icon", iconId)) << button;
        EXPECT_GT(ReportedNumber(button, "cursorId"), 0) << button;
    }
    // The icon chosen from "In use" before the cursor is the stack's own one, named and not
    // stored again.
    EXPECT_EQ(ReportedResources(json, "Icon").size(), 1u) << json;
    EXPECT_EQ(ReportedNumber(found[0], "iconId"), ReportedNumber(found[1], "iconId")) << json;

    const std::string shot = site.server.Name("shapes.png");
    std::vector<std::string> againArgs = HoversOver({{60, 60}, {220, 60}});
    Append(againArgs, {"--screenshot", shot, "--screenshot-after", "1200", "--answer-alerts", "--quit-after-last", "700"});
    const BrowserRun again = site.Run("shapes-copy.stk", againArgs);
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const Shot drawn(shot);
    ExpectIconDrawn(drawn, picked, kYellow, drawn.At(41, 41));
    ExpectIconDrawn(drawn, lassoed, kYellow, drawn.At(201, 41));
    ExpectOwnCursorOnlyOver(again.log, {{60, 60}, {220, 60}});
    EXPECT_NE(Find(run.log, "key(shift+Tab) focus=LoomTestBrowserEmbed"), -1) << Joined(run.log);
    ExpectObjectToolsCursor(run.log, {220, 60}, HoverCursor(again.log, 60, 60));
}

// A button whose shape is drawn with the pencil around a red square of the card, with the
// stack's own icon and the stack's own cursor (both from "In use"): saved with shape 5 over the
// square and the stack's cursor by its id, no copy of it. Reopened, it shows its icon in its
// middle and that cursor over it, and the bare card does not.
TEST(AuthoringInBrowser, APencilDrawnButtonKeepsItsShapeAndTheStacksOwnCursor) {
    constexpr uint32_t kRed = 0xC02020;
    constexpr sb::Rgb kYellow = {255, 255, 0};
    sb::Stack stack = EditableStack();
    sb::Picture picture = sb::SolidPicture(kWidth, kHeight, 32, kGreen);
    for (int y = 80; y < 140; ++y)
        for (int x = 100; x < 160; ++x)
            picture.pixels[size_t(y) * kWidth + size_t(x)] = kRed;
    stack.cards = {sb::PictureCard(1, picture)};
    WithOwnIcon(stack, kYellow);
    stack.resources.push_back({"Crsr", 301, "", 0, 0, sb::StoredCursor({0, 0, 255}, 8, 8)});
    CachedSite site(kWidth, kHeight);
    site.server.Put("pencil.stk", Built(stack));
    const BrowserRun probe = AppearanceProbe(site, "pencil.stk");
    int cellX = 0, cellY = 0;
    ASSERT_TRUE(ShapeCell(probe.log, 5, &cellX, &cellY)) << Joined(probe.log);
    const std::string copy = site.server.Name("pencil-copy.stk");
    std::vector<std::string> args;
    const int ms = FreehandButtonWithIconAndCursor(args, 1500, {cellX, cellY},
                                                   {"--drag", "100,80-160,80-160,140-100,140-100,81"}, true);
    Append(args, {"--answer-alerts", "--quit-after-last", "1500"});
    Append(args, SaveAt(ms + 600, copy));
    const BrowserRun run = site.Run("pencil.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "alert(id=2250)"), -1) << "the shape was defined\n" << Joined(run.log);
    const std::string json = site.Report(copy);
    const std::string button = ReportedObject(json, "New Button");
    ASSERT_NE(button, "") << json;
    EXPECT_EQ(ReportedNumber(button, "shape"), 5) << button;
    const RECT r = ReportedRect(button);
    EXPECT_TRUE(std::abs(r.left - 100) <= 1 && std::abs(r.top - 80) <= 1 && std::abs(r.right - 160) <= 1 &&
                std::abs(r.bottom - 140) <= 1)
        << button;
    EXPECT_EQ(ReportedNumber(button, "cursorId"), 301) << "the stack's own cursor, by its id\n" << button;
    EXPECT_EQ(ReportedResources(json, "Crsr").size(), 1u) << "the stack's cursor and no copy of it\n" << json;

    const std::string shot = site.server.Name("pencil.png");
    const POINT middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    std::vector<std::string> againArgs = HoversOver({middle, {r.left + 6, r.bottom - 6}});
    Append(againArgs, {"--screenshot", shot, "--screenshot-after", "1200", "--answer-alerts", "--quit-after-last", "700"});
    const BrowserRun again = site.Run("pencil-copy.stk", againArgs);
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const Shot drawn(shot);
    ExpectIconDrawn(drawn, r, kYellow, drawn.At(r.left + 3, r.top + 3));
    EXPECT_EQ(drawn.At(r.left - 5, r.top - 5), drawn.At(5, kHeight - 5)) << "the bare card around the shape";
    ExpectOwnCursorOnlyOver(again.log, {middle, {r.left + 6, r.bottom - 6}});
}

// Objects dragged and resized across the card's edge on a page larger than the card: a graphic
// dragged in browse mode, then with the object tool the old button moved off the right edge
// and its corner pulled past the bottom. The page outside the card is as it was, with no
// outline or dark band left there.
TEST(AuthoringInBrowser, ObjectsMovedAcrossTheCardsEdgeLeaveThePageOutsideClean) {
    sb::Stack stack = EditableStack();
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen));
    card.objects.push_back(sb::Button(1, kOldButton, "Old"));
    sb::Object graphic = sb::Graphic(2, {20, 20, 80, 80}, "Block");
    sb::SetGraphicPicture(graphic, sb::GradientPicture(60, 60, 8));
    graphic.flags = 0x80;  // draggable in browse mode
    card.objects.push_back(graphic);
    stack.cards = {card};
    stack.nextObjectId = 3;
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    CachedSite site(kWidth + 160, kHeight + 120);
    site.server.Put("edges.stk", AsText(bytes));
    const std::string before = site.server.Name("edges.png"), after = site.server.Name("edges-t2.png");
    const BrowserRun run = site.Run(
        "edges.stk", {"--screenshot", before, "--screenshot-after", "1000", "--drag", "50,50-300,220@1300",
                      "--key", "shift+Tab@2200", "--drag", "250,200-330,150@2600",
                      "--drag", "379,169-420,300@3500", "--screenshot-after", "4800", "--answer-alerts",
                      "--quit-after-last", "500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot was(before), is(after);
    ASSERT_EQ(is.width, UINT(kWidth + 160)) << Joined(run.log);
    std::string first;  // beside the card, then below it
    const int beside = Differing(was, is, {kWidth, 0, LONG(is.width), LONG(is.height)}, &first);
    const int below = Differing(was, is, {0, kHeight, kWidth, LONG(is.height)}, beside ? nullptr : &first);
    EXPECT_EQ(beside + below, 0) << "first at " << first << "\n" << Joined(run.log);
}

// Where the cropping dialog's view lies, in the card's coordinates: a probe run clicked the
// middle of the dialog, and its log names the point of the view the click reached.
bool CropViewOrigin(const std::vector<std::string>& log, POINT* origin) {
    const int click = FindHolding(log, " at LM_Image ");
    long x = 0, y = 0, inX = 0, inY = 0;
    if (click == -1 || std::sscanf(log[click].c_str(), "click(%ld,%ld)", &x, &y) != 2 ||
        std::sscanf(log[click].c_str() + log[click].find(" at LM_Image ") + 13, "%ld,%ld", &inX, &inY) != 2)
        return false;
    *origin = {x - inX, y - inY};
    return true;
}

// A point of the dialog of the title that a run showed, from its top-left, in the card's
// coordinates.
POINT InShown(const std::vector<std::string>& log, const std::string& title, POINT offset) {
    RECT shown{};
    POINT card{};
    if (!ShownPlace(log, title, &shown) || !CardOnScreen(log, &card))
        return {-10000, -10000};
    return {shown.left + offset.x - card.x, shown.top + offset.y - card.y};
}

// The upper frame-width arrow of the Graphic Appearance dialog that a run showed, in the card's
// coordinates: the dialog made here from the same template gives the arrows within its window.
POINT FrameWidthUpArrow(const std::vector<std::string>& log) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "GAPPEAR", nullptr, QuietDialogProc, 0);
    if (!dialog)
        return {-10000, -10000};
    RECT window{}, arrows{};
    GetWindowRect(dialog, &window);
    GetWindowRect(GetDlgItem(dialog, GAPPEAR_ARROWS), &arrows);
    DestroyWindow(dialog);
    return InShown(log, "Graphic Appearance", {arrows.left - window.left + 3, arrows.top - window.top + 3});
}

// A graphic from a picture file: the file chosen, a part of it cropped in the dialog, placed,
// framed and named in Graphic Appearance and given the first built-in cursor through
// Features..., then flipped sideways and upside down from its menu's Effects (and sideways
// once more, undone). Saved and reopened, the graphic is drawn pixel for pixel as that part of
// the picture turned half round inside its frame, and its cursor shows over it and not over the
// bare card or the other button.
TEST(AuthoringInBrowser, AGraphicCroppedFromAPictureAndFlippedKeepsItsPixelsAndCursor) {
    Site site;
    const std::string picture = site.server.Put("cells.bmp", CellPictureBmp());
    const std::string crop = "Graphic Objects|";
    std::vector<std::string> toTheCrop = {"--command", "307@1500"};
    Append(toTheCrop, PictureFileAt(picture, 2000));
    // Where the cropping dialog opens; then, from a click and a drag on the picture near its
    // top-left, where its view lies and where Graphic Appearance opens.
    std::vector<std::string> probeArgs = toTheCrop;
    Append(probeArgs, {"--dialog", crop + "Cancel|press@4000", "--answer-alerts", "--quit-after-last", "600"});
    const BrowserRun probe = site.Run(site.name, probeArgs);
    const POINT onPicture = InShown(probe.log, "Graphic Objects", {24, 90});
    std::vector<std::string> viewArgs = toTheCrop;
    const std::string picked = std::to_string(onPicture.x) + "," + std::to_string(onPicture.y);
    Append(viewArgs, {"--click", picked + OnceShown("Graphic Objects", 700), "--drag",
                      picked + "-" + std::to_string(onPicture.x + 12) + "," + std::to_string(onPicture.y + 8) + "@3900",
                      "--dialog", crop + "OK|press@4600", "--dialog", "Pageloom|OK|press@5000", "--click", "40,40@5400",
                      "--dialog", "Graphic Appearance|Cancel|press@6200", "--answer-alerts", "--quit-after-last", "600"});
    const BrowserRun viewProbe = site.Run(site.name, viewArgs);
    POINT view{};
    ASSERT_TRUE(CropViewOrigin(viewProbe.log, &view)) << Joined(probe.log) << Joined(viewProbe.log);
    const POINT upArrow = FrameWidthUpArrow(viewProbe.log);
    ASSERT_GT(upArrow.x, -10000) << Joined(viewProbe.log);
    const POINT cropFrom = {10, 6}, cropTo = {42, 38};
    const POINT from = {view.x + cropFrom.x, view.y + cropFrom.y}, to = {view.x + cropTo.x, view.y + cropTo.y};

    const std::string copy = site.server.Name("graphic-copy.stk"), plain = site.server.Name("plain.png");
    const std::string look = "Graphic Appearance|", features = "Object Features|";
    std::vector<std::string> args = {"--screenshot", plain, "--screenshot-after", "1000"};
    Append(args, toTheCrop);
    Append(args, {"--drag", std::to_string(from.x) + "," + std::to_string(from.y) + "-" + std::to_string(to.x) + "," +
                                std::to_string(to.y) + OnceShown("Graphic Objects", 900),
                  "--dialog", crop + "OK|press@4600", "--dialog", "Pageloom|OK|press@5000", "--click", "40,40@5400",
                  "--click", At(upArrow, 5700), "--click", At(upArrow, 5850),
                  "--dialog", look + "Name:|type:Cropped@6000",
                  "--dialog", look + "Features...|press@6300",
                  "--dialog", features + "Cursor...|check@6800", "--key", "Home" + OnceShown("Cursors", 300),
                  "--dialog", "Cursors|OK|press@7700", "--dialog", features + "OK|press@8200",
                  "--dialog", look + "OK|press@8700", "--hover", "158,118@9100", "--key", "shift+Tab@9400",
                  // Each menu's Right opens its sub-menu, a menu shown of its own.
                  "--hover", "160,120@9700", "--right-click", "160,120@10000",
                  "--key", "Down Down Right Return" + OnceShown("menu", 300), "--right-click", "160,120@10900",
                  "--key", "Down Down Right Down Return" + OnceShown("menu", 300, kNextShown), "--right-click", "160,120@11800",
                  "--key", "Down Down Right Return" + OnceShown("menu", 300, kNextShown), "--screenshot-after", "12500",
                  "--command", "150@12700", "--quit-after-last", "1500"});
    Append(args, SaveAt(13300, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);

    const std::string json = site.Report(copy);
    const std::string graphic = ReportedObject(json, "Cropped");
    ASSERT_NE(graphic, "") << Joined(run.log) << "\n" << json;
    const RECT r = ReportedRect(graphic);
    ASSERT_EQ(std::vector<int>({r.right - r.left, r.bottom - r.top}),
              std::vector<int>({cropTo.x - cropFrom.x, cropTo.y - cropFrom.y})) << graphic;

    const std::string shot = site.server.Name("graphic.png");
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    std::vector<std::string> againArgs = HoversOver({{x, y}});
    Append(againArgs, {"--screenshot", shot, "--screenshot-after", "1200", "--answer-alerts", "--quit-after-last", "700"});
    const BrowserRun again = site.Run("graphic-copy.stk", againArgs);
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const int frame = ReportedNumber(graphic, "frameWidth"), width = r.right - r.left, height = r.bottom - r.top;
    EXPECT_GE(frame, 1) << graphic;
    // The pixels inside the frame that differ from the cropped part mirrored as asked; the
    // outer ring's pixels that differ from its corner.
    int ring = 0;
    std::string first;
    const auto misdrawn = [&](const Shot& drawn, bool sideways, bool upsideDown) {
        int wrong = 0;
        ring = 0;
        for (int dy = 0; dy < height; ++dy)
            for (int dx = 0; dx < width; ++dx) {
                const uint32_t want = CellColour(cropFrom.x + (sideways ? width - 1 - dx : dx),
                                                 cropFrom.y + (upsideDown ? height - 1 - dy : dy));
                const uint32_t got = drawn.At(r.left + dx, r.top + dy);
                if (dx == 0 || dy == 0 || dx == width - 1 || dy == height - 1)
                    ring += got != drawn.At(r.left, r.top);
                else if (dx > frame && dy > frame && dx < width - 1 - frame && dy < height - 1 - frame &&
                         !NearRgb(got, int(want >> 16), int(want >> 8 & 255), int(want & 255), 24) && !wrong++)
                    first = std::to_string(dx) + "," + std::to_string(dy) + " " + Hex(got) + " for " + Hex(want);
            }
        return wrong;
    };
    // Before the undo the third flip had turned it back sideways.
    EXPECT_EQ(misdrawn(Shot(site.server.Name("plain-t2.png")), false, true), 0) << "first at " << first;
    const Shot drawn(shot);
    EXPECT_EQ(misdrawn(drawn, true, true), 0) << "first at " << first;
    EXPECT_EQ(ring, 0) << Hex(drawn.At(r.left, r.top));
    // Around the graphic the card is as it was before the graphic was made.
    const Shot card(plain);
    int changed = 0;
    for (int row = r.top - 1; row <= r.bottom; ++row)
        for (int column = r.left - 1; column <= r.right; ++column)
            if ((row < r.top || row == r.bottom || column < r.left || column == r.right) &&
                drawn.At(column, row) != card.At(column, row) && !changed++)
                first = std::to_string(column) + "," + std::to_string(row) + " " + Hex(card.At(column, row)) + " -> " +
                        Hex(drawn.At(column, row));
    EXPECT_EQ(changed, 0) << "first at " << first;

    ExpectOwnCursorOnlyOver(again.log, {{x, y}});
    // Placed in the middle of the card, the graphic shows its cursor for browsing; the first
    // Shift+Tab after it changes to the object tools, whose cursor it then shows.
    const std::string over = HoverCursor(again.log, x, y);
    EXPECT_EQ(HoverCursor(run.log, 158, 118), over) << Joined(run.log);
    ExpectObjectToolsCursor(run.log, {160, 120}, over);
}

// The text of the report from the card of the index (from 1) to the next card.
// A graphic on a card that shares the first card's background, made a group object through its
// menu's Features.... Saved, it lies in the background's list, not the card's; reopened, the
// first card shows it too.
// On a page larger than the card, new objects are offered centred on the card, not on the page:
// a button and a graphic cropped from a picture, each placed where offered, and clip art cut from
// the same picture, which floats there. Saved, the button and the graphic lie in the middle of
// the card; the clip art's pixels show there.
TEST(AuthoringInBrowser, NewObjectsOnAPageLargerThanTheCardAreOfferedOnTheCard) {
    Site site(kWidth + 200, kHeight + 160);
    const std::string picture = site.server.Put("cells.bmp", CellPictureBmp());
    const std::string copy = site.server.Name("centred-copy.stk"), shot = site.server.Name("centred.png");
    std::vector<std::string> args = {"--command", std::to_string(kNewButton) + "@1500",
                                     "--dialog", "Button Appearance|OK|press@2000", "--answer-alert", "2328:1",
                                     "--click", "5,5@2800", "--dialog", "Actions|Done|press@3400"};
    int ms = 4000;
    // The graphic (307) and then the clip art (106): a picture from the disk, a 32 by 32 part.
    for (const auto& [command, title] : {std::pair{307, std::string("Graphic Objects")}, std::pair{106, std::string("Clip Art")}}) {
        Append(args, {"--command", std::to_string(command) + "@" + std::to_string(ms)});
        Append(args, CellPictureCutAt(picture, title, ms + 500));
        if (command == 307)  // where it goes: offered centred, placed there by a click beside it
            Append(args, {"--dialog", "Pageloom|OK|press@" + std::to_string(ms + 3200),
                          "--click", "5,5@" + std::to_string(ms + 3700),
                          "--dialog", "Graphic Appearance|OK|press@" + std::to_string(ms + 4400)});
        ms += 5000;
    }
    Append(args, {"--screenshot", shot, "--screenshot-after", std::to_string(ms), "--answer-alerts",
                  "--quit-after-last", "1500"});
    Append(args, SaveAt(ms + 600, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    const RECT button = ReportedRect(ReportedObject(json, "New Button"));
    const int w = button.right - button.left, h = button.bottom - button.top;
    EXPECT_GT(w, 0) << json;
    EXPECT_EQ(std::vector<int>({button.left, button.top}), std::vector<int>({(kWidth - w) / 2, (kHeight - h) / 2}))
        << "the button in the middle of the card\n" << json;
    const std::string graphicObject = ReportedObjectOfKind(json, kObjectGraphic);
    ASSERT_NE(graphicObject, "") << json;
    const RECT graphic = ReportedRect(graphicObject);
    EXPECT_EQ(std::vector<int>({graphic.left, graphic.top, graphic.right, graphic.bottom}),
              std::vector<int>({(kWidth - 32) / 2, (kHeight - 32) / 2, (kWidth + 32) / 2, (kHeight + 32) / 2}))
        << json;
    // The clip art floats over the graphic, in the same place: the picture's cells from (10, 6).
    const Shot drawn(shot);
    int wrong = 0;
    for (int dy = 2; dy < 30; dy += 3)
        for (int dx = 2; dx < 30; dx += 3) {
            const uint32_t want = CellColour(10 + dx, 6 + dy);
            wrong += !NearRgb(drawn.At((kWidth - 32) / 2 + dx, (kHeight - 32) / 2 + dy), int(want >> 16),
                              int(want >> 8 & 255), int(want & 255), 40);
        }
    EXPECT_EQ(wrong, 0) << Joined(run.log);
}

TEST(AuthoringInBrowser, AGraphicMadeAGroupObjectInItsFeaturesMovesToTheBackground) {
    constexpr uint32_t kRed = 0xC02020;
    constexpr sb::Rect kTile = {100, 80, 160, 140};
    sb::Stack stack = EditableStack();
    sb::Card shared = sb::SharedCard(2, 1);
    sb::Object graphic = sb::Graphic(1, kTile, "Tile");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(60, 60, 32, kRed));
    shared.objects.push_back(graphic);
    stack.cards = {sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen)), shared};
    stack.nextObjectId = 2;
    CachedSite site(kWidth, kHeight);
    site.server.Put("group.stk", Built(stack));
    const std::string copy = site.server.Name("group-copy.stk");
    // "Features..." in a graphic's menu: below the title, Effects, Appearance and Actions.
    std::vector<std::string> args = {
        "--command", "204@1200", "--key", "shift+Tab@1800", "--right-click", "130,110@2200",
        "--key", "Down Down Down Down Down Return" + OnceShown("menu", 300),
        "--dialog", "Object Features|Group Object|check@3100", "--dialog", "Object Features|OK|press@3400",
        "--answer-alerts", "--quit-after-last", "1500"};
    Append(args, SaveAt(4000, copy));
    const BrowserRun run = site.Run("group.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    const std::string first = ReportedCard(json, 1), second = ReportedCard(json, 2);
    const std::string moved = ReportedObject(first, "Tile");
    ASSERT_NE(moved, "") << Joined(run.log) << json;
    EXPECT_EQ(ReportedNumber(moved, "flags") & kObjectBackground, kObjectBackground) << moved;
    EXPECT_EQ(ReportedObject(second, "Tile"), "") << second;

    const std::string shot = site.server.Name("group.png");
    const BrowserRun again = site.Run("group-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                         "--answer-alerts", "--quit-after-last", "600"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    // The tile over the card (on a palette display, in whatever colours the palette gives).
    const Shot is(shot);
    const uint32_t centre = is.At(130, 110);
    EXPECT_NE(centre, is.At(20, 20)) << Hex(centre);
    if (!IndexedDisplay()) {
        EXPECT_TRUE(NearRgb(centre, kRed >> 16, kRed >> 8 & 255, kRed & 255, 24)) << Hex(centre);
    }
}

// A link made in the Hypertext Links dialog: a word of a field on the green first card chosen
// by a double click, added as a link whose action goes to the next, blue card. Saved and
// reopened, a click on that word in browse goes to the blue card; a click beside the field
// (before it) does not.
TEST(AuthoringInBrowser, ALinkMadeInTheLinksDialogIsFollowedAfterReopening) {
    sb::Stack stack = EditableStack();
    sb::Card first = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen));
    first.objects.push_back(sb::TextField(1, {20, 20, 300, 60}, "Words", "harbour bound ships"));
    stack.cards = {first, sb::PictureCard(2, sb::SolidPicture(kWidth, kHeight, 32, kBlue))};
    stack.nextObjectId = 2;
    CachedSite site(kWidth, kHeight);
    site.server.Put("links.stk", Built(stack));
    const std::string copy = site.server.Name("links-copy.stk");
    const std::string links = "Hypertext Links|", actions = "Actions|";
    std::vector<std::string> args = {
        "--double-click", "40,28@1500", "--command", "311@2200", "--dialog", links + "Add Link|press@2800",
        "--dialog", links + "Actions...|press@3300", "--dialog", actions + "Another card...|press@3900",
        "--key", "alt+Right" + OnceShown("Move to card", 500), "--dialog", "Move to card|OK|press@5100", "--dialog", "Transitions|OK|press@5600",
        "--dialog", actions + "Done|press@6100", "--dialog", links + "Done|press@6700", "--answer-alerts",
        "--quit-after-last", "1500"};
    Append(args, SaveAt(7400, copy));
    const BrowserRun run = site.Run("links.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    // The link is the word alone, without the blank the double click took with it.
    const std::vector<std::string> link = ReportedResources(json, "Hlnk");
    ASSERT_EQ(link.size(), 1u) << Joined(run.log) << json;
    EXPECT_EQ(ReportedText(link[0], "name"), "harbour") << link[0];

    const std::string shot = site.server.Name("links.png");
    const std::string second = site.server.Name("links-t2.png"), third = site.server.Name("links-t3.png");
    const BrowserRun again = site.Run("links-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                         "--click", "10,10@1500", "--screenshot-after", "2500",
                                                         "--click", "40,28@3000", "--screenshot-after", "5000",
                                                         "--answer-alerts", "--quit-after-last", "600"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    // Blue against green (on a palette display, the nearest the palette has).
    const auto blue = [](uint32_t pixel) { return (pixel & 255) > (pixel >> 8 & 255); };
    const uint32_t before = Shot(shot).At(10, 230), beside = Shot(second).At(10, 230);
    const uint32_t after = Shot(third).At(10, 230);
    EXPECT_FALSE(blue(before)) << Hex(before);
    EXPECT_FALSE(blue(beside)) << "a click off the word stays\n" << Hex(beside) << "\n" << Joined(again.log);
    EXPECT_TRUE(blue(after)) << "the link went to the blue card: " << Hex(after) << "\n" << Joined(run.log) << json;
}

}  // namespace
