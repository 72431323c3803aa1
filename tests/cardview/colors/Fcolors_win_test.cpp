// The floating colours palette's services on real device contexts: bitmaps filled with a colour
// or tiled with a pattern on the card's grid, the system palette copy and comparison, and the
// eyedropper's pick from the card offscreen (points past the card ignored).
#include "cardview/colors/Fcolors.h"

#include <gtest/gtest.h>

#include "cardview/colors/Eyedropper.h"
#include "graphics/pixels/CardOffscreen.h"
#include "tests/graphics/AppPaletteTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

class FcolorsWinTest : public AppPaletteTest {};

TEST_F(FcolorsWinTest, FilledBitmapsTilePatternsOnTheCardGrid) {
    WindowDC screen(window_);
    HBITMAP pattern = GetFillPattern(5);
    ASSERT_NE(pattern, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObject(pattern, sizeof info, &info));
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    const RECT rect{9, 3, 9 + 80, 3 + 70};
    ASSERT_EQ(NewFilledBitmapDC(screen.get(), -5, rect, &dc, &bitmap), 1);
    ASSERT_TRUE(dc && bitmap);
    // Selected only now: a bitmap lives in one DC at a time.
    MemoryDC patternDC(screen.get());
    SelectedObject chosen(patternDC.get(), pattern);
    int differing = 0;
    for (int y = 0; y < 70; y += 3)
        for (int x = 0; x < 80; x += 2) {
            // Bitmap column x is card column 9 + x, which shows the pattern's column of the card.
            const COLORREF want = GetPixel(patternDC.get(), (9 + x) % info.bmWidth, (3 + y) % info.bmHeight);
            differing += GetPixel(dc, x, y) != want;
        }
    EXPECT_EQ(differing, 0);
    DeleteDC(dc);
    DeleteObject(bitmap);

    ASSERT_EQ(NewFilledBitmapDC(screen.get(), 47, {0, 0, 5, 4}, &dc, &bitmap), 1);
    EXPECT_TRUE(Shows(RgbOf(GetPixel(dc, 0, 0)), Entry(47)));
    EXPECT_TRUE(Shows(RgbOf(GetPixel(dc, 4, 3)), Entry(47)));
    DeleteDC(dc);
    DeleteObject(bitmap);

    EXPECT_EQ(NewFilledBitmapDC(screen.get(), 1, {5, 5, 5, 9}, &dc, &bitmap), 0) << "an empty rectangle";
    EXPECT_EQ(dc, nullptr);
    EXPECT_EQ(bitmap, nullptr);
}

TEST_F(FcolorsWinTest, SystemPaletteCopyAndComparison) {
    OwnedGdiObject<HPALETTE> copy(CreateSystemPaletteCopy(window_));
    ASSERT_TRUE(copy);
    EXPECT_EQ(GetPaletteEntries(copy.get(), 0, 0, nullptr), 256u);
    WindowDC dc(window_);
    if (!IndexedDisplay()) {
        // Deeper displays have no palette to disagree with.
        EXPECT_TRUE(PicturePaletteMatchesSystem(dc.get(), GetAppPalette()));
        EXPECT_TRUE(PicturePaletteMatchesSystem(dc.get(), nullptr));
        return;
    }
    // A palette display: the copy agrees with the system palette, the application palette
    // (white first, where the system has black) does not, and no palette agrees with nothing.
    PALETTEENTRY system[256] = {}, copied[256] = {};
    ASSERT_EQ(GetSystemPaletteEntries(dc.get(), 0, 256, system), 256u);
    ASSERT_EQ(GetPaletteEntries(copy.get(), 0, 256, copied), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(RgbOf(copied[i]), RgbOf(system[i])) << "entry " << i;
    EXPECT_TRUE(PicturePaletteMatchesSystem(dc.get(), copy.get()));
    EXPECT_FALSE(PicturePaletteMatchesSystem(dc.get(), GetAppPalette()));
    EXPECT_FALSE(PicturePaletteMatchesSystem(dc.get(), nullptr));
}

TEST_F(FcolorsWinTest, EyedropperPicksTheOffscreenPixelIntoTheFill) {
    ASSERT_EQ(InitDataBase(window_, 40, 30, GetDisplayBitsPerPixel(), false), 1);
    HDC off = AcquireOffscreenDC(nullptr);
    ASSERT_NE(off, nullptr);
    const Rgb shown = ShownOnDisplay({200, 100, 40});
    SetPixel(off, 12, 7, RGB(200, 100, 40));
    ReleaseOffscreenDC(off);
    SetToolColor('f', 3);

    if (IndexedDisplay()) {
        // A palette display picks the application palette's entry nearest the pixel.
        const UINT nearest = GetNearestPaletteIndex(GetAppPalette(), RGB(shown.red, shown.green, shown.blue));
        SetCustomColor(RGB(1, 2, 3));
        BeginEyedropperDrag(window_, 12, 7);
        EXPECT_EQ(GetToolColor('f'), int(nearest));
        EXPECT_EQ(GetPickedColorIndex(), nearest);
        EXPECT_EQ(RgbOf(GetPickedColorValue()), shown);
        EXPECT_EQ(RgbOf(GetCustomColor()), (Rgb{1, 2, 3})) << "no custom colour on a palette display";
        EndEyedropperDrag(window_);
        EXPECT_EQ(TrackEyedropperDrag(window_, 12, 7), 0) << "no drag after the end";
        FreeOffscreenObjects();
        return;
    }
    BeginEyedropperDrag(window_, 12, 7);
    EXPECT_EQ(GetToolColor('f'), kCustomColorIndex);
    EXPECT_EQ(RgbOf(GetCustomColor()), shown);
    EXPECT_EQ(GetPickedColorIndex(), kCustomColorIndex);
    EXPECT_EQ(RgbOf(GetPickedColorValue()), shown);
    // Dragged past the card: nothing is read, the pick stays.
    EXPECT_EQ(TrackEyedropperDrag(window_, -4, 7), 1);
    EXPECT_EQ(TrackEyedropperDrag(window_, 40, 29), 1);
    EXPECT_EQ(RgbOf(GetCustomColor()), shown);
    EXPECT_EQ(TrackEyedropperDrag(window_, 0, 0), 1);
    EXPECT_EQ(RgbOf(GetCustomColor()), kWhite);
    EndEyedropperDrag(window_);
    EXPECT_EQ(TrackEyedropperDrag(window_, 12, 7), 0) << "no drag after the end";
    EXPECT_EQ(RgbOf(GetCustomColor()), kWhite);
    EXPECT_FALSE(PickColorAt(40, 0));
    FreeOffscreenObjects();
}

}  // namespace
