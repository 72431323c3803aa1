// The display's depth, palette selection on indexed displays, and the start-up font.
#include "core/ui/DisplayUtils.h"

#include <gtest/gtest.h>

namespace {

HPALETTE MakeTwoColourPalette() {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[2];
    } log = {0x300, 2, {{255, 0, 0, 0}, {0, 0, 255, 0}}};
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
}

TEST(DisplayUtilsWin, BitsPerPixelOfTheDisplayKeptForTheRun) {
    HDC screen = GetDC(nullptr);
    const int expected = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetDisplayBitsPerPixel(), expected);
    EXPECT_EQ(GetDisplayBitsPerPixel(), expected);
}

TEST(DisplayUtilsWin, PaletteSelectedOnlyOnIndexedDisplays) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HPALETTE palette = MakeTwoColourPalette();
    ASSERT_NE(palette, nullptr);
    HGDIOBJ original = GetCurrentObject(dc, OBJ_PAL);

    // 16 and 32 bits: nothing selected, the palette handed back.
    for (int bits : {4, 16, 24, 32}) {
        EXPECT_EQ(SelectPaletteForDisplayBits(bits, dc, palette, FALSE), palette) << bits;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), original) << bits;
    }

    // 8 bits: selected, and the palette it replaced returned; selecting that restores it.
    HPALETTE previous = SelectPaletteForDisplayBits(8, dc, palette, TRUE);
    EXPECT_EQ(previous, original);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette);
    EXPECT_EQ(SelectPaletteForDisplayBits(8, dc, previous, TRUE), palette);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), original);

    // A null palette selects nothing anywhere.
    EXPECT_EQ(SelectPaletteForDisplayBits(8, dc, nullptr, FALSE), nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), original);

    // On this display.
    if (GetDisplayBitsPerPixel() != 8) {
        EXPECT_EQ(SelectPaletteIfIndexed(dc, palette, FALSE), palette);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), original);
    }
    DeleteDC(dc);
    DeleteObject(palette);
}

TEST(DisplayUtilsWin, StartupFontIsTheOneTheIconFontReplaced) {
    // Without a card window the screen's context stands in; its default font is kept.
    HDC screen = GetDC(nullptr);
    HGDIOBJ defaultFont = GetCurrentObject(screen, OBJ_FONT);
    ReleaseDC(nullptr, screen);

    InitStartupDcFont();
    EXPECT_NE(GetStartupDcFont(), nullptr);
    EXPECT_EQ(GetStartupDcFont(), defaultFont);
    // The context is left as it was.
    screen = GetDC(nullptr);
    EXPECT_EQ(GetCurrentObject(screen, OBJ_FONT), defaultFont);
    ReleaseDC(nullptr, screen);
}

}  // namespace
