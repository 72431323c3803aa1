// Actions given to objects through their dialogs in the real plug-in in the test browser, by
// right clicks, keys and the dialogs' controls, then saved, opened again and clicked: a button
// that moves to another card with a transition tried three times and kept, plays a stored sound
// and fires on a timer; a cancelled second edit that leaves the saved stack as it was; a graphic
// and a text object that move to the card walked to.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/TestBrowserRun_win.h"
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
               "--dialog", "Actions|Play a sound...|check" + At(7800), "--dialog", deck + "In Use|press" + At(8300),
               "--dialog", deck + "51|choose:Beep" + At(8700), "--dialog", deck + "OK|press" + At(9000),
               "--dialog", "Actions|Automatic timer...|check" + At(9500),
               "--dialog", timer + "Activate button after card is shown|check" + At(10000),
               "--dialog", timer + "1002|type:4" + At(10200), "--dialog", timer + "OK|press" + At(10400),
               "--dialog", "Actions|Done|press" + At(10900), "--screenshot-after", "11400",
               "--command", std::to_string(kSave) + At(11600), "--save-copy", copy, "--quit-after", "12800"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
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
    // sound, and is cancelled: Save As writes what was saved before.
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
         "--screenshot-after", "10500", "--command", "202" + At(10700), "--key", "shift+Tab" + At(11000), "--right-click", button + At(11400),
         "--key", "Down Down Down Down Down Return" + At(11800), "--dialog", "Actions|Next card|press" + At(12300),
         "--dialog", transitions + "OK|press" + At(12800), "--dialog", "Actions|Play a sound...|uncheck" + At(13300),
         "--dialog", "Actions|Cancel|press" + At(13700), "--command", std::to_string(kSaveAs) + At(14200),
         "--dialog", title + "File name:|type:" + savedAs + At(14700), "--dialog", title + "Save|press" + At(14900),
         "--quit-after", "16000"},
        {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const int x = 300, y = 120;  // beside the objects
    EXPECT_EQ(CardOfColour(Shot(again).At(x, y)), 1);
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t2.png")).At(x, y)), 2) << "the click moved";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t3.png")).At(x, y)), 1) << "the timer waits";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t4.png")).At(x, y)), 2) << "the timer moved";
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "the sound played";
    const std::string named = ReadFile(savedAs);
    EXPECT_FALSE(named.empty());
    EXPECT_TRUE(named == ReadFile(copy)) << "the cancelled edit changed the stack";
}

}  // namespace
