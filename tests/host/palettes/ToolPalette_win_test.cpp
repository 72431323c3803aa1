// The floating tool palette and its Tools menu copy: size, clicks on cells and the band, double
// clicks, clicks held back by an open dialog, cursors, and shut-down.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/ui/GdiGuards.h"
#include "core/ui/PaletteCaption.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/palettes/CurrentTool.h"
#include "host/palettes/ToolPalette.h"
#include "host/state/MenuOptions.h"
#include "paint/Selections.h"
#include "tests/host/MenuTestWindow_win.h"
#include "tests/support/DialogDriver_win.h"

namespace {

class ToolPaletteTest : public MenuTestWindow {
protected:
    void SetUp() override {
        MenuTestWindow::SetUp();
        LoadToolBitmaps();
        SelectToolNumber(kBrowseTool);
    }
    void TearDown() override {
        FreeToolResources();
        SelectToolNumber(kBrowseTool);
        // Opening the menu copy flags a palette click, which the next card click would swallow.
        TakePaletteClickFlag();
        MenuTestWindow::TearDown();
    }
    // A click at a client point of the floating palette, measured below its caption.
    void Click(int x, int y, bool twice = false) {
        const LPARAM at = MAKELPARAM(x, y + PaletteCaptionHeight());
        SendMessageA(GetToolPaletteWindow(), twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, at);
    }
    COLORREF PixelBelowCaption(int x, int y) {
        UpdateWindow(GetToolPaletteWindow());
        WindowDC dc(GetToolPaletteWindow());
        return GetPixel(dc.get(), x, y + PaletteCaptionHeight());
    }
};

}  // namespace

TEST_F(ToolPaletteTest, CellsSelectToolsAndTheBandNothing) {
    POINT at{100, 100};
    ASSERT_TRUE(OpenToolPalette(card_, &at));
    RECT r{};
    GetWindowRect(GetToolPaletteWindow(), &r);
    EXPECT_EQ(r.right - r.left, 74);
    EXPECT_EQ(r.bottom - r.top, 177 + PaletteCaptionHeight());
    EXPECT_EQ(r.left, 100);

    EXPECT_EQ(PixelBelowCaption(2, 2), RGB(0, 0, 0));  // browse's cell inverted
    for (int y = 48; y <= 53; ++y)
        Click(30, y);
    EXPECT_EQ(GetCurrentTool(), 18u);
    Click(30, 60);
    EXPECT_EQ(GetCurrentTool(), 16u);
    EXPECT_EQ(PixelBelowCaption(26, 56), RGB(0, 0, 0));  // the oval selection's cell inverted
    EXPECT_EQ(PixelBelowCaption(2, 2), RGB(255, 255, 255));
    Click(40, 10);  // the right half of the first row
    EXPECT_EQ(GetCurrentTool(), 20u);
    EXPECT_TRUE(IsObjectToolMode() && ButtonsEditable() && GraphicsEditable() && TextsEditable());

    SelectToolByIndex(20);
    SelectToolByIndex(-1);
    EXPECT_EQ(GetCurrentTool(), 20u);
    SelectToolByIndex(17);
    EXPECT_EQ(GetCurrentTool(), 3u);
    EXPECT_NE(GetToolCursor(), LoadCursor(nullptr, IDC_ARROW));

    // An open dialog holds clicks back, unless it is the shortcuts or navigation palette.
    HWND dialog = CreateWindowExA(0, "#32770", "Line Size", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Click(10, 30);
    EXPECT_EQ(GetCurrentTool(), 3u);
    SetWindowTextA(dialog, "Shortcuts");
    Click(10, 30);
    EXPECT_EQ(GetCurrentTool(), 19u);
    DestroyWindow(dialog);
}

TEST_F(ToolPaletteTest, ReclickingPaintTextKeepsTheWorkOtherToolsEndIt) {
    ASSERT_EQ(InitDataBase(card_, 64, 48, 0, false), 1);
    ASSERT_TRUE(OpenToolPalette(card_, nullptr));
    const int textY = 6 + 6 * 24 + 10;
    Click(10, textY);
    FloatRectSelectionBitmap(CreateBitmap(8, 8, 1, 32, nullptr), 4, 4);
    Click(10, textY);
    EXPECT_TRUE(IsRectSelectionActive());
    Click(40, 10);  // the object arrow
    EXPECT_FALSE(IsRectSelectionActive());
    FreeOffscreenObjects();
}

TEST_F(ToolPaletteTest, DoubleClicksOpenTheToolsOptions) {
    ASSERT_TRUE(OpenToolPalette(card_, nullptr));
    HBITMAP outline = nullptr, filled = nullptr, now = nullptr;
    GetToolBitmap(1, &outline);
    const int rectY = 6 + 5 * 24 + 10;  // cell 14, below the band
    Click(10, rectY);
    Click(10, rectY, true);
    EXPECT_EQ(GetCurrentTool(), 1u);
    EXPECT_TRUE(IsDrawFilled());
    GetToolBitmap(1, &filled);
    EXPECT_NE(filled, outline);
    EXPECT_EQ(PixelBelowCaption(12, rectY), RGB(255, 255, 255));  // inside the filled rectangle, inverted
    Click(10, rectY, true);
    EXPECT_FALSE(IsDrawFilled());
    GetToolBitmap(1, &now);
    EXPECT_EQ(now, outline);
    EXPECT_EQ(PixelBelowCaption(12, rectY), RGB(0, 0, 0));

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("#1543"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Run([&] {  // paint text: the text style dialog
        Click(10, 6 + 6 * 24 + 10, true);
        return 0;
    });
    Click(30, 6 + 4 * 24 + 10, true);   // line
    Click(10, 6 + 3 * 24 + 10, true);   // brush
    Click(40, 30, true);                // graphic object editing: nothing
    EXPECT_EQ(TakeDeferredCommands(), (std::vector<int>{350, 351}));
}

TEST_F(ToolPaletteTest, MenuCopyOpensAtTheCardAndShutDownDestroysBoth) {
    ASSERT_TRUE(OpenToolPalette(card_, nullptr));
    OpenToolsMenuPalette(card_, nullptr);
    HWND floating = GetToolPaletteWindow(), copy = GetToolsMenuPaletteWindow();
    ASSERT_TRUE(copy);
    RECT r{};
    GetWindowRect(copy, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.bottom - r.top, 177);
    EXPECT_TRUE(TakePaletteClickFlag());
    EXPECT_FALSE(TakePaletteClickFlag());
    const POINT at{300, 40};
    OpenToolsMenuPalette(card_, &at);
    GetWindowRect(copy, &r);
    EXPECT_EQ(r.left, 300);

    FreeToolResources();
    EXPECT_FALSE(IsWindow(floating) || IsWindow(copy));
    EXPECT_EQ(GetToolPaletteWindow(), nullptr);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "LM_Ftools", &wc));
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "LM_Tools", &wc));
    LoadToolBitmaps();
    EXPECT_TRUE(OpenToolPalette(card_, nullptr));  // as a second load of the module does
}
