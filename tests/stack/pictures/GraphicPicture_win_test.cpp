// Graphic object pictures to another depth (ConvertCardGraphicsDepth) and to a new palette
// (MapBitmapToPalette): the record's depth, flags and lengths, and the pixels read back.
#include "stack/StackUpcalls.h"
#include "stack/pictures/GraphicPictureConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/pixels/LzrwRows.h"
#include "stack/pictures/CardPictureConvert.h"
#include "tests/graphics/PictureRecordTestUtil.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

using namespace cardtest;
using Bytes = std::vector<uint8_t>;
using stackbuilder::Rgb;
constexpr int kW = 12, kH = 5;

enum class Order { Index, Stack, Display };  // how a picture's pixels are laid out

const std::vector<Rgb>& Palette() {
    static const std::vector<Rgb> colors = picturetest::DistinctColors(0);
    return colors;
}
int IndexAt(int x, int y, int depth) {
    const int v = (x * 7 + y * 13) % 16;
    return depth == 4 ? v : v * 17;
}

// Rows as the record stores them, top row first.
Bytes GraphicRows(int depth, Order order, int redShift = 0) {
    const int rowBytes = MacRowBytes(depth, kW);
    Bytes rows(static_cast<size_t>(rowBytes) * kH, 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint8_t* p = rows.data() + static_cast<size_t>(y) * rowBytes;
            const int index = IndexAt(x, y, depth);
            const Rgb c = Palette()[index];
            const uint8_t red = static_cast<uint8_t>(c.red + redShift);
            const uint16_t v = static_cast<uint16_t>((red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3);
            if (depth == 4)
                p[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
            else if (depth == 8)
                p[x] = static_cast<uint8_t>(index);
            else if (depth == 16 && order == Order::Stack)
                p[2 * x] = static_cast<uint8_t>(v >> 8), p[2 * x + 1] = static_cast<uint8_t>(v);
            else if (depth == 16)
                p[2 * x] = static_cast<uint8_t>(v), p[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            else if (order == Order::Stack)
                p[4 * x + 1] = red, p[4 * x + 2] = c.green, p[4 * x + 3] = c.blue;
            else
                p[4 * x] = c.blue, p[4 * x + 1] = c.green, p[4 * x + 2] = red;
        }
    return rows;
}

Rgb PixelAt(std::span<const uint8_t> row, int x, int depth, Order order) {
    if (depth == 8)
        return Palette()[row[x]];
    if (depth == 16) {
        const int v = order == Order::Stack ? row[2 * x] << 8 | row[2 * x + 1] : row[2 * x + 1] << 8 | row[2 * x];
        return {static_cast<uint8_t>((v >> 10 & 31) << 3), static_cast<uint8_t>((v >> 5 & 31) << 3),
                static_cast<uint8_t>((v & 31) << 3)};
    }
    const uint8_t* p = row.data() + 4 * x;
    return order == Order::Stack ? Rgb{p[1], p[2], p[3]} : Rgb{p[2], p[1], p[0]};
}

// A 1-bit mask of the picture's size as stored in a file: a diagonal band.
Bytes FileMask() {
    Bytes m(24 + 4 * kH + 1, 0);
    m[1] = kW, m[3] = kH;
    for (int y = 0; y < kH; ++y)
        m[24 + 4 * y] = static_cast<uint8_t>(0xF0 >> y);
    return m;
}

stackbuilder::Object GraphicObject(uint16_t id, int depth, const Bytes& rows, bool mask = false) {
    stackbuilder::Object g = stackbuilder::Graphic(id, {10, 10, 10 + kW, 10 + kH}, "g");
    g.mask.clear();
    g.words = {{54, static_cast<uint16_t>(depth)}, {34, kH}, {36, kW}, {24, 5}};
    g.data = rows;
    if (mask) {
        const Bytes m = FileMask();
        g.data.insert(g.data.end(), m.begin(), m.end());
        g.words.push_back({28, kGraphicHasMask});
        g.longs.push_back({60, static_cast<uint32_t>(m.size())});
    }
    return g;
}

Handle CardWith(std::vector<stackbuilder::Object> objects) {
    stackbuilder::Card card = picturetest::PaletteCard(1, Palette());
    card.objects = std::move(objects);
    return picturetest::CardRecordHandle(card);
}

// The first graphic of a card record.
Bytes FirstGraphic(Handle card) {
    for (auto& object : CardObjects(HandleToBytes(card)))
        if (GetU16(object, kObjectKind) == kObjectGraphic)
            return object;
    return {};
}

// The rows of a converted graphic, unpacked from the LZRW1 records its lengths mark out.
DibHandle ConvertedRows(const Bytes& g, int depth) {
    const size_t pad = (GetU16(g, kObjectFlags) & kObjectPadded) ? 1 : 0;
    const size_t length = GetU32(g, kObjectLength), mask = GetU32(g, kGraphicTrailerLength);
    if (length != g.size() || length < kGraphicHeaderBytes + pad + mask)
        return 0;
    DibHandle dib = NewDib(kW, kH, depth);
    const std::span<const uint8_t> data(g.data() + kGraphicHeaderBytes, length - kGraphicHeaderBytes - pad - mask);
    if (!UnpackLzrwDibRows(dib, data))
        DisposeHandleAndClear(&dib);
    return dib;
}

class GraphicPictureTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        ResetConversionSwitches();
    }
    void TearDown() override {
        ResetConversionSwitches();
        CardSessionTest::TearDown();  // the upcalls as they were
    }
};

TEST_F(GraphicPictureTest, GraphicsConvertedToEachDepthKeepTheirPicture) {
    SKIP_UNLESS_TRUE_COLOUR("16- and 32-bit graphics are converted through device bitmaps of the display's depth");
    struct Case {
        const char* name;
        int from, to;
        Order sourceOrder, resultOrder;
        ConversionSwitches switches{};
        bool mask = false;
    };
    ConversionSwitches keep, displayOrder, force;
    keep.keepGraphicByteOrder = true;
    displayOrder.displayPixelOrder = true;
    force.force = true;
    const Case cases[] = {
        {"8 to 16 through the display", 8, 16, Order::Index, Order::Display},
        {"8 to 32 through the display, mask kept", 8, 32, Order::Index, Order::Display, {}, true},
        {"4 to 8 keeps its indexes", 4, 8, Order::Index, Order::Index},
        {"32 to 8 through vic32", 32, 8, Order::Stack, Order::Index},
        {"32 to 8 with force, pixels in display order", 32, 8, Order::Display, Order::Index, force},
        {"16 to 32 through the display", 16, 32, Order::Stack, Order::Display},
        {"32 to 16 with force", 32, 16, Order::Display, Order::Stack, force},
        {"16 at 16 rebuilt: bytes swapped", 16, 16, Order::Stack, Order::Display},
        {"16 at 16 rebuilt in stored order", 16, 16, Order::Stack, Order::Stack, keep},
        {"32 at 32 rebuilt: x-R-G-B to B-G-R-x", 32, 32, Order::Stack, Order::Display},
        {"32 at 32 already in display order", 32, 32, Order::Stack, Order::Stack, displayOrder, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Handle card = CardWith({GraphicObject(7, c.from, GraphicRows(c.from, c.sourceOrder), c.mask)});
        {
            ConversionRun run(c.switches);
            ASSERT_EQ(ConvertCardGraphicsDepth(card, c.to), 0);
        }
        const Bytes g = FirstGraphic(card);
        ASSERT_GE(g.size(), kGraphicHeaderBytes);
        EXPECT_EQ(GetU16(g, kGraphicPictureDepth), c.to);
        EXPECT_TRUE(GetU16(g, kGraphicPictureFlags) & kGraphicRowsPacked);
        EXPECT_EQ(GetU32(g, kGraphicAfterMask), 0u);
        EXPECT_EQ(g.size() % 2, 0u) << "padded to an even length";
        ExpectSavable(card);
        const Bytes mask = FileMask();
        if (c.mask) {
            ASSERT_EQ(GetU32(g, kGraphicTrailerLength), mask.size());
            const size_t at = g.size() - ((GetU16(g, kObjectFlags) & kObjectPadded) ? 1 : 0) - mask.size();
            EXPECT_EQ(GetU16(g, at), kW);
            EXPECT_EQ(GetU16(g, at + 2), kH);
            EXPECT_EQ(Bytes(g.begin() + at + 24, g.begin() + at + 24 + 4 * kH),
                      Bytes(mask.begin() + 24, mask.begin() + 24 + 4 * kH));
        } else {
            EXPECT_EQ(GetU32(g, kGraphicTrailerLength), 0u);
        }
        ScopedHandle rows(ConvertedRows(g, c.to));
        LockedDib locked(rows.get());
        ASSERT_TRUE(locked);
        int worst = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const Rgb want = Palette()[IndexAt(x, y, c.from)];
                const Rgb got = PixelAt(locked.row(y), x, c.to, c.resultOrder);
                worst = std::max({worst, std::abs(want.red - got.red), std::abs(want.green - got.green),
                                  std::abs(want.blue - got.blue)});
            }
        EXPECT_LE(worst, 7) << "largest component error";
        DisposeHandle(card);
    }
}

TEST_F(GraphicPictureTest, DamagedGraphicsFailAndStayAsTheyWere) {
    struct Case {
        const char* name;
        int depth;
        std::vector<stackbuilder::Word> words;
        size_t rowBytesCut = 0;
        std::vector<stackbuilder::Long> longs;
    };
    const Case cases[] = {
        {"depth 12", 12, {}},
        {"rows shorter than the picture", 8, {}, 3},
        {"picture size 0", 8, {{36, 0}}},
        {"packed rows that are plain rows", 8, {{28, kGraphicRowsPacked}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes rows = GraphicRows(8, Order::Index);
        rows.resize(rows.size() - c.rowBytesCut);
        stackbuilder::Object g = GraphicObject(7, 8, rows);
        g.words[0].value = static_cast<uint16_t>(c.depth);
        g.words.insert(g.words.end(), c.words.begin(), c.words.end());
        g.longs.insert(g.longs.end(), c.longs.begin(), c.longs.end());
        const Handle card = CardWith({g});
        const Bytes before = HandleToBytes(card);
        EXPECT_EQ(ConvertCardGraphicsDepth(card, 32), 16);
        EXPECT_EQ(HandleToBytes(card), before);
        DisposeHandle(card);
    }
}

TEST_F(GraphicPictureTest, PaletteChangeRemapsTheGraphicsOfHolderAndSharers) {
    SKIP_UNLESS_TRUE_COLOUR("the re-mapped 16- and 32-bit graphics are read back through the display");
    // Card 1 holds the picture; cards 2 and 3 share it. The new palette is the old one reversed,
    // so each colour's nearest index is 255 - its old one.
    const Bytes rows8 = GraphicRows(8, Order::Index);
    sb::Stack s;
    stackbuilder::Card holder = picturetest::PaletteCard(1, Palette());
    holder.objects = {GraphicObject(11, 8, rows8), GraphicObject(12, 32, GraphicRows(32, Order::Display, 3))};
    stackbuilder::Card first = stackbuilder::SharedCard(2, 1), second = stackbuilder::SharedCard(3, 1);
    first.objects = {GraphicObject(21, 8, rows8)};
    second.objects = {GraphicObject(31, 8, rows8)};
    s.cards = {holder, first, second};
    Load(s);

    StackUpcalls n = GetStackUpcalls();
    n.remapFrameAnimColors = DefaultStackUpcalls().remapFrameAnimColors;
    SetStackUpcalls(n);

    std::vector<uint8_t> block(LogPaletteSize(256));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        const Rgb c = Palette()[255 - i];
        logical->palPalEntry[i] = {c.red, c.green, c.blue, 0};
    }
    HPALETTE reversed = CreatePalette(logical);
    ASSERT_TRUE(reversed);
    MapBitmapToPalette(GetCardByIndex(1), reversed);
    DeleteObject(reversed);

    for (int i = 1; i <= 3; ++i) {
        const auto objects = CardObjects(HandleToBytes(GetCardByIndex(i)));
        ASSERT_FALSE(objects.empty());
        for (const auto& g : objects) {
            SCOPED_TRACE("card " + std::to_string(i) + " graphic " + std::to_string(GetU16(g, kObjectId)));
            EXPECT_EQ(GetU16(g, 24), 1 + 255 - 4) << "stored colour 5 is old index 4";
            const int depth = GetU16(g, kGraphicPictureDepth);
            ScopedHandle rows(ConvertedRows(g, depth));
            LockedDib locked(rows.get());
            ASSERT_TRUE(locked);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const int index = IndexAt(x, y, 8);
                    if (depth == 8) {
                        ASSERT_EQ(locked.row(y)[x], index) << "8-bit pixels keep their indexes";
                    } else {
                        const Rgb got = PixelAt(locked.row(y), x, 32, Order::Display);
                        const Rgb want = Palette()[index];
                        // The palette's colour, not the stored one 3 above it (a 16-bit display
                        // widens a component v to 8 v + 7).
                        auto isPaletteComponent = [](int actual, int expected) {
                            return actual == expected || (expected > 0 && actual == expected + 7);
                        };
                        ASSERT_TRUE(isPaletteComponent(got.red, want.red)) << x << "," << y << ": " << int(got.red);
                        ASSERT_TRUE(isPaletteComponent(got.green, want.green)) << x << "," << y;
                        ASSERT_TRUE(isPaletteComponent(got.blue, want.blue)) << x << "," << y;
                    }
                }
        }
    }
}

}  // namespace
