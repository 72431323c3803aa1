// Saved objects in the Media Browser's preview pane, drawn into a bitmap as the pane paints them:
// a button in the font its record names from the open stack's font table, with the icon its
// file carries and a freehand shape by its outline; graphics through their mask over the pane's
// ground, and a disk-based graphic from its picture file found beside the saved object.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/palette/AppPalette.h"
#include "host/medialibrary/MediaBrowserObjects.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/host/medialibrary/DropTesting_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

namespace sb = stackbuilder;
using browsertest::Hex;
using browsertest::NearRgb;

constexpr uint16_t kMonoFont = 5, kIconId = 300, kBlueIndex = 5;
constexpr sb::Rgb kIconRed = {220, 20, 20};

// A stack whose font table names a monospaced face, open in the linked plug-in for the whole
// test (its palette and font table are what the previews use).
class SavedObjectPreview : public ::testing::Test {
protected:
    void SetUp() override {
        // Every preview here compares true colours: a palette display opens no page for them.
        SKIP_UNLESS_TRUE_COLOUR("picture colours are compared");
        sb::Stack stack;
        stack.cardWidth = 200;
        stack.cardHeight = 120;
        stack.cards = {sb::PlainCard(1)};
        stack.resources.push_back({"FntL", 128, "", 0, 0, sb::FontTable({{kMonoFont, "DejaVu Sans Mono", false}})});
        ASSERT_TRUE(OpenInLinkedPlugin(stack, "objpreview.stk", &page_));
        folder_ = MakeTestFolder("objpreview");
    }
    void TearDown() override {
        if (folder_.empty())
            return;  // skipped before the page opened
        RemoveTestFolder(folder_);
        CloseLinkedPlugin(&page_);
    }

    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        return WriteTestFile(folder_, name, std::string(bytes.begin(), bytes.end()));
    }

    // The preview of the file painted over a width x height pane first filled with magenta;
    // empty when no preview was built.
    std::vector<uint32_t> Paint(const std::string& path, int code, int width, int height) {
        const uintptr_t preview = BuildSavedObjectPreview(path.c_str(), code, page_.embed);
        if (!preview)
            return {};
        HDC dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT pane{0, 0, width, height};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &pane, magenta);
        DeleteObject(magenta);
        const bool painted = PaintSavedObjectPreview(dc, pane, preview);
        std::vector<uint32_t> pixels = painted ? ReadDcPixels(dc, width, height) : std::vector<uint32_t>{};
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        FreeSavedObjectPreview(preview);
        return pixels;
    }

    LinkedPluginPage page_;
    std::string folder_;
};

uint32_t Rgb(COLORREF c) { return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c); }

// The colour of a stored palette index (the entry less one) as a 32-bit bitmap shows it.
uint32_t StoredColour(int stored) {
    PALETTEENTRY e{};
    GetPaletteEntries(GetAppPalette(), static_cast<UINT>(stored - 1), 1, &e);
    return uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
}

bool Near(uint32_t got, uint32_t want) {
    return NearRgb(got, int(want >> 16 & 255), int(want >> 8 & 255), int(want & 255), 12);
}

// An elliptic button (shape 6) named "iiii" in font 5, 24 points bold: the pane is filled and
// the ellipse's outline drawn over it, the corners keep the fill, and the name is as wide as the
// monospaced face makes it. A second button shows the icon its file carries, centred.
TEST_F(SavedObjectPreview, AButtonShowsItsFontShapeAndTheIconItsFileCarries) {
    SKIP_UNLESS_TRUE_COLOUR("the fill and icon colours are compared");
    constexpr int kFill = 36, kName = 256;
    sb::Object shaped = sb::ShapedButton(1, {0, 0, 80, 40}, "iiii", 6);
    shaped.words.insert(shaped.words.end(), {{66, kName}, {68, kFill}, {84, kMonoFont}, {86, 24}, {88, 1}});
    const std::vector<uint32_t> pixels = Paint(Put("oval.bttn", sb::ObjectFile(shaped)), kSavedButtonCode, 160, 80);
    ASSERT_EQ(pixels.size(), 160u * 80u);
    const auto at = [&](int x, int y) { return pixels[size_t(y) * 160 + size_t(x)]; };
    const uint32_t fill = StoredColour(kFill);
    for (POINT corner : {POINT{1, 1}, POINT{158, 1}, POINT{1, 78}, POINT{158, 78}})
        EXPECT_TRUE(Near(at(corner.x, corner.y), fill)) << corner.x << "," << corner.y << " " << Hex(at(corner.x, corner.y));
    // The outline crosses the pane's edges at the ellipse's four extremes, and its diagonal.
    const auto blackNear = [&](int x0, int y0) {
        for (int y = std::max(0, y0 - 3); y <= std::min(79, y0 + 3); ++y)
            for (int x = std::max(0, x0 - 3); x <= std::min(159, x0 + 3); ++x)
                if (at(x, y) == 0)
                    return true;
        return false;
    };
    EXPECT_TRUE(blackNear(0, 40) && blackNear(159, 40) && blackNear(80, 0) && blackNear(80, 79));
    EXPECT_TRUE(blackNear(80 - 57, 40 - 28)) << "the outline follows the ellipse";
    // The name's ink across the middle rows, clear of the outline.
    int left = 160, right = -1;
    for (int y = 28; y < 52; ++y)
        for (int x = 10; x < 150; ++x)
            if (!Near(at(x, y), fill))
                left = std::min(left, x), right = std::max(right, x);
    ASSERT_GE(right, left) << "no name drawn";
    HDC screen = GetDC(nullptr);
    const auto extent = [screen](const char* face) {
        HFONT font = CreateFontA(-MulDiv(24, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                 DEFAULT_CHARSET, 0, 0, 0, 0, face);
        HGDIOBJ old = SelectObject(screen, font);
        SIZE size{};
        GetTextExtentPoint32A(screen, "iiii", 4, &size);
        SelectObject(screen, old);
        DeleteObject(font);
        return int(size.cx);
    };
    const int mono = extent("DejaVu Sans Mono"), plain = extent("Arial");
    ReleaseDC(nullptr, screen);
    ASSERT_LT(plain * 10, mono * 7) << "the faces must differ for the check to tell them apart";
    EXPECT_GT((right - left + 1) * 10, mono * 7) << "ink " << left << ".." << right << ", mono " << mono;
    EXPECT_LE(right - left + 1, mono);

    sb::Object iconic = sb::ShapedButton(2, {0, 0, 80, 60}, "Bell", 2, kIconId);
    const std::vector<uint32_t> withIcon =
        Paint(Put("bell.bttn", sb::ObjectFile(iconic, {{"Icon", kIconId, "", 0, 0, sb::IconFile(32, kIconRed)}})),
              kSavedButtonCode, 120, 90);
    ASSERT_EQ(withIcon.size(), 120u * 90u);
    int red = 0, sumX = 0, top = 90;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (NearRgb(withIcon[size_t(y) * 120 + size_t(x)], kIconRed.red, kIconRed.green, kIconRed.blue, 12))
                ++red, sumX += x, top = std::min(top, y);
    EXPECT_GT(red, 450) << "the icon's disc";
    EXPECT_LT(red, 32 * 32);
    if (red) {
        EXPECT_NEAR(double(sumX) / red, 59.5, 1.5) << "centred";
    }
    EXPECT_LT(top, 45 - 16) << "above the name";
}

// A 40 x 40 blue graphic with a round mask: blue inside, the pane's ground at the corners (the
// old drawing filled the whole pane). A disk-based graphic whose file lies beside the saved
// object shows its cut-out of the file; a file that is nowhere, or one named as a device, gives
// no preview.
TEST_F(SavedObjectPreview, GraphicsShowThroughTheirMaskAndFromTheirPictureFile) {
    SKIP_UNLESS_TRUE_COLOUR("picture colours are compared");
    sb::Object round = sb::Graphic(3, {0, 0, 40, 40}, "Round");
    sb::SetGraphicPicture(round, sb::SolidPicture(40, 40, 8, kBlueIndex));
    round.mask = sb::PackedMaskBlock(40, 40, [](int x, int y) { return (x - 20) * (x - 20) + (y - 20) * (y - 20) < 18 * 18; });
    const std::vector<uint32_t> masked = Paint(Put("round.grfc", sb::ObjectFile(round)), kSavedGraphicCode, 80, 80);
    ASSERT_EQ(masked.size(), 80u * 80u);
    EXPECT_TRUE(Near(masked[40 * 80 + 40], StoredColour(kBlueIndex + 1))) << Hex(masked[40 * 80 + 40]);
    const uint32_t ground = Rgb(GetSysColor(COLOR_BTNFACE));
    for (size_t corner : {size_t(2 * 80 + 2), size_t(77 * 80 + 77)})
        EXPECT_TRUE(Near(masked[corner], ground)) << Hex(masked[corner]) << " ground " << Hex(ground);

    // The picture file: red on the left half, green on the right; the graphic is its middle.
    sb::Picture halves = sb::SolidPicture(40, 40, 32, 0xD02020);
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x)
            halves.pixels[size_t(y) * 40 + size_t(x)] = 0x20B020;
    Put("halves.bmp", sb::BmpFile(halves));
    sb::Object disk = sb::Graphic(4, {0, 0, 20, 20}, "Disk");
    disk.mask.clear();
    sb::SetGraphicFile(disk, "C:\\Moved\\Away\\halves.bmp", {10, 10, 30, 30});
    const std::vector<uint32_t> fromFile = Paint(Put("disk.grfc", sb::ObjectFile(disk)), kSavedGraphicCode, 40, 40);
    ASSERT_EQ(fromFile.size(), 40u * 40u) << "the picture file beside the saved object";
    EXPECT_TRUE(Near(fromFile[20 * 40 + 8], 0xD02020)) << Hex(fromFile[20 * 40 + 8]);
    EXPECT_TRUE(Near(fromFile[20 * 40 + 32], 0x20B020)) << Hex(fromFile[20 * 40 + 32]);
    DeleteFileA((folder_ + "\\halves.bmp").c_str());
    EXPECT_TRUE(Paint(folder_ + "\\disk.grfc", kSavedGraphicCode, 40, 40).empty());
    // A file named as the camera's pseudo file, a picture all the same, opens no camera: no preview.
    Put("shot.cam", sb::BmpFile(halves));
    sb::SetGraphicFile(disk, "C:\\Moved\\Away\\shot.cam", {10, 10, 30, 30});
    EXPECT_TRUE(Paint(Put("cam.grfc", sb::ObjectFile(disk)), kSavedGraphicCode, 40, 40).empty());
}

}  // namespace
