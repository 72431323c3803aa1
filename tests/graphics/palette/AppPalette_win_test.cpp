// The application palette as start-up builds it: "DEFPAL" and the static colours, snapped on a
// 16-bit display; indexes turned into colours and back; the fill patterns; its life from attach
// to shut-down; and the card on display reset to it.
#include "cardview/card/CardUpcalls.h"
#include "cardview/card/CardRedraw.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "cardview/card/CardRedrawServices.h"
#include "graphics/palette/DefaultPalette.h"
#include "graphics/palette/PaletteRgbTables.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "host/browser/WindowAttach.h"
#include "host/window/WindowServices.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "tests/graphics/AppPaletteTestUtil.h"
#include "tests/graphics/PictureRecordTestUtil.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

// A colour as the palette holds it on this display.
Rgb AsBuilt(Rgb c) {
    if (GetDisplayBitsPerPixel() != 16)
        return c;
    QuantizeColorTo15Bit(c.red, c.green, c.blue);
    return ShownOnDisplay(c);
}

TEST_F(AppPaletteTest, BuiltFromDefpalAndTheStaticColoursSnappedToTheDisplay) {
    for (int i = 0; i < kDefaultPaletteEntries; ++i) {
        const uint32_t c = kDefaultPaletteColors[size_t(i)];
        EXPECT_EQ(Entry(i), AsBuilt({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)})) << "entry " << i;
        EXPECT_EQ(app_[size_t(i)].peFlags, PC_RESERVED) << "entry " << i;
    }
    // The stock palette holds the static colours: system entries 0..9, then 246..255.
    PALETTEENTRY stock[20] = {};
    ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, stock), 20u);
    for (int i = kDefaultPaletteEntries; i < 256; ++i) {
        const int system = i < 246 ? 491 - i : 255 - i;
        EXPECT_EQ(Entry(i), AsBuilt(RgbOf(stock[system < 10 ? system : system - 236]))) << "entry " << i;
        EXPECT_EQ(app_[size_t(i)].peFlags, 0) << "entry " << i;
    }
    EXPECT_EQ(Entry(0), kWhite) << "white stays pure white at every depth";
    EXPECT_EQ(Entry(236), kWhite);
    for (int i = 0; i < 256; ++i) {
        const PaletteRgb want{app_[size_t(i)].peRed, app_[size_t(i)].peGreen, app_[size_t(i)].peBlue, 0};
        ASSERT_EQ(PaletteBlendStartTable()[size_t(i)], want) << "entry " << i;
        ASSERT_EQ(PaletteBlendTargetTable()[size_t(i)], want) << "entry " << i;
    }

    PALETTEENTRY snapped[] = {{200, 100, 50, PC_RESERVED}, {255, 255, 255, 0}, {7, 7, 7, PC_NOCOLLAPSE}};
    SnapColorsToDisplay(3, snapped);
    const bool sixteen = GetDisplayBitsPerPixel() == 16;
    // Painted as (200, 96, 48) on a 16-bit display: what comes back is what it makes of that.
    EXPECT_EQ(RgbOf(snapped[0]), (sixteen ? ShownOnDisplay({200, 96, 48}) : Rgb{200, 100, 50}));
    EXPECT_EQ(RgbOf(snapped[1]), kWhite);
    EXPECT_EQ(RgbOf(snapped[2]), (sixteen ? kBlack : Rgb{7, 7, 7}));
    EXPECT_EQ(snapped[2].peFlags, PC_NOCOLLAPSE) << "flags kept";
}

// On a palette display start-up realizes the palette in the card window: the system palette
// then holds every colour of "DEFPAL".
TEST_F(AppPaletteTest, OnAPaletteDisplayItIsWrittenIntoTheSystemPalette) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "the system palette exists on a palette display";
    PALETTEENTRY system[256] = {};
    ASSERT_EQ(GetSystemPaletteEntries(WindowDC(window_).get(), 0, 256, system), 256u);
    for (int i = 0; i < kDefaultPaletteEntries; ++i) {
        const uint32_t c = kDefaultPaletteColors[size_t(i)];
        const Rgb want{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
        EXPECT_TRUE(std::any_of(std::begin(system), std::end(system), [&](const PALETTEENTRY& e) { return RgbOf(e) == want; }))
            << "entry " << i;
    }
}

TEST_F(AppPaletteTest, IndexesBecomeColoursAndColoursIndexes) {
    SetCustomColor(RGB(1, 2, 3));
    if (IndexedDisplay())
        EXPECT_EQ(PaletteIndexToColor(kCustomColorIndex), PALETTERGB(0, 0, 0)) << "no custom colour on a palette display";
    else
        EXPECT_EQ(PaletteIndexToColor(kCustomColorIndex), RGB(1, 2, 3)) << "plain RGB, no palette flag";
    EXPECT_EQ(PaletteIndexToColorPlain(kCustomColorIndex), PALETTERGB(0, 0, 0));
    EXPECT_EQ(PaletteIndexToColor(5), PALETTERGB(app_[5].peRed, app_[5].peGreen, app_[5].peBlue));
    // A picture palette comes first, as far as it reaches.
    std::vector<uint8_t> block(LogPaletteSize(4));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 4;
    for (int i = 0; i < 4; ++i)
        logical->palPalEntry[i] = {uint8_t(10 * i), 77, 99, 0};
    OwnedGdiObject<HPALETTE> picture(CreatePalette(logical));
    SetPicturePalette(picture.get());
    EXPECT_EQ(PaletteIndexToColor(2), PALETTERGB(20, 77, 99));
    EXPECT_EQ(PaletteIndexToColor(100), PALETTERGB(app_[100].peRed, app_[100].peGreen, app_[100].peBlue));
    SetPicturePalette(nullptr);

    // White is found at 0, the grid's first cell, though 236 is white too; a colour the grid
    // does not show is the nearest entry; the grid is searched in its own order.
    HPALETTE app = GetAppPalette();
    EXPECT_EQ(FindPaletteIndexOfColor(app, RGB(255, 255, 255)), 0);
    EXPECT_EQ(FindPaletteIndexOfColor(app, RGB(app_[100].peRed, app_[100].peGreen, app_[100].peBlue)), 100);
    SetGridOrderEntry(0, 236);
    EXPECT_EQ(FindPaletteIndexOfColor(app, RGB(255, 255, 255)), 236);
    ResetGridOrderTable();

    CacheBlackWhiteIndices();
    EXPECT_EQ(Entry(GetToolColor('t')), kBlack);
    EXPECT_EQ(Entry(GetToolColor('f')), kBlack);
    EXPECT_EQ(Entry(GetToolColor('e')), kWhite);
    SetToolColor('f', 9);
    CacheBlackWhiteIndices();
    EXPECT_EQ(GetToolColor('f'), 9) << "once only";

    OwnedGdiObject<HPALETTE> copy(DuplicatePalette(app));
    ASSERT_TRUE(copy && copy.get() != app);
    const auto copied = EntriesOf(copy.get());
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(RgbOf(copied[size_t(i)]) == Entry(i) && copied[size_t(i)].peFlags == 0) << "entry " << i;
}

TEST_F(AppPaletteTest, FillPatternsComeFromTheirResourcesThroughThePalette) {
    SKIP_UNLESS_TRUE_COLOUR("the patterns' pixels are compared with the exact colours of their resources");
    std::vector<std::vector<Rgb>> seen;
    for (int k = 1; k <= kFillPatternCount; ++k) {
        SCOPED_TRACE(testing::Message() << "FILLPAT" << k);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(GetFillPattern(k), sizeof info, &info), int(sizeof info));
        EXPECT_EQ(info.bmWidth, 64);
        EXPECT_EQ(info.bmHeight, 64);
        BITMAPINFO header{};
        header.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, 64, 1, 32, BI_RGB};
        std::vector<uint8_t> bits(64 * 64 * 4);
        WindowDC screen(nullptr);
        ASSERT_EQ(GetDIBits(screen.get(), GetFillPattern(k), 0, 64, bits.data(), &header, DIB_RGB_COLORS), 64);
        const std::string name = "FILLPAT" + std::to_string(k);
        uint32_t size = 0;
        const auto* file = static_cast<const uint8_t*>(LoadResData(name.c_str(), "DIB", &size));
        ASSERT_GE(size, 14u + 40 + 1024 + 64 * 64);
        std::vector<Rgb> got;
        for (int i = 0; i < 64 * 64; ++i) {  // both bottom row first
            const uint8_t* want = file + 14 + 40 + 4 * file[14 + 40 + 1024 + i];
            got.push_back({bits[4 * i + 2], bits[4 * i + 1], bits[4 * i]});
            ASSERT_PRED2(Shows, got.back(), (Rgb{want[2], want[1], want[0]})) << "pixel " << i;
        }
        for (const auto& other : seen)
            EXPECT_NE(got, other) << "two patterns alike";
        seen.push_back(got);
    }
    EXPECT_EQ(GetFillPattern(0), nullptr);
    EXPECT_EQ(GetFillPattern(17), nullptr);
}

TEST_F(AppPaletteTest, StartUpBuildsItShutDownFreesItAndNoFrameHasNoMenu) {
    FreePaletteObjects();
    ASSERT_TRUE(AttachPluginWindow(window_));
    ASSERT_NE(GetAppPalette(), nullptr);
    EXPECT_EQ(PaletteIndexToColorPlain(0), PALETTERGB(255, 255, 255));
    EXPECT_NE(GetFillPattern(16), nullptr);
    EXPECT_EQ(GetMenuItemLeftOffset('C'), 0) << "the plug-in has no frame window";
    ShutdownPluginInstance(window_);
    EXPECT_EQ(GetAppPalette(), nullptr);
    EXPECT_EQ(GetFillPattern(16), nullptr);
    SetAdvancedUser(false);
}

// What the card layers were asked.
struct Calls {
    int maps = 0, redraws = 0;
    Handle card = 0;
    HPALETTE palette = nullptr;
} g_calls;
void RecordMap(Handle card, HPALETTE palette) { ++g_calls.maps, g_calls.card = card, g_calls.palette = palette; }
void RecordRedraw(int) { ++g_calls.redraws; }

std::vector<Rgb> ColorsOf(HPALETTE palette) {
    std::vector<Rgb> colors;
    for (const PALETTEENTRY& e : EntriesOf(palette))
        colors.push_back(RgbOf(e));
    return colors;
}

// Whether the colour table stored with the card's picture holds the application palette's
// colours; afterwards it holds others again, so that the next store shows.
bool TakeStoredAppPalette(Handle card) {
    OwnedGdiObject<HPALETTE> stored(PaletteFromPictureResource(card));
    const bool same = stored && ColorsOf(stored.get()) == ColorsOf(GetAppPalette());
    std::vector<uint8_t> block(LogPaletteSize(256));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (PALETTEENTRY& e : std::span(logical->palPalEntry, 256))
        e = {9, 9, 9, 0};
    OwnedGdiObject<HPALETTE> other(CreatePalette(logical));
    StorePaletteInPictureResource(card, other.get());
    return same;
}

TEST_F(AppPaletteTest, TheCardBackToTheDefaultPalette) {
    // The card on display: an 8-bit picture card read into the card list.
    namespace sb = stackbuilder;
    sb::Picture art = sb::GradientPicture(4, 3, 8);
    for (const sb::Rgb& c : picturetest::DistinctColors(7))
        art.palette.push_back(c);
    sb::Stack stack;
    stack.depth = 8;
    stack.cardWidth = 4;
    stack.cardHeight = 3;
    stack.cards.push_back(sb::PictureCard(1, art));
    cardtest::LoadIntoCardList(stack);
    const Handle shown = GetCurrentCardRecord();
    ASSERT_NE(shown, 0);
    TakeStoredAppPalette(shown);
    const CardRedrawUpcalls cards = GetCardRedrawUpcalls();
    CardRedrawUpcalls recording = cards;
    recording.refreshCard = RecordRedraw;
    SetCardRedrawUpcalls(recording);
    const CardPictureUpcalls pictures = GetCardPictureUpcalls();
    CardPictureUpcalls picture = pictures;
    picture.mapBitmapToPalette = RecordMap;
    SetCardPictureUpcalls(picture);
    const int savedDepth = GetScreenDepth();
    // A 4 x 3 offscreen, column x near entry kColumns[x] (exactly it on a 16-bit display, whose
    // 5-bit reads would blur a small difference).
    const int kColumns[] = {3, 40, 100, 200};
    const int nudge = GetDisplayBitsPerPixel() == 16 ? 0 : 3;
    WindowDC screen(nullptr);
    MemoryDC memory(screen.get());
    OwnedGdiObject<HBITMAP> offscreen(CreateCompatibleBitmap(screen.get(), 4, 3));
    SelectedObject selected(memory.get(), offscreen.get());
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            SetPixel(memory.get(), x, y, RGB(std::min(Entry(kColumns[x]).red + nudge, 255), Entry(kColumns[x]).green,
                                             std::max(Entry(kColumns[x]).blue - nudge, 0)));
    SetOffscreenBitmap(offscreen.get());
    // A palette display keeps the application palette's entries (entry 3 drifted below).
    const bool indexed = IndexedDisplay();
    auto expectDefaults = [&] {
        const auto now = EntriesOf(GetAppPalette());
        for (int i = 0; i < 256; ++i) {
            const Rgb want = indexed && i == 3 ? Rgb{1, 2, 3} : Entry(i);
            const BYTE flags = indexed ? app_[size_t(i)].peFlags : PC_RESERVED;
            ASSERT_TRUE(RgbOf(now[size_t(i)]) == want && now[size_t(i)].peFlags == flags) << "entry " << i;
        }
    };

    // Without converting pixels the palette is reset and stored, the picture set back as it is.
    const PALETTEENTRY drifted = {1, 2, 3, PC_RESERVED};
    SetPaletteEntries(GetAppPalette(), 3, 1, &drifted);
    const Rgb before = RgbOf(GetPixel(memory.get(), 0, 0));
    SetScreenDepth(8);
    ClearStackChanged();
    ConvertCardToDefaultPalette(window_, FALSE);
    expectDefaults();
    EXPECT_EQ(RgbOf(GetPixel(memory.get(), 0, 0)), before);
    EXPECT_TRUE(TakeStoredAppPalette(shown) && g_calls.maps == 0 && g_calls.redraws == 0);
    EXPECT_TRUE(IsStackChanged());

    // Converting an 8-bit stack on a deeper display: its picture is matched to the palette as
    // restored (entry 3 drifted again first), the card re-mapped and drawn again.
    SetPaletteEntries(GetAppPalette(), 3, 1, &drifted);
    ConvertCardToDefaultPalette(window_, TRUE);
    expectDefaults();
    if (indexed)  // matched only from a deeper display: the picture is set back as it is
        EXPECT_EQ(RgbOf(GetPixel(memory.get(), 0, 0)), before);
    else
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 3; ++y)
                ASSERT_EQ(RgbOf(GetPixel(memory.get(), x, y)), Entry(kColumns[x])) << x << ", " << y;
    EXPECT_TRUE(TakeStoredAppPalette(shown) && g_calls.maps == 1 && g_calls.redraws == 1);
    EXPECT_EQ(g_calls.card, shown);
    EXPECT_EQ(g_calls.palette, GetAppPalette());
    EXPECT_NE(GetFillPattern(1), nullptr) << "patterns remade";

    SetCardRedrawUpcalls(cards);
    SetCardPictureUpcalls(pictures);
    DisposeCards();
    SetOffscreenBitmap(nullptr);
    SetScreenDepth(savedDepth);
    ClearStackChanged();
}

}  // namespace
