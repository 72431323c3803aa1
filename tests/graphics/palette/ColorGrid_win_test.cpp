// The colour grid on real device contexts: cells in their colours, frames that a second frame
// removes, hit tests, clicks that move the selection, and the "MCOLORS" dialog answered
// through the dialog driver.
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/system/PreferenceFlags.h"
#include "core/ui/PaletteCaption.h"
#include "resources/palette_ids.h"
#include "tests/graphics/AppPaletteTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

class ColorGridWinTest : public AppPaletteTest {
protected:
    void TearDown() override {
        ResetGridOrderTable();
        SetAdvancedUser(false);
        AppPaletteTest::TearDown();
    }
};

TEST_F(ColorGridWinTest, CellsDrawnFramedAndHit) {
    SKIP_UNLESS_TRUE_COLOUR("the cells and their inverted frame are compared with exact palette colours");
    // A 32-bit canvas; 8 x 4 cells of 20 x 20, the 8-column grid showing the order table.
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 161, -81, 1, 32, BI_RGB};
    uint32_t* bits = nullptr;
    OwnedGdiObject<HBITMAP> canvas(
        CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    MemoryDC dc(nullptr);
    SelectedObject selected(dc.get(), canvas.get());
    auto at = [&](int x, int y) {
        GdiFlush();
        const uint32_t p = bits[y * 161 + x];
        return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
    };
    auto pixels = [&] { GdiFlush(); return std::vector<uint32_t>(bits, bits + 161 * 81); };
    auto op = [&](int mode, int index) { ColorGridOpOn(dc.get(), 0, 0, 160, 80, mode, 0, 0, 4, 8, index, FALSE); };

    op(kGridDraw, 0);
    for (int cell = 0; cell < 32; ++cell) {
        const int left = cell % 8 * 20, top = cell / 8 * 20;
        ASSERT_EQ(at(left + 10, top + 10), Entry(GridCellToPaletteIndex(cell, 8))) << "cell " << cell;
        ASSERT_TRUE(at(left, top + 10) == kWhite && at(left + 20, top + 10) == kWhite) << "outline of " << cell;
    }
    const std::vector<uint32_t> drawn = pixels();
    // Cell 9 (at 20, 20) shows 60: its outline inverted, its inside untouched.
    op(kGridFrame, 60);
    EXPECT_TRUE(at(20, 30) == kBlack && at(40, 30) == kBlack && at(30, 20) == kBlack && at(30, 40) == kBlack);
    EXPECT_EQ(at(30, 30), Entry(60));
    const std::vector<uint32_t> framed = pixels();
    op(kGridFrame, 60);
    EXPECT_EQ(pixels(), drawn) << "framing twice leaves the grid as drawn";
    // 257 frames the cell in the custom colour; without one nothing, nor past 257.
    SetCustomColor(RGB(Entry(60).red, Entry(60).green, Entry(60).blue));
    op(kGridFrame, kCustomColorIndex);
    EXPECT_EQ(pixels(), framed);
    op(kGridFrame, kCustomColorIndex);
    SetCustomColor(RGB(1, 2, 3));
    op(kGridFrame, kCustomColorIndex);
    op(kGridFrame, 300);
    EXPECT_EQ(pixels(), drawn);

    // Hit tests give the cell's palette index, through the order table in an 8 x 8 grid, and
    // start below the caption when asked.
    EXPECT_EQ(ColorGridOp(window_, 0, 0, 100, 100, kGridHitTest, 6, 0, 16, 16, 0, FALSE), 1) << "right edge of 0";
    EXPECT_EQ(ColorGridOp(window_, 0, 0, 100, 100, kGridHitTest, 86, 87, 8, 8, 0, FALSE), 191);
    EXPECT_EQ(ColorGridOp(window_, 0, 0, 100, 100, kGridHitTest, 100, 50, 8, 8, 0, FALSE), 0xFFFF);
    const int caption = PaletteCaptionHeight();
    EXPECT_EQ(ColorGridOp(window_, 0, 0, 160, 160, kGridHitTest, 1, caption - 1, 16, 16, 0, TRUE), 0xFFFF);
    EXPECT_EQ(ColorGridOp(window_, 0, 0, 160, 160, kGridHitTest, 1, caption, 16, 16, 0, TRUE), 0);
}

// A click in the "MCOLORS" grid on a cell, as the dialog's own mouse message.
// Posted, a click that opens a modal dialog lets the driver answer that dialog next.
void ClickCell(HWND dialog, UINT message, int cell, bool post = false) {
    HWND grid = GetDlgItem(dialog, IDC_MCOLORS_GRID);
    RECT client;
    GetClientRect(grid, &client);
    POINT at = {int((cell % 16 + 0.5) * client.right / 16), int((cell / 16 + 0.5) * client.bottom / 16)};
    MapWindowPoints(grid, dialog, &at, 1);
    if (post)
        PostMessageA(dialog, message, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    else
        SendMessageA(dialog, message, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}

Rgb Swatch(HWND dialog) {
    HWND swatch = GetDlgItem(dialog, IDC_MCOLORS_SWATCH);
    RECT inside;
    GetClientRect(swatch, &inside);
    return WindowPixel(swatch, inside.right / 2, inside.bottom / 2);
}

TEST_F(ColorGridWinTest, PopupClicksMoveTheFrameAndMayOpenMoreColors) {
    SKIP_UNLESS_TRUE_COLOUR("the grid and swatch pixels are compared with exact palette colours");
    // The dialog's grid item: 80 x 80 at (10, 10), 10-pixel cells.
    HWND item = CreateWindowExA(0, "AppPaletteTestWindow", "", WS_CHILD | WS_VISIBLE, 10, 10, 80, 80, window_,
                                reinterpret_cast<HMENU>(INT_PTR{IDC_MCOLORS_GRID}), GetModuleHandle(nullptr), nullptr);
    UpdateWindow(window_);
    uint16_t index = 0;
    DrawColorGrid(item, kGridDraw, 0, 0, 8, 8, index);
    DrawColorGrid(item, kGridFrame, 0, 0, 8, 8, index);
    ASSERT_EQ(WindowPixel(item, 0, 5), kBlack) << "cell 0 framed";
    // Cell 26 (row 3, column 2) shows 2.
    const DWORD cell26 = MAKELONG(10 + 25, 10 + 35);
    EXPECT_EQ(TrackColorPopup(window_, cell26, IDC_MCOLORS_GRID, &index, FALSE), 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(WindowPixel(item, 0, 5), kWhite) << "the old frame is gone";
    EXPECT_EQ(WindowPixel(item, 20, 35), kBlack) << "the new cell is framed";
    EXPECT_PRED2(Shows, WindowPixel(item, 25, 35), Entry(2));
    EXPECT_EQ(TrackColorPopup(window_, MAKELONG(10, 45), IDC_MCOLORS_GRID, &index, FALSE), 0) << "on the edge";
    EXPECT_EQ(TrackColorPopup(window_, MAKELONG(200, 45), IDC_MCOLORS_GRID, &index, FALSE), 0);
    EXPECT_EQ(index, 2);

    // With more colours: a click on 37 in the dialog's 16 x 16 grid, then OK, puts 37 in the
    // cell that showed 2. A second "MCOLORS" meanwhile does nothing.
    SetAdvancedUser(true);
    int nested = -1;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("MCOLORS"), [&](DialogView& box) {
        HWND dialog = box.Window();
        HWND grid = GetDlgItem(dialog, IDC_MCOLORS_GRID);
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client;
        GetClientRect(grid, &client);
        EXPECT_PRED2(Shows, WindowPixel(grid, int(5.5 * client.right / 16), int(2.5 * client.bottom / 16)), Entry(37));
        EXPECT_EQ(WindowPixel(grid, 2 * client.right / 16, client.bottom / 32), kBlack) << "2 framed";
        ClickCell(dialog, WM_LBUTTONDOWN, 37);
        EXPECT_PRED2(Shows, Swatch(dialog), Entry(37));
        uint16_t other = 5;
        nested = OpenMoreColorsDialog(dialog, &other);
        EXPECT_EQ(other, 5);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return TrackColorPopup(window_, cell26, IDC_MCOLORS_GRID, &index, TRUE); }), 1);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(driver.DialogsSeen(), 1);
    EXPECT_EQ(index, 37);
    EXPECT_EQ(GridCellToPaletteIndex(26, 8), 37);
}

TEST_F(ColorGridWinTest, MoreColorsCancelDoubleClickAndOnlyForAdvancedUsers) {
    SKIP_UNLESS_TRUE_COLOUR("the swatch pixels are compared with exact palette colours");
    uint16_t index = 2;
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([&] { return OpenMoreColorsDialog(window_, &index); }), 0);
    EXPECT_EQ(quiet.DialogsSeen(), 0) << "not for users who are not advanced";

    SetAdvancedUser(true);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("MCOLORS"), [&](DialogView& box) {
        // A double click picks the cell and runs the colour chooser; clicks count again after.
        ClickCell(box.Window(), WM_LBUTTONDBLCLK, 200, true);
    });
    driver.Expect(DialogMatch::Template("CPICK"), [&](DialogView& box) { box.Press(IDCANCEL); });
    driver.Expect(DialogMatch::Template("MCOLORS"), [&](DialogView& box) {
        EXPECT_PRED2(Shows, Swatch(box.Window()), Entry(200));
        ClickCell(box.Window(), WM_LBUTTONDOWN, 201);
        EXPECT_PRED2(Shows, Swatch(box.Window()), Entry(201));
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return OpenMoreColorsDialog(window_, &index); }), 0);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(GridCellToPaletteIndex(26, 8), 2) << "the grid as it was";
}

}  // namespace
