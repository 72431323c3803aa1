// Colour tables from the current palettes and from a card picture's palette, with real GDI
// palettes.
#include "graphics/pixels/DibPalette.h"

#include <gtest/gtest.h>

#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "tests/graphics/DibTestUtil.h"
#include "tests/graphics/PictureRecordTestUtil.h"

namespace {

using namespace picturetest;

const DibColor kPoison{0xAB, 0xCD, 0xEF, 0};

// Entry i of the palette of a seed: red i, green seed, blue 255 - i.
DibColor SeedColor(uint8_t seed, int i) { return {uint8_t(255 - i), seed, uint8_t(i), 0}; }
HPALETTE SeedPalette(uint8_t seed) {
    std::vector<uint8_t> block(LogPaletteSize(256));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        logical->palPalEntry[i] = {uint8_t(i), seed, uint8_t(255 - i), 0};
    return CreatePalette(logical);
}

std::vector<DibColor> TableOf(DibHandle dib) {
    std::vector<DibColor> table(256);
    table.resize(static_cast<size_t>(std::max(0, GetDibColorTable(dib, table))));
    return table;
}

class DibPaletteWinTest : public DibTest {
protected:
    void TearDown() override {
        SetPicturePalette(nullptr);
        SetAppPalette(nullptr);
        DibTest::TearDown();
    }
    OwnedGdiObject<HPALETTE> picture_{SeedPalette(11)};
    OwnedGdiObject<HPALETTE> app_{SeedPalette(22)};
};

TEST_F(DibPaletteWinTest, CopyPaletteEntriesFromTheCurrentPalettes) {
    struct Case {
        const char* what;
        bool picture, app;
        int depth;
        uint8_t colorsUsed;
        uint8_t seed;  // of the palette expected in the table; 0: the table stays
        int entries;
    };
    const Case cases[] = {
        {"the picture palette first", true, true, 8, 0, 11, 256},
        {"else the application palette", false, true, 8, 0, 22, 256},
        {"neither: nothing", false, false, 8, 0, 0, 0},
        {"a 4-bit DIB takes 16", true, false, 4, 0, 11, 16},
        {"colours used: that many", false, true, 8, 20, 22, 20},
        {"a deep DIB has no colours", true, true, 24, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPicturePalette(c.picture ? picture_.get() : nullptr);
        SetAppPalette(c.app ? app_.get() : nullptr);
        DibHandle dib = NewDib(4, 2, c.depth);
        SetDibColorTable(dib, std::vector<DibColor>(256, kPoison));
        if (c.colorsUsed) {
            HandleLock lock(dib);
            lock.get()[32] = c.colorsUsed;
        }
        EXPECT_EQ(DibCopyPaletteEntries(dib), c.seed != 0);
        const std::vector<DibColor> table = TableOf(dib);
        for (int i = 0; i < static_cast<int>(table.size()); ++i)
            ASSERT_EQ(table[i], i < c.entries ? SeedColor(c.seed, i) : kPoison) << "entry " << i;
    }
}

TEST_F(DibPaletteWinTest, ApplyPaletteAndPaletteFromThePicture) {
    SetPicturePalette(picture_.get());
    const std::vector<Rgb> colors = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    const Handle card = CardRecordHandle(PaletteCard(3, colors));
    stackbuilder::Card unnamed = PaletteCard(4, colors);
    unnamed.background = kNoPictureCard;
    const Handle plain = CardRecordHandle(stackbuilder::PlainCard(5));
    // DibApplyPalette: the stored table, else the current palette.
    const std::pair<Handle, DibColor> cases[] = {
        {card, {0, 0, 255, 0}}, {CardRecordHandle(unnamed), SeedColor(11, 0)}, {plain, SeedColor(11, 0)}};
    for (const auto& [record, first] : cases) {
        DibHandle dib = NewDib(4, 2, 8);
        EXPECT_TRUE(DibApplyPalette(record, dib));
        EXPECT_EQ(TableOf(dib)[0], first);
    }

    // DibSetPaletteFromPicture: pixels to the nearest stored colour, which becomes the table.
    DibHandle dib = NewDib(4, 1, 8);
    std::vector<DibColor> own(256);
    own[7] = {250, 5, 5, 0};      // nearly blue
    own[8] = {254, 254, 254, 0};  // nearly white
    own[9] = {0, 0, 200, 0};      // nearly red
    SetDibColorTable(dib, own);
    {
        LockedDib locked(dib);
        const uint8_t row[4] = {7, 8, 9, 7};
        std::copy(row, row + 4, locked.image().begin());
    }
    ASSERT_TRUE(DibSetPaletteFromPicture(card, dib));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{2, 3, 0, 2}));
    EXPECT_EQ(TableOf(dib)[1], (DibColor{0, 255, 0, 0}));
    EXPECT_FALSE(DibSetPaletteFromPicture(plain, dib));
    EXPECT_EQ(PaletteFromPictureResource(plain), nullptr);
}

}  // namespace
