// Import Background from the live sources in the plug-in as the test browser hosts it: the
// scanner (our TWAIN source, tools/twainds) and the camera (tools/camera, picture 2 chosen among
// the thumbnails), each centred on the card; the saved stack, shown by the real plug-in in the
// test browser, holds the camera's picture.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "host/menus/MenuCommands.h"
#include "authoring/cards/CardPictureFiles.h"
#include "resources/graphics_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;

constexpr int kWidth = 120, kHeight = 90;
constexpr int kImportBackground = 104, kNewGraphic = 307;

// The scanner's picture at (x, y) from its top-left: red x * 8, green y * 8, blue 128.
uint32_t ScanPixel(int x, int y) { return uint32_t(x * 8 & 0xF8) << 16 | uint32_t(y * 8 & 0xF8) << 8 | 128; }
// The camera's picture 2: red 96, green x * 8, blue y * 8.
uint32_t CameraPixel(int x, int y) { return 96u << 16 | uint32_t(x * 8 & 0xF8) << 8 | uint32_t(y * 8 & 0xF8); }

// Equal colours, each channel within a step of the display's own rounding (none in true colour;
// a 16-bit display reaches the same colour along two roads that round apart by one).
::testing::AssertionResult Same(uint32_t shown, uint32_t want) {
    const int slack = DisplayBits() == 16 ? 8 : 0;
    for (int shift : {0, 8, 16}) {
        const int a = shown >> shift & 0xFF, b = want >> shift & 0xFF;
        if (a - b > slack || b - a > slack)
            return ::testing::AssertionFailure() << std::hex << shown << " is not " << want;
    }
    return ::testing::AssertionSuccess();
}

// A colour as the display shows it (a 16-bit display rounds it).
uint32_t AsShown(uint32_t rgb) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    SetPixel(memory, 0, 0, RGB(rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF));
    const COLORREF c = GetPixel(memory, 0, 0);
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

uint32_t Shown(HWND window, int x, int y) {
    const COLORREF c = WindowPixel(window, x, y);
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// Chooses a source in "VIDSRCDLG", then answers the size question with "No" (centred).
void ImportFrom(HWND embed, int radio, DialogDriver::Answer between = nullptr, const char* betweenName = "CAMERADLG") {
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("VIDSRCDLG"), [radio](DialogView& box) {
        EXPECT_TRUE(box.IsEnabled(radio));
        box.SetChecked(radio, true);
        box.Press(IDOK);
    });
    if (between)
        driver.Expect(DialogMatch::Template(betweenName), between);
    driver.Expect(DialogMatch::Alert(kAlertPictureSizeDiffers), [](DialogView& box) { box.Press(53); });
    driver.Run([&] { return DoMenuCommand(embed, kImportBackground, 0, nullptr) ? 1 : 0; });
}

class LiveSourceImport : public LinkedPluginTest {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("LOOM_CAMERA", "A");
        SetEnvironmentVariableA("LOOM_TWAIN_AUTO", "scan");
    }
    void TearDown() override {
        LinkedPluginTest::TearDown();
        SetEnvironmentVariableA("LOOM_CAMERA", nullptr);
        SetEnvironmentVariableA("LOOM_TWAIN_AUTO", nullptr);
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
        SetEnvironmentVariableA("LOOM_CAPTURE_SIZE", nullptr);
    }
    // One plain card of 32 bits a pixel; false when it did not open.
    bool OpenCard() {
        sb::Stack stack = OneCardStack(kWidth, kHeight);
        stack.depth = 32;
        return Open(stack);
    }
};

}  // namespace

TEST_F(LiveSourceImport, ScannerAndCameraPicturesLandOnTheCardAndAreSaved) {
    SKIP_UNLESS_TRUE_COLOUR("the pictures are compared with the colours the display shows");
    ASSERT_TRUE(OpenCard());

    // "TWAIN scanner or video": 32 by 24, centred.
    ImportFrom(page.embed, 1003);
    PumpPageMessages();
    for (const auto& [x, y] : {std::pair{0, 0}, {5, 3}, {31, 23}, {17, 11}})
        EXPECT_TRUE(Same(Shown(page.embed, 44 + x, 33 + y), AsShown(ScanPixel(x, y)))) << x << "," << y;

    // "Digital camera", its second picture: 40 by 30, centred.
    ImportFrom(page.embed, 1002, [](DialogView& box) {
        const RECT area = box.ControlRect(51);
        SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(area.left + 24 + 10, area.top + 10));
        box.Press(IDOK);
    });
    PumpPageMessages();
    for (const auto& [x, y] : {std::pair{0, 0}, {7, 5}, {39, 29}, {20, 15}})
        EXPECT_TRUE(Same(Shown(page.embed, 40 + x, 30 + y), AsShown(CameraPixel(x, y)))) << x << "," << y;

    // Saved, and shown by the plug-in itself.
    // A stack from the web is saved where the person says (no conversion is asked about).
    ASSERT_TRUE(SaveOpenStack(page.embed)) << "saved";
    // Saved where the person said, the stack's own file from then on.
    char savedPath[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof savedPath, savedPath);
    ServerFolder server;
    FILE* f = std::fopen(savedPath, "rb");
    ASSERT_NE(f, nullptr);
    std::string bytes;
    for (int c; (c = std::fgetc(f)) != EOF;)
        bytes.push_back(static_cast<char>(c));
    std::fclose(f);
    CloseLinkedPlugin(&page);
    server.Put("saved.stk", bytes);
    const std::string shotPath = server.Name("saved.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--log", "--answer-alerts", "--size", "120x90",
                                               "--screenshot", shotPath, "--screenshot-after", "3000",
                                               "--quit-after-last", "2000", "--server", server.path,
                                               "http://localhost/saved.stk"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot shot(shotPath);
    ASSERT_EQ(shot.width, 120u);
    for (const auto& [x, y] : {std::pair{0, 0}, {7, 5}, {39, 29}, {20, 15}})
        EXPECT_TRUE(Same(shot.At(40 + x, 30 + y) & 0xFFFFFF, AsShown(CameraPixel(x, y)))) << x << "," << y;
}

// "Video": the Video Digitizer's frozen frame (the capture library's colour bars, 32 by 24) is
// the picture, centred.
TEST_F(LiveSourceImport, AVideoFrameLandsOnTheCard) {
    SKIP_UNLESS_TRUE_COLOUR("the pictures are compared with the colours the display shows");
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    SetEnvironmentVariableA("LOOM_CAPTURE_SIZE", "32x24");
    ASSERT_TRUE(OpenCard());
    ImportFrom(page.embed, 1001, [](DialogView& box) {
        box.Press(1);  // the frame shown is taken
    }, "VIDEOCAPTURE");
    PumpPageMessages();
    // Eight bars, 4 pixels each: white, yellow, cyan, green, magenta, red,
    // blue, black.
    for (const auto& [x, y, rgb] : {std::tuple{1, 1, 0xFFFFFFu}, {5, 4, 0xFFFF00u}, {10, 10, 0x00FFFFu},
                                   {21, 2, 0xFF0000u}, {30, 12, 0x000000u}})
        EXPECT_TRUE(Same(Shown(page.embed, 44 + x, 33 + y), AsShown(rgb))) << x << "," << y;
}

namespace {

// 307 from the scanner: its picture cropped to (2, 2, 20, 16) is offered centred on the card,
// and shows there while it is placed, before anything else redraws the card.
TEST_F(LiveSourceImport, AScannedGraphicShowsWhileItIsPlaced) {
    SKIP_UNLESS_TRUE_COLOUR("the picture is compared with the colours the display shows");
    ASSERT_TRUE(OpenCard());
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) {
            box.SetChecked(1003, true);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
            HWND view = GetDlgItem(box.Window(), PCROP_VIEW);
            DragThrough(view, {{2, 2}, {10, 10}, {20, 16}, {20, 16}});
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
        driver.Run([&] { return DoMenuCommand(page.embed, kNewGraphic, 0, nullptr) ? 1 : 0; });
    }
    PumpPageMessages();
    // The crop's centre (11, 9) at the card's centre, give or take the rounding of the halves.
    bool found = false;
    for (int dx = -1; dx <= 1 && !found; ++dx)
        for (int dy = -1; dy <= 1 && !found; ++dy)
            found = Same(Shown(page.embed, kWidth / 2 + dx, kHeight / 2 + dy), AsShown(ScanPixel(11, 9)));
    EXPECT_TRUE(found) << std::hex << Shown(page.embed, kWidth / 2, kHeight / 2);
}

}  // namespace
