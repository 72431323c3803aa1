// Video actions given to a button through the dialogs of the real plug-in in the test browser,
// on the capture stand-in: a movie recorded there and placed on the card by a drag, saved,
// opened again and played where it was placed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "format/StackFile.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kCardColour = 0x2080A0;
constexpr sb::Rect kButtonRect{10, 200, 70, 230};
constexpr int kSave = 102;

// One card for a person who may edit, with a button that does nothing yet.
std::string FilmStack() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kCardColour));
    card.objects.push_back(sb::ShapedButton(1, kButtonRect, "Film", 1));
    stack.cards = {card};
    stack.nextObjectId = 2;
    return Built(stack);
}

// Whether a pixel is nearer the wanted colour than the card's (displays of 8 and 16 bits
// change both).
bool Nearer(uint32_t pixel, uint32_t wanted) {
    const auto distance = [pixel](uint32_t to) {
        const int r = int(pixel >> 16 & 255) - int(to >> 16 & 255), g = int(pixel >> 8 & 255) - int(to >> 8 & 255),
                  b = int(pixel & 255) - int(to & 255);
        return r * r + g * g + b * b;
    };
    return distance(wanted) < distance(kCardColour);
}

// Pixels of the shot, every fourth, inside the rectangle (inset by 2) that are not nearer the
// colour than the card's, those that are, and outside it (a band 3 to 12 pixels away, the
// button's corner left out) those nearer the colour.
struct Counted {
    int inside = 0, outside = 0, matching = 0;
};
Counted Stray(const Shot& shot, const sb::Rect& r, uint32_t colour) {
    Counted wrong;
    for (int y = 0; y < kHeight; y += 4)
        for (int x = 0; x < kWidth; x += 4) {
            const bool in = x >= r.left + 2 && x < r.right - 2 && y >= r.top + 2 && y < r.bottom - 2;
            const bool close = x >= r.left - 12 && x < r.right + 12 && y >= r.top - 12 && y < r.bottom + 12;
            const bool away = x < r.left - 3 || x >= r.right + 3 || y < r.top - 3 || y >= r.bottom + 3;
            if (in)
                ++(Nearer(shot.At(x, y), colour) ? wrong.matching : wrong.inside);
            else if (close && away && y < kButtonRect.top - 4 && Nearer(shot.At(x, y), colour))
                ++wrong.outside;
        }
    return wrong;
}

// "Make your own movie": the button's actions choose the video source, the recording is named,
// made and kept, the mascot asks where the movie goes, the Open dialog offers the recording and
// it is taken; its still, offered
// at the card's centre, is dragged 60 left and 40 up and let go with a click beside it, and the
// movie options are taken. Reopened, a click on the button plays the movie in that rectangle and
// nowhere else: its first frame is white, its last red, which stays.
TEST(VideoActionsInBrowser, AMovieRecordedFromTheVideoSourcePlaysWhereItWasPlaced) {
    CachedSite site(kWidth, kHeight);
    const std::string name = "made-" + ProcessTag();
    site.server.Put(name + ".stk", FilmStack());
    const std::string movie = site.server.Name(name + ".avi");
    const std::string copy = site.server.Name(name + "-copy.stk");
    const std::string placing = site.server.Name(name + "-placing.png");
    site.server.Name(name + "-placing-t2.png");
    const std::string source = "Video/Movie Source|", named = "Please name this Movie|";
    const std::string chosen = "Please select a movie file|";
    std::vector<std::string> walk = OpenActionsAt("40,215", 1000);
    Append(walk, {"--answer-alert", "2340:2", "--dialog", "Actions|Play a movie or video...|check" + At(2300),
         "--dialog", source + "&Video (Make your own movie)|check" + At(2800), "--dialog", source + "OK|press" + At(3000),
         "--dialog", named + "File name:|type:" + WindowsPath(movie) + At(3500), "--dialog", named + "Save|press" + At(3700),
         "--dialog", name + "|&Record|press" + At(4300), "--dialog", name + "|OK|press" + At(5000),
         "--dialog", "Pageloom|OK|press" + At(5500),
         "--dialog", chosen + "Open|press" + At(6200),
         "--screenshot", placing, "--screenshot-after", "7300", "--drag", "160,120-100,80" + At(7600),
         "--screenshot-after", "8300", "--click", "300,20" + At(8600),
         "--dialog", "Movies|OK|press" + At(9300), "--dialog", "Actions|Done|press" + At(9800),
         "--command", std::to_string(kSave) + At(10400), "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(name + ".stk", walk, {{"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "Where on the screen do you want to place"), -1) << Joined(run.log);
    EXPECT_EQ(ReadFile(movie).substr(8, 4), "AVI ") << "the recording";
    // Offered at the card's centre at the movie's size, the first frame white; then where it
    // was dragged.
    const sb::Rect offered{80, 60, 240, 180}, placed{20, 20, 180, 140};
    const Counted atFirst = Stray(Shot(placing), offered, 0xFFFFFF);
    EXPECT_EQ(atFirst.inside + atFirst.outside, 0) << atFirst.inside << " inside, " << atFirst.outside << " outside";
    const Counted dragged = Stray(Shot(site.server.Name(name + "-placing-t2.png")), placed, 0xFFFFFF);
    EXPECT_EQ(dragged.inside + dragged.outside, 0) << dragged.inside << " inside, " << dragged.outside << " outside";
    // The button keeps the movie at that rectangle, over the objects, by the recording's name.
    const std::string json = site.Report(copy);
    const std::string video = ReportedVideo(json, 1, 1, 89);
    EXPECT_EQ(ReportedValue(video, "rect"), "[20,20,180,140]") << json;
    EXPECT_EQ(ReportedNumber(video, "flags"), int(kMediaFlagOverObjects | kMediaFlagApplyVolume)) << json;
    EXPECT_EQ(ReportedText(video, "file"), name + ".avi") << json;

    const std::string before = site.server.Name(name + "-again.png");
    site.server.Name(name + "-again-t2.png");
    const BrowserRun again = site.Run(name + "-copy.stk", {"--answer-alerts", "--screenshot", before, "--screenshot-after",
                                                           "1000", "--click", "40,215" + At(1200), "--screenshot-after",
                                                           "2500", "--quit-after-last", "500"});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    EXPECT_EQ(Find(again.log, "alert("), -1) << Joined(again.log);
    EXPECT_EQ(Stray(Shot(before), placed, 0xFF0000).matching, 0) << "the card before the click";
    const Counted played = Stray(Shot(site.server.Name(name + "-again-t2.png")), placed, 0xFF0000);
    EXPECT_EQ(played.inside, 0) << "the movie's last frame fills the rectangle";
    EXPECT_EQ(played.outside, 0) << "and nothing beside it";
}

// A movie file with a sound track given to the button: its options loop it and Try It plays it
// in the dialog (its sound reaches the stand-in's sink, in order); OK and Save keep the loop.
// Reopened, a click on the button plays the same sound.
TEST(VideoActionsInBrowser, TheMovieOptionsTryItPlaysTheMovieAndOkKeepsTheLoop) {
    CachedSite site(kWidth, kHeight);
    const std::string name = "tryit-" + ProcessTag();
    site.server.Put(name + ".stk", FilmStack());
    const sb::AviColour frames[] = {{255, 255, 255}, {255, 0, 0}};
    sb::AviSound sound;
    sound.samples = OrderedSamples(4000);
    const std::vector<uint8_t> avi = sb::AviFile(32, 24, 2, frames, false, &sound);
    const std::string movie = site.server.Put(name + ".avi", AsText(avi));
    const std::string copy = site.server.Name(name + "-copy.stk");
    const std::string trySink = site.server.Name(name + "-try.wav"), clickSink = site.server.Name(name + "-click.wav");
    const std::string source = "Video/Movie Source|", chosen = "Please select a movie file|", options = "Movies|";
    std::vector<std::string> walk = OpenActionsAt("40,215", 1000);
    Append(walk,
        {"--answer-alert", "2340:2", "--dialog", "Actions|Play a movie or video...|check" + At(2300),
         "--dialog", source + "&Disk file (QuickTime or AVI movies)|check" + At(2800),
         "--dialog", source + "OK|press" + At(3000), "--dialog", chosen + "File name:|type:" + movie + At(3500),
         "--dialog", chosen + "Open|press" + At(3700), "--click", "300,20" + At(4600),
         "--dialog", options + "Loop movie|check" + At(5300), "--dialog", options + "Try It|press" + At(5600),
         "--dialog", options + "OK|press" + At(6600), "--dialog", "Actions|Done|press" + At(7100),
         "--command", std::to_string(kSave) + At(7700), "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(name + ".stk", walk, {{"LOOM_QUICKTIME_SINK", trySink}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::vector<uint8_t> tried = WaveSamples(ReadAll(trySink));
    EXPECT_FALSE(tried.empty()) << "Try It played the movie's sound\n" << Joined(run.log);
    EXPECT_EQ(FirstStray(tried, sound.samples, 1), -1) << "its samples, in order";
    const std::string json = site.Report(copy);
    const std::string video = ReportedVideo(json, 1, 1, 89);
    ASSERT_NE(video, "") << json;
    EXPECT_EQ(ReportedNumber(video, "flags") & kMediaFlagLoop, kMediaFlagLoop) << "looped\n" << video;
    EXPECT_EQ(ReportedText(video, "file"), name + ".avi") << json;

    const BrowserRun again = site.Run(name + "-copy.stk", {"--answer-alerts", "--click", "40,215" + At(1200),
                                                           "--quit-after-last", "1800"},
                                      {{"LOOM_QUICKTIME_SINK", clickSink}});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    const std::vector<uint8_t> played = WaveSamples(ReadAll(clickSink));
    EXPECT_FALSE(played.empty()) << Joined(again.log);
    EXPECT_EQ(FirstStray(played, sound.samples, 1), -1);
}

// A movie placed on the card for the button's actions: while its rectangle is placed, a right
// click on the card, Backspace and a double click inside the rectangle (placed at the card's
// middle, over the text object under it) reach nothing of the card: no menu, no other object's editor inside the button's,
// nothing deleted. Placed and kept, the button plays its movie and the text object is as it was.
TEST(VideoActionsInBrowser, WhileAMovieIsPlacedTheCardTakesOnlyThePlacing) {
    CachedSite site(kWidth, kHeight);
    const std::string name = "placing-" + std::to_string(GetCurrentProcessId());
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kCardColour));
    card.objects.push_back(sb::ShapedButton(1, kButtonRect, "Film", 1));
    card.objects.push_back(sb::TextField(2, {0, 0, kWidth, 190}, "Note", "Hello"));
    stack.cards = {card};
    stack.nextObjectId = 3;
    site.server.Put(name + ".stk", Built(stack));
    const sb::AviColour frames[] = {{255, 255, 255}, {255, 0, 0}};
    const std::string movie = site.server.Put(name + ".avi", AsText(sb::AviFile(32, 24, 2, frames, false, nullptr)));
    const std::string copy = site.server.Name(name + "-copy.stk");
    const std::string source = "Video/Movie Source|", chosen = "Please select a movie file|", options = "Movies|";
    std::vector<std::string> walk = OpenActionsAt("40,215", 1000);
    Append(walk,
        {"--answer-alert", "2340:2", "--dialog", "Actions|Play a movie or video...|check" + At(2300),
         "--dialog", source + "&Disk file (QuickTime or AVI movies)|check" + At(2800),
         "--dialog", source + "OK|press" + At(3000), "--dialog", chosen + "File name:|type:" + movie + At(3500),
         "--dialog", chosen + "Open|press" + At(3700), "--right-click", "250,150" + At(4500),
         "--key", "backspace" + At(5000), "--double-click", "160,120" + At(5500), "--click", "300,20" + At(6300),
         "--dialog", options + "OK|press" + At(7000), "--dialog", "Actions|Done|press" + At(7500),
         "--command", std::to_string(kSave) + At(8100), "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(name + ".stk", walk);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int placing = FindHolding(run.log, "gone(Please select a movie file)");
    const int placed = FindHolding(run.log, "shown(Movies)");
    ASSERT_NE(placing, -1) << Joined(run.log);
    ASSERT_GT(placed, placing) << Joined(run.log);
    for (const char* opened : {"shown(menu)", "shown(Text Appearance)", "shown(Button Appearance)", "shown(Actions)"}) {
        const int at = FindHolding(run.log, opened, placing);
        EXPECT_TRUE(at == -1 || at > placed) << opened << Joined(run.log);
    }
    const std::string json = site.Report(copy);
    const std::string video = ReportedVideo(json, 1, 1, 89);
    EXPECT_NE(video, "") << "the button keeps its movie\n" << json;
    const std::string note = ReportedObject(json, "Note");
    ASSERT_NE(note, "") << json;
    EXPECT_EQ(ReportedText(note, "text"), "Hello") << note;
}

}  // namespace
