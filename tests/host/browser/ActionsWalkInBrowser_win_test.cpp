// Actions given to objects through their dialogs in the real plug-in in the test browser, by
// right clicks, keys and the dialogs' controls, then saved, opened again and clicked: a button
// that moves to another card with a transition tried three times and kept, plays a sound
// recorded on the deck and fires on a timer; a cancelled second edit that leaves the saved
// stack as it was; a graphic and a text object that move to the card walked to.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "quicktime/formats/MusicTrack.h"
#include "resources/info_ids.h"
#include "format/StackFile.h"
#include "tests/media/RecorderTesting_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/NbaCallLog.h"
#include "tests/support/ReportJson.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/XwdImage.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rgb kRed{200, 40, 40}, kGreen{40, 200, 40}, kBlue{40, 40, 200};
constexpr sb::Rect kButtonRect{20, 20, 100, 50}, kGraphicRect{200, 20, 260, 70}, kFieldRect{20, 150, 140, 200};
constexpr uint16_t kButtonId = 1, kGraphicId = 2, kFieldId = 3;
constexpr int kSave = 102, kSaveAs = 103;
constexpr uint16_t kModuleId = 7001;  // the stack's id of the test action module

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Its palette holds the flip-book's yellow, cyan and magenta too: a palette display shows a card
// and what is placed on it in the card's own colours.
sb::Card ColourCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(kWidth, kHeight, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
    return card;
}

// Three cards, red, green and blue, for a person who may edit; the first holds a button, a
// graphic and a text object without actions, and the stack a stored sound.
sb::Stack WalkCards() {
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
    return stack;
}

std::string Built(const sb::Stack& stack) { return AsText(sb::BuildStack(stack).bytes); }
std::string WalkStack() { return Built(WalkCards()); }

// A button of the first card that goes, three seconds after the card is shown, to the third card
// or to the first card of "other.stk". Its time does not run under an information dialog: opened
// half a second after the card and kept four and a half seconds, the dialog has the timer fall
// due under it when it does not wait, and ends two and a half seconds or less before it goes.
sb::Stack TickStack(bool toOtherStack) {
    sb::Stack stack = WalkCards();
    sb::Object tick = sb::ShapedButton(4, {240, 150, 300, 180}, "Tick", 1, 0, toOtherStack ? 0 : 3);
    if (toOtherStack) {
        tick.words.push_back({kButtonDestination, static_cast<uint16_t>(-6)});
        tick.words.push_back({kButtonActionFlags, kActGoTo | kActOtherStack});
        tick.chunks.push_back(sb::PathChunk(kTagOtherStack, "Disk:other.stk"));
    }
    sb::SetTimer(tick, 3, 1);
    stack.cards[0].objects.push_back(tick);
    stack.nextObjectId = 5;
    return stack;
}

struct Site : CachedSite {
    Site() : CachedSite(kWidth, kHeight) {}
};

std::string At(int ms) { return "@" + std::to_string(ms); }

// The report's first "sprites" entry as JSON text; empty when none.
std::string FirstSprite(const std::string& json) {
    const ReportJson report = ParseReport(json);
    const ReportJson& sprites = ItemsOf(report, "sprites");
    return sprites.empty() ? "" : JsonText(sprites[0]);
}

// Whether a resource entry's name starts with the text.
bool HasResourceNamedFrom(const std::string& json, const std::string& start) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& entry : ItemsOf(report, "resources"))
        if (entry.value("name", "").starts_with(start))
            return true;
    return false;
}
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

// The stack served as STEM.stk with the test action module; the module's log, STEM.txt.
std::string ServeWithModule(Site& site, sb::Stack stack, const std::string& stem) {
    stack.resources.push_back(NbasResource(kModuleId, "testaction.nba"));
    site.server.Put(stem + ".stk", Built(stack));
    return site.server.Name(stem + ".txt");
}

// A walk that answers every alert, takes the author's tool and chooses an item of an object's
// menu by its keys, then goes on with the steps given.
std::vector<std::string> ObjectMenuFirst(const sb::Rect& object, const std::string& keys, const std::vector<std::string>& then) {
    std::vector<std::string> args = {"--answer-alert", "2340:2", "--answer-alerts", "--key", "shift+Tab" + At(1000),
                                     "--right-click", Centre(object) + At(1400), "--key", keys + OnceShown("menu", 400)};
    Append(args, then);
    return args;
}

TEST(ActionsWalkInBrowser, AButtonGetsAMoveASoundAndATimerAndACancelledEditChangesNothing) {
    Site site;
    // The deck records from our stand-in wave input (at 11025 Hz) and plays into a sink.
    const std::vector<uint8_t> input = OrderedSamples(900);
    StandInWaveIn device(input);
    const std::string deckSink = site.server.Name("actwalk-deck.wav");
    const std::string name = site.Serve("actwalk", WalkStack());
    const std::string copy = site.server.Name("actwalk-copy.stk");
    const std::string shot = site.server.Name("actwalk.png");
    site.server.Name("actwalk-t2.png");
    const std::string button = Centre(kButtonRect);
    const std::string transitions = "Transitions|", deck = "Digital Audio Deck|", timer = "Automatic Timer|";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--screenshot", shot, "--screenshot-after",
               "1300", "--right-click", button + At(1500), "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
               "--dialog", "Actions|Another card...|press" + At(2400), "--key", "alt+Right" + OnceShown("Move to card", 600),
               "--dialog", "Move to card|OK|press" + At(3600),
               "--dialog", transitions + "50|choose:Dissolve" + At(4100),
               "--dialog", transitions + "Try it|press" + At(4300), "--dialog", transitions + "Try it|press" + At(5300),
               "--dialog", transitions + "Try it|press" + At(6300), "--dialog", transitions + "OK|press" + At(7300),
               // The deck: record (its left quarter), a key stops, Play (its third quarter), and
               // OK keeps the recording under the name the deck proposed.
               "--dialog", "Actions|Play a sound...|check" + At(7800), "--dialog", deck + "50|click:25,40" + At(8400),
               "--key", "a" + At(9100), "--dialog", deck + "50|click:125,40" + At(9600),
               "--dialog", deck + "OK|press" + At(10100),
               "--dialog", "Actions|Automatic timer...|check" + At(10600),
               "--dialog", timer + "Activate button after card is shown|check" + At(11100),
               "--dialog", timer + "1002|type:4" + At(11300), "--dialog", timer + "OK|press" + At(11500),
               "--dialog", "Actions|Done|press" + At(12000), "--screenshot-after", "12500",
               "--command", std::to_string(kSave) + At(12700), "--save-copy", copy, "--quit-after-last", "1500"},
        {{"LOOM_QUICKTIME_SINK", deckSink}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // The deck's Play played what was recorded: the input's samples in order, at the deck's
    // volume (127 of 255 for a new sound).
    const std::vector<uint8_t> recorded = WaveSamples(ReadAll(deckSink));
    EXPECT_FALSE(recorded.empty()) << "Play played the recording " << Joined(run.log);
    EXPECT_EQ(FirstStray(recorded, input, 1, 127), -1) << "the recorded samples play";
    // The deck opened on the samples beside the plug-in: nothing said they are missing.
    EXPECT_EQ(FindHolding(run.log, "alert(id=2292)"), -1) << Joined(run.log);
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
    const std::string go = ReportedObject(json, "Go"), move = ReportedDestination(json, 1, 1);
    EXPECT_EQ(ReportedValue(go, "timer"), "[1,4136]") << json;
    EXPECT_EQ(ReportedValue(go, "chunks"), "[83]") << json;
    EXPECT_EQ(ReportedNumber(move, "destination"), 2) << json;
    EXPECT_EQ(ReportedNumber(move, "transition"), 14) << json;
    EXPECT_TRUE(HasResourceNamedFrom(json, "NewSnd0")) << "the key stopped the recording, typing nothing " << json;

    // Opened again: a click plays the sound and moves; back on the first card, the timer moves
    // again after its delay (shot two and a half seconds before it and after it). Then a second
    // edit of the button changes its place and drops its sound, and is cancelled; a third cancels each of its dialogs and ends with Done: Save As
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
         "--screenshot-after", "4500", "--command", "202" + At(5000), "--screenshot-after", "6500",
         "--screenshot-after", "11500", "--command", "202" + At(11700), "--key", "shift+Tab" + At(12000),
         "--right-click", button + At(12400),
         "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400), "--dialog", "Actions|Next card|press" + At(13300),
         "--dialog", transitions + "OK|press" + At(13800), "--dialog", "Actions|Play a sound...|uncheck" + At(14300),
         "--dialog", "Actions|Cancel|press" + At(14700),
         // A third edit cancels the card walk, the sound and the timer dialogs and ends with Done.
         "--right-click", button + At(15200), "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", "Actions|Another card...|press" + At(16100), "--dialog", "Move to card|Cancel|press" + At(16700),
         "--dialog", "Actions|Play a sound...|uncheck" + At(17300),
         "--dialog", "Actions|Play a sound...|check" + At(17400),
         "--dialog", deck + "Cancel|press" + At(18200), "--dialog", "Actions|Automatic timer...|uncheck" + At(18800),
         "--dialog", "Actions|Automatic timer...|check" + At(18900), "--dialog", timer + "Cancel|press" + At(19500),
         "--dialog", "Actions|Done|press" + At(20000), "--command", std::to_string(kSaveAs) + At(20600),
         "--dialog", title + "File name:|type:" + savedAs + At(21100), "--dialog", title + "Save|press" + At(21300),
         "--quit-after-last", "1500"},
        {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const int x = 300, y = 120;  // beside the objects
    EXPECT_EQ(CardOfColour(Shot(again).At(x, y)), 1);
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t2.png")).At(x, y)), 2) << "the click moved";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t3.png")).At(x, y)), 1) << "the timer waits";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("again-t4.png")).At(x, y)), 2) << "the timer moved";
    const std::vector<uint8_t> heard = WaveSamples(ReadAll(sink));
    EXPECT_EQ(heard.size(), recorded.size());
    EXPECT_EQ(FirstStray(heard, input, 1, 127), -1) << "the click plays the recording";
    for (const std::string& cancelled : {std::string("Move to card|"), deck, timer})
        EXPECT_NE(Find(reopened.log, "dialog-action(" + cancelled + "Cancel|press) -> Button 2 "), -1) << cancelled;
    const std::string named = ReadFile(savedAs);
    EXPECT_FALSE(named.empty());
    EXPECT_TRUE(named == ReadFile(copy)) << "the cancelled edits changed the stack";
}

// On the deck a MIDI sound of the stack is chosen first, then a new sound recorded: the recording
// is no MIDI sound. The deck's Play plays it, the button keeps it as a stored sound ('Snd ',
// chunk 83), and opened again a click plays it.
TEST(ActionsWalkInBrowser, ASoundRecordedAfterAMidiSoundWasChosenPlaysFromTheDeckAndTheButton) {
    Site site;
    const std::vector<uint8_t> input = OrderedSamples(900);
    StandInWaveIn device(input);
    sb::Stack stack = WalkCards();
    std::vector<uint8_t> music;
    ASSERT_EQ(MidiFileToMovieFile(TwoSecondMidi(), &music), MidiRefusal::None);
    stack.resources.push_back({"Midi", 301, "Tune", 0, 0, music});
    const std::string name = site.Serve("midiwalk", Built(stack));
    const std::string copy = site.server.Name("midiwalk-copy.stk");
    const std::string deckSink = site.server.Name("midiwalk-deck.wav"), sink = site.server.Name("midiwalk-sink.wav");
    const std::string deck = "Digital Audio Deck|";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kButtonRect) + At(1400),
               "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
               "--dialog", "Actions|Play a sound...|check" + At(2300), "--dialog", deck + "In Use|check" + At(3000),
               "--dialog", deck + "51|choose:Tune" + At(3400), "--dialog", deck + "50|click:25,40" + At(3900),
               "--key", "a" + At(4600), "--dialog", deck + "50|click:125,40" + At(5100),
               "--dialog", deck + "OK|press" + At(5600), "--dialog", "Actions|Done|press" + At(6200),
               "--command", std::to_string(kSave) + At(6800), "--save-copy", copy, "--quit-after-last", "1500"},
        {{"LOOM_QUICKTIME_SINK", deckSink}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<uint8_t> recorded = WaveSamples(ReadAll(deckSink));
    EXPECT_FALSE(recorded.empty()) << "the deck's Play played the recording " << Joined(run.log);
    EXPECT_EQ(FirstStray(recorded, input, 1, 127), -1) << "the recorded samples play";
    const std::string json = site.Report(copy);
    const std::string go = ReportedObject(json, "Go");
    EXPECT_EQ(ReportedValue(go, "timer"), "[0,0]") << json;
    EXPECT_EQ(ReportedValue(go, "chunks"), "[83]") << json;
    EXPECT_TRUE(HasResourceNamedFrom(json, "NewSnd0")) << json;

    const BrowserRun reopened = site.Run("midiwalk-copy.stk", {"--answer-alerts", "--click", Centre(kButtonRect) + At(1500),
                                                              "--quit-after-last", "2500"},
                                         {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const std::vector<uint8_t> heard = WaveSamples(ReadAll(sink));
    EXPECT_EQ(heard.size(), recorded.size()) << Joined(reopened.log);
    EXPECT_EQ(FirstStray(heard, input, 1, 127), -1) << "the click plays the recording";
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
    const std::string name = site.Serve("animwalk", WalkStack());
    const std::string gif = site.server.Put("flip.gif", FlipBookGif());
    const std::string copy = site.server.Name("animwalk-copy.stk");
    // The card while the path is taken: once during the drag, once after it (the recording
    // goes on until the key).
    const std::string recording = site.server.Name("rec.png");
    const std::string recordingLater = site.server.Name("rec-t2.png");
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
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--screenshot", recording,
         "--screenshot-after", "4950", "--screenshot-after", "5450",
         // The button: the graphic's area grabbed, then dragged across the card as the path.
         "--right-click", Centre(kButtonRect) + At(1400), "--key", buttonActions + OnceShown("menu", 400),
         "--dialog", actions + "Play animation...|check" + At(2300), "--click", currentCard + At(3000),
         "--drag", "205,25-255,65" + At(3600), "--drag", "40,100-280,110" + At(4600), "--key", "Return" + At(5700),
         "--dialog", animation + "OK|press" + At(6400), "--dialog", actions + "Done|press" + At(7000),
         // The graphic: card 3, then the GIF played twice over where the graphic is.
         "--right-click", Centre(kGraphicRect) + At(7600), "--key", graphicActions + OnceShown("menu", 400, kNextShown),
         "--dialog", actions + "Another card...|press" + At(8500), "--key", "alt+Right" + OnceShown("Move to card", 600),
         "--key", "alt+Right" + At(9700), "--dialog", walk + "OK|press" + At(10300),
         "--dialog", "Transitions|OK|press" + At(10800), "--dialog", actions + "Play animation...|check" + At(11300),
         "--click", diskLibrary + At(12000), "--dialog", picture + "File name:|type:" + gif + At(12600),
         "--dialog", picture + "Open|press" + At(12800), "--click", flipBookPoint + At(13700),
         "--key", "Return" + At(14200), "--dialog", animation + "frame repeats|check" + At(14800),
         "--dialog", animation + "1032|type:2" + At(14900), "--dialog", animation + "1008|type:4" + At(15000),
         "--dialog", animation + "OK|press" + At(15100),
         "--dialog", actions + "Done|press" + At(15700),
         // The text object: card 2.
         "--right-click", Centre(kFieldRect) + At(16300), "--key", buttonActions + OnceShown("menu", 400, kNextShown),
         "--dialog", actions + "Another card...|press" + At(17200),
         "--key", "alt+Right" + OnceShown("Move to card", 600, 2),
         "--dialog", walk + "OK|press" + At(18400), "--dialog", "Transitions|OK|press" + At(18900),
         "--dialog", actions + "Done|press" + At(19400), "--command", std::to_string(kSave) + At(20000),
         "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // The card is drawn under the path, in its own colour away from it, at every depth; both
    // shots fall inside the recording, while its prompt is up.
    const int prompt = Find(run.log, "shown(Path Edit)");
    ASSERT_NE(prompt, -1) << Joined(run.log);
    const int first = Find(run.log, "screenshot(", prompt), second = Find(run.log, "screenshot(", first + 1);
    const int ended = Find(run.log, "gone(Path Edit)", prompt);
    EXPECT_TRUE(first != -1 && second > first && ended > second) << Joined(run.log);
    for (const std::string& file : {recording, recordingLater}) {
        const Shot shot(file);
        for (const auto& [x, y] : {std::pair{10, 200}, std::pair{300, 200}, std::pair{160, 225}, std::pair{300, 140}}) {
            const uint32_t pixel = shot.At(x, y);
            EXPECT_TRUE(CardOfColour(pixel) == 1 && !NearRgb(pixel, 0, 0, 0, 60))
                << file << " at " << x << "," << y << ": " << Hex(pixel);
        }
    }
    const std::string json = site.Report(copy);
    // The button's animated object: one grabbed frame along the recorded path; the graphic and
    // the text object each hold an 'Actn' resource of their own.
    const std::string sprite = FirstSprite(json);
    EXPECT_EQ(ReportedNumber(sprite, "card"), 1) << json;
    EXPECT_EQ(ReportedNumber(sprite, "button"), 1) << json;
    EXPECT_EQ(ReportedNumber(sprite, "frames"), 1) << json;
    EXPECT_GE(ReportedResources(json, "Actn").size(), 2u) << json;

    const std::string shot = site.server.Name("anim.png");
    for (int i = 2; i <= 6; ++i)
        site.server.Name("anim-t" + std::to_string(i) + ".png");
    const BrowserRun reopened = site.Run(
        "animwalk-copy.stk",
        {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1200",
         "--click", Centre(kButtonRect) + At(1500), "--screenshot-after", "1900", "--screenshot-after", "2300",
         "--click", Centre(kGraphicRect) + At(4000),
         "--screenshot-after", "4400", "--screenshot-after", "7000", "--command", "202" + At(7500),
         "--click", Centre(kFieldRect) + At(8000), "--screenshot-after", "9500", "--quit-after-last", "500"});
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


// The screen while a transition runs, taken in its loop: the card's pixel at x,y (card
// coordinates) as the card's colour (1 red, 2 green, 3 blue; 0 for white, what a text object
// shows).
int ShownCard(const XwdImage& screen, const std::vector<int>& card, int x, int y) {
    const uint32_t pixel = screen.At(card[0] + x, card[1] + y);
    return NearRgb(pixel, 255, 255, 255, 40) ? 0 : CardOfColour(pixel);
}

// The author gives the button a move to the next card, right to left, tries it (the dialogs step
// off the card, which shows the transition, and the dialog has the keys again: Alt+S picks
// "Slow"), keeps it and saves; browsing, the button's move brings the second card in with its
// text object, which shows only as the wipe reaches it. The Open dialog starts in Documents for
// the stack from the web, with no name, and in the saved stack's folder, with its name, after.
TEST(ActionsWalkInBrowser, TryItShowsTheTransitionOnTheCardAndATextObjectComesInWithItsCard) {
    sb::Stack stack = WalkCards();
    constexpr sb::Rect kNoteRect{10, 90, 110, 140};  // bare red on the first card
    stack.cards[1].objects.push_back(sb::TextField(4, kNoteRect, "Second note", "Arrived"));
    stack.nextObjectId = 5;
    Site site;
    const std::string name = site.Serve("trywipe", Built(stack));
    const std::string copy = site.server.Name("trywipe-saved.stk");
    const std::string tried = site.server.Name("trywipe-try.xwd"), moved = site.server.Name("trywipe-move.xwd");
    const std::string transitions = "Transitions|", open = "Please select a stack|";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--command", "101" + At(500), "--dialog", open + "Cancel|press" + At(1200),
               "--key", "shift+Tab" + At(1700), "--right-click", Centre(kButtonRect) + At(2100),
               "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
               "--dialog", "Actions|Next card|press" + At(3000),
               "--dialog", transitions + "50|choose:Right to left" + At(3500),
               "--x-shot-in-loop", tried + "+300" + At(3700), "--dialog", transitions + "Try it|press" + At(3800),
               "--key", "alt+s" + At(6300), "--dialog", transitions + "OK|press" + At(6800),
               "--dialog", "Actions|Done|press" + At(7300), "--command", std::to_string(kSave) + At(7800),
               "--save-copy", copy, "--key", "shift+Tab" + At(8800),
               "--x-shot-in-loop", moved + "+600" + At(9000), "--click", Centre(kButtonRect) + At(9200),
               "--command", "101" + At(14500), "--dialog", open + "Cancel|press" + At(15200),
               "--quit-after-last", "1000"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<int> card = NumbersAt(run.log, "card(instance=1)");
    ASSERT_EQ(card.size(), 2u) << Joined(run.log);

    // Tried: the second card comes in from the right over the filled card, and nothing of the
    // dialogs stands over it (the Transitions dialog lay over the card).
    const std::vector<int> dialog = NumbersAt(run.log, "shown(Transitions)");
    ASSERT_EQ(dialog.size(), 4u) << Joined(run.log);
    const POINT right = {card[0] + kWidth - 6, card[1] + 110};
    EXPECT_TRUE(right.x >= dialog[0] && right.x < dialog[2] && right.y >= dialog[1] && right.y < dialog[3])
        << "the dialog covers the card's right edge " << Joined(run.log);
    ASSERT_NE(FindHolding(run.log, "x-shot(file=" + tried + ", in a loop) -> written"), -1) << Joined(run.log);
    {
        XwdImage screen;
        ASSERT_TRUE(ReadXwd(ReadFile(tried), &screen)) << tried;
        for (int y : {90, 110, 130})
            EXPECT_EQ(ShownCard(screen, card, kWidth - 6, y), 1) << "tried: the card at its right edge, y " << y;
    }
    // The key after Try it reached the dialog: the move is slow.
    const std::string json = site.Report(copy);
    const std::string move = ReportedDestination(json, 1, 1);
    EXPECT_EQ(ReportedNumber(move, "transition"), 2) << json;
    EXPECT_EQ(ReportedNumber(move, "speed"), 32) << "Alt+S after Try it " << json << Joined(run.log);

    // Moved: the right edge shows the second card already, the text object's place still the
    // first (neither the object's white nor its card's green).
    ASSERT_NE(FindHolding(run.log, "x-shot(file=" + moved + ", in a loop) -> written"), -1) << Joined(run.log);
    {
        XwdImage screen;
        ASSERT_TRUE(ReadXwd(ReadFile(moved), &screen)) << moved;
        EXPECT_EQ(ShownCard(screen, card, kWidth - 4, 110), 2) << "the wipe began";
        for (int x = kNoteRect.left + 2; x < kNoteRect.right - 2; x += 12)
            for (int y = kNoteRect.top + 2; y < kNoteRect.bottom - 2; y += 12)
                EXPECT_EQ(ShownCard(screen, card, x, y), 1) << "before the wipe reached it, at " << x << "," << y;
    }

    // The Open dialog: Documents and no name for the stack from the web; the saved stack's
    // folder and name for the stack saved on this machine.
    char documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    const auto lastPart = [](const std::string& path) { return path.substr(path.find_last_of('\\') + 1); };
    const int first = Find(run.log, "shown(Please select a stack)");
    const int second = Find(run.log, "shown(Please select a stack)", first + 1);
    ASSERT_TRUE(first != -1 && second != -1) << Joined(run.log);
    EXPECT_NE(run.log[size_t(first)].find("1137 ComboBox \"" + lastPart(documents) + "\""), std::string::npos)
        << run.log[size_t(first)];
    EXPECT_NE(run.log[size_t(first)].find("1148 Edit \"\""), std::string::npos) << run.log[size_t(first)];
    EXPECT_NE(run.log[size_t(second)].find("1137 ComboBox \"" + lastPart(site.server.path) + "\""), std::string::npos)
        << run.log[size_t(second)];
    EXPECT_NE(run.log[size_t(second)].find("1148 Edit \"" + lastPart(copy) + "\""), std::string::npos)
        << run.log[size_t(second)];
}

// Recording a path, the user sees what X shows: the card under the path, the page around it and
// the "Path Edit" prompt over it, read from the X server's own picture of the screen (not the
// windows' contents), before and after the path is drawn, at every depth. Then the whole path is
// moved down in the path editor ("Edit Path...": every point chosen, five steps down) and its
// options set ("Path Options...": floating going, end to end in 3 seconds): saved, the stack holds
// both.
TEST(ActionsWalkInBrowser, RecordingAPathShowsTheCardThePageAndThePromptOnTheScreenAndItsEditsAreKept) {
    constexpr int kPageWidth = 400, kPageHeight = 300;  // larger than the card: the page shows
    CachedSite site(kPageWidth, kPageHeight);
    const std::string name = site.Serve("xrec", WalkStack());
    const std::string before = site.server.Name("xrec-before.xwd"), after = site.server.Name("xrec-after.xwd");
    const std::string copy = site.server.Name("xrec-copy.stk"), animation = "Animation|", options = "Path Options|";
    const BrowserRun run = site.Run(
        name, {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kButtonRect) + At(1400),
               "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
               "--dialog", "Actions|Play animation...|check" + At(2300),
               "--dialog", animation + "1006|click:22,18" + At(3000),  // "Current Card"
               "--drag", "205,25-255,65" + At(3600), "--x-shot", before + At(4300),
               "--drag", "40,100-280,110" + At(4600), "--x-shot", after + At(5400), "--key", "Return" + At(6200),
               "--dialog", animation + "1033|choose:Edit Path..." + At(6900),
               "--key", "ctrl+a Down Down Down Down Down" + At(7600),  // every point, 5 pixels down
               "--key", "Return" + At(8400), "--dialog", animation + "1033|choose:Path Options..." + At(9000),
               "--dialog", options + "1026|check" + At(9600), "--dialog", options + "3018|check" + At(9800),
               "--dialog", options + "1021|type:3" + At(10000), "--dialog", options + "OK|press" + At(10200),
               "--dialog", animation + "OK|press" + At(10800), "--dialog", "Actions|Done|press" + At(11400),
               "--command", std::to_string(kSave) + At(12000), "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int prompt = Find(run.log, "shown(Path Edit)");
    ASSERT_NE(prompt, -1) << Joined(run.log);
    const int first = Find(run.log, "x-shot(", prompt), second = Find(run.log, "x-shot(", first + 1);
    EXPECT_TRUE(first != -1 && second > first && Find(run.log, "gone(Path Edit)", prompt) > second) << Joined(run.log);
    const std::vector<int> card = NumbersAt(run.log, "card(instance=1)");
    const std::vector<int> box = NumbersAt(run.log, "shown(Path Edit)");
    ASSERT_EQ(card.size(), 2u) << Joined(run.log);
    ASSERT_EQ(box.size(), 4u) << Joined(run.log);
    for (const std::string& file : {before, after}) {
        XwdImage screen;
        ASSERT_TRUE(ReadXwd(ReadFile(file), &screen)) << file << " " << Joined(run.log);
        // The card in its own colour away from the path and the object, and the page beyond it.
        for (const auto& [x, y] : {std::pair{10, 200}, std::pair{300, 200}, std::pair{160, 225}, std::pair{300, 140}}) {
            const uint32_t pixel = screen.At(card[0] + x, card[1] + y);
            EXPECT_TRUE(CardOfColour(pixel) == 1 && !NearRgb(pixel, 0, 0, 0, 60))
                << file << " card at " << x << "," << y << ": " << Hex(pixel);
        }
        for (const auto& [x, y] : {std::pair{kWidth + 30, 100}, std::pair{100, kHeight + 30}}) {
            const uint32_t pixel = screen.At(card[0] + x, card[1] + y);
            EXPECT_TRUE(NearRgb(pixel, 255, 255, 255, 30)) << file << " page at " << x << "," << y << ": " << Hex(pixel);
        }
        // The prompt drawn: its face, and its text darker than the face.
        int black = 0, all = 0, dark = 0;
        for (int y = box[1] + 4; y < box[3] - 4; ++y)
            for (int x = box[0] + 4; x < box[2] - 4; ++x, ++all) {
                const uint32_t pixel = screen.At(x, y);
                black += NearRgb(pixel, 0, 0, 0, 24);
                dark += (pixel >> 16 & 255) + (pixel >> 8 & 255) + (pixel & 255) < 3 * 100;
            }
        ASSERT_GT(all, 0);
        EXPECT_LT(black * 2, all) << file << ": the prompt reads black";
        EXPECT_GT(dark, 0) << file << ": the prompt's words";
    }
    const std::string json = site.Report(copy);
    const std::string sprite = FirstSprite(json);
    ASSERT_EQ(ReportedNumber(sprite, "card"), 1) << json;
    ASSERT_EQ(ReportedNumber(sprite, "button"), 1) << json;
    EXPECT_EQ(ReportedValue(sprite, "pathEnd"), "[280,115]") << "the path moved\n" << json;
    EXPECT_EQ(ReportedValue(sprite, "pathOptions"), "{\"move\":2,\"seconds\":3,\"floatGoing\":true}") << json;
}

// A module asks for another card under each object's dialogs (the timer, transitions and sound
// dialogs): the card stays until the dialog has ended, then the moves are made, each only on the
// card it was asked on (the next card asked under the timer is made, and the previous card asked
// on the first card under the transitions is then dropped), and each edit stays on its own
// object. No card timer runs beside the walk's own steps: the timers it gives the objects are
// checked in the saved file and, opened again, seconds away from every other step.
TEST(ActionsWalkInBrowser, AModuleLeavingTheCardUnderAnObjectsDialogsWaitsAndTheEditStaysOnItsObject) {
    Site site;
    sb::Stack stack = WalkCards();
    stack.resources.push_back(NbasResource(kModuleId, "testaction.nba"));
    const std::string name = site.Serve("leftwalk", Built(stack));
    const std::string copy = site.server.Name("leftwalk-copy.stk"), modules = site.server.Name("modules.txt");
    const std::string shot = site.server.Name("left.png"), clicked = site.server.Name("left-t2.png"),
                      later = site.server.Name("left-t3.png"), moved = site.server.Name("left-t4.png");
    const std::string actions = "Actions|", timer = "Automatic Timer|", deck = "Digital Audio Deck|";
    const BrowserRun run = site.Run(
        name,
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000),
         // The graphic: a timer of six seconds, and the next card.
         "--right-click", Centre(kGraphicRect) + At(1400), "--key", "Down Down Down Down Return" + OnceShown("menu", 400),
         "--dialog", actions + "Automatic timer...|check" + At(2300),
         "--dialog", timer + "Activate button after card is shown|check" + At(3300),
         "--dialog", timer + "1002|type:6" + At(3500), "--dialog", timer + "OK|press" + At(3700),
         "--dialog", actions + "&Next card|check" + At(4200), "--dialog", "Transitions|OK|press" + At(4700),
         "--dialog", actions + "Done|press" + At(5300), "--screenshot", shot, "--screenshot-after", "5800",
         // The graphic's new layer has its move at once: a click in the browse tool.
         "--command", "202" + At(5900), "--key", "shift+Tab" + At(6000), "--click", Centre(kGraphicRect) + At(6300), "--screenshot-after", "7000",
         "--command", "202" + At(7200), "--key", "shift+Tab" + At(7600),
         // The text object: the stored sound.
         "--right-click", Centre(kFieldRect) + At(8000), "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", actions + "Play a sound...|check" + At(8900), "--dialog", deck + "In Use|press" + At(9400),
         "--dialog", deck + "51|choose:Beep" + At(9800), "--dialog", deck + "OK|press" + At(10100),
         "--dialog", actions + "Done|press" + At(10600), "--screenshot-after", "11000",
         // The button: a timer of five seconds.
         "--command", "202" + At(11300), "--right-click", Centre(kButtonRect) + At(11800),
         "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", actions + "Automatic timer...|check" + At(12700),
         "--dialog", timer + "Activate button after card is shown|check" + At(13500),
         "--dialog", timer + "1002|type:5" + At(13700), "--dialog", timer + "OK|press" + At(13900),
         "--dialog", actions + "Done|press" + At(14400), "--screenshot-after", "14800",
         "--command", std::to_string(kSave) + At(15100), "--save-copy", copy, "--quit-after-last", "1500"},
        {{"NBA_TEST_LOG", modules},
         {"NBA_TEST_IDLE_REQUESTS", "Automatic Timer=4;Transitions=3;Digital Audio Deck=4;Automatic Timer=4"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // The module asked for a move under each dialog; the card stayed while the dialogs ran (its
    // idle calls name the first card until the actions dialog ended).
    const std::vector<std::string> calls = Lines(ReadFile(modules));
    const int underTimer = Find(calls, "idle requests under Automatic Timer");
    ASSERT_NE(underTimer, -1) << Joined(calls);
    EXPECT_EQ(Find(calls, "request code=4 ", underTimer), underTimer + 1) << Joined(calls);
    const int underTransitions = Find(calls, "idle requests under Transitions", underTimer);
    ASSERT_NE(underTransitions, -1) << Joined(calls);
    EXPECT_EQ(Find(calls, "request code=3 ", underTransitions), underTransitions + 1) << Joined(calls);
    const int onSecond = FindHolding(calls, " card=2 ", underTimer);
    EXPECT_TRUE(onSecond == -1 || onSecond > underTransitions) << Joined(calls);
    const int underDeck = Find(calls, "idle requests under Digital Audio Deck", underTransitions);
    ASSERT_NE(underDeck, -1) << Joined(calls);
    EXPECT_EQ(Find(calls, "request code=4 ", underDeck), underDeck + 1) << Joined(calls);
    const int underButton = Find(calls, "idle requests under Automatic Timer", underDeck);
    ASSERT_NE(underButton, -1) << Joined(calls);
    EXPECT_EQ(Find(calls, "request code=4 ", underButton), underButton + 1) << Joined(calls);
    const int x = 300, y = 120;
    EXPECT_EQ(CardOfColour(Shot(shot).At(x, y)), 2) << "the module's next card, its previous card dropped";
    EXPECT_EQ(CardOfColour(Shot(clicked).At(x, y)), 2) << "the graphic's layer took its move";
    EXPECT_EQ(CardOfColour(Shot(later).At(x, y)), 2) << "the module's move";
    EXPECT_EQ(CardOfColour(Shot(moved).At(x, y)), 2) << "the module's move under the button's dialog";
    // Two action records, the graphic's (a timer of six seconds, once) and the text object's
    // (its sound); the button's timer of five seconds in its record.
    const std::string json = site.Report(copy);
    const std::vector<std::string> records = ReportedResources(json, "Actn");
    ASSERT_GE(records.size(), 2u) << "the text object's edit was kept\n" << json;
    EXPECT_EQ(ReportedValue(records[0], "timer"), "[1,4156]") << json;
    EXPECT_EQ(ReportedValue(ReportedObject(json, "Go"), "timer"), "[1,4146]") << json;

    // Opened again: the text object does not move; the graphic's timer of six seconds goes to
    // the second card (the first shots four seconds before it, the last two and a half after).
    const std::string again = site.server.Name("leftagain.png");
    for (int i = 2; i <= 3; ++i)
        site.server.Name("leftagain-t" + std::to_string(i) + ".png");
    const BrowserRun reopened = site.Run(
        "leftwalk-copy.stk",
        {"--answer-alerts", "--screenshot", again, "--screenshot-after", "800", "--click", Centre(kFieldRect) + At(1200),
         "--screenshot-after", "1800", "--screenshot-after", "8500", "--quit-after-last", "500"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    EXPECT_EQ(CardOfColour(Shot(again).At(x, y)), 1);
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("leftagain-t2.png")).At(x, y)), 1) << "the text object does nothing";
    EXPECT_EQ(CardOfColour(Shot(site.server.Name("leftagain-t3.png")).At(x, y)), 2) << "the graphic's timer";
}

// A timer falls due under About Card and About Stack, opened in the browse tool: it waits for the
// dialog, so the name typed is the first card's and no other card's, and "other.stk" opens only
// afterwards, with its own card size. Back on the first card, About Card names it again.
TEST(ActionsWalkInBrowser, ATimerUnderTheirInformationWaitsAndTheEditStaysOnItsCardOrStack) {
    Site site;
    site.server.Put("aboutcard.stk", Built(TickStack(false)));
    const std::string copy = site.server.Name("aboutcard-copy.stk"), moved = site.server.Name("aboutcard.png");
    const std::string first = "About Card - 1|", name = std::to_string(INF_CARD_NAME);
    const BrowserRun run = site.Run(
        "aboutcard.stk",
        {"--answer-alert", "2340:2", "--command", "301" + At(500), "--dialog", first + name + "|type:Lost" + At(1200),
         "--dialog", first + "OK|press" + At(5000), "--screenshot", moved, "--screenshot-after", "9000",
         "--command", "202" + At(9300), "--command", "301" + At(9600),
         "--dialog", first + name + "|type:First" + At(10000), "--dialog", first + "OK|press" + At(10300),
         "--command", std::to_string(kSave) + At(11000), "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(CardOfColour(Shot(moved).At(300, 120)), 3) << "the timer ran once the dialog had ended";
    const std::string json = site.Report(copy);
    for (const auto& [card, named] : {std::pair{1, "First"}, std::pair{2, ""}, std::pair{3, ""}}) {
        const std::string record = ReportedCard(json, card);
        ASSERT_NE(record, "") << json;
        EXPECT_EQ(ReportedText(record, "name"), named) << card << json;
    }

    // The other stack, of a smaller card, is shown and saved as it was.
    site.server.Put("aboutstack.stk", Built(TickStack(true)));
    sb::Stack other;
    other.cardWidth = 160;
    other.cardHeight = 120;
    other.experiencedUser = 1;
    other.cards = {ColourCard(5, kBlue)};
    other.cards[0].picture = sb::SolidPicture(160, 120, 8, 1);
    other.cards[0].picture->palette = {{255, 255, 255}, kBlue};
    site.server.Put("other.stk", Built(other));
    const std::string otherCopy = site.server.Name("other-copy.stk");
    const BrowserRun jumped = site.Run(
        "aboutstack.stk", {"--answer-alert", "2340:2", "--command", "303" + At(500),
                           "--dialog", "About Stack - aboutstack.stk|OK|press" + At(5000),
                           "--command", std::to_string(kSave) + OnceLogged("NPP_DestroyStream(instance=1, url=http://localhost/other.stk", 500),
                           "--save-copy", otherCopy,
                           "--quit-after-last", "1500"});
    ASSERT_EQ(jumped.exitCode, 0) << jumped.errors << Joined(jumped.log);
    EXPECT_NE(FindHolding(jumped.log, "NPN_GetURL(instance=1, url=http://localhost/other.stk"), -1) << Joined(jumped.log);
    const std::string saved = site.Report(otherCopy);
    EXPECT_EQ(ReportedNumber(saved, "cardCount"), 1) << saved;
    EXPECT_EQ(ReportedNumber(saved, "cardWidth"), 160) << saved;
    EXPECT_EQ(ReportedNumber(saved, "cardHeight"), 120) << saved;
}

// A stack whose file lies 259 characters deep (in folders of the site) goes, by its button's
// timer, to "other.stk" lying beside it: the other stack is found and shown, nobody is asked
// where it is.
TEST(ActionsWalkInBrowser, AStackTwoHundredFiftyNineCharactersDeepFindsTheStackBesideIt) {
    Site site;
    const std::string name = "aboutstack.stk";
    std::string folder;
    while (site.server.path.size() + 1 + folder.size() + name.size() < 259) {
        const size_t room = 259 - site.server.path.size() - 1 - folder.size() - name.size() - 1;
        folder += std::string(std::min<size_t>(room, 50), 'd') + "\\";
    }
    const std::string stack = site.server.Put(folder + name, Built(TickStack(true)));
    ASSERT_EQ(stack.size(), 259u) << stack;
    sb::Stack other;
    other.cardWidth = 160;
    other.cardHeight = 120;
    other.experiencedUser = 1;
    other.cards = {ColourCard(5, kBlue)};
    other.cards[0].picture = sb::SolidPicture(160, 120, 8, 1);
    other.cards[0].picture->palette = {{255, 255, 255}, kBlue};
    site.server.Put(folder + "other.stk", Built(other));
    std::string url = folder + name;
    std::replace(url.begin(), url.end(), '\\', '/');
    const BrowserRun run = site.Run(url, {"--close-dialogs", "--quit-after", "9000"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "other.stk"), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "Please find"), -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(id=2305)"), -1) << Joined(run.log);
}

// The text object's appearance dialog, renamed, runs its actions dialog; the module goes to the
// next card and back under its transitions dialog. The appearance dialog opens again on the
// text object's new layer, and OK gives the name and the move to the text object.
TEST(ActionsWalkInBrowser, TheTextAppearanceDialogOpensAgainOnTheTextObjectAfterACardLeftAndEntered) {
    Site site;
    const std::string modules = ServeWithModule(site, WalkCards(), "textinfo"), copy = site.server.Name("textinfo-copy.stk");
    const std::string appearance = "Text Appearance|", actions = "Actions|";
    const BrowserRun run = site.Run(
        "textinfo.stk",
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kFieldRect) + At(1400),
         "--key", "Down Down Down Down Return" + OnceShown("menu", 400),
         "--dialog", appearance + "54|type:Renamed" + At(2400),
         "--dialog", appearance + "Actions...|press" + At(2700), "--dialog", actions + "&Next card|check" + At(3500),
         "--dialog", "Transitions|OK|press" + At(4200), "--dialog", actions + "Done|press" + At(4800),
         "--dialog", appearance + "OK|press" + At(5600), "--command", std::to_string(kSave) + At(6200),
         "--save-copy", copy, "--quit-after-last", "1500"},
        {{"NBA_TEST_LOG", modules}, {"NBA_TEST_IDLE_REQUESTS", "Transitions=4,3"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<std::string> calls = Lines(ReadFile(modules));
    EXPECT_NE(Find(calls, "idle requests under Transitions"), -1) << Joined(calls);
    const int reopened = Find(run.log, "shown(Text Appearance)", Find(run.log, "gone(Actions)"));
    ASSERT_NE(reopened, -1) << Joined(run.log);
    EXPECT_NE(run.log[reopened].find("54 Edit \"Renamed\""), std::string::npos) << run.log[reopened];
    const std::string json = site.Report(copy);
    EXPECT_NE(ReportedObject(json, "Renamed"), "") << json;
    EXPECT_FALSE(ReportedResources(json, "Actn").empty()) << json;

    const std::string shot = site.server.Name("textinfo.png"), moved = site.server.Name("textinfo-t2.png");
    const BrowserRun again =
        site.Run("textinfo-copy.stk", {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1000", "--click",
                                       Centre(kFieldRect) + At(1300), "--screenshot-after", "2800", "--quit-after-last", "400"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    EXPECT_EQ(CardOfColour(Shot(shot).At(300, 120)), 1);
    EXPECT_EQ(CardOfColour(Shot(moved).At(300, 120)), 2) << "the text object's move";
}

// A module asks to open another stack under an object's dialogs (the timer dialog of a button's
// and of a graphic's actions, Button Appearance): it is refused, and the edit stays on the object
// in its own stack.
TEST(ActionsWalkInBrowser, AModulesOpenUnderAnObjectsDialogIsRefusedAndTheEditStaysInItsStack) {
    Site site;
    sb::Stack stack = WalkCards();
    stack.resources.push_back(NbasResource(kModuleId, "testaction.nba"));
    sb::Stack other = WalkCards();
    other.cards[0].picture->palette = {{255, 255, 255}, kBlue};
    const std::string actions = "Actions|", timer = "Automatic Timer|", look = "Button Appearance|";
    const std::vector<std::string> timerEdit = {
        "--dialog", actions + "Automatic timer...|check" + At(2300),
        "--dialog", timer + "Activate button after card is shown|check" + At(3300),
        "--dialog", timer + "1002|type:4" + At(3500), "--dialog", timer + "OK|press" + At(3700),
        "--dialog", actions + "Done|press" + At(4300)};
    const std::vector<std::string> rename = {"--dialog", look + "Name:|type:Renamed" + At(2400),
                                             "--dialog", look + "OK|press" + At(3500)};
    struct Edit {
        std::string name, object, keys, under;
        const std::vector<std::string>& steps;
    };
    const Edit edits[] = {{"button", Centre(kButtonRect), "Down Down Down Down Down Return", "Automatic Timer", timerEdit},
                          {"graphic", Centre(kGraphicRect), "Down Down Down Down Return", "Automatic Timer", timerEdit},
                          {"look", Centre(kButtonRect), "Down Down Down Down Return", "Button Appearance", rename}};
    for (const Edit& edit : edits) {
        // Stacks of their own each time: a saved web stack's copy is what the next run gets.
        const std::string otherName = "other-" + edit.name + ".stk", thisName = "thisone-" + edit.name + ".stk";
        site.server.Put(otherName, Built(other));
        site.server.Put(thisName, Built(stack));
        const std::string copy = site.server.Name("copy-" + thisName), shot = site.server.Name(edit.name + ".png");
        std::vector<std::string> args = {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000),
                                         "--right-click", edit.object + At(1400), "--key", edit.keys + OnceShown("menu", 400)};
        args.insert(args.end(), edit.steps.begin(), edit.steps.end());
        args.insert(args.end(), {"--screenshot", shot, "--screenshot-after", "4800", "--command",
                                 std::to_string(kSave) + At(5200), "--save-copy", copy, "--quit-after-last", "1500"});
        const BrowserRun run =
            site.Run(thisName, args, {{"NBA_TEST_IDLE_REQUESTS", edit.under + "=129:" + otherName}});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_EQ(CardOfColour(Shot(shot).At(300, 120)), 1) << edit.name << ": this stack stays";
        EXPECT_EQ(FindHolding(run.log, "url=http://localhost/" + otherName), -1) << edit.name << Joined(run.log);
        const std::string json = site.Report(copy);
        EXPECT_EQ(ReportedNumber(json, "cardCount"), 3) << json;
        if (edit.name == "button") {
            EXPECT_EQ(ReportedValue(ReportedObject(json, "Go"), "timer"), "[1,4136]") << edit.name << json;
        } else if (edit.name == "graphic") {
            const std::vector<std::string> records = ReportedResources(json, "Actn");
            ASSERT_FALSE(records.empty()) << json;
            EXPECT_EQ(ReportedValue(records[0], "timer"), "[1,4136]") << json;
        } else {
            EXPECT_NE(ReportedObject(json, "Renamed"), "") << edit.name << json;
        }
    }
}

// A stack edited and not saved (its first card named in About Card), then a walk from the
// button's actions into another stack by Ctrl+O: the plug-in asks whether to save first. Save
// keeps the edit through the walk and back; Don't save leaves the file as it was and the walk
// comes back to it; Cancel keeps the walk, and the edit, where they were.
TEST(ActionsWalkInBrowser, AWalkIntoAnotherStackAsksToSaveTheEditedStackFirst) {
    Site site;
    sb::Stack away = WalkCards();
    away.cards[0].picture->palette = {{255, 255, 255}, kBlue};
    const std::string awayPath = site.server.Put("walkaway.stk", Built(away));
    const std::string about = "About Card - 1|", open = "Please select a stack|";
    struct Answer {
        const char* name;
        int button;  // of alert 2343: 1 Save, 2 Don't save, 3 Cancel
        int shownCard;   // the colour shown in the walk after Ctrl+O
        const char* cardName;  // the first card's name in the stack saved at the end
        int saves;
    };
    for (const Answer& answer : {Answer{"save", 1, 3, "Edited", 2}, Answer{"dontsave", 2, 3, "", 1},
                                 Answer{"cancel", 3, 1, "Edited", 1}}) {
        const std::string stem = std::string("walkhome-") + answer.name;
        site.server.Put(stem + ".stk", WalkStack());
        const std::string copy = site.server.Name(stem + "-copy.stk"), shot = site.server.Name(stem + ".png");
        std::vector<std::string> args = {
            "--answer-alert", "2340:2", "--answer-alert", "2343:" + std::to_string(answer.button),
            "--command", "301" + At(800), "--dialog", about + std::to_string(INF_CARD_NAME) + "|type:Edited" + At(1300),
            "--dialog", about + "OK|press" + At(1600), "--key", "shift+Tab" + At(2000),
            "--right-click", Centre(kButtonRect) + At(2400),
            "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
            "--dialog", "Actions|Another card...|press" + At(3300), "--key", "ctrl+o" + OnceShown("Move to card", 1000)};
        if (answer.button != 3)
            Append(args, {"--dialog", open + "File name:|type:" + awayPath + At(5000), "--dialog", open + "Open|press" + At(5300)});
        Append(args, {"--screenshot", shot, "--screenshot-after", "6200", "--dialog", "Move to card|Cancel|press" + At(6600),
                      "--dialog", "Actions|Cancel|press" + At(7200), "--command", std::to_string(kSave) + At(7800),
                      "--save-copy", copy, "--quit-after-last", "1500"});
        const BrowserRun run = site.Run(stem + ".stk", args);
        ASSERT_EQ(run.exitCode, 0) << answer.name << run.errors << Joined(run.log);
        EXPECT_NE(FindHolding(run.log, "alert(id=2343)"), -1) << answer.name << Joined(run.log);
        EXPECT_EQ(CardOfColour(Shot(shot).At(300, 120)), answer.shownCard) << answer.name;
        int saves = 0;
        for (const std::string& line : run.log)
            saves += line.find("saved(") != std::string::npos ? 1 : 0;
        EXPECT_EQ(saves, answer.saves) << answer.name << ": the file is written only when asked" << Joined(run.log);
        if (answer.button == 3) {
            EXPECT_EQ(FindHolding(run.log, "shown(" + open.substr(0, open.size() - 1)), -1) << "nothing opened";
        }
        // The stack saved at the end is the one the walk began in, back from its file.
        const std::string json = site.Report(copy);
        EXPECT_EQ(ReportedNumber(json, "cardCount"), 3) << answer.name << json;
        const std::string first = ReportedCard(json, 1);
        ASSERT_NE(first, "") << json;
        EXPECT_EQ(ReportedText(first, "name"), answer.cardName) << answer.name << json;
    }
}

// How often the log shows the alert of that string id.
int AlertsShown(const std::vector<std::string>& log, int id) {
    int count = 0;
    for (int at = FindHolding(log, "alert(id=" + std::to_string(id) + ")"); at != -1;
         at = FindHolding(log, "alert(id=" + std::to_string(id) + ")", at + 1))
        ++count;
    return count;
}

// The graphic's and then the button's appearance dialog, each renamed, run their actions
// dialog (the graphic's comes back after it and is closed with OK), under which the module asks
// to go to the next card. The move waits for the dialogs, so each edit lands on its own object
// and none is dropped; nothing of it reaches the second card, and the pictures the graphic's
// dialog held are freed once (the page closes normally).
TEST(ActionsWalkInBrowser, AppearancesEditedWhileAModuleLeavesTheCardStayWithTheirObjects) {
    constexpr int kEditDropped = 2395;
    Site site;
    const std::string modules = ServeWithModule(site, WalkCards(), "looks"), copy = site.server.Name("looks-copy.stk");
    const std::string graphic = "Graphic Appearance|", button = "Button Appearance|", actions = "Actions|";
    const BrowserRun run = site.Run(
        "looks.stk",
        ObjectMenuFirst(kGraphicRect, "Down Down Down Return",
        {"--dialog", graphic + "55|type:Lost" + At(2400), "--dialog", graphic + "Actions...|press" + At(2700),
         "--dialog", actions + "Done|press" + At(3800), "--dialog", graphic + "OK|press" + At(4300),
         "--command", "202" + At(4800),
         "--right-click", Centre(kButtonRect) + At(5200), "--key", "Down Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", button + "Name:|type:Gone" + At(6200), "--dialog", button + "Actions...|press" + At(6500),
         "--dialog", actions + "Done|press" + At(7600), "--command", "202" + At(8600),
         "--command", std::to_string(kSave) + At(9000), "--save-copy", copy, "--quit-after-last", "1500"}),
        // A step under the button's appearance dialog, so that the second move waits for its
        // actions dialog.
        {{"NBA_TEST_LOG", modules}, {"NBA_TEST_IDLE_REQUESTS", "Actions=4;Button Appearance=;Actions=4"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<std::string> calls = Lines(ReadFile(modules));
    const int first = Find(calls, "idle requests under Actions");
    ASSERT_NE(first, -1) << Joined(calls);
    const int between = Find(calls, "idle requests under Button Appearance", first);
    ASSERT_NE(between, -1) << Joined(calls);
    EXPECT_NE(Find(calls, "idle requests under Actions", between), -1) << Joined(calls);
    EXPECT_NE(Find(run.log, "shown(Graphic Appearance)"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "shown(Button Appearance)"), -1) << Joined(run.log);

    const std::string json = site.Report(copy);
    // Each object once, under its new name: no edit was dropped.
    for (const auto& [before, after] : {std::pair{"Block", "Lost"}, std::pair{"Go", "Gone"}}) {
        EXPECT_TRUE(ReportedObject(json, before).empty()) << before << json;
        EXPECT_FALSE(ReportedObject(json, after).empty()) << after << json;
    }
    EXPECT_EQ(AlertsShown(run.log, kEditDropped), 0) << Joined(run.log);
    // The second card got nothing: its record holds no object.
    const std::string second = ReportedCard(json, 2);
    ASSERT_NE(second, "") << json;
    EXPECT_EQ(ReportedValue(second, "objects"), "[]") << json;
}

// While each object's appearance dialog is open, a module hides, shows and moves that object at
// every idle call, and under the button's also deletes a second graphic and renames the text
// object. Each dialog renames its own object; nothing crashes; saved, reported and opened
// again, every object has the author's name and the module's rectangle, shown (the module's
// changes came after the dialog, in order: the text object's later renaming by the author
// wins), and the second graphic is gone. Then the button's Text Style is made bold while the
// module hides and shows it and asks for a new card: the button is bold, the new card comes
// after, blank, and the first card keeps its picture.
TEST(ActionsWalkInBrowser, AModuleChangingObjectsUnderEachObjectDialogChangesThemAfterIt) {
    Site site;
    sb::Stack stack = WalkCards();
    stack.cards[0].objects.push_back(sb::Graphic(5, {240, 150, 300, 200}, "Spare"));
    stack.nextObjectId = 6;
    const std::string modules = ServeWithModule(site, stack, "busy"), copy = site.server.Name("busy-copy.stk");
    const std::string button = "Button Appearance|", graphic = "Graphic Appearance|", text = "Text Appearance|";
    const BrowserRun run = site.Run(
        "busy.stk",
        ObjectMenuFirst(kButtonRect, "Down Down Down Down Return",
        {"--dialog", button + "Name:|type:Mine" + At(2400), "--dialog", button + "OK|press" + At(3400),
         "--right-click", Centre(kGraphicRect) + At(3900),
         "--key", "Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", graphic + "55|type:Drawn" + At(4900), "--dialog", graphic + "OK|press" + At(5900),
         "--right-click", Centre(kFieldRect) + At(6400),
         "--key", "Down Down Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", text + "54|type:Typed" + At(7400), "--dialog", text + "OK|press" + At(8400),
         "--click", Centre(kButtonRect) + At(8900), "--command", "359" + At(9300),
         "--dialog", "Text Style|Bold|check" + At(10100), "--dialog", "Text Style|OK|press" + At(10900),
         "--command", std::to_string(kSave) + At(11600), "--save-copy", copy, "--quit-after-last", "1500"}),
        {{"NBA_TEST_LOG", modules},
         {"NBA_TEST_IDLE_REQUESTS",
          "*Button Appearance=26/1/0,27/1/0,rect:1/0:24,24,104,54,30/5/2,rename:3/1:Renamed;"
          "*Graphic Appearance=26/2/2,27/2/2,rect:2/2:204,24,264,74;"
          "*Text Appearance=26/3/1,27/3/1,rect:3/1:24,154,144,204;"
          "*Text Style=26/1/0,27/1/0,menu:Edit/New Card"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<std::string> calls = Lines(ReadFile(modules));
    for (const char* under : {"Button Appearance", "Graphic Appearance", "Text Appearance", "Text Style"})
        EXPECT_NE(Find(calls, std::string("idle requests under ") + under), -1) << under << Joined(calls);

    const std::string json = site.Report(copy);
    for (const char* gone : {"Go", "Block", "Note", "Renamed", "Spare"})
        EXPECT_EQ(ReportedObject(json, gone), "") << gone << json;
    for (const auto& [name, rect] : {std::pair{"Mine", "[24,24,104,54]"}, std::pair{"Drawn", "[204,24,264,74]"},
                                     std::pair{"Typed", "[24,154,144,204]"}}) {
        const std::string object = ReportedObject(json, name);
        ASSERT_NE(object, "") << name << json;
        EXPECT_EQ(ReportedValue(object, "rect"), rect) << object;
        EXPECT_EQ(ReportedNumber(object, "flags") & kObjectHidden, 0) << object;
    }
    EXPECT_EQ(ReportedNumber(ReportedObject(json, "Mine"), "style") & 1, 1) << json;
    EXPECT_EQ(ItemsOf(ParseReport(json), "cards").size(), 4u) << "the module's new card" << json;
    // Opened again: the first card red, the new card after it blank.
    const std::string first = site.server.Name("busy.png"), made = site.server.Name("busy-t2.png");
    const BrowserRun again = site.Run("busy-copy.stk", {"--answer-alerts", "--screenshot", first, "--screenshot-after", "1000",
                                                        "--command", "204" + At(1300), "--screenshot-after", "2300",
                                                        "--quit-after-last", "500"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    EXPECT_EQ(CardOfColour(Shot(first).At(300, 120)), 1);
    EXPECT_TRUE(NearRgb(Shot(made).At(300, 120), 255, 255, 255, 40)) << Hex(Shot(made).At(300, 120));
}

// During the card walk a double click on the text object and a right click on the button do
// nothing: no editor and no menu open inside the button's actions, and the walk keeps the keys:
// its own key then moves. The menu bar offers only what waits for the walk: Import Background is
// grey, and Save Stack chosen with the mouse while the walk shows card 2 is done once the
// button's actions are: the saved file has the button with the card walked to.
TEST(ActionsWalkInBrowser, ClicksOnTheCardDuringTheWalkOpenNothingAndASaveChosenThenWaitsForIt) {
    Site site;
    site.server.Put("walkclicks.stk", WalkStack());
    const std::string copy = site.server.Name("walkclicks-copy.stk");
    const std::string walk = "Move to card";
    const BrowserRun run = site.Run(
        "walkclicks.stk",
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kButtonRect) + At(1400),
         "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
         "--dialog", "Actions|Another card...|press" + At(2400),
         "--double-click", Centre(kFieldRect) + OnceShown(walk, 600),
         "--right-click", Centre(kButtonRect) + OnceShown(walk, 1200),
         "--key", "alt+Right" + OnceShown(walk, 1800),
         "--menu-click", "File|Import Background" + OnceShown(walk, 2600),
         "--menu-click", "File|Save Stack" + OnceShown(walk, 3600),
         "--dialog", walk + "|OK|press" + At(6400), "--dialog", "Transitions|OK|press" + At(7000),
         "--dialog", "Actions|Done|press" + At(7600), "--save-copy", copy,
         "--quit-after-last", "2500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int shown = Find(run.log, "shown(Move to card)"), ended = Find(run.log, "gone(Move to card)");
    ASSERT_NE(shown, -1) << Joined(run.log);
    ASSERT_NE(ended, -1) << Joined(run.log);
    // The menus of the bar come after the clicks on the card.
    const int bar = FindHolding(run.log, "menu-click(");
    ASSERT_NE(bar, -1) << Joined(run.log);
    for (const char* opened : {"shown(Button Appearance)", "shown(Text Appearance)", "shown(menu)", "shown(Actions)"}) {
        const int at = Find(run.log, opened, shown);
        EXPECT_TRUE(at == -1 || at > (std::string(opened) == "shown(menu)" ? bar : ended)) << opened << Joined(run.log);
    }
    EXPECT_NE(FindHolding(run.log, "menu-click(menu File|Import Background) grey"), -1) << Joined(run.log);
    const int chosen = FindHolding(run.log, "menu-click(menu File|Save Stack) chosen");
    ASSERT_NE(chosen, -1) << Joined(run.log);
    const int actionsDone = Find(run.log, "gone(Actions)", ended);
    ASSERT_NE(actionsDone, -1) << Joined(run.log);
    EXPECT_GT(FindHolding(run.log, "saved(", chosen), actionsDone) << "the Save waited for the editors" << Joined(run.log);
    const std::string json = site.Report(copy);
    EXPECT_EQ(ReportedNumber(ReportedDestination(json, 1, 1), "destination"), 2) << json << Joined(run.log);
    EXPECT_NE(ReportedObject(json, "Block"), "") << json;
    const BrowserRun again = site.Run("walkclicks-copy.stk", {"--answer-alerts", "--quit-after", "1500"});
    EXPECT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
}

// The page closed while a path is being recorded (its prompt up, the path drawn, the key not
// yet pressed): the recording ends and is dropped, the dialogs under it end as cancelled, and
// the page closes at once instead of waiting for the plug-in.
TEST(ActionsWalkInBrowser, APageClosedWhileAPathIsRecordedEndsTheRecording) {
    Site site;
    site.server.Put("closerec.stk", WalkStack());
    const BrowserRun run = site.Run(
        "closerec.stk",
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kButtonRect) + At(1400),
         "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400),
         "--dialog", "Actions|Play animation...|check" + At(2300), "--click", "219,102" + At(3000),
         "--drag", "205,25-255,65" + At(3600), "--drag", "40,100-280,110" + OnceShown("Path Edit", 500),
         "--quit-after-last", "500"});
    EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int prompt = Find(run.log, "shown(Path Edit)");
    ASSERT_NE(prompt, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "closing inside a call", prompt), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "gone(Path Edit)", prompt), -1) << Joined(run.log);
}

// A button's appearance is kept (its actions read for the dialog); a timer is then chosen from
// the button's menu, and after it an icon through Icons... in the same menu. Saved and read
// again, the button has both the timer and the icon.
TEST(ActionsWalkInBrowser, IconsFromTheMenuAfterATimerChosenThereKeepBoth) {
    Site site;
    site.server.Put("icontimer.stk", Built(WalkCards()));
    const std::string copy = site.server.Name("icontimer-copy.stk");
    const std::string timer = "Automatic Timer|";
    const BrowserRun run = site.Run(
        "icontimer.stk",
        {"--answer-alert", "2340:2", "--key", "shift+Tab" + At(1000), "--right-click", Centre(kButtonRect) + At(1400),
         "--key", "Down Down Down Down Return" + OnceShown("menu", 400),
         "--dialog", "Button Appearance|OK|press" + At(2400),
         // The kinds' sub-menu is the menu's last item; Up from its first kind wraps to
         // "Testing &Function...", a second Up is "&Timer...".
         "--right-click", Centre(kButtonRect) + At(3000), "--key", "Up Right Up Up Return" + OnceShown("menu", 400, kNextShown),
         "--dialog", timer + "Activate button after card is shown|check" + At(4000),
         "--dialog", timer + "1002|type:4" + At(4200), "--dialog", timer + "OK|press" + At(4400),
         "--right-click", Centre(kButtonRect) + At(5000), "--key", "Down Down Return" + OnceShown("menu", 400, kNextShown),
         "--key", "Home" + OnceShown("Icons", 300), "--dialog", "Icons|OK|press" + At(6300),
         "--command", std::to_string(kSave) + At(7000), "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(Find(run.log, "shown(Automatic Timer)"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "shown(Icons)"), -1) << Joined(run.log);
    const std::string json = site.Report(copy);
    const std::string go = ReportedObject(json, "Go");
    ASSERT_NE(go, "") << json;
    EXPECT_EQ(ReportedValue(go, "timer"), "[1,4136]") << json;
    const int iconId = ReportedNumber(go, "iconId");
    EXPECT_GT(iconId, 0) << go;
    EXPECT_TRUE(HasResource(json, "Icon", iconId)) << json;
}

}  // namespace
