// Pixel maps with real bitmaps: making, drawing on and copying them, mirrors, masked copies and
// colour masks, packed pictures of maps read back into maps, refusals and the unknown packing
// box, and frame deltas. Colours are compared as the display shows them.
#include "graphics/pixels/PixMap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardOffscreen.h"
#include "tests/graphics/AppPaletteTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

// The test palette's entry i: components 32 apart, multiples of 8, told apart on every display
// from 16 bits up.
Rgb Entry(int i) {
    return {static_cast<uint8_t>((i & 7) * 32 + 8), static_cast<uint8_t>((i >> 3 & 7) * 32 + 8),
            static_cast<uint8_t>((i >> 6 & 3) * 64 + 8)};
}
// Colours that pass unchanged through 5-bit components, as 16-bit pixels keep them.
Rgb Stable(int i) {
    static constexpr uint8_t kValues[] = {0, 8, 16, 24, 255};
    return {kValues[i % 5], kValues[i / 5 % 5], kValues[i / 25 % 5]};
}
const Rgb kBlack = {0, 0, 0}, kWhite = {255, 255, 255};

std::vector<Rgb> Shown(std::initializer_list<Rgb> colors) {
    std::vector<Rgb> shown;
    for (Rgb c : colors)
        shown.push_back(ShownOnDisplay(c));
    return shown;
}

// The media layer's movie-frame call, standing in: a 3 x 2 24-bit DIB section.
bool FakeMovieFrame(MovieFrameSource*, HDC dc, HBITMAP* bitmap) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB};
    void* bits = nullptr;
    *bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return *bitmap != nullptr;
}

class PixMapTest : public DibTest {
protected:
    void SetUp() override {
        DibTest::SetUp();
        SetAppInstance(GetModuleHandle(nullptr));
        SKIP_UNLESS_TRUE_COLOUR("pixel maps are compared with colours a palette display does not show");
        std::vector<uint8_t> block(LogPaletteSize(256));
        auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
        logical->palVersion = 0x300;
        logical->palNumEntries = 256;
        for (int i = 0; i < 256; ++i)
            logical->palPalEntry[i] = {Entry(i).red, Entry(i).green, Entry(i).blue, 0};
        palette_ = CreatePalette(logical);
        SetAppPalette(palette_);
    }
    void TearDown() override {
        SetAppPalette(nullptr);
        if (palette_)
            DeleteObject(palette_);
        DibTest::TearDown();
    }

    // A map whose pixel (x, y) is colorAt(x, y).
    static PixMap Make(int width, int height, int depth, const std::function<Rgb(int, int)>& colorAt) {
        PixMap map;
        EXPECT_EQ(NewPixMap(&map, {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height)}, depth, true), 0);
        BeginPixMapDraw(&map);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb c = colorAt(x, y);
                SetPixelV(map.dc, x, y, RGB(c.red, c.green, c.blue));
            }
        EndPixMapDraw(&map);
        return map;
    }
    // Every pixel, row by row.
    static std::vector<Rgb> Pixels(PixMap& map) {
        std::vector<Rgb> all;
        BeginPixMapDraw(&map);
        for (int y = 0; y < map.description.bmHeight; ++y)
            for (int x = 0; x < map.description.bmWidth; ++x)
                all.push_back(RgbOf(GetPixel(map.dc, x, y)));
        EndPixMapDraw(&map);
        return all;
    }

    HPALETTE palette_ = nullptr;
};

TEST_F(PixMapTest, MakesDrawsOnAndCopiesMaps) {
    const uint16_t display = static_cast<uint16_t>(GetDisplayBitsPerPixel());
    struct Case {
        int depth;
        bool bitmap;
        uint16_t word, bits;
    } cases[] = {{1, true, 1, 1},          {8, true, 8, display},  {16, true, 16, display},
                 {24, true, 32, display},  {4, true, 32, display}, {32, false, 32, display}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth);
        PixMap map;
        ASSERT_EQ(NewPixMap(&map, {0, 0, 7, 5}, c.depth, c.bitmap), 0);
        EXPECT_EQ(GetPixMapDepth(map), c.word);
        EXPECT_EQ(GetPixMapBitsPerPixel(map), c.bits);
        EXPECT_EQ(map.bitmap != nullptr, c.bitmap);
        EXPECT_TRUE(EqualShortRect(PixMapBounds(map), {0, 0, 7, 5}));
        // The bitmap is in the DC only between begin and end.
        EXPECT_NE(GetCurrentObject(map.dc, OBJ_BITMAP), map.bitmap);
        EXPECT_TRUE(OpenPixMapPort(&map));
        EXPECT_EQ(GetCurrentObject(map.dc, OBJ_BITMAP) == map.bitmap, c.bitmap);
        ClosePixMapPort(&map);
        EXPECT_NE(GetCurrentObject(map.dc, OBJ_BITMAP), map.bitmap);
        DisposePixMap(&map);
        EXPECT_EQ(map.dc, nullptr);
    }
    PixMap none;
    none.depth = 99;
    EXPECT_EQ(NewPixMap(&none, {0, 0, 0, 5}, 8, true), -1);
    EXPECT_EQ(none.depth, 0);

    // A copy made while the source draws: own DC and bitmap, same pixels, drawn on separately.
    PixMap source = Make(6, 4, 32, [](int x, int y) { return Entry(x + 8 * y); });
    const std::vector<Rgb> pixels = Pixels(source);
    BeginPixMapDraw(&source);
    PixMap copy;
    ASSERT_EQ(CopyPixMapRecord(source, &copy), 0);
    EndPixMapDraw(&source);
    EXPECT_NE(copy.bitmap, source.bitmap);
    EXPECT_NE(copy.dc, source.dc);
    EXPECT_EQ(Pixels(copy), pixels);
    FlipPixMap(&copy, PixMapBounds(copy), true);
    EXPECT_EQ(Pixels(source), pixels);
    DisposePixMap(&copy);

    // The card offscreen outlives a map that holds it.
    HBITMAP offscreen = source.bitmap;
    SetOffscreenBitmap(offscreen);
    DisposePixMap(&source);
    BITMAP info;
    EXPECT_EQ(GetObjectA(offscreen, sizeof info, &info), static_cast<int>(sizeof info));
    SetOffscreenBitmap(nullptr);
    DeleteObject(offscreen);

    // A window's map takes the window's DC while drawing only.
    PixMap* windowMap = nullptr;
    ASSERT_EQ(NewPixMapForWindow(GetDesktopWindow(), &windowMap), 0);
    EXPECT_EQ(GetPixMapDepth(*windowMap), display);
    BeginPixMapDraw(windowMap);
    EXPECT_NE(windowMap->dc, nullptr);
    EndPixMapDraw(windowMap);
    EXPECT_EQ(windowMap->dc, nullptr);
    DisposeWindowPixMap(&windowMap);
    EXPECT_EQ(windowMap, nullptr);

    // A media frame's map, once the media layer has installed its call.
    int frameSource = 0;
    auto* media = reinterpret_cast<MovieFrameSource*>(&frameSource);
    Handle h = 55;
    EXPECT_EQ(NewPixMapFromGraphicFile(&h, media), -1);
    EXPECT_EQ(h, 0);
    SetMovieFrameImageHook(FakeMovieFrame);
    ASSERT_EQ(NewPixMapFromGraphicFile(&h, media), 0);
    SetMovieFrameImageHook(nullptr);
    PixMap* framed = LockPixMapHandle(h);
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(GetPixMapDepth(*framed), 24);
    EXPECT_TRUE(EqualShortRect(PixMapBounds(*framed), {0, 0, 3, 2}));
    EXPECT_EQ(GetCurrentObject(framed->dc, OBJ_BITMAP), framed->bitmap);
    DisposePixMap(framed);
    UnlockPixMapHandle(h);
    DisposeHandle(h);
}

TEST_F(PixMapTest, FlipsMirrorColumnsAndRows) {
    struct Case {
        const char* what;
        int width, height;
        ShortRect rect;
        bool horizontal;
        std::vector<int> expected;  // for each pixel, row by row: the entry it shows afterwards
    } cases[] = {
        {"5 columns", 5, 2, {0, 0, 5, 2}, true, {4, 3, 2, 1, 0, 9, 8, 7, 6, 5}},
        {"columns 1 to 3 of 5", 5, 1, {1, 0, 4, 1}, true, {0, 3, 2, 1, 4}},
        {"4 rows", 2, 4, {0, 0, 2, 4}, false, {6, 7, 4, 5, 2, 3, 0, 1}},
        {"rows 1 and 2 of 3", 1, 3, {0, 1, 1, 3}, false, {0, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PixMap map = Make(c.width, c.height, 32, [&](int x, int y) { return Entry(x + c.width * y); });
        FlipPixMap(&map, c.rect, c.horizontal);
        EXPECT_EQ(map.drawing, 0);
        std::vector<Rgb> expected;
        for (int i : c.expected)
            expected.push_back(ShownOnDisplay(Entry(i)));
        EXPECT_EQ(Pixels(map), expected);
        DisposePixMap(&map);
    }

    // A mirrored cut-out replaces the bitmap; colour bitmaps keep their colours, masks stay one bit.
    HBITMAP bitmap = nullptr;
    ShortRect rect = {2, 1, 5, 2};
    EXPECT_EQ(CutOutFlippedBitmap(&rect, &bitmap, true), 1);
    for (int depth : {32, 1}) {
        PixMap map = Make(4, 1, depth, [depth](int x, int) { return depth == 1 ? (x ? kWhite : kBlack) : Entry(x); });
        ASSERT_EQ(DetachPixMapBitmap(&map, &bitmap), 0);
        HBITMAP again = nullptr;
        EXPECT_EQ(DetachPixMapBitmap(&map, &again), -1);
        rect = {3, 7, 7, 8};
        ASSERT_EQ(CutOutFlippedBitmap(&rect, &bitmap, true), 0);
        EXPECT_TRUE(EqualShortRect(rect, {0, 0, 4, 1}));
        SetPixMapBitmap(&map, bitmap);
        const std::vector<Rgb> mirrored = depth == 1 ? std::vector<Rgb>{kWhite, kWhite, kWhite, kBlack}
                                                     : Shown({Entry(3), Entry(2), Entry(1), Entry(0)});
        EXPECT_EQ(Pixels(map), mirrored);
        DisposePixMap(&map);
    }
}

TEST_F(PixMapTest, MasksLetTheSourceThroughWhereWhite) {
    const Rgb red = Entry(3), blue = Entry(200), green = Entry(40);
    const Rgb r = ShownOnDisplay(red), b = ShownOnDisplay(blue), g = ShownOnDisplay(green);
    PixMap source = Make(4, 2, 32, [&](int x, int y) { return x == 1 + 2 * y ? green : red; });
    PixMap target = Make(6, 2, 32, [&](int, int) { return blue; });
    PixMap mask = Make(4, 2, 1, [](int x, int) { return x < 2 ? kWhite : kBlack; });
    CopyPixMapBits(&source, &target, {0, 0, 4, 2}, {0, 0, 4, 2}, mask.bitmap);
    EXPECT_EQ(Pixels(target), (std::vector<Rgb>{r, g, b, b, b, b, r, r, b, b, b, b}));
    // Copied elsewhere, the mask is read from its own corner.
    CopyPixMapBits(&source, &target, {2, 0, 4, 2}, {4, 0, 6, 2}, mask.bitmap);
    EXPECT_EQ(Pixels(target), (std::vector<Rgb>{r, g, b, b, r, r, r, r, b, b, r, g}));

    // A mask of one colour: black where the source shows it.
    struct Case {
        Rgb color;
        ShortRect rect;
        std::vector<Rgb> expected;
    } cases[] = {
        {green, {0, 0, 4, 2}, {kWhite, kBlack, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack}},
        {red, {1, 0, 4, 1}, {kWhite, kBlack, kBlack}},
        {blue, {0, 0, 4, 2}, std::vector<Rgb>(8, kWhite)},
    };
    for (const Case& c : cases) {
        PixMap made;
        const MacRgbColor mac = {{c.color.red, 0}, {c.color.green, 0}, {c.color.blue, 0}};
        ASSERT_EQ(MaskFromPixMapColor(&source, c.rect, &mac, &made), 0);
        EXPECT_EQ(GetPixMapBitsPerPixel(made), 1);
        EXPECT_EQ(Pixels(made), c.expected);
        DisposePixMap(&made);
    }
    PixMap nothing;
    EXPECT_EQ(MaskFromPixMapColor(&source, {0, 0, 4, 2}, nullptr, &nothing), 0);
    EXPECT_EQ(nothing.bitmap, nullptr);
    DisposePixMap(&source);
    DisposePixMap(&target);
    DisposePixMap(&mask);
}

TEST_F(PixMapTest, PackedPicturesOfMapsReadBackIntoMaps) {
    for (int depth : {8, 16, 32, 1}) {
        for (uint16_t packing : {kPPakLzrwRows, kPPakPackBits}) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " packing " << packing);
            const auto colorAt = [depth](int x, int y) {
                const int i = x + 8 * y;
                return depth == 1 ? (i % 3 ? kWhite : kBlack) : depth == 8 ? Entry(i * 13) : Stable(i * 7);
            };
            PixMap map = Make(8, 2, depth, colorAt);
            const std::vector<Rgb> pixels = Pixels(map);
            Handle packed = 55;
            uint32_t size = 0;
            ASSERT_EQ(LoadPackedPicture(&map, packing, &packed, &size), 0);
            const std::vector<uint8_t> bytes = HandleToBytes(packed);
            DisposeHandle(packed);
            ASSERT_EQ(bytes.size(), size);
            const uint32_t table = depth == 8 ? 8 + 8 * 256 : 0;
            const uint32_t fields[][3] = {{4, 4, size},        {8, 2, 100},         {10, 2, 8},
                                          {12, 2, 2},          {14, 2, uint32_t(depth)}, {16, 4, 0},
                                          {20, 4, uint32_t(map.description.bmWidthBytes)},
                                          {24, 2, packing},    {26, 4, table}};
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "PPak");
            for (const auto& [at, width, value] : fields)
                EXPECT_EQ(width == 4 ? GetBE32(bytes, at) : GetBE16(bytes, at), value) << "at " << at;
            EXPECT_EQ(size, (58 + table + GetBE32(bytes, 30) + 1) / 2 * 2);
            EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 34, bytes.begin() + 58), std::vector<uint8_t>(24));

            Handle h = 55;
            const char* why = nullptr;
            ASSERT_EQ(PreparePictureObject(bytes, size, &h, &why), 0) << why;
            PixMap* back = LockPixMapHandle(h);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->depth, depth);
            EXPECT_EQ(Pixels(*back), pixels);
            DisposePixMap(back);
            UnlockPixMapHandle(h);
            DisposeHandle(h);
            // And into a map of the same size and depth.
            DisposePixMap(&map);
            map = Make(8, 2, depth, [](int, int) { return kWhite; });
            ASSERT_EQ(UnpackPictureIntoPixMap(&map, bytes), 0);
            EXPECT_EQ(Pixels(map), pixels);
            DisposePixMap(&map);
        }
    }
}

TEST_F(PixMapTest, RefusesDamagedPicturesAndReportsUnknownPacking) {
    PixMap map = Make(4, 2, 32, [](int x, int y) { return Entry(x + 20 * y); });
    const std::vector<Rgb> before = Pixels(map);
    Handle packed = 0;
    uint32_t size = 0;
    ASSERT_EQ(LoadPackedPicture(&map, kPPakLzrwRows, &packed, &size), 0);
    std::vector<uint8_t> bytes = HandleToBytes(packed);
    DisposeHandle(packed);

    DialogDriver driver;
    const auto expectBox = [&driver] {
        driver.Expect(DialogMatch::Caption("PixPak_Decompress"), [](DialogView& box) {
            EXPECT_EQ(box.MessageBoxText(), "Unknown PixPak_Decompress type");
            box.Press(IDOK);
        });
    };
    expectBox();
    const std::vector<uint8_t> data(bytes.begin() + 58, bytes.end());
    EXPECT_EQ(driver.Run([&] { return PixPak_Decompress(&map, data, 5); }), -1);
    EXPECT_EQ(Pixels(map), before);

    Handle h = 55;
    const char* why = nullptr;
    EXPECT_EQ(PreparePictureObject(bytes, size + 2, &h, &why), 1);
    EXPECT_EQ(h, 0);
    std::vector<uint8_t> damaged = bytes;
    SetBE16(damaged, kPPakHeightAt, 3);  // one row record more than the data holds
    h = 55;
    EXPECT_EQ(PreparePictureObject(damaged, size, &h, &why), -1);
    EXPECT_EQ(h, 0);
    EXPECT_NE(std::string(why), "");
    SetBE16(bytes, kPPakPackingAt, 5);
    expectBox();
    EXPECT_EQ(driver.Run([&] { return PreparePictureObject(bytes, size, &h, &why); }), -1);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(driver.Answered(), 2);
    DisposePixMap(&map);
}

TEST_F(PixMapTest, DeltasChangeThePixelsTheyName) {
    struct Case {
        int depth;
        std::vector<uint8_t> delta;
        int x, y;
        Rgb color;
    } cases[] = {
        // 32-bit rows of 64 stored bytes; pixel (1, 1) is unused, red, green, blue at 68.
        {32, {0, 68, 0x00, 0xF8, 0, 70, 0x10, 0x20}, 1, 1, {248, 16, 32}},
        // 16-bit 5-5-5 high byte first; pixel (2, 0) at 4, the stray byte at the end ignored.
        {16, {0, 4, 0x08, 0x42, 0x12}, 2, 0, {16, 16, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth);
        PixMap map = Make(4, 2, c.depth, [](int, int) { return Stable(31); });
        std::vector<Rgb> expected;
        for (int i = 0; i < 8; ++i)
            expected.push_back(ShownOnDisplay(i == c.x + 4 * c.y ? c.color : Stable(31)));
        BeginPixMapDraw(&map);
        ASSERT_EQ(ApplyDeltaToPixMap(&map, c.delta), 0);
        EXPECT_EQ(GetCurrentObject(map.dc, OBJ_BITMAP), map.bitmap);
        EndPixMapDraw(&map);
        EXPECT_EQ(Pixels(map), expected);
        DisposePixMap(&map);
    }
}

}  // namespace
