// The media layer's rectangle placements, pointer lists and packed DIB checks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/dib/Dib.h"
#include "media/support/MediaRects.h"
#include "media/support/PackedDib.h"
#include "media/support/PointerList.h"

namespace {

Rect32 Sized(int32_t width, int32_t height) { return Rect32{0, 0, width, height}; }

std::vector<int32_t> Values(const Rect32& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(MediaRects, PlacementsInTheClientAndItsMarginArea) {
    const Rect32 client{0, 0, 100, 100};
    // Too wide: scaled by the narrower of the two ratios, then centred.
    EXPECT_EQ(Values(FitRectIn(Sized(1000, 10), client, false)), (std::vector<int32_t>{0, 49, 100, 50}));
    // One that fits keeps its size and is only centred; an offset rectangle too.
    EXPECT_EQ(Values(FitRectIn(Rect32{30, 30, 70, 50}, client, false)), (std::vector<int32_t>{30, 40, 70, 60}));

    // With margins the area is 4 in on each side, 12 more at the top, 16 kept at the bottom:
    // (4, 16) to (196, 180) of a 200-square client, 192 x 164.
    const Rect32 big{0, 0, 200, 200};
    EXPECT_EQ(Values(FitRectIn(Sized(192, 164), big, true)), (std::vector<int32_t>{4, 16, 196, 180}));
    EXPECT_EQ(Values(FitRectIn(Sized(10, 10), big, true)), (std::vector<int32_t>{95, 93, 105, 103}));
    // Twice the area's width: halved, then centred in the area's height.
    EXPECT_EQ(Values(FitRectIn(Sized(384, 100), big, true)), (std::vector<int32_t>{4, 73, 196, 123}));
    // A window smaller than its margins gives an empty rectangle, never a negative one.
    const Rect32 tiny = FitRectIn(Sized(50, 50), Rect32{0, 0, 6, 30}, true);
    EXPECT_EQ(tiny.right - tiny.left, 0);
    EXPECT_EQ(tiny.bottom - tiny.top, 0);

    EXPECT_EQ(Values(CentreRectIn(Rect32{7, 7, 47, 27}, client)), (std::vector<int32_t>{30, 40, 70, 60}));
    EXPECT_EQ(Values(CentreRectIn(Sized(101, 101), client)), (std::vector<int32_t>{0, 0, 101, 101}));
    EXPECT_EQ(Values(CentreRectIn(Sized(103, 10), client)), (std::vector<int32_t>{-1, 45, 102, 55})) << "signed division";
    EXPECT_EQ(Values(BottomAlignRectIn(Rect32{20, 5, 60, 25}, client)), (std::vector<int32_t>{0, 80, 40, 100}));

    const QtRect q = RectToQTRect(Rect32{1, 2, 3, 4});
    EXPECT_EQ((std::vector<int>{q.top, q.left, q.bottom, q.right}), (std::vector<int>{2, 1, 4, 3}));
    const QtRect o = RectToQTRectAtOrigin(Rect32{10, 20, 50, 25});
    EXPECT_EQ((std::vector<int>{o.top, o.left, o.bottom, o.right}), (std::vector<int>{0, 0, 5, 40}));
    const QtPoint p = PointToQTPoint(7, 9);
    EXPECT_EQ(p.v, 9);
    EXPECT_EQ(p.h, 7);

    EXPECT_FALSE(IsRectZero(Rect32{5, 0, 5, 0})) << "empty but not zero";
    EXPECT_TRUE(IsRectZero(Rect32{0, 0, 0, 0}));
    Rect32 r{10, 20, 30, 40};
    InflateRectBy(&r, 2, 3);
    EXPECT_EQ(Values(r), (std::vector<int32_t>{8, 17, 32, 43}));
    OffsetRectBy(&r, -8, 1);
    EXPECT_EQ(Values(r), (std::vector<int32_t>{0, 18, 24, 44}));
    const ShortRect s = ShortRectFromRect(Rect32{1, 2, 0x12345, -4});
    EXPECT_EQ((std::vector<int>{s.left, s.top, s.right, s.bottom}), (std::vector<int>{1, 2, 0x2345, -4}));
}

TEST(PointerList, BlocksComeAndGoWithTheNodes) {
    PointerList list;
    PointerListInit(&list, 10);
    int items[12] = {};
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(PointerListAppend(&list, &items[i]), nullptr);
    EXPECT_EQ(PointerListBlockCount(list), 1);
    PointerListAppend(&list, &items[10]);
    EXPECT_EQ(PointerListBlockCount(list), 2) << "the eleventh append takes a second block";
    EXPECT_EQ(list.count, 11);

    // A walk may remove the node it is on: every other element goes, order kept.
    int seen = 0;
    ForEachPointerNode(list, [&](PointerNode* node) {
        if ((static_cast<int*>(node->data) - items) % 2 == 1)
            PointerListRemove(&list, node);
        ++seen;
    });
    EXPECT_EQ(seen, 11);
    std::vector<long> left;
    ForEachPointerNode(list, [&](PointerNode* node) { left.push_back(static_cast<int*>(node->data) - items); });
    EXPECT_EQ(left, (std::vector<long>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(list.tail->data, &items[10]);
    EXPECT_EQ(PointerListFind(list, &items[3]), nullptr);
    EXPECT_EQ(PointerListBlockCount(list), 2) << "freed nodes stay in their blocks";

    // Removing the last node frees every block; the list works again afterwards.
    while (list.head)
        PointerListRemove(&list, list.tail);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(PointerListBlockCount(list), 0);
    EXPECT_EQ(list.blocks, nullptr);
    ASSERT_NE(PointerListAppend(&list, &items[11]), nullptr);
    EXPECT_EQ(PointerListFind(list, &items[11]), list.head);
    PointerListReset(&list);
    EXPECT_EQ(PointerListBlockCount(list), 0);
}

std::vector<uint8_t> PackedDib(int width, int height, int depth, uint32_t colorsUsed = 0) {
    const int rows = height < 0 ? -height : height;
    const uint32_t table = depth <= 8 ? 4 * (colorsUsed ? colorsUsed : 1u << depth) : 4 * colorsUsed;
    const uint32_t image = static_cast<uint32_t>(DibRowBytes(depth, width) * rows);
    std::vector<uint8_t> bytes(kDibInfoHeaderBytes + table + image);
    WriteDibInfoHeader(bytes, width, height, depth, image);
    ByteWriter(bytes, 32).U32LE(colorsUsed);
    for (size_t i = kDibInfoHeaderBytes; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    return bytes;
}

TEST(PackedDib, ReadOnlyWhatLiesInTheBlock) {
    const std::vector<uint8_t> dib = PackedDib(3, -2, 8, 2);
    PackedDibView view;
    ASSERT_TRUE(ReadPackedDib(dib, &view));
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.height, -2);
    EXPECT_EQ(view.colors, 2u);
    EXPECT_EQ(view.table.data(), dib.data() + 40);
    EXPECT_EQ(view.image.size(), 8u);
    EXPECT_EQ(view.image.data() + view.image.size(), dib.data() + dib.size());

    struct Damage { const char* what; size_t at; uint32_t value; size_t keep; };
    const Damage cases[] = {
        {"one byte short", 0, 40, dib.size() - 1},
        {"header size beyond the block", 0, 0x10000, dib.size()},
        {"header smaller than 40", 0, 12, dib.size()},
        {"more colours than the block holds", 32, 200, dib.size()},
        {"two planes", 12, 2 | (8 << 16), dib.size()},
        {"depth 7", 12, 1 | (7 << 16), dib.size()},
        {"compressed", 16, 1, dib.size()},
        {"width 0", 4, 0, dib.size()},
        {"height beyond 32767", 8, 0x80000000u, dib.size()},
        {"header cut", 0, 40, 20},
    };
    for (const Damage& c : cases) {
        std::vector<uint8_t> bad(dib.begin(), dib.begin() + static_cast<long>(c.keep));
        if (c.at + 4 <= bad.size())
            ByteWriter(bad, c.at).U32LE(c.value);
        PackedDibView untouched;
        EXPECT_FALSE(ReadPackedDib(bad, &untouched)) << c.what;
        EXPECT_EQ(untouched.width, 0) << c.what;
    }

    // Pixels are handed out only for exactly the geometry asked.
    const std::vector<uint8_t> rgb = PackedDib(5, -4, 24);
    EXPECT_EQ(PackedDibPixelsIf(rgb, 5, -4, 24).size(), 4u * 16);
    EXPECT_TRUE(PackedDibPixelsIf(rgb, 5, 4, 24).empty()) << "other row order";
    EXPECT_TRUE(PackedDibPixelsIf(rgb, 6, -4, 24).empty());
    EXPECT_TRUE(PackedDibPixelsIf(rgb, 5, -4, 32).empty());
    EXPECT_TRUE(PackedDibPixelsIf(std::span(rgb).first(rgb.size() - 1), 5, -4, 24).empty());
}

}  // namespace
