// A movie's first frame on a card entered by a move, through the real plug-in in the test
// browser: the movie (AVI or .mov) is played on card 1 first, so that its file has been fetched,
// or is on its way, when card 2, whose buttons show the same movie's first frame, is drawn; or
// card 2 is the first to ask for it. And a movie given its first frame in the movie options by
// an author shows it once the stack is saved and opened again.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuilderMedia.h"
#include "StackBuilder.h"
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/RleAvi.h"
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

constexpr int kW = 40, kH = 30;
constexpr sb::Rect kMovieRect{60, 40, 60 + kW, 40 + kH};

// The first frame's pixels, top row first, as 0x00RRGGBB.
struct Film {
    std::string name;
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> first;
};

Film AviFilm(const std::string& stem) {
    const uint8_t* red = kRleAviPalette[1];
    const uint32_t colour = uint32_t(red[2]) << 16 | uint32_t(red[1]) << 8 | red[0];
    return {stem + ".avi", FourFrameRleAvi(kW, kH), std::vector<uint32_t>(size_t(kW) * kH, colour)};
}

// Four frames of a gradient, each with a band of its own colour.
Film MovFilm(const std::string& stem, sb::MovCodec codec) {
    sb::MovVideo v;
    v.codec = codec;
    v.width = kW;
    v.height = kH;
    v.fps = 10;
    std::vector<uint32_t> f(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            f[size_t(y) * kW + x] = uint32_t(x * 6) << 16 | uint32_t(y * 8) << 8 | 0x40;
    for (int k = 0; k < 4; ++k) {
        for (int y = k * 5; y < k * 5 + 4; ++y)
            for (int x = 0; x < kW; ++x)
                f[size_t(y) * kW + x] = uint32_t(200 - k * 40) << 16 | uint32_t(k * 60) << 8 | 0x90;
        v.frames.push_back(f);
    }
    const std::vector<uint8_t> bytes = sb::MovFile(v);
    return {stem + ".mov", bytes, v.frames[0]};
}

// How many pixels of the rectangle at left, top differ from the first frame.
int DifferingPixels(const Shot& shot, const Film& film, int left = kMovieRect.left, int top = kMovieRect.top) {
    const int slack = DisplayBits() == 16 ? 8 : 0;
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint32_t want = film.first[size_t(y) * kW + x];
            if (!NearRgb(shot.At(left + x, top + y), int(want >> 16), int((want >> 8) & 0xFF),
                         int(want & 0xFF), slack))
                ++differing;
        }
    return differing;
}

// How card 1 is left for card 2: by the Next menu command after the movie played, by the
// movie's own button moving on once it played, or by a Next button with a wipe while it plays.
// Covered: by the command, then the card's information dialog opens over the card and closes.
// Unfetched: card 1 has no movie; the command moves on and card 2 asks for the file first.
enum class Move { Command, MovieButton, WipeWhilePlaying, Covered, Unfetched };

void ExpectTheStillOnTheCardEntered(const Film& film, const std::string& stem, uint32_t firstFlags, Move move) {
    CachedSite site(160, 120);
    site.server.Put(film.name, AsText(film.bytes));
    sb::Stack s;
    s.cardWidth = 160;
    s.cardHeight = 120;
    sb::Card one = sb::PictureCard(1, sb::SolidPicture(160, 120, 8, 1));
    one.picture->palette = {{255, 255, 255}, {30, 30, 160}};
    sb::Object play = sb::MovieButton(1, {0, 0, 40, 20}, "Play", kMovieRect, "Disk:" + film.name, firstFlags);
    if (move == Move::MovieButton)
        play.words.insert(play.words.end(), {{16, uint16_t(-1)}, {18, 3}, {20, 0x120}});
    sb::Object next = sb::ShapedButton(3, {120, 100, 160, 120}, "Next", 1, 0, -1);
    next.words.push_back({18, 7});
    one.objects = {play, next};
    if (move == Move::Unfetched)
        one.objects = {next};
    sb::Card two = sb::PictureCard(2, sb::SolidPicture(160, 120, 8, 1));
    two.picture->palette = {{255, 255, 255}, {20, 150, 20}};
    // The same button number as card 1's, and another button of its own showing the movie too.
    two.objects = {sb::MovieButton(1, {0, 0, 40, 20}, "Same", kMovieRect, "Disk:" + film.name, 4),
                   sb::MovieButton(2, {120, 0, 160, 20}, "Other", {10, 75, 10 + kW, 75 + kH}, "Disk:" + film.name, 4)};
    s.cards = {one, two};
    site.server.Put(stem + ".stk", Built(s));
    const std::string shot = site.server.Name(stem + ".png"), t2 = site.server.Name(stem + "-t2.png");
    std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1000",
                                     "--screenshot-after", "3000", "--quit-after-last", "300"};
    if (move != Move::Unfetched)
        args.insert(args.end(), {"--click", "20,10@1100"});
    else
        args.insert(args.end(), {"--command", "204@1200"});
    if (move == Move::Command || move == Move::Covered)
        args.insert(args.end(), {"--command", "204@2200"});
    if (move == Move::Covered)
        args.insert(args.end(), {"--command", "301@2500", "--close-dialogs"});
    else if (move == Move::WipeWhilePlaying)
        args.insert(args.end(), {"--click", "140,110@1200"});
    const BrowserRun run = site.Run(stem + ".stk", args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const int asked = static_cast<int>(std::count_if(run.log.begin(), run.log.end(), [&](const std::string& line) {
        return StartsWith(line, "NPN_GetURL(") && line.find(film.name) != std::string::npos;
    }));
    EXPECT_EQ(asked, 1) << stem << ": the movie asked of the browser once\n" << Joined(run.log);
    const Shot before(shot), after(t2);
    ASSERT_EQ(after.width, 160u);
    if (firstFlags && move != Move::Unfetched) {
        EXPECT_EQ(DifferingPixels(before, film), 0) << stem << ": card 1's still before it plays";
    }
    EXPECT_TRUE(NearRgb(after.At(140, 100), 20, 150, 20, 8)) << stem << ": card 2 shown, " << Hex(after.At(140, 100));
    // Card 1's click that waited for the movie plays it when it arrives, over card 2 by then.
    if (move != Move::MovieButton) {
        EXPECT_EQ(DifferingPixels(after, film), 0) << stem << ": card 2's still of the movie";
    }
    EXPECT_EQ(DifferingPixels(after, film, 10, 75), 0) << stem << ": the other button's still of the same movie";
}

TEST(MovieStillInBrowser, ACardEnteredAfterItsMovieWasFetchedAndPlayedShowsTheFirstFrame) {
    SKIP_UNLESS_TRUE_COLOUR("the first frame is compared pixel by pixel with its exact colours");
    // The stacks carry "show the first frame" in the element flags alone: +22 is the pad flag.
    const std::vector<uint8_t> chunk =
        sb::BuildChunk(sb::MovieButton(1, {}, "", kMovieRect, "Disk:film.mov", 4).chunks.at(0));
    ASSERT_EQ((chunk[16] << 24 | chunk[17] << 16 | chunk[18] << 8 | chunk[19]), 4);
    ASSERT_EQ((chunk[22] << 8 | chunk[23]) & ~0x200, 0);
    const std::string stem = "still-" + ProcessTag();
    const Film films[] = {AviFilm(stem + "-avi"), MovFilm(stem + "-rle", sb::MovCodec::Rle),
                          MovFilm(stem + "-raw", sb::MovCodec::Raw)};
    for (const Film& film : films) {
        const std::string kind = film.name.substr(stem.size(), 4);
        ExpectTheStillOnTheCardEntered(film, stem + kind + "-command", 4, Move::Command);
        ExpectTheStillOnTheCardEntered(film, stem + kind + "-unfetched", 0, Move::Unfetched);
        if (&film == &films[2])
            continue;  // the raw movie only on the two plain moves
        ExpectTheStillOnTheCardEntered(film, stem + kind + "-button", 0, Move::MovieButton);
        ExpectTheStillOnTheCardEntered(film, stem + kind + "-wipe", 4, Move::WipeWhilePlaying);
        ExpectTheStillOnTheCardEntered(film, stem + kind + "-covered", 4, Move::Covered);
    }
}

// An author gives a button a movie from disk through the Actions dialog, lets it go where it is
// offered with a click beside it, and ticks "Show first frame" in the movie options; saved and
// opened again, the card shows the movie's first frame in its rectangle before anything is
// clicked.
TEST(MovieStillInBrowser, AMovieGivenItsFirstFrameInTheOptionsShowsItWhenTheSavedStackOpens) {
    SKIP_UNLESS_TRUE_COLOUR("the first frame is compared pixel by pixel with its exact colours");
    constexpr int kWidth = 320, kHeight = 240;
    const std::string stem = "options-" + ProcessTag();
    for (const Film& film : {AviFilm(stem), MovFilm(stem, sb::MovCodec::Rle)}) {
        CachedSite site(kWidth, kHeight);
        site.server.Put(film.name, AsText(film.bytes));
        sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
        sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, 0x2080A0));
        card.objects.push_back(sb::ShapedButton(1, {10, 200, 70, 230}, "Film", 1));
        stack.cards = {card};
        stack.nextObjectId = 2;
        const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
        const std::string name = stem + "-" + film.name.substr(film.name.size() - 3);
        site.server.Put(name + ".stk", AsText(bytes));
        const std::string copy = site.server.Name(name + "-copy.stk");
        const std::string chosen = "Please select a movie file|";
        std::vector<std::string> walk = OpenActionsAt("40,215", 1000);
        Append(walk, {"--dialog", "Actions|Play a movie or video...|check" + At(2300),
                      "--dialog", "Video/Movie Source|OK|press" + At(2800),
                      "--dialog", chosen + "File name:|type:" + WindowsPath(site.server.Name(film.name)) + At(3300),
                      "--dialog", chosen + "Open|press" + At(3500), "--click", "300,20" + At(4800),
                      "--dialog", "Movies|Show first frame|check" + At(5500),
                      "--dialog", "Movies|OK|press" + At(5800), "--dialog", "Actions|Done|press" + At(6300),
                      "--quit-after-last", "2000"});
        Append(walk, SaveAt(6900, copy));
        const BrowserRun run = site.Run(name + ".stk", walk);
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        const std::string json = site.Report(copy);
        const std::string video = ReportedVideo(json, 1, 1, 89);
        ASSERT_NE(video, "") << json;
        const RECT rect = ReportedRect(video);
        const int flags = ReportedNumber(video, "flags");
        EXPECT_TRUE(flags >= 0 && (flags & kMediaFlagFirstFrame)) << json;

        const std::string shot = site.server.Name(name + "-again.png");
        const BrowserRun again =
            site.Run(name + "-copy.stk", {"--answer-alerts", "--screenshot", shot, "--quit-after-last", "1500"});
        ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
        EXPECT_EQ(Find(again.log, "alert("), -1) << Joined(again.log);
        EXPECT_EQ(DifferingPixels(Shot(shot), film, rect.left, rect.top), 0)
            << film.name << ": the still at " << rect.left << "," << rect.top << "\n" << json;
    }
}

}  // namespace
