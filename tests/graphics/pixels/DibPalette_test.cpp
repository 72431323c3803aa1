// Colour tables from Mac colour tables and from card records, with records written by the
// test-stack builder and brought into memory by the stack reader's conversion.
#include "graphics/pixels/DibPalette.h"

#include <gtest/gtest.h>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardPicture.h"
#include "tests/graphics/DibTestUtil.h"
#include "tests/graphics/PictureRecordTestUtil.h"

namespace {

using namespace picturetest;
using Bytes = std::vector<uint8_t>;

const DibColor kPoison{0xAB, 0xCD, 0xEF, 0};

// A DIB of the depth whose whole colour table is kPoison.
DibHandle PoisonedDib(int depth) {
    DibHandle dib = NewDib(4, 2, depth);
    SetDibColorTable(dib, std::vector<DibColor>(256, kPoison));
    return dib;
}

std::vector<DibColor> TableOf(DibHandle dib) {
    std::vector<DibColor> table(256);
    table.resize(static_cast<size_t>(std::max(0, GetDibColorTable(dib, table))));
    return table;
}

// The stack layer's resolver, as far as these tests need it: id 7 names g_cardSeven.
Handle g_cardSeven = 0;
Handle ResolveLikeTheCardList(Handle card) {
    const Bytes record = HandleToBytes(card);
    if (GetU16(record, kCardKind) == kCardKindPicture)
        return card;
    return GetU16(record, kCardBackgroundId) == 7 ? g_cardSeven : 0;
}

class DibPaletteTest : public DibTest {
protected:
    void TearDown() override {
        SetPictureRecordResolver(nullptr);
        DibTest::TearDown();
    }
};

TEST_F(DibPaletteTest, MacColorTablesIntoDibs) {
    // Three colours, then the builder's grey ramp; components stored as 16 bits (c x 257).
    stackbuilder::Picture picture = stackbuilder::SolidPicture(1, 1, 4, 0);
    picture.palette = {{255, 0, 0}, {0, 128, 0}, {1, 2, 3}};
    picture.macColors = true;
    const Bytes table16 = stackbuilder::MacColorTable(picture);
    picture.depth = 8;
    const Bytes table256 = stackbuilder::MacColorTable(picture);
    Bytes tooMany = table256;
    tooMany[6] = 1, tooMany[7] = 0;  // 257 entries
    tooMany.resize(8 + 257 * 8);
    struct Case {
        const char* what;
        Bytes table;
        int depth, written;
    };
    const Case cases[] = {
        {"16 entries into 256", table16, 8, 16},
        {"256 entries into 16", table256, 4, 16},
        {"shorter than it says", Bytes(table16.begin(), table16.end() - 1), 8, 0},
        {"more than 256 entries", tooMany, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DibHandle dib = PoisonedDib(c.depth);
        EXPECT_EQ(DibSetColorsFromMacTable(dib, c.table), c.written);
        const std::vector<DibColor> table = TableOf(dib);
        const DibColor first[] = {{0, 0, 255, 0}, {0, 128, 0, 0}, {3, 2, 1, 0}};
        for (int i = 0; i < static_cast<int>(table.size()); ++i) {
            // Past the copy the table stays; the grey ramp is 255 - i x 255 / (entries - 1).
            const auto grey = uint8_t(255 - i * 255 / (c.table.size() / 8 - 2));
            const DibColor want = i >= c.written ? kPoison : i < 3 ? first[i] : DibColor{grey, grey, grey, 0};
            ASSERT_EQ(table[i], want) << "entry " << i;
        }
    }
    EXPECT_EQ(DibSetColorsFromMacTable(0, table16), -1);
}

TEST_F(DibPaletteTest, TheTableOfTheRecordThatHoldsThePicture) {
    const std::vector<Rgb> colors = {{10, 20, 30}, {40, 50, 60}};
    g_cardSeven = CardRecordHandle(PaletteCard(7, colors));
    const Handle shared = CardRecordHandle(stackbuilder::SharedCard(8, 7));
    stackbuilder::Card unnamed = PaletteCard(9, colors);
    unnamed.background = kNoPictureCard;
    // The picture card with another table length.
    auto withTableLength = [](uint32_t length) {
        Bytes record = HandleToBytes(g_cardSeven);
        SetU32(record, kPictureTableLength, length);
        return NewHandleFromBytes(record);
    };
    struct Case {
        const char* what;
        Handle record;
        bool resolver;  // the stack layer's resolver installed
        bool copied;
    };
    const Case cases[] = {
        {"a picture card", g_cardSeven, false, true},
        {"a shared card, minimal resolution", shared, false, false},
        {"a shared card through the resolver", shared, true, true},
        {"no picture record (0xFFFF)", CardRecordHandle(unnamed), true, false},
        {"a card without a picture", CardRecordHandle(stackbuilder::PlainCard(10)), true, false},
        {"a table length of 0", withTableLength(0), false, false},
        {"a table length past the record: cut to it", withTableLength(0x100000), false, true},
        {"no record", 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPictureRecordResolver(c.resolver ? ResolveLikeTheCardList : nullptr);
        DibHandle dib = PoisonedDib(8);
        EXPECT_EQ(DibTableFromPictureRecord(c.record, dib), c.copied);
        const std::vector<DibColor> table = TableOf(dib);
        EXPECT_EQ(table[1], c.copied ? (DibColor{60, 50, 40, 0}) : kPoison);
        EXPECT_EQ(table[255], c.copied ? DibColor{} : kPoison);  // the builder's ramp ends in black
    }
}

}  // namespace
