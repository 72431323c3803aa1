// Region scans over DIB pixels: the area of one colour at every depth, the pixels inside a lasso
// that differ from the background, and the pixels a flood fill changed.
#include "graphics/masks/MaskRegions.h"

#include <gtest/gtest.h>

#include <functional>

#include "graphics/dib/Dib.h"
#include "tests/graphics/MaskTestUtil.h"

namespace {

// A packed DIB (bottom row first) whose pixel (x, y), y from the top, holds pick(x, y). Depths
// up to 8 get a table with entry 0 black and entry i grey (i, i, i).
std::vector<uint8_t> MakeDib(int width, int height, int depth, const std::function<uint32_t(int, int)>& pick) {
    const uint32_t table = depth <= 8 ? 4u << depth : 0;
    const uint32_t rowBytes = static_cast<uint32_t>(DibRowBytes(depth, width));
    std::vector<uint8_t> dib(kDibInfoHeaderBytes + table + rowBytes * height);
    WriteDibInfoHeader(dib, width, height, depth, rowBytes * height);
    for (uint32_t i = 0; i < table / 4; ++i)
        dib[kDibInfoHeaderBytes + 4 * i] = dib[kDibInfoHeaderBytes + 4 * i + 1] = dib[kDibInfoHeaderBytes + 4 * i + 2] =
            static_cast<uint8_t>(i);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + kDibInfoHeaderBytes + table + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pick(x, y);
            if (depth == 1)
                row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
            else if (depth == 4)
                row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
            else
                for (int b = 0; b < depth / 8; ++b)
                    row[x * depth / 8 + b] = static_cast<uint8_t>(v >> (8 * b));
        }
    }
    return dib;
}

// A DIB of art: each character's code is its pixel value (8 bits).
std::vector<uint8_t> DibOfArt(const MaskArt& art) {
    return MakeDib(static_cast<int>(art[0].size()), static_cast<int>(art.size()), 8,
                   [&](int x, int y) { return static_cast<uint8_t>(art[y][x]); });
}

PixelRows RowsOf(const std::vector<uint8_t>& dib) {
    PixelRows rows;
    EXPECT_TRUE(ReadPixelRows(dib, &rows));
    return rows;
}

std::string Show(const Rect32& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

TEST(MaskRegions, ColorRunAtEveryDepth) {
    // '#' a colour, '.' black; at 16 and 32 bits the black carries a set unused bit.
    const MaskArt art = {"##..#", "#...#", "####.", "....."};
    struct Case { int depth; uint32_t colour, black; };
    const Case cases[] = {{1, 1, 0}, {4, 9, 0}, {8, 200, 0}, {16, 0x7C00, 0x8000}, {24, 0x00FF00, 0}, {32, 0x0000FF, 0xFF000000}};
    for (const Case& c : cases) {
        const auto dib = MakeDib(5, 4, c.depth, [&](int x, int y) { return art[y][x] == '#' ? c.colour : c.black; });
        const PixelRows rows = RowsOf(dib);
        EXPECT_TRUE(rows.IsBlack(2, 0) && !rows.IsBlack(0, 0)) << "depth " << c.depth;

        MaskBits mask;
        Rect32 found;
        ASSERT_TRUE(ScanColorRun(rows, 0, 0, &mask, &found)) << "depth " << c.depth;
        EXPECT_EQ(ArtOf(mask), MaskArt({"##..", "#...", "####"})) << "depth " << c.depth;
        EXPECT_EQ(Show(found), "(0,0,4,3)") << "depth " << c.depth;
        // The diagonal step from (3, 2) to (4, 1) does not connect.
        ASSERT_TRUE(ScanColorRun(rows, 4, 0, &mask, &found));
        EXPECT_EQ(ArtOf(mask), MaskArt({"#", "#"})) << "depth " << c.depth;
        EXPECT_EQ(Show(found), "(4,0,5,2)") << "depth " << c.depth;

        // A bitmap of one colour is selected whole.
        const auto plain = MakeDib(37, 5, c.depth, [&](int, int) { return c.colour; });
        ASSERT_TRUE(ScanColorRun(RowsOf(plain), 36, 4, &mask, &found)) << "depth " << c.depth;
        EXPECT_EQ(mask.CountSet(), 37 * 5) << "depth " << c.depth;
        EXPECT_EQ(Show(found), "(0,0,37,5)") << "depth " << c.depth;
    }

    MaskBits mask = MaskFromArt({"#"});
    Rect32 found = {1, 1, 1, 1};
    for (const auto& [x, y] : std::initializer_list<std::pair<int, int>>{{-1, 0}, {0, -1}, {5, 0}, {0, 4}}) {
        EXPECT_FALSE(ScanColorRun(RowsOf(DibOfArt(art)), x, y, &mask, &found)) << x << "," << y;
        EXPECT_TRUE(mask.empty() && Show(found) == "(0,0,0,0)");
    }
}

TEST(MaskRegions, PolygonScan) {
    // 'a' the background, 'b' and 'c' other colours; in the polygon '#' is inside (black). The
    // masks cover the found area.
    const MaskArt image = {"aaaaaaaa", "abbbbbaa", "abaaabac", "abbbbbaa", "aaaaaaaa"};
    const MaskArt all = {"########", "########", "########", "########", "########"};
    const MaskArt left = {"####....", "####....", "####....", "####....", "####...."};
    struct Case {
        const char* what;
        MaskArt polygon;
        Rect32 lasso;
        bool fillGaps;
        MaskArt mask;
        Rect32 found;
    };
    const Case cases[] = {
        {"left half", left, {0, 0, 8, 5}, false, {"###", "#..", "###"}, {1, 1, 4, 4}},
        {"lasso bounds inside", all, {3, 2, 8, 4}, false, {"..#.#", "###.."}, {3, 2, 8, 4}},
        {"gaps filled", all, {0, 0, 8, 5}, true, {"#####..", "#####.#", "#####.."}, {1, 1, 8, 4}},
        {"lasso bounds past the image", all, {-5, -5, 99, 99}, false, {"#####..", "#...#.#", "#####.."}, {1, 1, 8, 4}},
    };
    for (const Case& c : cases) {
        const auto polygonDib = MakeDib(8, 5, 8, [&](int x, int y) { return c.polygon[y][x] == '#' ? 0u : 255u; });
        MaskBits mask;
        Rect32 found;
        ASSERT_TRUE(ScanPolygonMask(RowsOf(DibOfArt(image)), RowsOf(polygonDib), c.lasso, 0, 0, c.fillGaps, &mask, &found))
            << c.what;
        EXPECT_EQ(ArtOf(mask), c.mask) << c.what;
        EXPECT_EQ(Show(found), Show(c.found)) << c.what;
    }

    // A lasso outside the picture finds nothing and empties the outs.
    MaskBits mask = MaskFromArt({"#"});
    Rect32 found = {1, 2, 3, 4};
    const auto allDib = MakeDib(8, 5, 8, [](int, int) { return 0u; });
    EXPECT_FALSE(ScanPolygonMask(RowsOf(DibOfArt(image)), RowsOf(allDib), {20, 20, 30, 30}, 0, 0, false, &mask, &found));
    EXPECT_TRUE(mask.empty() && Show(found) == "(0,0,0,0)");

    Rect32 bounds = kEmptyRunBounds;
    LassoPointCompare(&bounds, 4, 9, 3);
    LassoPointCompare(&bounds, 2, 5, 7);
    EXPECT_EQ(Show(bounds), "(2,3,9,7)");
}

TEST(MaskRegions, FloodFillChanges) {
    const MaskArt before = {"aaaaaa", "abbbba", "abaaba", "abbbba", "aaaaaa"};
    struct Case { const char* what; MaskArt after; int x, y; bool ok; MaskArt mask; Rect32 found; };
    const Case cases[] = {
        {"from the top row of the ring", {"aaaaaa", "azzzza", "azaaza", "azzzza", "aaaaaa"}, 2, 1, true,
         {"####", "#..#", "####"}, {1, 1, 5, 4}},
        {"the seed's row unchanged", {"aaaaaa", "azzzza", "abaaba", "abbbba", "aaaaaa"}, 1, 2, false, {}, {}},
        {"a single column", {"aaaaaa", "azbbba", "azaaba", "azbbba", "aaaaaa"}, 1, 2, false, {}, {}},
    };
    for (const Case& c : cases) {
        MaskBits mask = MaskFromArt({"#"});
        Rect32 found = {9, 9, 9, 9};
        EXPECT_EQ(ScanFloodFillChange(RowsOf(DibOfArt(before)), RowsOf(DibOfArt(c.after)), c.x, c.y, &mask, &found), c.ok)
            << c.what;
        EXPECT_EQ(ArtOf(mask), c.mask) << c.what;
        EXPECT_EQ(Show(found), Show(c.found)) << c.what;
    }
    MaskBits mask;
    Rect32 found;
    EXPECT_FALSE(ScanFloodFillChange(RowsOf(DibOfArt(before)), RowsOf(DibOfArt({"aa", "aa"})), 0, 0, &mask, &found))
        << "pictures of different sizes";
}

}  // namespace
