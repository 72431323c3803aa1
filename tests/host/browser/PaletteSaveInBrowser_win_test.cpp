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
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/TestBrowserRun_win.h"

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

std::string Built(const sb::Stack& stack) {
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    return std::string(bytes.begin(), bytes.end());
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

// The walk shared by the cases: the stack put on the site, each card gone to and back (so that
// on a palette display each was fitted to it), the steps given, Save over the original, and the
// saved copy read back.
struct ColourRun {
    CachedSite site{kWidth, kHeight};
    std::string name, stored, copy;
    BrowserRun run;
    ColourRun(const std::string& base, const sb::Stack& stack, const std::vector<std::string>& steps) {
        name = base + "-" + std::to_string(GetCurrentProcessId()) + ".stk";
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

// Nothing edited, every card looked at, Save: the file as it was. Stacks of the display's own
// depth (8 on a palette display, 16, 32 on true colour).
TEST(PaletteSave, AStackOnlyLookedAtIsSavedAsItWasStored) {
    const int depth = DisplaysOwnDepth();
    ColourRun c("unedited" + std::to_string(depth), ColourStack(depth), {});
    ASSERT_EQ(c.run.exitCode, 0) << c.run.errors << Joined(c.run.log);
    ExpectSaved(c.site, c.run);
    EXPECT_EQ(Find(c.run.log, "alert(id=2340)"), -1) << Joined(c.run.log);
    EXPECT_EQ(Differences(c.stored, c.copy), "") << "a " << depth << "-bit stack";
}

}  // namespace
