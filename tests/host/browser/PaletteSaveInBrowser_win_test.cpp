// Colours kept through saves and conversions, in the real plug-in in the test browser, at the
// display's depth: a stack saved with nothing edited keeps its bytes but for the header fields
// a save writes, at its own depth and after every card was looked at (on a palette display the
// cards are shown in the system's colours, which is no change to them); a card-size change
// converts each card from the picture and palette it has in the file, not from a copy made for
// showing; an edit of one card leaves the others' records as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Crc32.h"
#include "tests/support/ReportJson.h"
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"
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
constexpr int kCards = 3;
constexpr sb::Rect kGraphicRect{20, 20, 52, 40}, kFieldRect{20, 150, 200, 190}, kButtonRect{220, 180, 300, 220},
    kOtherFieldRect{40, 60, 280, 100};
constexpr uint16_t kGraphicId = 1, kFieldId = 2, kButtonId = 3, kOtherFieldId = 4;

// A palette of the stack's own, far from the system's: every entry a colour of its own.
std::vector<sb::Rgb> OwnPalette(int shift) {
    std::vector<sb::Rgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t((i * 3 + shift) & 255)});
    return palette;
}

// A stack of the depth: card 1 holds its picture, a masked graphic whose mask stores its size
// as 0 x 0 (the object's size), a text field and a button; card 2 shares card 1's picture and
// has a field of its own; card 3 holds another picture. Palette pictures carry palettes of their
// own.
sb::Stack ColourStack(int depth) {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, static_cast<uint16_t>(depth));
    sb::Picture picture = sb::GradientPicture(kWidth, kHeight, depth);
    if (depth == 8)
        picture.palette = OwnPalette(0);
    sb::Card first = sb::PictureCard(1, picture);
    sb::Object graphic = sb::Graphic(kGraphicId, kGraphicRect, "Masked");
    const int gw = kGraphicRect.right - kGraphicRect.left, gh = kGraphicRect.bottom - kGraphicRect.top;
    sb::Picture small = sb::GradientPicture(gw, gh, depth);
    small.palette = picture.palette;
    sb::SetGraphicPicture(graphic, small);
    graphic.mask = sb::PackedMaskBlock(gw, gh, [](int x, int y) { return x + y < 30; });
    for (int i = 0; i < 4; ++i)
        graphic.mask[size_t(i)] = 0;  // the size stored as 0 x 0
    graphic.words.push_back({kGraphicColor, 40});
    first.objects.push_back(graphic);
    sb::Object field = sb::TextField(kFieldId, kFieldRect, "Note", "Hello");
    field.words.push_back({kTextColor, 90});
    first.objects.push_back(field);
    sb::Object button = sb::Button(kButtonId, kButtonRect, "Onward");
    button.words.push_back({kButtonNameColor, 120});
    first.objects.push_back(button);
    sb::Card second = sb::SharedCard(2, 1);
    sb::Object other = sb::TextField(kOtherFieldId, kOtherFieldRect, "Other", "Shares the picture");
    other.words.push_back({kTextColor, 200});
    second.objects.push_back(other);
    sb::Picture own = sb::GradientPicture(kWidth, kHeight, depth);
    std::reverse(own.pixels.begin(), own.pixels.end());
    if (depth == 8)
        own.palette = OwnPalette(77);
    stack.cards = {first, second, sb::PictureCard(3, own)};
    stack.nextObjectId = kOtherFieldId + 1;
    // The font table every save stores; the fields use the default font only.
    stack.resources.push_back({"FntL", 128, "", 0, 0, sb::FontTable({})});
    return stack;
}

// The stack's depth that the display shows as it is.
int DisplaysOwnDepth() { return IndexedDisplay() ? 8 : DisplayBits() == 16 ? 16 : 32; }

// Where two stack files differ, but for the header fields every save writes (card count,
// resource area offset and count, next resource id, the Mac Roman flag): "" when nowhere.
std::string Differences(const std::string& was, const std::string& now) {
    if (was.size() != now.size()) {
        const size_t at = size_t(std::mismatch(was.begin(), was.begin() + ptrdiff_t(std::min(was.size(), now.size())),
                                               now.begin()).first - was.begin());
        return "sizes " + std::to_string(was.size()) + " and " + std::to_string(now.size()) + ", first apart at " +
               std::to_string(at);
    }
    const auto written = [](size_t at) {
        return (at >= kHeaderCardCount && at < kHeaderCardCount + 2) ||
               (at >= kHeaderResourceOffset && at < kHeaderNextResourceId + 4) || at == kHeaderFlags + 1;
    };
    std::string out;
    int count = 0;
    for (size_t at = 0; at < was.size(); ++at)
        if (was[at] != now[at] && !(at < kStackHeaderBytes && written(at)) && ++count <= 8)
            out += "byte " + std::to_string(at) + ": " + std::to_string(uint8_t(was[at])) + " then " +
                   std::to_string(uint8_t(now[at])) + "\n";
    return count ? std::to_string(count) + " bytes differ\n" + out : "";
}

// The card records of a stack file, in order (empty when one does not fit).
std::vector<std::string> CardRecords(const std::string& file) {
    std::vector<std::string> records;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(file.data()), file.size());
    if (bytes.size() < kStackHeaderBytes)
        return records;
    size_t at = kStackHeaderBytes;
    for (int i = 0; i < GetBE16(bytes, kHeaderCardCount); ++i) {
        const uint32_t length = at + kCardHeaderBytes <= bytes.size() ? GetBE32(bytes.subspan(at), kCardLength) : 0;
        if (length < kMinCardRecordBytes || length > bytes.size() - at)
            return {};
        records.push_back(file.substr(at, length));
        at += length;
    }
    return records;
}

// The colours of the table a card record stores with its picture: each 8-byte entry's red,
// green and blue words (the words before them are the writer's own).
std::string ColourTable(const std::string& record) {
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(record.data()), record.size());
    if (bytes.size() < kPictureTableOffset)
        return "";
    const uint32_t size = GetBE32(bytes.subspan(kPictureBlockOffset), kBlockTableSize);
    if (size > bytes.size() - kPictureTableOffset)
        return "";
    std::string colours;
    for (uint32_t at = 8 + 2; at + 6 <= size; at += 8)
        colours += record.substr(kPictureTableOffset + at, 6);
    return colours;
}

// A picture twice as wide and high, each pixel four times; with its palette's colours when deep.
sb::Picture Doubled(const sb::Picture& p, int depth) {
    sb::Picture out = p;
    out.width = p.width * 2;
    out.height = p.height * 2;
    out.depth = depth;
    out.pixels.assign(size_t(out.width) * size_t(out.height), 0);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const uint32_t v = p.pixels[size_t(y / 2) * size_t(p.width) + size_t(x / 2)];
            out.pixels[size_t(y) * size_t(out.width) + size_t(x)] =
                depth == p.depth ? v : sb::Pixel32(p.palette[v]);
        }
    return out;
}

// The walk shared by the cases: the stack put on the site, each card gone to and back (so that
// on a palette display each was fitted to it), the steps given, Save over the original, and the
// saved copy read back.
struct ColourRun {
    CachedSite site{kWidth, kHeight};
    std::string name, stored, copy;
    BrowserRun run;
    ColourRun(const std::string& base, const sb::Stack& stack, const std::vector<std::string>& steps) {
        name = base + "-" + ProcessTag() + ".stk";
        stored = Built(stack);
        site.server.Put(name, stored);
        const std::string copyPath = site.server.Name(base + "-copy.stk");
        std::vector<std::string> args;
        int ms = 1200;
        for (int command : {204, 204, 202}) {
            Append(args, {"--command", std::to_string(command) + "@" + std::to_string(ms)});
            ms += 500;
        }
        Append(args, steps);
        Append(args, {"--command", "102@" + std::to_string(ms + 6000), "--answer-alert", "2340:2", "--save-copy",
                      copyPath, "--answer-alerts", "--quit-after-last", "1500"});
        run = site.Run(name, args);
        copy = ReadFile(copyPath);
    }
};

// Nothing edited, every card looked at, Save: the file as it was, but for an object marked deleted,
// which the save drops. Stacks of the display's own depth (8 on a palette display, 16, 32 on true
// colour).
TEST(PaletteSave, AStackOnlyLookedAtIsSavedAsItWasStored) {
    const int depth = DisplaysOwnDepth();
    ColourRun c("unedited" + std::to_string(depth), ColourStack(depth), {});
    ASSERT_EQ(c.run.exitCode, 0) << c.run.errors << Joined(c.run.log);
    ExpectSaved(c.site, c.run);
    EXPECT_EQ(Find(c.run.log, "alert(id=2340)"), -1) << Joined(c.run.log);
    EXPECT_EQ(Differences(c.stored, c.copy), "") << "a " << depth << "-bit stack";
    // The same with an object marked deleted beside the masked graphic: the save drops it and so
    // writes that card anew, and the graphic still goes out as the file held it (its mask size
    // 0 x 0, not the object's size the reader filled in): the file is the stack without it.
    sb::Stack marked = ColourStack(depth);
    sb::Object gone = sb::Button(kOtherFieldId + 1, {100, 20, 160, 50}, "Deleted");
    gone.flags = kObjectDeletedFlag;
    marked.cards[0].objects.insert(marked.cards[0].objects.begin() + 1, gone);
    marked.nextObjectId = kOtherFieldId + 2;
    sb::Stack without = marked;
    without.cards[0].objects.erase(without.cards[0].objects.begin() + 1);
    ColourRun dropped("deleted" + std::to_string(depth), marked, {});
    ASSERT_EQ(dropped.run.exitCode, 0) << dropped.run.errors << Joined(dropped.run.log);
    EXPECT_EQ(Differences(Built(without), dropped.copy), "") << "a " << depth << "-bit stack, an object dropped";
    // The demo, with its actions, links, icons and sound, is a 256-colour stack: its cards are
    // written as stored (the save drops the resources nothing names and stores its font table).
    if (depth == 8) {
        ColourRun demo("demo", sb::DemoStack(), {});
        ASSERT_EQ(demo.run.exitCode, 0) << demo.run.errors << Joined(demo.run.log);
        const std::vector<std::string> was = CardRecords(demo.stored), now = CardRecords(demo.copy);
        ASSERT_EQ(now.size(), was.size()) << Joined(demo.run.log);
        for (size_t card = 0; card < was.size(); ++card)
            EXPECT_TRUE(now[card] == was[card]) << "the demo's card " << card + 1;
    }
}

// On every display: each card looked at (on a palette display, fitted to it), then the card
// size doubled in the size dialog, then Save. Every picture card is its own picture doubled in
// its own colours: at 8 bits with its own colour table, and when the save converts it for a
// deeper display (2340 answered "Save over original"), in the 32-bit colours of that palette
// (at 16 bits the display's own rounding decides).
TEST(PaletteSave, ACardSizeChangeConvertsEachCardFromItsOwnPictureAndPalette) {
    const sb::Stack stack = ColourStack(8);
    const std::string about = "About Stack - unsized-" + ProcessTag() + ".stk";
    const std::string size = "Card Size and Colors";
    const std::vector<std::string> steps = {
        "--command", "303@3000", "--dialog", about + "|110|press@3600", "--dialog", size + "|220|type:640@4200",
        "--dialog", size + "|221|type:480@4400", "--dialog", size + "|OK|press@4600", "--dialog", about + "|OK|press@5000"};
    ColourRun c("unsized", stack, steps);
    ASSERT_EQ(c.run.exitCode, 0) << c.run.errors << Joined(c.run.log);
    ExpectSaved(c.site, c.run);
    const std::vector<std::string> was = CardRecords(c.stored), now = CardRecords(c.copy);
    ASSERT_EQ(now.size(), size_t(kCards)) << Joined(c.run.log);
    const int depth = GetBE16(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(c.copy.data()), c.copy.size()),
                              kHeaderDepth);
    EXPECT_EQ(depth, DisplaysOwnDepth());
    const std::string json = c.site.Report(c.site.server.Name("unsized-copy.stk"));
    for (int card : {0, 2}) {
        const sb::Picture& own = *stack.cards[size_t(card)].picture;
        if (depth == 8) {
            EXPECT_EQ(ColourTable(now[size_t(card)]), ColourTable(was[size_t(card)])) << "card " << card + 1;
        }
        if (depth == 16)
            continue;  // a 16-bit display rounds each colour its own way
        const std::vector<uint8_t> rows = sb::MacRows(Doubled(own, depth));
        EXPECT_EQ(ReportedValue(ReportedValue(ReportedCard(json, card + 1), "image"), "crc32"),
                  std::to_string(Crc32(rows)))
            << "card " << card + 1 << "\n" << ReportedCard(json, card + 1);
    }
}

// On every display: each card looked at, then words typed into the field of the card that
// shares the first card's picture, then Save. That card holds the words; the other records are
// as they were stored, the shared picture and its objects' colours among them.
TEST(PaletteSave, AnEditOfOneCardLeavesTheOthersAsStored) {
    const int depth = DisplaysOwnDepth();
    const sb::Stack stack = ColourStack(depth);
    const std::vector<std::string> steps = {"--command", "204@3000", "--click", "160,80@3400",
                                            "--key", "End Space e d i t e d@3800"};
    ColourRun c("oneedit", stack, steps);
    ASSERT_EQ(c.run.exitCode, 0) << c.run.errors << Joined(c.run.log);
    ExpectSaved(c.site, c.run);
    const std::vector<std::string> was = CardRecords(c.stored), now = CardRecords(c.copy);
    ASSERT_EQ(now.size(), size_t(kCards)) << Joined(c.run.log);
    EXPECT_TRUE(now[0] == was[0]) << depth << " bits: the card whose picture the edited card shares";
    EXPECT_TRUE(now[2] == was[2]) << "a card of its own";
    const std::string json = c.site.Report(c.site.server.Name("oneedit-copy.stk"));
    const std::vector<std::string> texts = ReportedTexts(json);
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                            [](const std::string& t) { return t.find("Shares the picture edited") != std::string::npos; }))
        << json;
    // The field's colour is the one it had, in the palette it is stored with.
    const std::span<const uint8_t> edited(reinterpret_cast<const uint8_t*>(now[1].data()), now[1].size());
    ASSERT_GE(edited.size(), kCardHeaderBytes + kTextHeaderBytes);
    EXPECT_EQ(GetBE16(edited, kCardHeaderBytes), kObjectText);
    EXPECT_EQ(GetBE16(edited, kCardHeaderBytes + kTextColor), 200);
}

// A picture of four coloured quarters, 64 by 64, as a file to place.
constexpr sb::Rgb kQuarters[4] = {{200, 40, 40}, {40, 160, 60}, {30, 60, 200}, {250, 150, 20}};
std::string QuartersBmp() {
    sb::Picture picture = sb::SolidPicture(64, 64, 32, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.pixels[size_t(y * 64 + x)] = sb::Pixel32(kQuarters[(y / 32) * 2 + x / 32]);
    const std::vector<uint8_t> bytes = sb::BmpFile(picture);
    return AsText(bytes);
}

// The demo's first card, whose 256 colours are greys: clip art placed from a picture file and
// kept in the card picture shows the picture's colours on a true-colour display. A palette
// display shows the card in its own palette, the greys the file keeps.
TEST(PaletteColours, APicturePlacedOnTheDemosGreyCardKeepsItsColours) {
    if (IndexedDisplay())
        GTEST_SKIP() << "the card's own palette, all greys, holds no colour of the picture";
    CachedSite site(kWidth, kHeight);
    const std::string name = site.Serve("demo", Built(sb::DemoStack()));
    const std::string picture = site.server.Put("quarters.bmp", QuartersBmp());
    const std::string shot = site.server.Name("placed.png");
    std::vector<std::string> args = {"--command", "106@1500"};
    Append(args, PictureFileAt(picture, 2000));
    Append(args, {
        "--dialog", "Clip Art|101|drag:0,0-64,64@3700", "--dialog", "Clip Art|OK|press@4300",
        // Kept in the card picture by a click beside it.
        "--click", "300,10@5000", "--screenshot", shot, "--screenshot-after", "6000", "--answer-alerts",
        "--quit-after-last", "800"});
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot placed(shot);
    ASSERT_EQ(placed.width, UINT(kWidth)) << Joined(run.log);
    // Offered in the middle of the card (128, 88): a point of each quarter clear of the "Onward"
    // button over it (its frame and icon).
    const int slack = DisplayBits() == 16 ? 8 : 0;
    const POINT inside[4] = {{136, 96}, {184, 96}, {132, 148}, {188, 148}};
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int x = inside[quarter].x, y = inside[quarter].y;
        const sb::Rgb want = kQuarters[quarter];
        EXPECT_TRUE(NearRgb(placed.At(x, y), want.red, want.green, want.blue, slack))
            << "quarter " << quarter << ": " << Hex(placed.At(x, y)) << "\n" << Joined(run.log);
    }
}

}  // namespace
