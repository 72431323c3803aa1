// Objects made by hand in the real plug-in under the test browser, saved, and opened again: a new
// button with a sample icon from the chooser and a cursor from its features, which draws the icon
// and whose cursor shows over it and over nothing else once reopened; buttons whose shapes are
// picked from the card and lassoed on it; a new text object whose style is chosen before words are
// typed into it, and Find Text going to the card that holds a word; objects moved across the card's
// edge on a larger page, which leave the page outside the card as it was; a graphic cropped from a
// picture file, drawn as cropped and showing its cursor once reopened; a link made in the Hypertext
// Links dialog and followed once reopened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "resources/graphics_ids.h"
#include "tests/support/TestBrowserRun_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kGreen = 0x00A000, kBlue = 0x2040C0;
constexpr sb::Rect kOldButton = {200, 180, 300, 220};
constexpr int kSave = 102, kNewButton = 306, kNewText = 308, kFindText = 207;

// An empty stack of the walks' card size, true colour, for a person who may edit.
sb::Stack EditableStack() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.depth = 32;
    stack.experiencedUser = 1;
    return stack;
}

// Two cards for a person who may edit: the first green with a button, the second blue with a
// field holding the word to find; an icon of the stack's own for the chooser's "In use".
std::string AuthoringStack() {
    sb::Stack stack = EditableStack();
    sb::Card first = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kGreen));
    first.objects.push_back(sb::Button(1, kOldButton, "Old"));
    sb::Card second = sb::PictureCard(2, sb::SolidPicture(kWidth, kHeight, 32, kBlue));
    second.objects.push_back(sb::TextField(2, {20, 20, 300, 60}, "Haystack", "Somewhere a needle hides"));
    stack.cards = {first, second};
    stack.nextObjectId = 3;
    stack.resources.push_back({"Icon", 300, "", 0, 0, sb::IconFile(32, {200, 30, 30})});
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    return std::string(bytes.begin(), bytes.end());
}

struct Site : CachedSite {
    std::string name;
    explicit Site(int pageWidth = kWidth, int pageHeight = kHeight) : CachedSite(pageWidth, pageHeight) {
        name = "author-" + std::to_string(GetCurrentProcessId()) + ".stk";
        server.Put(name, AuthoringStack());
    }
};

// Save over the original at the time, copied when the page closes.
std::vector<std::string> SaveAt(int ms, const std::string& copy) {
    return {"--command", std::to_string(kSave) + "@" + std::to_string(ms), "--answer-alert", "2340:2",
            "--save-copy", copy};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) { to.insert(to.end(), more.begin(), more.end()); }

void ExpectSaved(const Site& site, const BrowserRun& run) {
    EXPECT_EQ(FindHolding(run.log, "alert(id=2694)"), -1) << "the write failed\n" << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "saved(" + site.cache), -1) << Joined(run.log);
}

// The object of the report whose name is given: the text from its opening brace to its name.
std::string ReportedObject(const std::string& json, const std::string& name) {
    const size_t at = json.find("\"name\":\"" + name + "\"");
    if (at == std::string::npos)
        return "";
    const size_t open = json.rfind("{\"kind\"", at);
    return open == std::string::npos ? "" : json.substr(open, json.find('}', at) - open + 1);
}

// A number of the report after "key":.
int ReportedNumber(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + key.size() + 3);
}

sb::Rect ReportedRect(const std::string& object) {
    sb::Rect r{-1, -1, -1, -1};
    const size_t at = object.find("\"rect\":[");
    if (at != std::string::npos)
        std::sscanf(object.c_str() + at + 8, "%hd,%hd,%hd,%hd", &r.left, &r.top, &r.right, &r.bottom);
    return r;
}

// The cursor a hover logged: "arrow", "custom:DIGEST", ...; empty when it was not logged.
std::string HoverCursor(const std::vector<std::string>& log, int x, int y) {
    const int line = Find(log, "hover(" + std::to_string(x) + "," + std::to_string(y) + ")");
    if (line == -1)
        return "";
    const size_t at = log[line].find(" cursor=");
    return at == std::string::npos ? "" : log[line].substr(at + 8);
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
        "--dialog", look + "|Icons...|press@2000", "--key", "Home@2600", "--dialog", "Icons|OK|press@2900",
        "--dialog", look + "|Features...|press@3400", "--dialog", features + "|Cursor...|check@3900",
        "--key", "Home@4500", "--dialog", "Cursors|OK|press@4800", "--dialog", features + "|OK|press@5300",
        "--dialog", look + "|OK|press@5800", "--answer-alert", "2328:1", "--click", "10,10@6500",
        "--dialog", "Actions|Done|press@7100", "--key", "shift+Tab@7500", "--hover", "160,120@7700",
        "--quit-after", "9400"};
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
    EXPECT_NE(json.find("\"type\":\"Icon\",\"id\":" + std::to_string(iconId) + ","), std::string::npos)
        << button << "\n" << json;
    EXPECT_GT(ReportedNumber(button, "cursorId"), 0) << button;
    // A new button has no icon yet: the chooser opened on the samples beside the plug-in, and
    // Home took the first of them, the yellow star, which the stack now keeps as its own.
    const int chooser = Find(run.log, "shown(Icons)");
    ASSERT_NE(chooser, -1) << Joined(run.log);
    EXPECT_NE(run.log[chooser].find("\"&Samples\" (checked)"), std::string::npos) << run.log[chooser];
    EXPECT_EQ(FindHolding(run.log, "alert(id=2292)"), -1) << Joined(run.log);
    EXPECT_NE(iconId, 300) << button;

    const sb::Rect r = ReportedRect(button);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    // The plain card before and after the button, then the other button.
    const std::string shot = site.server.Name("button-again.png");
    const BrowserRun again = site.Run("button-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                          "--hover", "20,21@1500", "--hover",
                                                          std::to_string(x) + "," + std::to_string(y) + "@2500",
                                                          "--hover", "20,20@3500", "--hover", "250,200@4500",
                                                          "--command", "301@5300", "--command", "303@6100",
                                                          "--answer-alerts", "--close-dialogs", "--quit-after", "7000"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const std::string over = HoverCursor(again.log, x, y);
    // Reopened, the button draws the star's yellow.
    const Shot card(shot);
    int yellow = 0;
    for (int py = r.top; py < r.bottom; ++py)
        for (int px = r.left; px < r.right; ++px)
            yellow += NearRgb(card.At(px, py), 250, 210, 20, 16);
    EXPECT_GT(yellow, 100) << "star pixels in the reopened button";
    EXPECT_EQ(over.rfind("custom:", 0), 0u) << Joined(again.log);
    // Placed, the button left the tool for browsing; the first Shift+Tab after it reached the card
    // (not the browser's frame, which the closing dialog handed the focus) and went on to the
    // object tools, whose cursor the button then shows instead of its own.
    EXPECT_NE(Find(run.log, "key(shift+Tab) focus=LoomTestBrowserEmbed"), -1) << Joined(run.log);
    const std::string afterTab = HoverCursor(run.log, 160, 120);
    EXPECT_NE(afterTab, "") << Joined(run.log);
    EXPECT_NE(afterTab, over) << Joined(run.log);
    EXPECT_NE(HoverCursor(again.log, 20, 21), over) << Joined(again.log);
    EXPECT_EQ(HoverCursor(again.log, 20, 20), HoverCursor(again.log, 20, 21)) << "left for the card\n" << Joined(again.log);
    EXPECT_NE(HoverCursor(again.log, 250, 200), over) << "the other button keeps its own cursor\n" << Joined(again.log);
    // Neither the card nor the stack has actions: no "Things to do when" box is checked.
    for (const char* title : {"shown(About Card - ", "shown(About Stack - "}) {
        const int shown = Find(again.log, title);
        ASSERT_NE(shown, -1) << title << "\n" << Joined(again.log);
        EXPECT_EQ(again.log[shown].find("(checked)"), std::string::npos) << again.log[shown];
    }
}

// A new text object: placed where offered, its style made bold before OK, words typed into it;
// then Find Text finds the word on the second card and goes there. On a page larger than the
// card the field is offered half the card's size, a quarter in. Reopened, the report holds the
// typed words in bold where the field was offered.
TEST(AuthoringInBrowser, ANewTextObjectTypedInBoldThenFindTextGoesToTheWord) {
    Site site(kWidth + 160, kHeight + 120);  // a page larger than the card
    const std::string copy = site.server.Name("text-copy.stk");
    const std::string shot = site.server.Name("text.png");
    const std::string look = "Text Appearance", find = "Find Text";
    std::vector<std::string> args = {
        "--command", std::to_string(kNewText) + "@1500", "--answer-alert", "2370:1", "--click", "300,20@2200",
        "--dialog", look + "|Style...|press@2700", "--dialog", "Text Style|Bold|check@3200",
        "--dialog", "Text Style|OK|press@3500", "--dialog", look + "|OK|press@4000",
        "--key", "shift+Tab@4400", "--right-click", "20,200@4600", "--key", "Escape@4800",
        "--key", "shift+Tab@5000", "--click", "160,120@5200", "--keys", "Typed words@5600",
        "--command", std::to_string(kFindText) + "@5800", "--dialog", find + "|Search for:|type:needle@6300",
        "--dialog", find + "|OK|press@6500", "--screenshot", shot, "--screenshot-after", "7300",
        "--quit-after", "9000"};
    Append(args, SaveAt(7800, copy));
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
    const size_t typed = json.find("\"text\":\"Typed words");
    ASSERT_NE(typed, std::string::npos) << json;
    // Half the card a quarter in, however large the page.
    const sb::Rect r = ReportedRect(json.substr(json.rfind("{\"kind\"", typed)));
    EXPECT_EQ(std::vector<int>({r.left, r.top, r.right, r.bottom}), std::vector<int>({80, 60, 240, 180}));
    // Its runs: [start, font, face, ...]; bold is face bit 1.
    const size_t runs = json.find("\"runs\":[[", typed);
    ASSERT_NE(runs, std::string::npos) << json;
    int start = -1, font = -1, face = -1;
    std::sscanf(json.c_str() + runs + 9, "%d,%d,%d", &start, &font, &face);
    EXPECT_EQ(face & 1, 1) << json.substr(typed, 200);
}

// Where a shape's cell of the Button Appearance dialog lies, in the card's coordinates: the
// dialog made here from the same template gives the cell within its window, and a run that
// opened it gives where that window and the card lay on the screen.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool ShapeCell(const std::vector<std::string>& log, int shape, int* x, int* y) {
    const int shown = Find(log, "shown(Button Appearance) ");
    const int card = Find(log, "card(instance=1) at screen ");
    if (shown == -1 || card == -1)
        return false;
    long left = 0, top = 0, cardX = 0, cardY = 0;
    if (std::sscanf(log[shown].c_str() + log[shown].find(" at ") + 4, "%ld,%ld", &left, &top) != 2 ||
        std::sscanf(log[card].c_str() + log[card].find(" screen ") + 8, "%ld,%ld", &cardX, &cardY) != 2)
        return false;
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

// Buttons of the two freehand placing modes on a card with a red and a blue square: the shape
// picked from the card (a click on the red square) and the lasso drawn around the blue one.
// Each is saved with its shape, over its square.
TEST(AuthoringInBrowser, ButtonsPickedAndLassoedFromTheCardTakeTheirSquares) {
    sb::Stack stack = EditableStack();
    sb::Picture picture = sb::SolidPicture(kWidth, kHeight, 32, kGreen);
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 80; ++x) {
            picture.pixels[size_t(y) * kWidth + size_t(x)] = 0xC02020;
            picture.pixels[size_t(y) * kWidth + size_t(x + 160)] = 0x2020C0;
        }
    stack.cards = {sb::PictureCard(1, picture)};
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    CachedSite site(kWidth, kHeight);
    site.server.Put("shapes.stk", std::string(bytes.begin(), bytes.end()));

    // Where the dialog opens, to click its shape cells.
    const BrowserRun probe = site.Run("shapes.stk", {"--command", std::to_string(kNewButton) + "@1200",
                                                     "--close-dialogs", "--answer-alerts", "--quit-after", "2200"});
    int pickX = 0, pickY = 0, lassoX = 0, lassoY = 0;
    ASSERT_TRUE(ShapeCell(probe.log, 6, &pickX, &pickY) && ShapeCell(probe.log, 7, &lassoX, &lassoY))
        << Joined(probe.log);
    const auto at = [](int x, int y, int ms) {
        return std::to_string(x) + "," + std::to_string(y) + "@" + std::to_string(ms);
    };
    const std::string look = "Button Appearance";
    const std::string copy = site.server.Name("shapes-copy.stk");
    std::vector<std::string> args = {
        "--command", std::to_string(kNewButton) + "@1500", "--click", at(pickX, pickY, 2100),
        "--dialog", look + "|OK|press@2500", "--click", "60,60@3200", "--dialog", "Actions|Done|press@3800",
        "--command", std::to_string(kNewButton) + "@4500", "--click", at(lassoX, lassoY, 5100),
        "--dialog", look + "|OK|press@5500", "--drag", "190,30-250,30-250,90-190,90-190,31@6200",
        "--dialog", "Actions|Done|press@7600", "--answer-alerts", "--quit-after", "9200"};
    Append(args, SaveAt(8200, copy));
    const BrowserRun run = site.Run("shapes.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    const std::string objects = json.substr(0, json.find("\"resources\""));
    std::vector<std::string> found;
    for (size_t from = 0; (from = objects.find("\"name\":\"New Button\"", from)) != std::string::npos; ++from)
        found.push_back(objects.substr(objects.rfind("{\"kind\"", from), 400));
    ASSERT_EQ(found.size(), 2u) << json;
    const sb::Rect picked = ReportedRect(found[0]), lassoed = ReportedRect(found[1]);
    EXPECT_EQ(ReportedNumber(found[0], "shape"), 6) << found[0];
    EXPECT_EQ(std::vector<int>({picked.left, picked.top, picked.right, picked.bottom}),
              std::vector<int>({40, 40, 80, 80}));
    EXPECT_EQ(ReportedNumber(found[1], "shape"), 7) << found[1];
    EXPECT_EQ(std::vector<int>({lassoed.left, lassoed.top, lassoed.right, lassoed.bottom}),
              std::vector<int>({200, 40, 240, 80}));
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
    site.server.Put("edges.stk", std::string(bytes.begin(), bytes.end()));
    const std::string before = site.server.Name("edges.png"), after = site.server.Name("edges-t2.png");
    const BrowserRun run = site.Run(
        "edges.stk", {"--screenshot", before, "--screenshot-after", "1000", "--drag", "50,50-300,220@1300",
                      "--key", "shift+Tab@2200", "--drag", "250,200-330,150@2600",
                      "--drag", "379,169-420,300@3500", "--screenshot-after", "4800", "--answer-alerts",
                      "--quit-after", "5300"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot was(before), is(after);
    ASSERT_EQ(is.width, UINT(kWidth + 160)) << Joined(run.log);
    int changed = 0;
    std::string first;
    for (int y = 0; y < int(is.height); ++y)
        for (int x = 0; x < int(is.width); ++x)
            if ((x >= kWidth || y >= kHeight) && is.At(x, y) != was.At(x, y)) {
                if (!changed++)
                    first = std::to_string(x) + "," + std::to_string(y) + " " + Hex(was.At(x, y)) + " -> " + Hex(is.At(x, y));
            }
    EXPECT_EQ(changed, 0) << "first at " << first << "\n" << Joined(run.log);
}

// A picture of 4-pixel cells in the eight pure colours (exact on a palette display too), laid
// out so that no shift of a pixel repeats it: a crop that is off by one shows.
constexpr int kPictureWidth = 64, kPictureHeight = 48;
uint32_t CellColour(int x, int y) {
    const int cx = x / 4, cy = y / 4, index = (cx * cx + 3 * cy + cx * cy + 1) % 8;
    return (index & 4 ? 0xFF0000u : 0) | (index & 2 ? 0x00FF00u : 0) | (index & 1 ? 0x0000FFu : 0);
}

// The picture as a 24-bit BMP file, bottom row first.
std::string CellPictureBmp() {
    const int rowBytes = (kPictureWidth * 3 + 3) & ~3, size = 54 + rowBytes * kPictureHeight;
    std::string bmp(size_t(size), '\0');
    const auto put = [&bmp](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[at + size_t(i)] = char(value >> (8 * i) & 255);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, uint32_t(size), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, kPictureWidth, 4);
    put(22, kPictureHeight, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            put(54 + size_t(kPictureHeight - 1 - y) * size_t(rowBytes) + size_t(x) * 3, CellColour(x, y), 3);
    return bmp;
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
    const int shown = Find(log, "shown(" + title + ") ");
    const int card = Find(log, "card(instance=1) at screen ");
    long left = 0, top = 0, cardX = 0, cardY = 0;
    if (shown == -1 || card == -1 ||
        std::sscanf(log[shown].c_str() + log[shown].find(" at ") + 4, "%ld,%ld", &left, &top) != 2 ||
        std::sscanf(log[card].c_str() + log[card].find(" screen ") + 8, "%ld,%ld", &cardX, &cardY) != 2)
        return {-10000, -10000};
    return {left + offset.x - cardX, top + offset.y - cardY};
}

std::string At(POINT p, int ms) { return std::to_string(p.x) + "," + std::to_string(p.y) + "@" + std::to_string(ms); }

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
// Features.... Saved and reopened, the graphic is drawn pixel for pixel as that part of the
// picture inside its frame, and its cursor shows over it and not over the bare card or the
// other button.
TEST(AuthoringInBrowser, AGraphicCroppedFromAPictureKeepsItsPixelsAndCursor) {
    Site site;
    const std::string picture = site.server.Put("cells.bmp", CellPictureBmp());
    const std::string open = "Please select a picture file|", crop = "Graphic Objects|";
    const std::vector<std::string> toTheCrop = {
        "--command", "307@1500", "--dialog", "Picture Source|Disk file|check@2000",
        "--dialog", "Picture Source|OK|press@2200", "--dialog", open + "File name:|type:" + picture + "@2700",
        "--dialog", open + "Open|press@2900"};
    // Where the cropping dialog opens; then, from a click and a drag on the picture near its
    // top-left, where its view lies and where Graphic Appearance opens.
    std::vector<std::string> probeArgs = toTheCrop;
    Append(probeArgs, {"--dialog", crop + "Cancel|press@4000", "--answer-alerts", "--quit-after", "4600"});
    const BrowserRun probe = site.Run(site.name, probeArgs);
    const POINT onPicture = InShown(probe.log, "Graphic Objects", {24, 90});
    std::vector<std::string> viewArgs = toTheCrop;
    Append(viewArgs, {"--click", At(onPicture, 3600), "--drag",
                      std::to_string(onPicture.x) + "," + std::to_string(onPicture.y) + "-" +
                          At({onPicture.x + 12, onPicture.y + 8}, 3900),
                      "--dialog", crop + "OK|press@4600", "--dialog", "Pageloom|OK|press@5000", "--click", "40,40@5400",
                      "--dialog", "Graphic Appearance|Cancel|press@6200", "--answer-alerts", "--quit-after", "6800"});
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
                                std::to_string(to.y) + "@3800",
                  "--dialog", crop + "OK|press@4600", "--dialog", "Pageloom|OK|press@5000", "--click", "40,40@5400",
                  "--click", At(upArrow, 5700), "--click", At(upArrow, 5850), "--dialog", look + "Name:|type:Cropped@6000",
                  "--dialog", look + "Features...|press@6300",
                  "--dialog", features + "Cursor...|check@6800", "--key", "Home@7400",
                  "--dialog", "Cursors|OK|press@7700", "--dialog", features + "OK|press@8200",
                  "--dialog", look + "OK|press@8700", "--quit-after", "10400"});
    Append(args, SaveAt(9300, copy));
    const BrowserRun run = site.Run(site.name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);

    const std::string json = site.Report(copy);
    const std::string graphic = ReportedObject(json, "Cropped");
    ASSERT_NE(graphic, "") << Joined(run.log) << "\n" << json;
    const sb::Rect r = ReportedRect(graphic);
    ASSERT_EQ(std::vector<int>({r.right - r.left, r.bottom - r.top}),
              std::vector<int>({cropTo.x - cropFrom.x, cropTo.y - cropFrom.y})) << graphic;

    const std::string shot = site.server.Name("graphic.png");
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    const BrowserRun again = site.Run("graphic-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                           "--hover", "20,21@1500", "--hover",
                                                           std::to_string(x) + "," + std::to_string(y) + "@2500",
                                                           "--hover", "20,20@3500", "--hover", "250,200@4500",
                                                           "--answer-alerts", "--quit-after", "5200"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    // Inside its frame the picture as cropped; the frame's outer ring in one colour.
    const int frame = ReportedNumber(graphic, "frameWidth"), width = r.right - r.left, height = r.bottom - r.top;
    EXPECT_GE(frame, 1) << graphic;
    const Shot drawn(shot);
    int wrong = 0, ring = 0;
    std::string first;
    for (int dy = 0; dy < height; ++dy)
        for (int dx = 0; dx < width; ++dx) {
            const uint32_t want = CellColour(cropFrom.x + dx, cropFrom.y + dy), got = drawn.At(r.left + dx, r.top + dy);
            if (dx == 0 || dy == 0 || dx == width - 1 || dy == height - 1)
                ring += got != drawn.At(r.left, r.top);
            else if (dx > frame && dy > frame && dx < width - 1 - frame && dy < height - 1 - frame &&
                     !NearRgb(got, int(want >> 16), int(want >> 8 & 255), int(want & 255), 24) && !wrong++)
                first = std::to_string(dx) + "," + std::to_string(dy) + " " + Hex(got) + " for " + Hex(want);
        }
    EXPECT_EQ(wrong, 0) << "first at " << first;
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

    const std::string over = HoverCursor(again.log, x, y);
    EXPECT_EQ(over.rfind("custom:", 0), 0u) << Joined(run.log) << Joined(again.log);
    EXPECT_NE(HoverCursor(again.log, 20, 21), over) << Joined(again.log);
    EXPECT_EQ(HoverCursor(again.log, 20, 20), HoverCursor(again.log, 20, 21)) << "left for the card\n" << Joined(again.log);
    EXPECT_NE(HoverCursor(again.log, 250, 200), over) << "the other button keeps its own cursor\n" << Joined(again.log);
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
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    CachedSite site(kWidth, kHeight);
    site.server.Put("links.stk", std::string(bytes.begin(), bytes.end()));
    const std::string copy = site.server.Name("links-copy.stk");
    const std::string links = "Hypertext Links|", actions = "Actions|";
    std::vector<std::string> args = {
        "--double-click", "40,28@1500", "--command", "311@2200", "--dialog", links + "Add Link|press@2800",
        "--dialog", links + "Actions...|press@3300", "--dialog", actions + "Another card...|press@3900",
        "--key", "alt+Right@4500", "--dialog", "Move to card|OK|press@5100", "--dialog", "Transitions|OK|press@5600",
        "--dialog", actions + "Done|press@6100", "--dialog", links + "Done|press@6700", "--answer-alerts",
        "--quit-after", "8600"};
    Append(args, SaveAt(7400, copy));
    const BrowserRun run = site.Run("links.stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    // The link is the word alone, without the blank the double click took with it.
    const size_t link = json.find("\"type\":\"Hlnk\"");
    ASSERT_NE(link, std::string::npos) << Joined(run.log) << json;
    EXPECT_NE(json.find("\"name\":\"harbour\",", link), std::string::npos) << json.substr(link, 120);

    const std::string shot = site.server.Name("links.png");
    const std::string second = site.server.Name("links-t2.png"), third = site.server.Name("links-t3.png");
    const BrowserRun again = site.Run("links-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                         "--click", "10,10@1500", "--screenshot-after", "2500",
                                                         "--click", "40,28@3000", "--screenshot-after", "5000",
                                                         "--answer-alerts", "--quit-after", "5600"});
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
