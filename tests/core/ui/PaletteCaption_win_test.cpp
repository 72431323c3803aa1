// The floating palettes' title bar: pixels drawn into a memory context, and hit tests on a
// real window.
#include "core/ui/PaletteCaption.h"
#include "core/ui/PaletteCaptionLayout.h"

#include <gtest/gtest.h>

#include "core/ui/GdiGuards.h"

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255);

HBITMAP DibSection(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// A 32-bit memory context filled with kUntouched.
struct Canvas {
    MemoryDC memory{nullptr};
    OwnedGdiObject<HBITMAP> bitmap;
    SelectedObject selected;
    HDC dc = memory.get();
    Canvas(int w, int h) : bitmap(DibSection(w, h)), selected(memory.get(), bitmap.get()) {
        RECT all = {0, 0, w, h};
        OwnedGdiObject<HBRUSH> fill(CreateSolidBrush(kUntouched));
        FillRect(dc, &all, fill.get());
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

TEST(PaletteCaptionWin, HeightFollowsTheSystemCaption) {
    EXPECT_EQ(PaletteCaptionHeight(), GetSystemMetrics(SM_CYCAPTION) / 3 + 4);
}

TEST(PaletteCaptionWin, DrawsStripLinesBoxAndCloseBar) {
    const int width = 80;
    const PaletteCaptionLayout l = LayoutPaletteCaption(GetSystemMetrics(SM_CYCAPTION), width);
    ASSERT_GE(l.bar.bottom - l.bar.top, 3);

    for (bool active : {true, false}) {
        Canvas c(width, 40);
        DrawPaletteCaptionOn(c.dc, width, active);
        const COLORREF caption = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        SCOPED_TRACE(active ? "active" : "inactive");
        EXPECT_EQ(c.At(l.dividerX + 4, 0), caption);
        EXPECT_EQ(c.At(width - 1, l.lineY - 1), caption);
        EXPECT_EQ(c.At(l.dividerX + 4, l.lineY), RGB(0, 0, 0)) << "line along the bottom";
        EXPECT_EQ(c.At(width - 1, l.lineY), RGB(0, 0, 0));
        EXPECT_EQ(c.At(l.dividerX, 1), RGB(0, 0, 0)) << "divider";
        EXPECT_EQ(c.At(0, 0), RGB(192, 192, 192)) << "box";
        EXPECT_EQ(c.At(l.dividerX - 1, l.lineY - 1), RGB(192, 192, 192));
        // The bar's face (one pixel up and left of its shadow) framed black, white inside.
        EXPECT_EQ(c.At(l.bar.left - 1, l.bar.top - 1), RGB(0, 0, 0));
        EXPECT_EQ(c.At(l.bar.right - 2, l.bar.bottom - 2), RGB(0, 0, 0));
        EXPECT_EQ(c.At(l.bar.left, l.bar.top), RGB(255, 255, 255));
        // The dark grey shadow shows along the bottom and right.
        EXPECT_EQ(c.At(l.bar.right - 1, l.bar.bottom - 1), RGB(64, 64, 64));
        EXPECT_EQ(c.At(l.bar.left, l.bar.bottom - 1), RGB(64, 64, 64));
        // Nothing below the strip.
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(c.At(x, l.strip.bottom), kUntouched) << "x " << x;
    }
}

TEST(PaletteCaptionWin, PointInCaptionOfARealWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WinutilPaletteWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 200, 100, 80, 60, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    const int h = PaletteCaptionHeight();
    const int divider = h * 3 / 2;
    auto at = [](int x, int y) { return static_cast<DWORD>(MAKELONG(x, y)); };
    EXPECT_TRUE(PtInPaletteCaption(w, at(201, 101), FALSE));
    EXPECT_TRUE(PtInPaletteCaption(w, at(201, 101), TRUE));
    EXPECT_TRUE(PtInPaletteCaption(w, at(200 + divider + 2, 100 + h - 1), FALSE));
    EXPECT_FALSE(PtInPaletteCaption(w, at(200 + divider + 2, 100 + h - 1), TRUE));
    EXPECT_FALSE(PtInPaletteCaption(w, at(210, 100 + h), FALSE));
    EXPECT_FALSE(PtInPaletteCaption(w, at(199, 101), FALSE));
    EXPECT_FALSE(PtInPaletteCaption(w, at(280, 101), FALSE));
    DestroyWindow(w);

    // Negative screen coordinates unpack as signed values.
    HWND left = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, -50, -20, 80, 60, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(PtInPaletteCaption(left, at(-49, -19), TRUE));
    DestroyWindow(left);
}

}  // namespace
