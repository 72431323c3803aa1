// A videodisc action with live video in the hosted plug-in, on the simulated player and the
// test capture library: the click plays the segment and the live picture shows in its rectangle.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "media/videodisc/VideodiscRecord.h"
#include "tests/support/TestBrowserRun_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(VideodiscInBrowser, AClickPlaysTheSegmentWithLiveVideoOverItsRectangle) {
    ServerFolder server;
    sb::Stack s;
    s.cardWidth = 320;
    s.cardHeight = 240;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(320, 240, 8, 1));
    card.picture->palette = {{255, 255, 255}, {40, 40, 200}};
    sb::Object button = sb::ShapedButton(1, {0, 0, 40, 20}, "Disc", 2);
    button.words.push_back({20, 0x4000});
    sb::Chunk segment;
    segment.kind = 119;
    segment.rect = {80, 60, 240, 180};
    segment.words.push_back({24, 1});  // live video in the rectangle
    const VideodiscCommandText start = MakeStartCommand("060", '3', 150), end = MakeEndCommand(150, 300, "FR");
    segment.payload.assign(start.begin(), start.end());
    segment.payload.insert(segment.payload.end(), end.begin(), end.end());
    button.chunks.push_back(segment);
    card.objects = {button};
    s.cards = {card};
    server.Put("disc.stk", AsText(sb::BuildStack(s).bytes));
    const std::string shot = server.Name("disc.png"), log = server.Name("player.log");

    const BrowserRun run =
        RunBrowser(server,
                   {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size", "320x240",
                    "--click", "20,10@600", "--screenshot", shot, "--screenshot-after", "1600", "--quit-after", "2200",
                    "http://localhost/disc.stk"},
                   {{"LOOM_VIDEODISC_LOG", WindowsPath(log)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_NE(Find(player, "seek 150"), -1) << Joined(player);
    EXPECT_NE(Find(player, "play to 300 speed 30"), -1) << Joined(player);

    // The test picture's bars across the rectangle inset by 1 (81 to 239): white, yellow, cyan,
    // green, magenta, red, blue, black, in its top three quarters.
    const Shot picture(shot);
    ASSERT_EQ(picture.width, 320u);
    const int bars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                            {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int i = 0; i < 8; ++i) {
        const int x = 81 + 158 * (2 * i + 1) / 16;
        EXPECT_TRUE(NearRgb(picture.At(x, 100), bars[i][0], bars[i][1], bars[i][2], 24))
            << "bar " << i << " at " << x << ": " << Hex(picture.At(x, 100));
    }
    EXPECT_TRUE(NearRgb(picture.At(60, 100), 40, 40, 200, 24)) << "the card beside it: " << Hex(picture.At(60, 100));
}

}  // namespace
