// A stack whose disk-based graphics name files "x.vid", "x.cam" and "x.tw" (beside it, holding
// a picture) and "y.vid", "y.cam" and "y.tw" (missing), shown by the real plug-in in the test
// browser from the web and from the disk, with a camera and a capture driver at hand: none of
// the devices opens, no dialog or alert shows, nothing of those names is asked of the browser,
// and the card is drawn with its stored graphic, the named ones showing nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kCardColour = 0x40A040, kStoredColour = 0xE0C000, kFileColour = 0xE00000;
const char* const kNames[] = {"x.vid", "x.cam", "x.tw", "y.vid", "y.cam", "y.tw"};

// The graphic of name n: 40 by 40 from (20 + 50 n, 100).
sb::Rect NamedRect(int n) { return {int16_t(20 + 50 * n), 100, int16_t(60 + 50 * n), 140}; }

std::string DeviceNamesStack() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kCardColour));
    sb::Object stored = sb::Graphic(1, {20, 20, 60, 60}, "Stored");
    stored.mask.clear();
    sb::SetGraphicPicture(stored, sb::SolidPicture(40, 40, 32, kStoredColour));
    card.objects.push_back(stored);
    for (int n = 0; n < 6; ++n) {
        sb::Object named = sb::Graphic(uint16_t(2 + n), NamedRect(n), kNames[n]);
        named.mask.clear();
        sb::SetGraphicFile(named, std::string("Disk:") + kNames[n], {0, 0, 40, 40});
        card.objects.push_back(named);
    }
    stack.cards = {card};
    stack.nextObjectId = 8;
    return Built(stack);
}

void ExpectNothingOpened(const BrowserRun& run, const Shot& shot) {
    EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "shown("), -1) << "no dialog, alert or window\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    for (const char* extension : {".vid", ".cam", ".tw"})
        for (int at = Find(run.log, "NPN_GetURL("); at != -1; at = Find(run.log, "NPN_GetURL(", at + 1))
            EXPECT_EQ(run.log[at].find(extension), std::string::npos) << run.log[at];
    // The card drawn: the stored graphic apart from the card, the named ones not to be seen.
    ASSERT_EQ(shot.width, UINT(kWidth)) << Joined(run.log);
    const uint32_t bare = shot.At(5, 5);
    EXPECT_NE(shot.At(40, 40), bare) << "the stored graphic";
    if (DisplayBits() > 8) {
        EXPECT_TRUE(NearRgb(shot.At(40, 40), 0xE0, 0xC0, 0x00, 8)) << Hex(shot.At(40, 40));
    }
    for (int n = 0; n < 6; ++n) {
        const sb::Rect r = NamedRect(n);
        for (const auto& [x, y] : {std::pair{r.left + 1, r.top + 1}, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
            EXPECT_EQ(shot.At(x, y), bare) << kNames[n] << " at " << x << "," << y << ": " << Hex(shot.At(x, y));
    }
}

}  // namespace

TEST(DeviceNamesInBrowser, GraphicsNamingDevicesOpenNoneAndTheCardIsDrawn) {
    CachedSite site(kWidth, kHeight);
    const std::string stack = site.Serve("devices", DeviceNamesStack());
    const std::vector<uint8_t> picture = sb::BmpFile(sb::SolidPicture(40, 40, 32, kFileColour));
    for (const char* name : {"x.vid", "x.cam", "x.tw"})
        site.server.Put(name, AsText(picture));
    const std::vector<std::pair<std::string, std::string>> devices = {{"LOOM_CAMERA", "A"},
                                                                        {"LOOM_CAPTURE_DRIVER", "1"}};
    const std::vector<std::string> watch = {"--answer-alerts", "--close-dialogs", "--quit-after-last", "1000"};

    {
        SCOPED_TRACE("from the web");
        const std::string shot = site.server.Name("devices-web.png");
        std::vector<std::string> args = {"--screenshot", shot, "--screenshot-after", "2500"};
        Append(args, watch);
        const BrowserRun run = site.Run(stack, args, devices);
        ExpectNothingOpened(run, Shot(shot));
    }
    {
        SCOPED_TRACE("from the disk");
        const std::string shot = site.server.Name("devices-disk.png");
        std::vector<std::string> args = {"--dll", PluginPath(), "--log", "--size",
                                         std::to_string(kWidth) + "x" + std::to_string(kHeight), "--screenshot", shot,
                                         "--screenshot-after", "2500"};
        Append(args, watch);
        args.push_back(site.server.path + "\\" + stack);
        const BrowserRun run = RunBrowser(site.server, args, devices);
        ExpectNothingOpened(run, Shot(shot));
    }
}
