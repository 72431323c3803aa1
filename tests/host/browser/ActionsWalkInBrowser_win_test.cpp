// Actions given to objects through their dialogs in the real plug-in in the test browser, by
// right clicks, keys and the dialogs' controls, then saved, opened again and clicked: a button
// that moves to another card with a transition tried three times and kept, plays a stored sound
// and fires on a timer; a cancelled second edit that leaves the saved stack as it was; a graphic
// and a text object that move to the card walked to.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/TestBrowserRun_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rgb kRed{200, 40, 40}, kGreen{40, 200, 40}, kBlue{40, 40, 200};
constexpr sb::Rect kButtonRect{20, 20, 100, 50}, kGraphicRect{200, 20, 260, 70}, kFieldRect{20, 150, 140, 200};
constexpr uint16_t kButtonId = 1, kGraphicId = 2, kFieldId = 3;
constexpr int kSave = 102, kSaveAs = 103;

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

sb::Card ColourCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(kWidth, kHeight, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    return card;
}

// Three cards, red, green and blue, for a person who may edit; the first holds a button, a
// graphic and a text object without actions, and the stack a stored sound.
std::string WalkStack() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.experiencedUser = 1;
    stack.cards = {ColourCard(1, kRed), ColourCard(2, kGreen), ColourCard(3, kBlue)};
    stack.cards[0].objects.push_back(sb::ShapedButton(kButtonId, kButtonRect, "Go", 1));
    sb::Object graphic = sb::Graphic(kGraphicId, kGraphicRect, "Block");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(kGraphicRect.right - kGraphicRect.left,
                                                    kGraphicRect.bottom - kGraphicRect.top, 8, 0));
    stack.cards[0].objects.push_back(graphic);
    stack.cards[0].objects.push_back(sb::TextField(kFieldId, kFieldRect, "Note", "Hello"));
    stack.nextObjectId = 4;
    stack.resources.push_back({"Snd ", 300, "Beep", 0, 0, StoredSnd(Square(11025, 60))});
    return AsText(sb::BuildStack(stack).bytes);
}

struct Site : CachedSite {
    Site() : CachedSite(kWidth, kHeight) {}
};

std::string At(int ms) { return "@" + std::to_string(ms); }
std::string Centre(const sb::Rect& r) {
    return std::to_string((r.left + r.right) / 2) + "," + std::to_string((r.top + r.bottom) / 2);
}

// Which of the three card colours a pixel is nearest to (1 red, 2 green, 3 blue).
int CardOfColour(uint32_t pixel) {
    const sb::Rgb colours[] = {kRed, kGreen, kBlue};
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 3; ++i) {
        const int r = int(pixel >> 16 & 255) - colours[i].red, g = int(pixel >> 8 & 255) - colours[i].green,
                  b = int(pixel & 255) - colours[i].blue;
        if (r * r + g * g + b * b < bestDistance) {
            bestDistance = r * r + g * g + b * b;
            best = i + 1;
        }
    }
    return best;
}

TEST(ActionsWalkInBrowser, AButtonGetsAMoveASoundAndATimerAndACancelledEditChangesNothing) {
    Site site;
    const std::string name = "actwalk-" + std::to_string(GetCurrentProcessId()) + ".stk";
    site.server.Put(name, WalkStack());
    const std::string copy = site.server.Name("actwalk-copy.stk");
    const std::string shot = site.server.Name("actwalk.png");
    site.server.Name("actwalk-t2.png");
    const std::string button = Centre(kButtonRect);
    const std::string transitions = "Transitions|", deck = "Digital Audio Deck|", timer = "Automatic Timer|";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--screenshot", shot, "--screenshot-after",
               "1300", "--right-click", button + At(1500), "--key", "Down Down Down Down Down Return" + At(1900),
               "--dialog", "Actions|Another card...|press" + At(2400), "--key", "alt+Right" + At(3000),
               "--dialog", "Move to card|OK|press" + At(3600),
               "--dialog", transitions + "50|choose:Dissolve" + At(4100),
               "--dialog", transitions + "Try it|press" + At(4300), "--dialog", transitions + "Try it|press" + At(5300),
               "--dialog", transitions + "Try it|press" + At(6300), "--dialog", transitions + "OK|press" + At(7300),
               "--dialog", "Actions|Play a sound...|check" + At(7800), "--dialog", deck + "51|choose:Chime" + At(8100),
               "--dialog", deck + "In Use|press" + At(8300),
               "--dialog", deck + "51|choose:Beep" + At(8700), "--dialog", deck + "OK|press" + At(9000),
               "--dialog", "Actions|Automatic timer...|check" + At(9500),
               "--dialog", timer + "Activate button after card is shown|check" + At(10000),
               "--dialog", timer + "1002|type:4" + At(10200), "--dialog", timer + "OK|press" + At(10400),
               "--dialog", "Actions|Done|press" + At(10900), "--screenshot-after", "11400",
               "--command", std::to_string(kSave) + At(11600), "--save-copy", copy, "--quit-after", "12800"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // The deck opened on the samples beside the plug-in, which list their chime.
    EXPECT_EQ(FindHolding(run.log, "alert(id=2292)"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "dialog-action(Digital Audio Deck|51|choose:Chime) -> "), -1) << Joined(run.log);
    // "Try it" three times drew the card again without a second set of its objects: the text
    // object has one window, before the walk and after it.
    std::vector<std::string> windows;
    for (const std::string& line : run.log)
        if (StartsWith(line, "screenshot(") && line.find("windows inside: ") != std::string::npos)
            windows.push_back(line.substr(line.find("windows inside: ")));
    ASSERT_EQ(windows.size(), 2u) << Joined(run.log);
    EXPECT_EQ(windows[0], "windows inside: 1");
    EXPECT_EQ(windows[1], windows[0]);
    // The button goes to card 2 by "Dissolve" (14), plays its sound (chunk 83) and fires once
    // four seconds after its card is shown (0x1000 + 40 tenths).
    const std::string json = site.Report(copy);
    EXPECT_NE(json.find("\"name\":\"Go\",\"timer\":[1,4136],\"chunks\":[83]"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"card\":1,\"button\":1,\"destination\":2,\"transition\":14,"), std::string::npos) << json;

    // Opened again: a click plays the sound and moves; back on the first card, the timer moves
    // again after its delay. Then a second edit of the button changes its place and drops its
    // sound, and is cancelled; a third cancels each of its dialogs and ends with Done: Save As
    // writes what was saved before, byte for byte.
    const std::string sink = site.server.Name("actwalk-sink.wav");
    const std::string again = site.server.Name("again.png");
    for (int i = 2; i <= 4; ++i)
        site.server.Name("again-t" + std::to_string(i) + ".png");
    const std::string savedAs = site.server.Name("actwalk-named.stk");
    const std::string title = "Please name this Stack|";
    const BrowserRun reopened = site.Run(
        "actwalk-copy.stk",
        {"--answer-alerts", "--screenshot", again, "--screenshot-after", "1500", "--click", button + At(1800),
         "--screenshot-after", "4500", "--command", "202" + At(5000), "--screenshot-after", "7500",
         "--screenshot-after", "10500", "--command", "202" + At(10700), "--key", "shift+Tab" + At(11000),
         "--right-click", button + At(11400),
         "--key", "Down Down Down Down Down Return" + At(11800), "--dialog", "Actions|Next card|press" + At(12300),
         "--dialog", transitions + "OK|press" + At(12800), "--dialog", "Actions|Play a sound...|uncheck" + At(13300),
         "--dialog", "Actions|Cancel|press" + At(13700),
         // A third edit cancels the card walk, the sound and the timer dialogs and ends with Done.
         "--right-click", button + At(14200), "--key", "Down Down Down Down Down Return" + At(14600),
         "--dialog", "Actions|Another card...|press" + At(15100), "--dialog", "Move to card|Cancel|press" + At(15700),
         "--dialog", "Actions|Play a sound...|uncheck" + At(16300),
         "--dialog", "Actions|Play a sound...|check" + At(16400),
         "--dialog", deck + "Cancel|press" + At(17200), "--dialog", "Actions|Automatic timer...|uncheck" + At(17800),
         "--dialog", "Actions|Automatic timer...|check" + At(17900), "--dialog", timer + "Cancel|press" + At(18500),
         "--dialog", "Actions|Done|press" + At(19000), "--command", std::to_string(kSaveAs) + At(19600),
         "--dialog", title + "File name:|type:" + savedAs + At(20100), "--dialog", title + "Save|press" + At(20300),
         "--quit-after", "21500"},
        {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const int x = 300, y = 120;  // beside the objects
    EXPECT_EQ(CardOfColour(Shot(again).At(x, y)), 1);
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t2.png")).At(x, y)), 2) << "the click moved";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t3.png")).At(x, y)), 1) << "the timer waits";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t4.png")).At(x, y)), 2) << "the timer moved";
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "the sound played";
    for (const std::string& cancelled : {std::string("Move to card|"), deck, timer})
        EXPECT_NE(Find(reopened.log, "dialog-action(" + cancelled + "Cancel|press) -> Button 2 "), -1) << cancelled;
    const std::string named = ReadFile(savedAs);
    EXPECT_FALSE(named.empty());
    EXPECT_TRUE(named == ReadFile(copy)) << "the cancelled edits changed the stack";
}

// Three 30 × 20 frames, yellow, cyan and magenta, a tenth of a second each.
std::string FlipBookGif() {
    Bytes gif{'G', 'I', 'F', '8', '9', 'a', 30, 0, 20, 0, 0x81, 0, 0};
    for (uint8_t c : {0, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 255})
        gif.push_back(c);
    for (uint8_t index : {1, 2, 3}) {
        gif.insert(gif.end(), {0x21, 0xF9, 4, 0x04, 10, 0, 0, 0});
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 30, 0, 20, 0, 0});
        const Bytes lzw = GifPixels(Bytes(size_t{30} * 20, index));
        gif.insert(gif.end(), lzw.begin(), lzw.end());
    }
    gif.push_back(0x3B);
    return AsText(gif);
}

bool IsFlipBookColour(uint32_t pixel) {
    return NearRgb(pixel, 255, 255, 0, 60) || NearRgb(pixel, 0, 255, 255, 60) || NearRgb(pixel, 255, 0, 255, 60);
}

// Pixels of a band across the card that differ between two shots.
int ChangedInBand(const Shot& a, const Shot& b, int top, int bottom) {
    int changed = 0;
    for (int y = top; y < bottom; y += 2)
        for (int x = 0; x < kWidth; x += 2)
            changed += a.At(x, y) != b.At(x, y);
    return changed;
}

// The button gets an animation of a card area grabbed and dragged along a recorded path; the
// graphic a walk to card 3 and a flip-book from an animated GIF played where it was clicked;
// the text object a walk to card 2. Opened again, each click plays and moves as authored.
TEST(ActionsWalkInBrowser, AnimationsAndCardWalksOfAButtonAGraphicAndATextObject) {
    Site site;
    const std::string name = "animwalk-" + std::to_string(GetCurrentProcessId()) + ".stk";
    site.server.Put(name, WalkStack());
    const std::string gif = site.server.Put("flip.gif", FlipBookGif());
    const std::string copy = site.server.Name("animwalk-copy.stk");
    const std::string actions = "Actions|", walk = "Move to card|", animation = "Animation|";
    const std::string picture = "Please select a picture file|";
    // "Current Card" and "Disk Library" of the frame source dialog, centred on the card.
    const std::string currentCard = "219,102", diskLibrary = "58,102";
    // The flip-book's one point, on the graphic below the prompt that lies over the card's top.
    const std::string flipBookPoint = "230,60";
    // "Actions..." in the context menus: a graphic has one item of its own above it (Effects), a
    // button and a text object two (Icons... or Style..., and Format).
    const std::string graphicActions = "Down Down Down Down Return", buttonActions = "Down Down Down Down Down Return";
    const BrowserRun run = site.Run(
        name,
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000),
         // The button: the graphic's area grabbed, then dragged across the card as the path.
         "--right-click", Centre(kButtonRect) + At(1400), "--key", buttonActions + At(1800),
         "--dialog", actions + "Play animation...|check" + At(2300), "--click", currentCard + At(3000),
         "--drag", "205,25-255,65" + At(3600), "--drag", "40,100-280,110" + At(4600), "--key", "Return" + At(5300),
         "--dialog", animation + "OK|press" + At(6000), "--dialog", actions + "Done|press" + At(6600),
         // The graphic: card 3, then the GIF played twice over where the graphic is.
         "--right-click", Centre(kGraphicRect) + At(7200), "--key", graphicActions + At(7600),
         "--dialog", actions + "Another card...|press" + At(8100), "--key", "alt+Right" + At(8700),
         "--key", "alt+Right" + At(9300), "--dialog", walk + "OK|press" + At(9900),
         "--dialog", "Transitions|OK|press" + At(10400), "--dialog", actions + "Play animation...|check" + At(10900),
         "--click", diskLibrary + At(11600), "--dialog", picture + "File name:|type:" + gif + At(12200),
         "--dialog", picture + "Open|press" + At(12400), "--click", flipBookPoint + At(13300),
         "--key", "Return" + At(13800), "--dialog", animation + "frame repeats|check" + At(14400),
         "--dialog", animation + "1032|type:2" + At(14500), "--dialog", animation + "1008|type:4" + At(14600),
         "--dialog", animation + "OK|press" + At(14700),
         "--dialog", actions + "Done|press" + At(15300),
         // The text object: card 2.
         "--right-click", Centre(kFieldRect) + At(15900), "--key", buttonActions + At(16300),
         "--dialog", actions + "Another card...|press" + At(16800), "--key", "alt+Right" + At(17400),
         "--dialog", walk + "OK|press" + At(18000), "--dialog", "Transitions|OK|press" + At(18500),
         "--dialog", actions + "Done|press" + At(19000), "--command", std::to_string(kSave) + At(19600),
         "--save-copy", copy, "--quit-after", "21000"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    // The button's animated object: one grabbed frame along the recorded path; the graphic and
    // the text object each hold an 'Actn' resource of their own.
    EXPECT_NE(json.find("\"sprites\":[{\"card\":1,\"button\":1,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"frames\":1,"), std::string::npos) << json;
    const size_t firstAction = json.find("\"type\":\"Actn\"");
    ASSERT_NE(firstAction, std::string::npos) << json;
    EXPECT_NE(json.find("\"type\":\"Actn\"", firstAction + 1), std::string::npos) << json;

    const std::string shot = site.server.Name("anim.png");
    for (int i = 2; i <= 6; ++i)
        site.server.Name("anim-t" + std::to_string(i) + ".png");
    const BrowserRun reopened = site.Run(
        "animwalk-copy.stk",
        {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1200",
         "--click", Centre(kButtonRect) + At(1500), "--screenshot-after", "1900", "--screenshot-after", "2300",
         "--click", Centre(kGraphicRect) + At(4000),
         "--screenshot-after", "4400", "--screenshot-after", "7000", "--command", "202" + At(7500),
         "--click", Centre(kFieldRect) + At(8000), "--screenshot-after", "9500", "--quit-after", "10000"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const Shot before(shot);
    const int x = 300, y = 120;
    EXPECT_EQ(CardOfColour(before.At(x, y)), 1);
    EXPECT_GT(std::max(ChangedInBand(before, Shot(site.server.Name("anim-t2.png")), 80, 130),
                       ChangedInBand(before, Shot(site.server.Name("anim-t3.png")), 80, 130)),
              50)
        << "the grabbed area moves along its path";
    const Shot flipping(site.server.Name("anim-t4.png"));
    EXPECT_TRUE(IsFlipBookColour(flipping.At(230, 60))) << "the move waits for the flip-book: " << Hex(flipping.At(230, 60));
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("anim-t5.png")).At(x, y)), 3) << "the graphic moved to card 3";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("anim-t6.png")).At(x, y)), 2) << "the text object moved to card 2";
}

}  // namespace
