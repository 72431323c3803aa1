// The performer in the real plug-in, driven through the test browser with clicks on stacks served
// from a folder: the demo's movie card plays its movie once shown; a movie with a move holds the
// move until the movie ends or another click comes; a sound file beside a web stack is asked of
// the browser and played when it arrives; destination -6 with a stack path opens that stack, and
// going back from it reopens the first; a move whose card or action waits for a file runs once.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "quicktime/formats/SoundFiles.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

// Channels within what a 16-bit display keeps.
bool Near(uint32_t got, sb::Rgb want) {
    static const int slack = [] {
        HDC screen = GetDC(nullptr);
        const int bits = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        return bits == 16 ? 8 : 2;
    }();
    return NearRgb(got, want.red, want.green, want.blue, slack);
}

// The demo stack and its movie beside it: the Previous command goes round to the fourth card,
// where a click on "Show" plays the movie in its rectangle. Two shots a second and a half apart
// differ inside the rectangle, and the later one shows the movie's last frame there.
TEST(PerformInBrowser, TheDemoMovieCardPlaysItsMovie) {
    SKIP_UNLESS_TRUE_COLOUR("the movie frame is found by its exact colours in the screenshot");
    ServerFolder server;
    const std::string name = ServeDemo(server);
    const std::string shot = server.Name("demo.png");
    const std::string later = server.Name("demo-t2.png");
    const BrowserRun run = RunPage(server, name, "320x240",
                                   {"--answer-alerts", "--command", "203@600", "--click", "65,215@1400", "--screenshot", shot,
                                    "--screenshot-after", "1500", "--screenshot-after", "3400", "--quit-after-last", "400"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot first(shot), second(later);
    ASSERT_EQ(first.width, 320u);
    ASSERT_EQ(second.width, 320u);
    EXPECT_GT(Differing(first, second, {102, 62, 218, 148}, nullptr, 4), 100) << "the movie's frames advanced between the shots";
    const sb::Rgb lastFrame = {0, uint8_t(255 - 5 * 42), uint8_t(5 * 42)};
    EXPECT_TRUE(Near(second.At(160, 105), lastFrame)) << Hex(second.At(160, 105)) << "\n" << Joined(run.log);
    EXPECT_EQ(first.At(50, 120), second.At(50, 120)) << "the card beside the movie stays";
}

constexpr sb::Rgb kRed{200, 40, 40}, kGreen{40, 200, 40}, kBlue{40, 40, 200};
constexpr sb::Rect kMovieRect{40, 30, 120, 90};
constexpr sb::AviColour kFrames[] = {{255, 255, 0}, {255, 0, 255}, {0, 255, 255}, {128, 128, 128}};

// Card 1 (red) with its buttons along the top, card 2 (green); a movie of four seconds beside
// it, a sound file and another stack (blue).
struct ActionSite {
    ServerFolder server;
    std::string stack, movie, sound, other, sink;
    ActionSite() {
        stack = ProcessUniqueName("acts", "stk");
        movie = ProcessUniqueName("film", "avi");
        sound = ProcessUniqueName("beep", "wav");
        other = ProcessUniqueName("other", "stk");
        sb::Stack s;
        s.cardWidth = 160;
        s.cardHeight = 120;
        s.cards = {ColourCard(1, kRed), ColourCard(2, kGreen)};
        // Plays the movie, then goes to the next card; its first frame on the card (flag 4) has
        // it fetched when the card is shown.
        sb::Object film = sb::MovieButton(1, {0, 0, 40, 20}, "Film", kMovieRect, "Disk:" + movie, 4);
        film.words.push_back({16, static_cast<uint16_t>(-1)});
        film.words.push_back({20, 0x120});
        // Plays the sound file at full volume.
        sb::Object beep = sb::ShapedButton(2, {60, 0, 100, 20}, "Beep", 2);
        beep.words.push_back({20, 0x1});
        sb::Chunk file = sb::PathChunk(82, "Disk:" + sound);
        file.rect = {0, 255, 0, 0};  // the volume is the word at +4, the rectangle's top
        beep.chunks.push_back(file);
        // The first card of the stack named.
        sb::Object away = sb::ShapedButton(3, {120, 0, 160, 20}, "Away", 2);
        away.words.push_back({16, static_cast<uint16_t>(-6)});
        away.words.push_back({20, 0x30});
        away.chunks.push_back(sb::PathChunk(60, "Disk:" + other));
        // The movie, then a videodisc segment, then the next card: the segment ends the movie's
        // hold on the move.
        sb::Object disc = sb::MovieButton(4, {0, 100, 40, 120}, "Disc", kMovieRect, "Disk:" + movie, 0);
        disc.words.push_back({16, static_cast<uint16_t>(-1)});
        disc.words.push_back({20, 0x4120});
        sb::Chunk segment;
        segment.kind = 119;
        segment.payload = {0, 1, 0, 2};
        disc.chunks.push_back(segment);
        s.cards[0].objects = {film, beep, away, disc};
        sb::Stack o;
        o.cardWidth = 160;
        o.cardHeight = 120;
        o.cards = {ColourCard(5, kBlue), ColourCard(6, kGreen)};
        sb::Object back = sb::ShapedButton(1, {0, 0, 40, 20}, "Back", 2);
        back.words.push_back({16, static_cast<uint16_t>(-4)});
        back.words.push_back({20, 0x20});
        o.cards[0].objects = {back};
        server.Put(stack, Built(s));
        server.Put(other, Built(o));
        server.Put(movie, AsText(sb::AviFile(80, 60, 1, kFrames, true)));
        server.Put(sound, AsText(WaveFileOf(Square(11025, 60))));
        sink = server.Name("sink.wav");
    }
    BrowserRun Run(std::vector<std::string> input, const std::string& shot, const std::string& laterMs) {
        std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot};
        Append(args, input);
        Append(args, {"--screenshot-after", laterMs, "--quit-after-last", "400"});
        return RunPage(server, stack, "160x120", args, {{"LOOM_QUICKTIME_SINK", sink}});
    }
};

bool IsFrameColour(uint32_t got) {
    for (const sb::AviColour& f : kFrames)
        if (Near(got, {f.red, f.green, f.blue}))
            return true;
    return false;
}

TEST(PerformInBrowser, AMovieHoldsTheMoveUntilItEndsOrAClickComes) {
    SKIP_UNLESS_TRUE_COLOUR("the cards and the movie are told apart by exact colours in the screenshot");
    ActionSite site;
    // The movie shows over card 1 while it plays; card 2 once it has ended.
    const std::string during = site.server.Name("during.png");
    const std::string after = site.server.Name("during-t2.png");
    BrowserRun run = site.Run({"--click", "20,10@1200", "--screenshot-after", "2600"}, during, "6800");
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "NPN_GetURL(instance=1, url=http://localhost/" + site.movie), -1) << "the movie was asked of the browser";
    {
        const Shot playing(during), ended(after);
        EXPECT_TRUE(IsFrameColour(playing.At(80, 60))) << Hex(playing.At(80, 60)) << "\n" << Joined(run.log);
        EXPECT_TRUE(Near(playing.At(150, 110), kRed)) << Hex(playing.At(150, 110));
        EXPECT_TRUE(Near(ended.At(80, 60), kGreen)) << Hex(ended.At(80, 60));
        EXPECT_TRUE(Near(ended.At(150, 110), kGreen)) << Hex(ended.At(150, 110));
    }

    // A second click while the movie plays ends the wait: card 2 long before the movie's end.
    const std::string clicked = site.server.Name("clicked.png");
    site.server.Name("clicked-t2.png");
    run = site.Run({"--click", "20,10@1200", "--click", "150,110@2200", "--screenshot-after", "2800"}, clicked, "3000");
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot moved(clicked);
    EXPECT_TRUE(Near(moved.At(150, 110), kGreen)) << Hex(moved.At(150, 110)) << "\n" << Joined(run.log);
    EXPECT_TRUE(Near(moved.At(80, 60), kGreen)) << Hex(moved.At(80, 60));

    // A movie followed by a videodisc segment does not hold the move: card 2 while the movie
    // would still play.
    const std::string disc = site.server.Name("disc.png");
    site.server.Name("disc-t2.png");
    run = site.Run({"--click", "20,110@1500", "--screenshot-after", "2300"}, disc, "2500");
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot early(disc);
    EXPECT_TRUE(Near(early.At(150, 110), kGreen)) << Hex(early.At(150, 110)) << "\n" << Joined(run.log);
    EXPECT_TRUE(Near(early.At(80, 60), kGreen)) << Hex(early.At(80, 60));
}

TEST(PerformInBrowser, ASoundFileBesideTheWebStackPlaysOnArrivalAndAStackPathOpensThatStack) {
    SKIP_UNLESS_TRUE_COLOUR("the cards are told apart by exact colours in the screenshot");
    ActionSite site;
    const std::string shot = site.server.Name("away.png");
    const std::string later = site.server.Name("away-t2.png");
    const std::string back = site.server.Name("away-t3.png");
    const BrowserRun run = site.Run({"--click", "80,10@800", "--click", "140,10@2000", "--click", "20,10@3800",
                                     "--screenshot-after", "1800", "--screenshot-after", "3600"},
                                    shot, "5200");
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    // The sound was not there: the browser was asked for it, and the replay played it.
    const int asked = FindHolding(run.log, "NPN_GetURL(instance=1, url=http://localhost/" + site.sound);
    EXPECT_NE(asked, -1) << Joined(run.log);
    EXPECT_GT(SinkAmplitude(ReadAll(site.sink)), 20.0) << "the replay played the file";
    const Shot stayed(shot), away(later);
    EXPECT_TRUE(Near(stayed.At(150, 110), kRed)) << Hex(stayed.At(150, 110)) << ": a sound does not move";
    // Destination -6 with a stack path: the other stack's first card.
    EXPECT_NE(FindHolding(run.log, "NPN_GetURL(instance=1, url=http://localhost/" + site.other, asked), -1) << Joined(run.log);
    EXPECT_TRUE(Near(away.At(150, 110), kBlue)) << Hex(away.At(150, 110)) << "\n" << Joined(run.log);
    // Back from there reopens the first stack at the card left, from its local copy.
    const Shot returned(back);
    EXPECT_TRUE(Near(returned.At(150, 110), kRed)) << Hex(returned.At(150, 110)) << "\n" << Joined(run.log);
}

// The button of that name on the card of that name, and its centre as a --click value.
std::string ClickOn(const sb::Stack& stack, const std::string& card, const std::string& button) {
    for (const sb::Card& c : stack.cards)
        for (const sb::Object& o : c.objects)
            if (c.name == card && o.name == button)
                return Centre(o.rect);
    ADD_FAILURE() << "no button " << button << " on card " << card;
    return "0,0";
}

// Lines of a text file that hold the text.
int CountHolding(const std::string& path, const std::string& text) {
    const std::vector<std::string> lines = Lines(ReadFile(path));
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& l) { return l.find(text) != std::string::npos; }));
}

// Which of the three card colours a pixel is nearest to (1 red, 2 green, 3 blue): a display of
// 256 colours shows them only roughly.
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

int CountAsked(const BrowserRun& run, const std::string& file) {
    return static_cast<int>(std::count_if(run.log.begin(), run.log.end(), [&](const std::string& l) {
        return StartsWith(l, "NPN_GetURL(") && l.find("url=http://localhost/" + file) != std::string::npos;
    }));
}

// The demo served over the web: entering its movie card asks the browser for the movie, whose
// first frame (red) the card shows in the movie's rectangle. Its arrival draws the card again
// with the frame and runs no click again: "Back" on the first card goes round to the movie card
// and stays there, and so does "Movie" on the third card (reached by the Next command, so that
// the click is what first shows the movie card).
TEST(PerformInBrowser, AMoveToTheDemoMovieCardRunsOnceWhileItsFirstFrameArrives) {
    const sb::Stack demo = sb::DemoStack();
    sb::Rect movie{};
    for (const sb::Card& c : demo.cards)
        for (const sb::Object& o : c.objects)
            for (const sb::Chunk& chunk : o.chunks)
                if (c.name == "Movie" && chunk.kind == 89)
                    movie = chunk.rect;
    ASSERT_GT(movie.right, movie.left) << "the demo's movie card shows a movie";
    const int x = movie.left + 8, y = movie.top + 8;  // clear of the other cards' buttons
    ServerFolder server;
    const std::string name = ServeDemo(server);
    const struct {
        const char* what;
        std::vector<std::string> input;
    } cases[] = {
        {"Back on the first card", {"--click", ClickOn(demo, "Welcome", "Back") + "@900"}},
        {"Movie on the third card",
         {"--command", "204@700", "--command", "204@1000", "--click", ClickOn(demo, "Last", "Movie") + "@1400"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string shot = server.Name("moved.png"), later = server.Name("moved-t2.png");
        std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "2800",
                                         "--screenshot-after", "4600", "--quit-after-last", "400"};
        Append(args, c.input);
        const BrowserRun run = RunPage(server, name, "320x240", args);
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
        EXPECT_EQ(CountAsked(run, sb::kDemoMovieName), 1) << Joined(run.log);
        const Shot shown(shot), stayed(later);
        EXPECT_TRUE(Near(shown.At(x, y), {255, 0, 0})) << Hex(shown.At(x, y)) << ": the movie card with its first frame\n"
                                                        << Joined(run.log);
        EXPECT_TRUE(Near(stayed.At(x, y), {255, 0, 0})) << Hex(stayed.At(x, y)) << ": still the movie card";
    }
}

// A button that plays a sound file beside the web stack and goes to the next card, whose arrival
// action plays another: the move runs at once and both files are asked of the browser; each
// arrival plays its own sound, once, and moves no further.
TEST(PerformInBrowser, SoundsThatWaitForTheirFilesPlayOnceAndTheMoveRunsOnce) {
    ServerFolder server;
    const std::string stack = ProcessUniqueName("beepgo", "stk"), sound = ProcessUniqueName("beep", "wav"), chime = ProcessUniqueName("chime", "wav");
    const auto playing = [](uint16_t id, sb::Rect rect, const std::string& file, int16_t destination) {
        sb::Object o = sb::ShapedButton(id, rect, "Beep and go", 2, 0, destination);
        o.words.push_back({20, static_cast<uint16_t>(destination ? 0x21 : 0x1)});  // the sound file, the move
        sb::Chunk chunk = sb::PathChunk(82, "Disk:" + file);
        chunk.rect = {0, 255, 0, 0};  // full volume: the word at +4, the rectangle's top
        o.chunks.push_back(chunk);
        return o;
    };
    sb::Stack s;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {ColourCard(1, kRed), ColourCard(2, kGreen), ColourCard(3, kBlue)};
    s.cards[0].objects = {playing(1, {60, 0, 100, 20}, sound, -1)};
    constexpr uint16_t kArrival = 128;
    s.cards[1].actions[0] = kArrival;
    s.resources.push_back({"Actn", kArrival, "", 0, 0, sb::ActionRecord(playing(0, {}, chime, 0))});
    s.nextResourceId = kArrival + 1;
    server.Put(stack, Built(s));
    server.Put(sound, AsText(WaveFileOf(Square(11025, 60))));
    server.Put(chime, AsText(WaveFileOf(Square(5512, 60))));
    const std::string sink = server.Name("sink.wav"), log = server.Name("quicktime.log");
    const std::string shot = server.Name("beep.png"), later = server.Name("beep-t2.png");
    const BrowserRun run = RunPage(server, stack, "160x120",
                                   {"--answer-alerts", "--click", "80,10@900", "--screenshot", shot, "--screenshot-after", "2200",
                                    "--screenshot-after", "3800", "--quit-after-last", "400"},
                                   {{"LOOM_QUICKTIME_SINK", sink}, {"LOOM_QUICKTIME_LOG", log}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    EXPECT_EQ(CountAsked(run, sound), 1) << Joined(run.log);
    EXPECT_EQ(CountAsked(run, chime), 1) << Joined(run.log);
    EXPECT_EQ(CountHolding(log, "sound: "), 2) << ReadFile(log);
    EXPECT_EQ(CountHolding(log, "sound: 11025 frames at 11025 Hz"), 1) << ReadFile(log);
    EXPECT_EQ(CountHolding(log, "sound: 5512 frames at 11025 Hz"), 1) << ReadFile(log);
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "the files' sounds played";
    const Shot moved(shot), stayed(later);
    EXPECT_EQ(CardOfColour(moved.At(150, 110)), 2) << Hex(moved.At(150, 110)) << ": the next card\n" << Joined(run.log);
    EXPECT_EQ(CardOfColour(stayed.At(150, 110)), 2) << Hex(stayed.At(150, 110)) << ": and no further";
}

}  // namespace
