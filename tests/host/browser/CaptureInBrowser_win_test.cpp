// Graphics made from the live sources in the real plug-in under the test browser, as a person
// makes them: New Graphic, the source chosen in "Picture Source" (the camera by a second click
// on its button), the picture taken from the camera (its second picture picked among the
// thumbnails), the scanner's window or the Video Digitizer (its options looked at, the picture
// frozen), all of it selected for cropping, moved where it should stand and fixed with a click.
// Each shows on the card as soon as it is placed; saved and opened again, each is drawn pixel
// for pixel as its source gave it, where it was placed, and a frame given to one through its
// menu shows as soon as Graphic Appearance closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "resources/graphics_ids.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kCardColour = 0x40A040;
constexpr int kNewGraphic = 307;

// The stand-ins' pictures, pixel (x, y) from the top-left. The camera's picture 2 (40 by 30):
// red 96, green x * 8, blue y * 8. The scanner's (32 by 24): red x * 8, green y * 8, blue 128.
// The capture driver's (its size as asked): eight colour bars over the top three quarters, and
// below them a grey band with a black block that moves from frame to frame.
constexpr SIZE kCameraSize{40, 30}, kScanSize{32, 24}, kVideoSize{48, 36};
uint32_t CameraPixel(int x, int y) { return 96u << 16 | uint32_t(x * 8 & 0xF8) << 8 | uint32_t(y * 8 & 0xF8); }
uint32_t ScanPixel(int x, int y) { return uint32_t(x * 8 & 0xF8) << 16 | uint32_t(y * 8 & 0xF8) << 8 | 128; }
constexpr uint32_t kBars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

// The colour as shown: exact in true colour; a 16-bit display rounds each channel.
bool Shows(uint32_t pixel, uint32_t want) {
    return NearRgb(pixel, int(want >> 16), int(want >> 8 & 255), int(want & 255), DisplayBits() == 16 ? 8 : 0);
}
bool VideoPixel(int x, int y, uint32_t pixel) {
    if (y < kVideoSize.cy * 3 / 4)
        return Shows(pixel, kBars[x * 8 / kVideoSize.cx]);
    return Shows(pixel, 0x808080) || Shows(pixel, 0);
}

std::string CaptureStack() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 32);
    stack.cards = {sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, kCardColour))};
    stack.nextObjectId = 1;
    return Built(stack);
}

// The source of that radio button chosen in "Picture Source" at the time: checked and OK
// pressed, or clicked a second time, which stands for OK.
std::vector<std::string> ChooseSource(const std::string& source, int ms, bool twice = false) {
    const std::string radio = "Picture Source|" + source + "|";
    if (twice)
        return {"--dialog", radio + "click:8,5" + At(ms), "--dialog", radio + "click:8,5" + At(ms + 150)};
    return {"--dialog", radio + "check" + At(ms), "--dialog", "Picture Source|OK|press" + At(ms + 150)};
}

// New Graphic at the time; the source chosen and the picture taken through its own dialogs
// (the last step at `taken`), the whole of it selected in the cropping dialog, the placing
// explained, the graphic moved from the card's centre to `to` (dragged, or by the arrow keys
// given), fixed by a click on the bare corner and named in Graphic Appearance. The page is shot
// half a second after; the next may start at taken + 4000.
std::vector<std::string> MakeGraphic(int ms, const std::vector<std::string>& take, int taken, SIZE size, POINT to,
                                     const std::string& name, const std::string& keys = "") {
    std::vector<std::string> args = {"--command", std::to_string(kNewGraphic) + At(ms)};
    Append(args, take);
    Append(args, {"--dialog", "Graphic Objects|101|drag:0,0-" + std::to_string(size.cx) + "," + std::to_string(size.cy) +
                                  At(taken + 700),
                  "--dialog", "Graphic Objects|OK|press" + At(taken + 1100),
                  "--dialog", "Pageloom|OK|press" + At(taken + 1400),
                  keys.empty() ? "--drag" : "--key",
                  (keys.empty() ? "160,120-" + std::to_string(to.x) + "," + std::to_string(to.y) : keys) + At(taken + 1900),
                  "--click", "4,236" + At(taken + 2500),
                  "--dialog", "Graphic Appearance|Name:|type:" + name + At(taken + 3000),
                  "--dialog", "Graphic Appearance|OK|press" + At(taken + 3150),
                  "--screenshot-after", std::to_string(taken + 3700)});
    return args;
}

// Where a graphic of that size, offered centred on the card, stands once moved to `to`.
RECT Placed(SIZE size, POINT to) {
    const LONG left = (kWidth - size.cx) / 2 + to.x - 160, top = (kHeight - size.cy) / 2 + to.y - 120;
    return {left, top, left + size.cx, top + size.cy};
}

// Pixels of the shot inside the rectangle that are not the source's, with the first named.
template <typename Wanted>
std::string Mismatches(const Shot& shot, RECT r, Wanted wanted) {
    int wrong = 0;
    std::string first;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (!wanted(x - r.left, y - r.top, shot.At(x, y)) && !wrong++)
                first = std::to_string(x - r.left) + "," + std::to_string(y - r.top) + " is " + Hex(shot.At(x, y));
    return wrong ? std::to_string(wrong) + " pixels wrong, first " + first : "";
}

}  // namespace

TEST(CaptureInBrowser, CameraScannerAndVideoGraphicsShowWhenPlacedAndAfterReopening) {
    SKIP_UNLESS_TRUE_COLOUR("the pictures are compared with the colours the display shows");
    CachedSite site(kWidth, kHeight);
    site.server.Put("capture.stk", CaptureStack());
    const std::string copy = site.server.Name("capture-copy.stk");
    const std::string camShot = site.server.Name("capture.png"), scanShot = site.server.Name("capture-t2.png");
    const std::string videoShot = site.server.Name("capture-t3.png");
    const POINT camTo{60, 120}, scanTo{163, 122}, videoTo{260, 120};

    // The camera's second picture picked among its thumbnails.
    std::vector<std::string> args = {"--screenshot", camShot}, take = ChooseSource("Digital camera", 1800, true);
    Append(take, {"--dialog", "Camera Pictures|51|click:34,10" + At(2300), "--dialog", "Camera Pictures|OK|press" + At(2500)});
    Append(args, MakeGraphic(1500, take, 2500, kCameraSize, camTo, "Camera"));
    take = ChooseSource("TWAIN scanner or video", 6800);
    Append(take, {"--dialog", "Loom Scanner|Scan|press" + At(7300)});
    // The scanner's picture nudged by the keys: the card, which had the focus, has it again once
    // the scanner's window is gone.
    Append(args, MakeGraphic(6500, take, 7300, kScanSize, scanTo, "Scanner", "Right Right Right Down Down"));
    // The digitizer's options looked at, then the picture frozen and taken.
    const std::string digitizer = "Video Digitizer|", setup = "Video Setup|";
    take = ChooseSource("Video", 11600);
    Append(take, {"--dialog", digitizer + "Options...|press" + At(11900), "--dialog", setup + "Video Format...|press" + At(12100),
                  "--dialog", setup + "OK|press" + At(12250), "--dialog", digitizer + "Freeze|press" + At(12500),
                  "--dialog", digitizer + "OK|press" + At(12700)});
    Append(args, MakeGraphic(11300, take, 12700, kVideoSize, videoTo, "Video"));
    Append(args, SaveAt(16800, copy));
    Append(args, {"--quit-after-last", "1500"});
    const std::vector<std::pair<std::string, std::string>> devices = {
        {"LOOM_CAMERA", "A"}, {"LOOM_CAPTURE_DRIVER", "1"},
        {"LOOM_CAPTURE_SIZE", std::to_string(kVideoSize.cx) + "x" + std::to_string(kVideoSize.cy)}};
    const BrowserRun run = site.Run("capture.stk", args, devices);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    ExpectSaved(site, run);
    // The frame the digitizer saved to a temporary file was read and the file removed.
    WIN32_FIND_DATAA found{};
    const HANDLE frameFile = FindFirstFileA((site.cache + "\\vdc*").c_str(), &found);
    EXPECT_EQ(frameFile, INVALID_HANDLE_VALUE) << found.cFileName;
    if (frameFile != INVALID_HANDLE_VALUE)
        FindClose(frameFile);

    const RECT cam = Placed(kCameraSize, camTo), scan = Placed(kScanSize, scanTo), video = Placed(kVideoSize, videoTo);
    const auto camera = [](int x, int y, uint32_t pixel) { return Shows(pixel, CameraPixel(x, y)); };
    const auto scanner = [](int x, int y, uint32_t pixel) { return Shows(pixel, ScanPixel(x, y)); };
    // Each shows as soon as it is placed.
    EXPECT_EQ(Mismatches(Shot(camShot), cam, camera), "") << Joined(run.log);
    EXPECT_EQ(Mismatches(Shot(scanShot), scan, scanner), "") << Joined(run.log);
    const Shot placed(videoShot);
    EXPECT_EQ(Mismatches(placed, video, VideoPixel), "") << Joined(run.log);

    // Reopened: each where it was placed, at its size, drawn as its source gave it (the video's
    // moving band as it was frozen).
    const std::string json = site.Report(copy);
    for (const auto& [name, r] : {std::pair{"Camera", cam}, {"Scanner", scan}, {"Video", video}}) {
        const RECT reported = ReportedRect(ReportedObject(json, name));
        EXPECT_EQ(std::vector<LONG>({reported.left, reported.top, reported.right, reported.bottom}),
                  std::vector<LONG>({r.left, r.top, r.right, r.bottom})) << name << "\n" << json;
    }
    // Then the scanner's graphic given a frame through its menu's Appearance... (the object
    // tools first), which shows as soon as the dialog closes.
    const std::string again = site.server.Name("again.png"), framed = site.server.Name("again-t2.png");
    const std::string arrows = "Graphic Appearance|" + std::to_string(GAPPEAR_ARROWS) + "|click:3,3";
    const BrowserRun reopened = site.Run(
        "capture-copy.stk",
        {"--screenshot", again, "--screenshot-after", "1200", "--key", "shift+Tab@1500", "--right-click", "160,120@1900",
         "--key", "Down Down Down Return" + OnceShown("menu", 400), "--dialog", arrows + "@2800",
         "--dialog", arrows + "@2950", "--dialog", "Graphic Appearance|OK|press@3200", "--screenshot-after", "3800",
         "--answer-alerts", "--quit-after-last", "500"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const Shot shown(again);
    EXPECT_EQ(Mismatches(shown, cam, camera), "");
    EXPECT_EQ(Mismatches(shown, scan, scanner), "");
    EXPECT_EQ(Mismatches(shown, video, [&](int x, int y, uint32_t pixel) {
                  return Shows(pixel, placed.At(video.left + x, video.top + y));
              }), "");
    EXPECT_TRUE(Shows(shown.At(4, 4), kCardColour)) << Hex(shown.At(4, 4));

    const Shot edited(framed);
    const uint32_t ring = edited.At(scan.left, scan.top);
    EXPECT_FALSE(Shows(ring, ScanPixel(0, 0))) << Hex(ring) << "\n" << Joined(reopened.log);
    EXPECT_EQ(Mismatches(edited, scan, [&](int x, int y, uint32_t pixel) {
                  if (x == 0 || y == 0 || x == kScanSize.cx - 1 || y == kScanSize.cy - 1)
                      return pixel == ring;
                  return x < 3 || y < 3 || x > kScanSize.cx - 4 || y > kScanSize.cy - 4 || Shows(pixel, ScanPixel(x, y));
              }), "");
}

