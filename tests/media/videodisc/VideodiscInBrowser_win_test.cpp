// A videodisc action with live video in the hosted plug-in, on the simulated player and the
// test capture library: the click plays the segment and the live picture shows in its rectangle;
// one made through the actions dialog, saved and opened again, does the same.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "media/videodisc/VideodiscRecord.h"
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

// One 320 by 240 card, blue, with the buttons.
sb::Stack DiscStack(std::vector<sb::Object> buttons) {
    sb::Stack s;
    s.cardWidth = 320;
    s.cardHeight = 240;
    sb::Card card = ColourCard(1, {40, 40, 200}, 320, 240);
    card.objects = std::move(buttons);
    s.cards = {card};
    s.nextObjectId = static_cast<uint16_t>(card.objects.size() + 1);
    return s;
}

// A videodisc segment of the frames in the rectangle, with live video or without.
sb::Chunk Segment(sb::Rect rect, uint32_t from, uint32_t to, bool live) {
    sb::Chunk segment;
    segment.kind = 119;
    segment.rect = rect;
    if (live)
        segment.words.push_back({kChunkSoundFlags, kVdActionLiveVideo});
    const VideodiscCommandText start = MakeStartCommand("060", '3', from), end = MakeEndCommand(from, to, "FR");
    segment.payload.assign(start.begin(), start.end());
    segment.payload.insert(segment.payload.end(), end.begin(), end.end());
    return segment;
}

// The test picture's bars across the rectangle inset by 1, at its row y: white, yellow, cyan,
// green, magenta, red, blue, black, in its top three quarters; the card beside it.
void ExpectLiveVideo(const std::string& shot, int left, int right, int y) {
    const Shot picture(shot);
    ASSERT_EQ(picture.width, 320u);
    const int bars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                            {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    const int inside = right - left - 2;
    for (int i = 0; i < 8; ++i) {
        const int x = left + 1 + inside * (2 * i + 1) / 16;
        EXPECT_TRUE(NearRgb(picture.At(x, y), bars[i][0], bars[i][1], bars[i][2], 24))
            << "bar " << i << " at " << x << ": " << Hex(picture.At(x, y));
    }
    EXPECT_TRUE(NearRgb(picture.At(left - 3, y), 40, 40, 200, 24)) << "the card beside it: " << Hex(picture.At(left - 3, y));
    EXPECT_TRUE(NearRgb(picture.At(right + 2, y), 40, 40, 200, 24)) << "the card beside it: " << Hex(picture.At(right + 2, y));
}

TEST(VideodiscInBrowser, AClickPlaysTheSegmentWithLiveVideoOverItsRectangle) {
    ServerFolder server;
    sb::Object button = sb::ShapedButton(1, {0, 0, 40, 20}, "Disc", 2);
    button.words.push_back({20, 0x4000});
    button.chunks.push_back(Segment({80, 60, 240, 180}, 150, 300, true));
    const sb::Stack s = DiscStack({button});
    server.Put("disc.stk", Built(s));
    const std::string shot = server.Name("disc.png"), log = server.Name("player.log");

    const BrowserRun run = RunPage(server, "disc.stk", "320x240",
                                   {"--answer-alerts", "--click", "20,10@600", "--screenshot", shot, "--screenshot-after", "1600",
                                    "--quit-after-last", "600"},
                                   {{"LOOM_VIDEODISC_LOG", WindowsPath(log)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_NE(Find(player, "seek 150"), -1) << Joined(player);
    EXPECT_NE(Find(player, "play to 300 speed 30"), -1) << Joined(player);

    ExpectLiveVideo(shot, 80, 240, 100);
}

// Made by hand: the button's actions choose the laserdisc player, whose dialog stands beside the
// card with its viewer showing the live video over the card's middle half, dragged 20 left and
// 20 up, which leaves no trace where it was; the segment's frames are typed in. Saved and opened again, the button keeps the segment and the live video there,
// and a click plays the one and shows the other. Two presses at one pixel of the live video
// reach the button under it twice, though its own segment, without live video, played between.
TEST(VideodiscInBrowser, ASegmentWithLiveVideoMadeInTheActionsDialogPlaysOnceReopened) {
    CachedSite site(320, 240);
    sb::Object under = sb::ShapedButton(2, {140, 100, 180, 140}, "Under", 1);
    under.words.push_back({20, 0x4000});
    under.chunks.push_back(Segment({0, 0, 0, 0}, 400, 500, false));
    sb::Stack s = DiscStack({sb::ShapedButton(1, {10, 200, 70, 230}, "Disc", 1), under});
    s.experiencedUser = 1;
    const std::string name = "livedisc-" + ProcessTag();
    site.server.Put(name + ".stk", Built(s));
    const std::string copy = site.server.Name(name + "-copy.stk"), viewer = site.server.Name(name + ".png");
    const std::string source = "Video/Movie Source|", disc = "LaserDisc Control|";
    std::vector<std::string> walk = OpenActionsAt("40,215", 1000);
    Append(walk,
        {"--answer-alert", "2340:2", "--dialog", "Actions|Play a movie or video...|check@2300",
         "--dialog", source + "&Laserdisc player|check@2800", "--dialog", source + "OK|press@3000",
         "--dialog", disc + "&Viewer|check@3800", "--drag", "160,120-140,100@4300", "--dialog", disc + "6|type:150@5000",
         "--dialog", disc + "5|type:300@5200", "--screenshot", viewer, "--screenshot-after", "5800",
         "--dialog", disc + "OK|press@6100", "--dialog", "Actions|Done|press@6600", "--command", "102@7200",
         "--save-copy", copy, "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(name + ".stk", walk, {{"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // The dialog beside the card (its corner's left is the card's plus 320), the viewer over it.
    POINT card{};
    RECT shown{};
    ASSERT_TRUE(CardOnScreen(run.log, &card)) << Joined(run.log);
    ASSERT_TRUE(ShownPlace(run.log, "LaserDisc Control", &shown)) << Joined(run.log);
    EXPECT_GE(shown.left, card.x + 320) << Joined(run.log);
    ExpectLiveVideo(viewer, 60, 220, 100);
    EXPECT_TRUE(NearRgb(Shot(viewer).At(241, 100), 40, 40, 200, 24)) << "where the viewer was";
    const std::string json = site.Report(copy);
    const std::string video = ReportedVideo(json, 1, 1, 119);
    EXPECT_EQ(ReportedValue(video, "rect"), "[60,40,220,160]") << json;
    EXPECT_EQ(ReportedNumber(video, "flags"), kVdActionLiveVideo) << json;
    EXPECT_EQ(ReportedText(video, "start"), "060SP3AD00150SE") << json;
    EXPECT_EQ(ReportedText(video, "end"), "00300SMPL") << json;

    const std::string played = site.server.Name(name + "-played.png"), log = site.server.Name(name + "-player.log");
    const BrowserRun again =
        site.Run(name + "-copy.stk",
                 {"--answer-alerts", "--click", "40,215@800", "--screenshot", played, "--screenshot-after", "1800",
                  "--click", "160,120@2000", "--click", "160,120@2600", "--quit-after-last", "800"},
                 {{"LOOM_CAPTURE_DRIVER", "1"}, {"LOOM_VIDEODISC_LOG", WindowsPath(log)}});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    EXPECT_EQ(Find(again.log, "alert("), -1) << Joined(again.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_NE(Find(player, "seek 150"), -1) << Joined(player);
    EXPECT_NE(Find(player, "play to 300 speed 30"), -1) << Joined(player);
    ExpectLiveVideo(played, 60, 220, 100);
    const int first = Find(player, "seek 400");
    EXPECT_NE(first, -1) << Joined(player);
    EXPECT_NE(Find(player, "seek 400", first + 1), -1) << "the second press\n" << Joined(player);
}

}  // namespace
