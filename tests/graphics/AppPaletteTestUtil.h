// The application palette tests' fixture: a shown card window with the palette built for it,
// and colours as the display shows them (also used by the other GDI tests of graphics).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "tests/graphics/DibTestUtil.h"
#include "tests/support/Rgb.h"

inline Rgb RgbOf(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }
inline Rgb RgbOf(const PALETTEENTRY& e) { return {e.peRed, e.peGreen, e.peBlue}; }
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// Equal, or on a 16-bit display within 7 a channel: windows and memory bitmaps may widen 5- or
// 6-bit channels differently, and patterns take the nearest snapped entry.
inline bool Shows(const Rgb& got, const Rgb& want) {
    const int slack = GetDisplayBitsPerPixel() == 16 ? 7 : 0;
    return std::abs(got.red - want.red) <= slack && std::abs(got.green - want.green) <= slack &&
           std::abs(got.blue - want.blue) <= slack;
}

inline std::array<PALETTEENTRY, 256> EntriesOf(HPALETTE palette) {
    std::array<PALETTEENTRY, 256> entries{};
    EXPECT_EQ(GetPaletteEntries(palette, 0, 256, entries.data()), 256u);
    return entries;
}

// What the display shows for a colour, through a pixel set in a screen-compatible bitmap.
inline Rgb ShownOnDisplay(Rgb c) {
    WindowDC screen(nullptr);
    MemoryDC memory(screen.get());
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), 1, 1));
    SelectedObject selected(memory.get(), bitmap.get());
    SetPixel(memory.get(), 0, 0, RGB(c.red, c.green, c.blue));
    return RgbOf(GetPixel(memory.get(), 0, 0));
}

inline Rgb WindowPixel(HWND window, int x, int y) {
    WindowDC dc(window);
    return RgbOf(GetPixel(dc.get(), x, y));
}

class AppPaletteTest : public DibTest {
protected:
    void SetUp() override {
        DibTest::SetUp();
        SetAppInstance(GetModuleHandle(nullptr));
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandle(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "AppPaletteTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        SetMainWindow(window_);
        InitAppPalette(window_);
        LoadFillPatterns(window_);
        ASSERT_NE(GetAppPalette(), nullptr);
        app_ = EntriesOf(GetAppPalette());
    }
    void TearDown() override {
        FreeFillPatterns();
        FreePaletteObjects();
        SetMainWindow(nullptr);
        if (window_)
            DestroyWindow(window_);
        DibTest::TearDown();
    }
    Rgb Entry(int index) const { return RgbOf(app_[static_cast<size_t>(index)]); }

    HWND window_ = nullptr;
    std::array<PALETTEENTRY, 256> app_{};  // as built
};
