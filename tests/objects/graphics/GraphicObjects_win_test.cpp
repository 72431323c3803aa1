// Graphic objects: what their records make of a layer, their frames, and how a layer lands on
// the card (opaque, through its mask, blended by its transparency, opaque at the 8-bit setting).
#include <gtest/gtest.h>

#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectLayerKinds.h"
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

namespace sb = stackbuilder;

// A 32-bit top-down bitmap selected into a memory DC, filled with one colour.
class Target {
public:
    Target(int width, int height, COLORREF fill) : width_(width) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(fill);
        const RECT all = {0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Target() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    HBITMAP Release() {
        SelectObject(dc_, previous_);
        HBITMAP b = bitmap_;
        bitmap_ = nullptr;
        return b;
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

std::vector<uint8_t> HostRecord(const sb::Object& graphic) {
    std::vector<uint8_t> record = sb::BuildObjectRecord(graphic);
    const char* reason = nullptr;
    EXPECT_EQ(ConvertObjectRecord(record, ByteOrder::ToHost, StackConversion{}, &reason), kStackOk) << reason;
    return record;
}

class GraphicObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        saved_ = GetLayerListUpcalls();
        SetToolNumberQuietly(kBrowseTool);
        depth_ = GetScreenDepth();
        SetScreenDepth(32);
    }
    void TearDown() override {
        SetToolNumberQuietly(kBrowseTool);
        SetScreenDepth(depth_);
        SetLayerListUpcalls(saved_);
        FreeMemRefs();
    }
    LayerListUpcalls saved_;
    int depth_ = 0;
};

TEST_F(GraphicObjectsTest, RecordsIntoLayers) {
    sb::Object g = sb::Graphic(7, {10, 20, 40, 35}, "G");
    g.words = {{16, 3}, {24, 5}, {54, 8}, {56, 128}, {58, 28016}, {74, 50}};
    GraphicLayer layer = {};
    GraphicRecordParts parts;
    ASSERT_TRUE(ReadGraphicLayer(HostRecord(g), &layer, &parts));
    EXPECT_EQ(layer.common.id, 7);
    EXPECT_EQ(layer.common.bounds.right, 40);
    EXPECT_EQ(layer.frameWidth, 3);
    EXPECT_EQ(layer.colorIndex, 4);
    EXPECT_EQ(layer.objectWord, 128);
    EXPECT_EQ(layer.cursorId, 28016);
    EXPECT_EQ(layer.transparency, 50);
    EXPECT_FALSE(parts.pictureInFile);

    sb::Object never = g;
    never.mask.clear();  // exactly 32: no mask flag beside it
    never.words.push_back({28, 32});
    EXPECT_FALSE(ReadGraphicLayer(HostRecord(never), &layer, &parts)) << "picture flags 32";
    sb::Object hidden = g;
    hidden.flags = kObjectHidden;
    EXPECT_FALSE(ReadGraphicLayer(HostRecord(hidden), &layer, &parts));
    SetToolNumberQuietly(kGraphicTool);  // hidden graphics show
    EXPECT_TRUE(ReadGraphicLayer(HostRecord(hidden), &layer, &parts)) << "while hidden graphics show";

    // A disk-based path names its file and the cut-out; without its NUL it names nothing.
    sb::Object disk = sb::Graphic(8, {0, 0, 16, 12}, "D");
    disk.flags = kObjectHasPath;
    disk.mask.clear();
    disk.words = {{18, 4}, {20, 6}, {30, 0}, {32, 0}, {34, 12}, {36, 16}};  // file order: top, left, bottom, right
    const char path[] = "C:\\pics\\a.bmp";
    disk.data.assign(path, path + sizeof path);
    char name[MAX_PATH] = {};
    RECT crop = {};
    ASSERT_TRUE(GraphicPictureFile(HostRecord(disk), name, sizeof name, &crop));
    EXPECT_STREQ(name, "C:\\pics\\a.bmp");
    EXPECT_EQ(crop.left, 4);
    EXPECT_EQ(crop.top, 6);
    EXPECT_EQ(crop.right, 20);
    EXPECT_EQ(crop.bottom, 18);
    disk.data.pop_back();
    EXPECT_FALSE(GraphicPictureFile(HostRecord(disk), name, sizeof name, &crop));

    // A builder-made mask (odd data before it) reaches the layer's mask bitmap intact.
    sb::Object masked = sb::Graphic(9, {0, 0, 5, 3}, "M");
    masked.data = {1, 2, 3};
    masked.mask = sb::PackedMaskBlock(5, 3, [](int x, int) { return x < 2; });
    const std::vector<uint8_t> record = HostRecord(masked);
    // 80, the data padded to 4, the mask's 37 bytes, the pad byte.
    EXPECT_EQ(record.size(), 122u);
    EXPECT_EQ(GetU16(record, kObjectFlags), kObjectPadded);
    ASSERT_TRUE(ReadGraphicLayer(record, &layer, &parts));
    ASSERT_EQ(parts.packedMask.size(), masked.mask.size());
    HBITMAP mask = nullptr;
    uint16_t first = 1, second = 1;
    ASSERT_EQ(MaskFromPackedBits(parts.packedMask, &mask, &first, &second), PackedMaskRefusal::None);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(mask);
}

TEST_F(GraphicObjectsTest, FramesOfEachWidth) {
    const COLORREF frame = PaletteIndexToColor(0);
    for (int width = 0; width <= 4; ++width) {
        Target picture(10, 10, frame == RGB(1, 2, 3) ? RGB(0, 0, 0) : RGB(1, 2, 3));
        const COLORREF plain = picture.At(5, 5);
        HBITMAP bitmap = picture.Release();
        DrawGraphicFrame(kCropRectangle, picture.dc(), bitmap, width, 0, nullptr);
        DrawGraphicFrame(kCropLasso, picture.dc(), bitmap, width, 0, nullptr);
        // The outermost `width` pixels on every side, nothing inside them.
        for (int i = 0; i < 10; ++i) {
            const bool edge = i < width || i >= 10 - width;
            EXPECT_EQ(picture.At(i, 5) != plain, edge) << width << " at x " << i;
            EXPECT_EQ(picture.At(5, i) != plain, edge) << width << " at y " << i;
        }
        DeleteObject(bitmap);
    }
}

TEST_F(GraphicObjectsTest, LayersOnTheCard) {
    SKIP_UNLESS_TRUE_COLOUR("a half-transparent blend is compared channel by channel");
    const COLORREF card = RGB(200, 0, 0), art = RGB(0, 0, 100);
    Target picture(4, 4, art);
    GraphicLayer layer = {};
    layer.common.bounds = {2, 2, 10, 10};
    layer.picture = picture.Release();

    Target opaque(12, 12, card);
    DrawGraphicObjectLayer(opaque.dc(), &layer);
    EXPECT_EQ(opaque.At(2, 2), art) << "stretched to the bounds";
    EXPECT_EQ(opaque.At(9, 9), art);
    EXPECT_EQ(opaque.At(10, 10), card);

    layer.transparency = 50;
    Target blended(12, 12, card);
    DrawGraphicObjectLayer(blended.dc(), &layer);
    const COLORREF mixed = blended.At(5, 5);
    EXPECT_NEAR(GetRValue(mixed), 100, 1);
    EXPECT_NEAR(GetBValue(mixed), 50, 1);
    EXPECT_EQ(blended.At(11, 11), card);
    SetScreenDepth(8);
    Target eightBit(12, 12, card);
    DrawGraphicObjectLayer(eightBit.dc(), &layer);
    EXPECT_EQ(eightBit.At(5, 5), art) << "opaque at the 8-bit setting";
    SetScreenDepth(32);
    layer.transparency = 0;

    // The mask's left half is white: the picture there, the card under its black half and
    // beyond its size.
    layer.common.bounds = {2, 2, 6, 6};
    layer.mask = CreateBitmap(4, 4, 1, 1, nullptr);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, layer.mask);
        PatBlt(dc, 0, 0, 4, 4, BLACKNESS);
        PatBlt(dc, 0, 0, 2, 4, WHITENESS);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    Target masked(12, 12, card);
    DrawGraphicObjectLayer(masked.dc(), &layer);
    EXPECT_EQ(masked.At(2, 3), art);
    EXPECT_EQ(masked.At(3, 3), art);
    EXPECT_EQ(masked.At(4, 3), card);
    EXPECT_EQ(masked.At(5, 3), card);
    EXPECT_EQ(masked.At(6, 3), card);

    // In the layer mask: the mask's white pixels cleared, the rest kept.
    Target footprint(12, 12, RGB(255, 255, 255));
    DrawGraphicLayerMask(footprint.dc(), &layer);
    EXPECT_EQ(footprint.At(2, 3), RGB(0, 0, 0));
    EXPECT_EQ(footprint.At(4, 3), RGB(255, 255, 255));
    DeleteObject(layer.mask);
    DeleteObject(layer.picture);
}

}  // namespace
