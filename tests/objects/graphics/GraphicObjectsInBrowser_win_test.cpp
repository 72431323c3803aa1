// Graphic objects drawn by the real plug-in in the test browser, read back from its screenshot:
// opaque, masked, framed, lasso-framed and half-transparent objects of a builder-made stack at the
// display's depth; the same transparent object opaque in a stack of depth 8; disk-based objects
// whose pictures lie beside the stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileLayer.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/DownloadReplay.h"
#include "format/StackFile.h"
#include "host/player/CardRefresh.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

// What one step of a channel is on this display.
int Step() { return DisplayBits() == 16 ? 8 : 1; }

bool Near(uint32_t got, sb::Rgb want, int slack) { return NearRgb(got, want.red, want.green, want.blue, slack); }

// Colours whose channels are multiples of 8, so that a 16-bit display keeps them exactly.
constexpr sb::Rgb kCard{48, 48, 160}, kOpaque{240, 200, 0}, kMasked{0, 200, 80}, kFramed{200, 0, 200},
    kLasso{0, 160, 200}, kHalf{240, 240, 48}, kLeft{200, 120, 0}, kRight{0, 120, 200};

// A picture of one colour at the stack's depth: 16 and 32 bits hold the colour, 8 bits index 2
// of the card's palette (white, the card's colour, then the picture's colour).
sb::Picture Solid(int width, int height, int depth, sb::Rgb colour) {
    if (depth == 8)
        return sb::SolidPicture(width, height, 8, 2);
    return sb::SolidPicture(width, height, depth, depth == 16 ? sb::Pixel16(colour) : sb::Pixel32(colour));
}

// The card in the card's colour at the stack's depth; at 8 bits the palette's further colours.
sb::Card DepthCard(int depth, const std::vector<sb::Rgb>& palette = {}) {
    return depth == 8 ? ColourCard(1, kCard, 160, 120, palette) : sb::PictureCard(1, Solid(160, 120, depth, kCard));
}

sb::Object PictureGraphic(uint16_t id, sb::Rect rect, int depth, sb::Rgb colour, sb::GraphicRows rows = sb::GraphicRows::Packed) {
    sb::Object g = sb::Graphic(id, rect, "g" + std::to_string(id));
    g.mask.clear();
    sb::SetGraphicPicture(g, Solid(rect.right - rect.left, rect.bottom - rect.top, depth, colour), rows);
    return g;
}

// The five objects on a card of the depth's colour.
sb::Stack ObjectsStack(int depth) {
    sb::Stack s;
    s.depth = static_cast<uint16_t>(depth);
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {DepthCard(depth)};
    sb::Object opaque = PictureGraphic(1, {10, 10, 40, 40}, depth, kOpaque, sb::GraphicRows::Raw);
    // The mask shows the left 12 columns of its 24 x 24; past it the card shows.
    sb::Object masked = PictureGraphic(2, {50, 10, 80, 40}, depth, kMasked);
    masked.mask = sb::PackedMaskBlock(24, 24, [](int x, int) { return x < 12; });
    sb::Object framed = PictureGraphic(3, {90, 10, 120, 40}, depth, kFramed, sb::GraphicRows::PackedStored);
    framed.words.push_back({16, 3});
    framed.words.push_back({24, 1});
    // A square in the middle, its edge drawn two pixels wide.
    sb::Object lasso = PictureGraphic(4, {125, 10, 155, 40}, depth, kLasso);
    lasso.mask = sb::PackedMaskBlock(30, 30, [](int x, int y) { return x >= 6 && x < 24 && y >= 6 && y < 24; });
    lasso.words.push_back({16, 2});
    lasso.words.push_back({24, 1});
    sb::Object half = PictureGraphic(5, {10, 60, 40, 90}, depth, kHalf);
    half.words.push_back({74, 50});
    s.cards[0].objects = {opaque, masked, framed, lasso, half};
    return s;
}

BrowserRun ShowStack(ServerFolder& server, const std::string& stackName, const std::string& shot, bool web) {
    std::vector<std::string> args = {"--dll", PluginPath(), "--log", "--answer-alerts", "--size", "160x120",
                                     "--screenshot", shot, "--screenshot-after", "4000", "--quit-when-done",
                                     "--quit-after", "8000"};
    if (web) {
        args.insert(args.end(), {"--server", server.path, "http://localhost/" + stackName});
    } else {
        args.push_back(server.path + "\\" + stackName);
    }
    return RunBrowser(server, args);
}

TEST(GraphicObjectsInBrowser, OpaqueMaskedFramedLassoAndHalfTransparentObjects) {
    SKIP_UNLESS_TRUE_COLOUR("the objects are compared with exact colours in the screenshot");
    const int depth = DisplayBits() == 16 ? 16 : 32;
    ServerFolder server;
    const std::string name = ProcessUniqueName("graphics", "stk");
    server.Put(name, Built(ObjectsStack(depth)));
    const std::string shotPath = server.Name("graphics.png");
    const BrowserRun run = ShowStack(server, name, shotPath, true);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    const Shot shot(shotPath);
    ASSERT_EQ(shot.width, 160u);
    const int slack = Step();
    auto expect = [&](int x, int y, sb::Rgb want, const char* what) {
        EXPECT_TRUE(Near(shot.At(x, y), want, slack)) << what << " at " << x << "," << y << ": " << Hex(shot.At(x, y));
    };
    expect(5, 5, kCard, "card");
    // Opaque: the whole bounds, nothing past them.
    expect(10, 10, kOpaque, "opaque");
    expect(39, 39, kOpaque, "opaque");
    expect(40, 25, kCard, "beside the opaque object");
    // Masked: the picture where the mask is white, the card where it is black and past its size.
    expect(51, 12, kMasked, "masked, white");
    expect(61, 33, kMasked, "masked, white");
    expect(62, 12, kCard, "masked, black");
    expect(76, 12, kCard, "past the mask's width");
    expect(55, 37, kCard, "past the mask's height");
    // Framed: three pixels of one frame colour on every side, the picture inside.
    const uint32_t frame = shot.At(90, 25);
    EXPECT_FALSE(Near(frame, kFramed, 16)) << Hex(frame);
    EXPECT_FALSE(Near(frame, kCard, 16)) << Hex(frame);
    for (auto [x, y] : {std::pair{92, 25}, {119, 25}, {117, 25}, {105, 10}, {105, 12}, {105, 39}, {105, 37}})
        EXPECT_EQ(shot.At(x, y), frame) << "frame at " << x << "," << y;
    expect(93, 25, kFramed, "inside the frame");
    expect(116, 25, kFramed, "inside the frame");
    expect(105, 13, kFramed, "inside the frame");
    // Lasso-framed: the frame colour along the mask's edge, the picture inside, the card outside.
    EXPECT_EQ(shot.At(131, 25), frame) << "lasso frame at the mask's left edge";
    EXPECT_EQ(shot.At(140, 16), frame) << "lasso frame at the mask's top edge";
    expect(140, 25, kLasso, "inside the lasso");
    expect(128, 25, kCard, "outside the lasso's mask");
    expect(140, 37, kCard, "outside the lasso's mask");
    // Half transparent: each channel the mean of card and picture, within one step.
    const sb::Rgb mean = {uint8_t((kCard.red + kHalf.red) / 2), uint8_t((kCard.green + kHalf.green) / 2),
                          uint8_t((kCard.blue + kHalf.blue) / 2)};
    expect(25, 75, mean, "half transparent");
    expect(41, 75, kCard, "beside the half transparent object");
}

// At the depth setting 8 (a stack of depth 8) transparency is not drawn: the object is opaque.
TEST(GraphicObjectsInBrowser, TransparencyIsOpaqueAtDepth8) {
    SKIP_UNLESS_TRUE_COLOUR("the object is compared with exact colours in the screenshot");
    ServerFolder server;
    const std::string name = ProcessUniqueName("graphics8", "stk");
    sb::Stack s;
    s.depth = 8;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {DepthCard(8, {kHalf})};
    sb::Object half = PictureGraphic(5, {10, 60, 40, 90}, 8, kHalf);
    half.words.push_back({74, 50});
    s.cards[0].objects = {half};
    server.Put(name, Built(s));
    const std::string shotPath = server.Name("graphics8.png");
    const BrowserRun run = ShowStack(server, name, shotPath, true);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot shot(shotPath);
    ASSERT_EQ(shot.width, 160u);
    EXPECT_TRUE(Near(shot.At(25, 75), kHalf, 8)) << Hex(shot.At(25, 75));
    EXPECT_TRUE(Near(shot.At(5, 5), kCard, 8)) << Hex(shot.At(5, 5));
}

// A 24-bit BMP file of width x height: the left columns (x < split) one colour, the rest another.
std::string TwoColourBmp(int width, int height, int split, sb::Rgb left, sb::Rgb right) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string b(54 + size_t(rowBytes) * size_t(height), '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    put32(26, 1 | 24 << 16);
    put32(34, uint32_t(rowBytes * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const sb::Rgb c = x < split ? left : right;
            const size_t at = 54 + size_t(y) * size_t(rowBytes) + size_t(x) * 3;
            b[at] = char(c.blue);
            b[at + 1] = char(c.green);
            b[at + 2] = char(c.red);
        }
    return b;
}

// A disk-based object showing the crop (20, 5)-(50, 35) of a picture whose left 30 columns are
// kLeft: in the object, the first 10 columns kLeft, the rest kRight.
sb::Stack DiskStack(int depth, const std::string& macPath) {
    sb::Stack s;
    s.depth = static_cast<uint16_t>(depth);
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards = {DepthCard(depth)};
    sb::Object disk = sb::Graphic(6, {50, 60, 80, 90}, "disk");
    disk.mask.clear();
    disk.words.push_back({54, static_cast<uint16_t>(depth)});
    sb::SetGraphicFile(disk, macPath, {20, 5, 50, 35});
    s.cards[0].objects = {disk};
    return s;
}

void ExpectCutOut(const Shot& shot) {
    const int slack = Step();
    EXPECT_TRUE(Near(shot.At(51, 75), kLeft, slack)) << Hex(shot.At(51, 75));
    EXPECT_TRUE(Near(shot.At(59, 62), kLeft, slack)) << Hex(shot.At(59, 62));
    EXPECT_TRUE(Near(shot.At(60, 62), kRight, slack)) << Hex(shot.At(60, 62));
    EXPECT_TRUE(Near(shot.At(79, 89), kRight, slack)) << Hex(shot.At(79, 89));
    EXPECT_TRUE(Near(shot.At(49, 75), kCard, slack)) << Hex(shot.At(49, 75));
    EXPECT_TRUE(Near(shot.At(80, 75), kCard, slack)) << Hex(shot.At(80, 75));
}

// In a web stack the picture is asked of the browser beside the stack and shown when it comes;
// a local stack's picture lies beside it on the disk.
TEST(GraphicObjectsInBrowser, DiskBasedPicturesBesideWebAndLocalStacks) {
    SKIP_UNLESS_TRUE_COLOUR("the pictures are compared with exact colours in the screenshot");
    const int depth = DisplayBits() == 16 ? 16 : 32;
    for (const bool web : {true, false}) {
        SCOPED_TRACE(web ? "web" : "local");
        ServerFolder server;
        const std::string picture = ProcessUniqueName("beside", "bmp");
        server.Put(picture, TwoColourBmp(60, 40, 30, kLeft, kRight));
        const std::string name = ProcessUniqueName("disk", "stk");
        server.Put(name, Built(DiskStack(depth, "Disk:" + picture)));
        const std::string shotPath = server.Name("disk.png");
        const BrowserRun run = ShowStack(server, name, shotPath, web);
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        const int asked = Find(run.log, "NPN_GetURL(");
        ASSERT_NE(asked, -1) << Joined(run.log);
        EXPECT_NE(run.log[asked].find(picture), std::string::npos) << run.log[asked];
        const Shot shot(shotPath);
        ASSERT_EQ(shot.width, 160u);
        ExpectCutOut(shot);
    }
}

}  // namespace

int g_reloads = 0;
uint32_t g_reloadedLayer = 0;

// In a web stack the layer being built marks its picture's request: the arrival reloads that
// layer (and no other way of showing it is needed).
TEST(GraphicObjectsInPlugin, APictureArrivingForAWebStackReloadsTheLayerThatAskedForIt) {
    SKIP_UNLESS_TRUE_COLOUR("the arrived picture is compared with exact colours");
    const std::string picture = "arrive-" + ProcessTag() + ".bmp";
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string picturePath = std::string(temp) + picture;
    const std::string bmp = TwoColourBmp(60, 40, 30, kLeft, kRight);
    ASSERT_TRUE(sb::WriteFile(picturePath, std::vector<uint8_t>(bmp.begin(), bmp.end())));
    g_reloads = 0;
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(DiskStack(DisplayBits() == 16 ? 16 : 32, "Disk:" + picture), "arrive-" +
                                   ProcessTag() + ".stk", &page, [] {
        DownloadReplay replay = DefaultDownloadReplay();
        replay.replay = [](const PendingRequest& request, const char* url) {
            if (request.kind == kPendingLayer) {
                ++g_reloads;
                g_reloadedLayer = request.object;
            }
            DefaultDownloadReplay().replay(request, url);
        };
        SetDownloadReplay(replay);
    }));
    const LayerHandle handle = FindLayer(kObjectGraphic, 6);
    EXPECT_EQ(g_reloads, 1);
    EXPECT_EQ(g_reloadedLayer, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)));
    {
        LayerLock<GraphicLayer> layer(handle);
        ASSERT_TRUE(layer);
        EXPECT_NE(layer->picture, nullptr);
    }
    UpdateWindow(page.embed);
    HDC dc = GetDC(page.embed);
    const COLORREF left = GetPixel(dc, 52, 75), right = GetPixel(dc, 70, 75);
    ReleaseDC(page.embed, dc);
    const int slack = Step();
    EXPECT_TRUE(Near(uint32_t(GetRValue(left)) << 16 | GetGValue(left) << 8 | GetBValue(left), kLeft, slack));
    EXPECT_TRUE(Near(uint32_t(GetRValue(right)) << 16 | GetGValue(right) << 8 | GetBValue(right), kRight, slack));
    SetDownloadReplay(DefaultDownloadReplay());
    CloseLinkedPlugin(&page);
    DeleteFileA(picturePath.c_str());
}

// Not in the browser: the plug-in linked into this program, with the page's stack then opened
// again from a file of this machine, whose missing picture is asked of the person; cancelling
// leaves the layer with its frame and no picture.
TEST(GraphicObjectsInPlugin, AMissingPictureWhoseLocateIsCancelledLeavesTheFrameAndNoPicture) {
    sb::Stack s = DiskStack(DisplayBits() == 16 ? 16 : 32, "Disk:gone-" + ProcessTag() + ".bmp");
    s.cards[0].objects[0].words.push_back({16, 2});
    LinkedPluginPage page;
    DialogDriver driver(15000);
    std::string caption;
    driver.Expect(DialogMatch::Any(), [&](DialogView& box) {
        caption = box.Caption();
        box.Press(IDCANCEL);
    });
    // The page's stack asks its site; the same stack from this machine's disk looks here.
    ASSERT_TRUE(OpenInLinkedPlugin(s, "gone-" + ProcessTag() + ".stk", &page));
    driver.Run([&] { return OpenAgainFromThisMachine(page) ? 1 : 0; });
    EXPECT_EQ(caption, "Please find the picture named: gone-" + ProcessTag() + ".bmp");
    LayerHandle handle = FindLayer(kObjectGraphic, 6);
    ASSERT_NE(handle, nullptr);
    {
        LayerLock<GraphicLayer> layer(handle);
        ASSERT_TRUE(layer);
        EXPECT_EQ(layer->picture, nullptr);
        EXPECT_EQ(layer->frameWidth, 2);
        EXPECT_EQ(layer->common.bounds.left, 50);
    }
    UpdateWindow(page.embed);
    HDC dc = GetDC(page.embed);
    const COLORREF there = GetPixel(dc, 65, 75), card = GetPixel(dc, 5, 5);
    ReleaseDC(page.embed, dc);
    EXPECT_EQ(there, card) << "nothing drawn without a picture";
    CloseLinkedPlugin(&page);
}
