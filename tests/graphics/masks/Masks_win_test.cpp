// Masks as GDI bitmaps on this display: packed masks, outlines, the area at a point, lasso and
// automatic masks, and copies through a mask. Pictures are written as art: for masks '#' white
// and '.' black; for colour bitmaps '.' white, 'k' black, 'r' red, 'b' blue. Bitmaps are made
// and read with plain GDI calls, not with the code under test.
#include "graphics/masks/Masks.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/system/PluginModule.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/GraphicsErrors.h"
#include "objects/graphics/LassoPoints.h"
#include "tests/graphics/GdiDibTestUtil_win.h"
#include "tests/graphics/MaskTestUtil.h"

namespace {

COLORREF ColourOf(char c) {
    switch (c) {
    case 'k': return RGB(0, 0, 0);
    case 'r': return RGB(255, 0, 0);
    case 'b': return RGB(0, 0, 255);
    default: return RGB(255, 255, 255);
    }
}

// The art character of the nearest colour: a 16-bit display keeps 5 bits a channel.
char ArtOfColour(COLORREF c) {
    for (char art : {'.', 'k', 'r', 'b'}) {
        const COLORREF want = ColourOf(art);
        auto within = [](int a, int b) { return a - b <= 8 && b - a <= 8; };
        if (within(GetRValue(c), GetRValue(want)) && within(GetGValue(c), GetGValue(want)) &&
            within(GetBValue(c), GetBValue(want)))
            return art;
    }
    return '?';
}

// Monochrome when mono, else compatible with the screen; each pixel set with SetPixel.
HBITMAP BitmapOfArt(const MaskArt& art, bool mono) {
    const int width = static_cast<int>(art[0].size()), height = static_cast<int>(art.size());
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = mono ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel(dc, x, y, mono ? (art[y][x] == '#' ? RGB(255, 255, 255) : 0) : ColourOf(art[y][x]));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Masks read back as '#' for any pixel that is not black, colour bitmaps by colour.
MaskArt ArtOfBitmap(HBITMAP bitmap, bool mask) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {"(no bitmap)"};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    MaskArt art;
    for (int y = 0; y < info.bmHeight; ++y) {
        std::string row;
        for (int x = 0; x < info.bmWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            row += mask ? (c != 0 ? '#' : '.') : ArtOfColour(c);
        }
        art.push_back(row);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return art;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

class MasksWin : public GdiDibTest {
protected:
    void TearDown() override {
        LassoFreePoints();
        EXPECT_TRUE(g_reports.empty()) << "error box " << (g_reports.empty() ? 0 : g_reports[0]);
        GdiDibTest::TearDown();
    }
    HBITMAP Art(const MaskArt& art, bool mono) { return Keep(BitmapOfArt(art, mono)); }
};

TEST_F(MasksWin, PackedMasksAndPixels) {
    const MaskArt art = {"#........#", ".########.", "#.#.#.#.#."};
    HBITMAP mask = Art(art, true);
    uint32_t size = 99;
    HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
    MaskToPackedBits(mask, 0x1234, 0xBEEF, &size, &block);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(size, 37u);
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), GlobalLock(block), size);
    GlobalUnlock(block);
    EXPECT_EQ(bytes, WritePackedMask(MaskFromArt(art), 0x1234, 0xBEEF));

    HBITMAP back = nullptr;
    uint16_t first = 0, second = 0;
    EXPECT_EQ(MaskFromPackedBlock(block, &back, &first, &second), PackedMaskRefusal::None);
    EXPECT_EQ(ArtOfBitmap(Keep(back), true), art);
    EXPECT_EQ(first, 0x1234);
    EXPECT_EQ(second, 0xBEEF);
    GlobalFree(block);

    // A stored height the block cannot hold: no bitmap, no values.
    bytes[2] = 200;
    back = reinterpret_cast<HBITMAP>(1);
    first = second = 7;
    EXPECT_EQ(MaskFromPackedBits(bytes, &back, &first, &second), PackedMaskRefusal::ShortRows);
    EXPECT_EQ(back, nullptr);
    EXPECT_EQ(first + second, 0);
    MaskToPackedBits(nullptr, 1, 2, &size, &block);
    EXPECT_TRUE(size == 0 && block == nullptr);

    // Colour bitmaps as masks: every pixel that is not black is set, at this display's depth.
    MaskBits bits;
    ASSERT_TRUE(ReadMaskBitmap(Art({"krb.", "bkkr"}, false), &bits));
    EXPECT_EQ(ArtOf(bits), MaskArt({".###", "#..#"}));

    struct Probe { int x, y; bool set; };
    for (const Probe& p : {Probe{-1, 0, false}, {0, -1, false}, {10, 0, false}, {0, 3, false}, {0, 0, true}, {1, 0, false},
                           {9, 0, true}, {1, 1, true}}) {
        EXPECT_EQ(BitmapPixelIsSet(nullptr, mask, p.x, p.y), p.set) << p.x << "," << p.y;
    }
    EXPECT_FALSE(BitmapPixelIsSet(nullptr, nullptr, 0, 0));
}

TEST_F(MasksWin, Outlines) {
    const MaskArt square = {"......", ".####.", ".####.", ".####.", ".####.", "......"};
    const MaskArt thin = {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"};
    HBITMAP mask = Art(square, true);
    EXPECT_EQ(ArtOfBitmap(Keep(MaskOutlineThin(mask)), true), thin);
    EXPECT_EQ(ArtOfBitmap(Keep(MaskOutline(mask, 1)), true), thin);
    EXPECT_EQ(MaskOutlineThin(nullptr), nullptr);

    // Width 3 of a 12 x 12 square: a band along the inside of every edge, the middle clear.
    MaskArt big(16, std::string(16, '.'));
    for (int y = 2; y < 14; ++y)
        big[y].replace(2, 12, 12, '#');
    const MaskArt band = ArtOfBitmap(Keep(MaskOutline(Art(big, true), 3)), true);
    ASSERT_EQ(band.size(), 16u);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = big[y][x] == '#';
            const int edge = std::min(std::min(x - 2, 13 - x), std::min(y - 2, 13 - y));
            if (!inside || edge >= 4) {
                EXPECT_EQ(band[y][x], '.') << x << "," << y;
            } else if (edge <= 1) {
                EXPECT_EQ(band[y][x], '#') << x << "," << y;
            }
        }
    }
}

TEST_F(MasksWin, AreaAtAPoint) {
    const MaskArt picture = {"..........", ".rrrr.....", ".rrrr.....", ".rrrr.....", "..........",
                             "bbbbbbbb..", "..........", ".........."};
    HBITMAP bitmap = Art(picture, false);
    struct Case { const char* what; int x, y; MaskArt mask; RECT bounds; };
    const Case cases[] = {
        {"inside the block", 2, 3, {"####", "####", "####"}, {1, 1, 5, 4}},
        {"on the one-pixel line", 4, 6, {"########"}, {0, 5, 8, 6}},
        {"the background around both", 9, 1, {}, {0, 0, 10, 8}},
    };
    for (const Case& c : cases) {
        HBITMAP mask = nullptr;
        RECT bounds = {-1, -1, -1, -1};
        ASSERT_EQ(MakeRegionMaskAt(nullptr, bitmap, c.x, c.y, &mask, &bounds), 1) << c.what;
        Keep(mask);
        EXPECT_EQ(Show(bounds), Show(c.bounds)) << c.what;
        if (!c.mask.empty()) {
            EXPECT_EQ(ArtOfBitmap(mask, true), c.mask) << c.what;
        }
        // Both ways of finding the area agree (the fill needs two columns).
        HBITMAP byRuns = nullptr, byFill = nullptr;
        RECT runBounds{}, fillBounds{};
        ASSERT_EQ(MaskFromColorRunScan(bitmap, c.x, c.y, &byRuns, &runBounds), 1) << c.what;
        ASSERT_EQ(MaskFromFloodFill(nullptr, bitmap, c.x, c.y, &byFill, &fillBounds), 1) << c.what;
        EXPECT_EQ(ArtOfBitmap(Keep(byRuns), true), ArtOfBitmap(mask, true)) << c.what;
        EXPECT_EQ(ArtOfBitmap(Keep(byFill), true), ArtOfBitmap(mask, true)) << c.what;
        EXPECT_EQ(Show(runBounds) + Show(fillBounds), Show(c.bounds) + Show(c.bounds)) << c.what;
    }
    // The background's mask leaves out the block and the line.
    HBITMAP around = nullptr;
    RECT bounds{};
    ASSERT_EQ(MakeRegionMaskAt(nullptr, bitmap, 0, 1, &around, &bounds), 1);
    EXPECT_EQ(ArtOfBitmap(Keep(around), true)[2], "#....#####");

    // A bitmap of one colour is selected whole, from any point.
    HBITMAP plain = Art(MaskArt(5, std::string(7, 'r')), false);
    HBITMAP mask = nullptr;
    ASSERT_EQ(MaskFromColorRunScan(plain, 6, 5, &mask, &bounds), 1);
    EXPECT_EQ(ArtOfBitmap(Keep(mask), true), MaskArt(5, std::string(7, '#')));
    EXPECT_EQ(Show(bounds), "(0,0,7,5)");

    // Outside the bitmap, and on an offscreen that is not there: nothing.
    for (const auto& [x, y] : std::initializer_list<std::pair<int, int>>{{-1, 1}, {10, 1}, {0, 0}, {0, 9}}) {
        mask = reinterpret_cast<HBITMAP>(1);
        EXPECT_EQ(MaskFromColorRunScan(bitmap, x, y, &mask, &bounds), 0) << x << "," << y;
        EXPECT_EQ(mask, nullptr);
    }
    SetOffscreenBitmap(nullptr);
    EXPECT_EQ(MakeRegionMaskAtOffscreen(nullptr, 2, 3, &mask, &bounds), 0);
    SetOffscreenBitmap(bitmap);
    EXPECT_EQ(MakeRegionMaskAtOffscreen(nullptr, 2, 3, &mask, &bounds), 1);
    SetOffscreenBitmap(nullptr);
    EXPECT_EQ(ArtOfBitmap(Keep(mask), true), cases[0].mask);
}

TEST_F(MasksWin, LassoAndAutomaticMasks) {
    // The lasso polygon itself, over its points' bounds; the buffer keeps the shifted points.
    LassoBeginPoints(20, 20);
    for (const auto& [x, y] : std::initializer_list<std::pair<int, int>>{{2, 3}, {7, 3}, {7, 6}, {2, 6}})
        LassoAddPoint(x, y);
    HBITMAP mask = nullptr;
    RECT rect{};
    ASSERT_EQ(MaskFromLassoPoints(nullptr, &mask, &rect), 1);
    EXPECT_EQ(ArtOfBitmap(Keep(mask), true), MaskArt(4, std::string(6, '#')));
    EXPECT_EQ(Show(rect), "(2,3,8,7)");
    Handle points = 0;
    int32_t count = 0;
    LassoGetPoints(&points, &count);
    ASSERT_EQ(count, 4);
    {
        HandleLock lock(points);
        const int32_t* p = reinterpret_cast<const int32_t*>(lock.get());
        EXPECT_EQ(std::vector<int32_t>(p, p + 8), (std::vector<int32_t>{0, 0, 5, 0, 5, 3, 0, 3}));
    }

    // The pixels under a lasso that differ from the colour under its first point.
    const MaskArt picture = {"............", "............", "...rr....bb.", "..rrrr...bb.", "...rr.......",
                             "............", "............"};
    ScopedHandle image(DibFromDeviceBitmap(Art(picture, false), 0, nullptr));
    struct Case { const char* what; std::vector<std::pair<int, int>> lasso; int result; MaskArt mask; RECT bounds; };
    const Case cases[] = {
        {"around the red shape", {{1, 1}, {7, 1}, {7, 6}, {1, 6}}, 1, {".##.", "####", ".##."}, {2, 2, 6, 5}},
        {"around both, points past the bounds", {{0, 0}, {40, 0}, {40, 40}, {0, 40}}, 1,
         {".##....##", "####...##", ".##......"}, {2, 2, 11, 5}},
        {"over background only", {{0, 5}, {11, 5}, {11, 6}, {0, 6}}, 0, {}, {0, 5, 12, 7}},
    };
    for (const Case& c : cases) {
        LassoBeginPoints(12, 7);
        for (const auto& [x, y] : c.lasso)
            LassoAddPoint(x, y);
        Rect32 lassoBounds;
        LassoClampPoints();
        LassoPointsBounds(&lassoBounds);
        RECT bounds = {lassoBounds.left, lassoBounds.top, lassoBounds.right, lassoBounds.bottom};
        mask = reinterpret_cast<HBITMAP>(1);
        ASSERT_EQ(MaskFromPolygon(nullptr, image.get(), &mask, &bounds), c.result) << c.what;
        Keep(mask);
        EXPECT_EQ(Show(bounds), Show(c.bounds)) << c.what;
        EXPECT_EQ(c.result ? ArtOfBitmap(mask, true) : MaskArt{}, c.mask) << c.what;
        if (!c.result) {
            EXPECT_EQ(mask, nullptr) << c.what;
        }
    }

    // Around a whole bitmap: the bitmap's size, everything that differs from the corner.
    EXPECT_EQ(ArtOfBitmap(Keep(AutoMaskBitmap(Art(picture, false))), true),
              MaskArt({"............", "............", "...##....##.", "..####...##.", "...##.......",
                       "............", "............"}));
    EXPECT_EQ(ArtOfBitmap(Keep(AutoMaskBitmap(Art({"rrr", "rbr"}, false))), true), MaskArt({"...", ".#."}));
    EXPECT_EQ(ArtOfBitmap(Keep(AutoMaskBitmap(Art({"bbb", "bbb"}, false))), true), MaskArt({"...", "..."}));
    EXPECT_EQ(AutoMaskBitmap(nullptr), nullptr);
}

TEST_F(MasksWin, CopiesThroughAMask) {
    HBITMAP mask = Art({"#.#.", "##..", "...#"}, true);
    HDC screen = GetDC(nullptr);
    HDC sourceDc = CreateCompatibleDC(screen);
    HBITMAP sourceBitmap = Art({"......", "..rrbb", "..rrbb", "..kk.."}, false);
    HGDIOBJ old = SelectObject(sourceDc, sourceBitmap);
    // The source's rows at (2, 1) are rrbb, rrbb, kk.. .
    HBITMAP padded = Keep(CopyBitmapPadded(screen, sourceDc, 2, 1, mask));
    SelectObject(sourceDc, old);
    DeleteDC(sourceDc);
    EXPECT_EQ(ArtOfBitmap(padded, false), MaskArt({"rkbkkk", "rrkkkk", "kkk.kk", "kkkkkk", "kkkkkk"}));

    // The image where the mask is white; the destination's pixels elsewhere and around.
    HBITMAP target = Art({"bbbbbb", "bbbbbb", "bbbbbb", "bbbbbb"}, false);
    HDC targetDc = CreateCompatibleDC(screen);
    old = SelectObject(targetDc, target);
    DrawBitmapMasked(targetDc, Art({"rkrk", "rrkk", "kkk."}, false), mask, 1, 1);
    SelectObject(targetDc, old);
    DeleteDC(targetDc);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(ArtOfBitmap(target, false), MaskArt({"bbbbbb", "brbrbb", "brrbbb", "bbbb.b"}));
}

}  // namespace
