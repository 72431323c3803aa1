// The floating selections and colour replacement on a real card offscreen: a pasted bitmap
// floats over the picture, undo finds what lay under it, committing draws it in (through the
// mask for the masked one), and one colour is replaced exactly.
#include "paint/Selections.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "core/system/PluginModule.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "paint/PaintTools.h"

namespace {

COLORREF OffscreenPixel(int x, int y) {
    HDC dc = AcquireOffscreenDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseOffscreenDC(dc);
    return c;
}

HBITMAP Solid(int w, int h, COLORREF color) {
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, b);
    HBRUSH brush = CreateSolidBrush(color);
    RECT r = {0, 0, w, h};
    FillRect(memory, &r, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return b;
}

class SelectionsTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    void SetUp() override {
        window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window);
        ASSERT_EQ(InitDataBase(window, 64, 48, 32, false), 1);
    }
    void TearDown() override {
        ShutdownMaskSelection();
        FreeOffscreenObjects();
        SetMainWindow(nullptr);
        DestroyWindow(window);
    }
};

TEST_F(SelectionsTest, PastedBitmapFloatsThenCommitsWithItsUndoPicture) {
    EXPECT_FALSE(IsRectSelectionActive());
    FloatRectSelectionBitmap(Solid(10, 8, RGB(255, 0, 0)), 5, 6);
    ASSERT_TRUE(IsRectSelectionActive());
    RECT r = {};
    CopyRectSelection(&r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 14);
    EXPECT_NE(GetRectSelectionUnderPicture(), nullptr) << "the picture under it is kept for undo";
    EXPECT_EQ(OffscreenPixel(7, 7), RGB(255, 255, 255)) << "floating, not yet in the picture";
    CommitPaintSelection(window);
    EXPECT_FALSE(IsRectSelectionActive());
    EXPECT_EQ(OffscreenPixel(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(OffscreenPixel(14, 13), RGB(255, 0, 0));
    EXPECT_EQ(OffscreenPixel(15, 7), RGB(255, 255, 255));

    // The masked one draws only where its mask is white.
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, 4, 4, BLACKNESS);
        PatBlt(dc, 0, 0, 2, 4, WHITENESS);  // the left half inside
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HBITMAP blue = Solid(4, 4, RGB(0, 0, 255));
    PlaceMaskSelection(blue, mask, nullptr, 30, 30);
    ASSERT_TRUE(HasFloatingSelection());
    int x = 0, y = 0;
    SwapMaskSelectionPosition(&x, &y);  // an undo of a move swaps the places back
    SwapMaskSelectionPosition(&x, &y);
    EXPECT_EQ(x, 0);
    CommitMaskSelection(window);
    EXPECT_FALSE(HasFloatingSelection());
    EXPECT_EQ(OffscreenPixel(30, 31), RGB(0, 0, 255));
    EXPECT_EQ(OffscreenPixel(31, 33), RGB(0, 0, 255));
    EXPECT_EQ(OffscreenPixel(32, 31), RGB(255, 255, 255)) << "outside the mask the picture stays";
    DeleteObject(blue);
    DeleteObject(mask);
}

TEST_F(SelectionsTest, ReplacesOneColourExactlyAndTurnsBitmaps) {
    SetAppInstance(GetModuleHandleA(nullptr));
    InitAppPalette(window);
    ASSERT_NE(GetAppPalette(), nullptr);
    const int red = FindPaletteIndexOfColor(GetAppPalette(), RGB(255, 0, 0));
    const int blue = FindPaletteIndexOfColor(GetAppPalette(), RGB(0, 0, 255));
    ASSERT_NE(red, blue);
    // A red block, and one pixel of each colour as the display stores it, for comparison.
    {
        HDC dc = AcquireOffscreenDC(nullptr);
        HBRUSH brush = CreateSolidBrush(PaletteIndexToColor(red));
        RECT block = {10, 10, 20, 15};
        FillRect(dc, &block, brush);
        DeleteObject(brush);
        SetPixelV(dc, 60, 0, PaletteIndexToColor(blue));
        ReleaseOffscreenDC(dc);
    }
    const COLORREF storedBlue = OffscreenPixel(60, 0);
    EXPECT_EQ(ReplaceColorsInPicture(82, 1, red, blue), 50);
    EXPECT_EQ(OffscreenPixel(10, 10), storedBlue);
    EXPECT_EQ(OffscreenPixel(19, 14), storedBlue);
    EXPECT_EQ(OffscreenPixel(20, 14), RGB(255, 255, 255)) << "other colours stay";
    EXPECT_EQ(ReplaceColorsInPicture(82, 1, red, blue), 0) << "nothing red is left";
    EXPECT_EQ(ReplaceColorsInPicture(82, 1, -3, blue), 0) << "patterns are no colours";
    FreePaletteObjects();

    HBITMAP picture = Solid(6, 2, RGB(0, 128, 0)), turned = nullptr, turnedMask = nullptr;
    ASSERT_TRUE(RotateScaleBitmap(picture, nullptr, 90, 1, 2, RGB(255, 255, 255), &turned, &turnedMask));
    BITMAP b = {};
    GetObject(turned, sizeof b, &b);
    EXPECT_EQ(b.bmWidth, 4);  // 2 high, doubled
    EXPECT_EQ(b.bmHeight, 6);
    EXPECT_NE(turnedMask, nullptr);
    DeleteObject(picture);
    DeleteObject(turned);
    DeleteObject(turnedMask);
}

}  // namespace
