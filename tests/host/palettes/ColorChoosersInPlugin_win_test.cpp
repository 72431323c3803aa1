// The floating colours palette and the colour dialogs in the plug-in itself, hosted by the test
// browser's code: sizes and layout by user and tool, picking by dragging, the caption and the
// Tab key, the eyedropper's swatch, the colour chooser on a double-clicked cell (answered through
// the dialog driver), and erasing the card with "ERASE" and "ECOLOR", undone by Undo, and not
// done on a group card whose question is cancelled.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/PaletteCaption.h"
#include "cardview/colors/ColorChooser.h"
#include "cardview/colors/Eyedropper.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/palettes/CurrentTool.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/palettes/ToolPalette.h"
#include "resources/colors_ids.h"
#include "stack/cards/CardList.h"
#include "stack/undo/Undo.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 128, kCardH = 96;

sb::Stack RedStack(bool grouped) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    // A red card whose palette starts with white, as pictures drawn here do.
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kCardW, kCardH, 8, 1));
    card.picture->palette = {{255, 255, 255}, {255, 0, 0}};
    stack.cards.push_back(card);
    if (grouped)
        stack.cards.push_back(sb::SharedCard(2, 1));
    return stack;
}

COLORREF Pixel(HWND window, int x, int y) {
    UpdateWindow(window);
    PumpPageMessages();
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y) & 0xFFFFFF;
    ReleaseDC(window, dc);
    return c;
}

// How many of a sparse sample of the card's pixels have the colour, drawn after the page (whose
// repaint covers its child where an alert lay).
int CountCardPixels(HWND embed, COLORREF color) {
    PumpPageMessages();
    RedrawWindow(embed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(embed);
    int count = 0;
    for (int y = 2; y < kCardH; y += 6)
        for (int x = 2; x < kCardW; x += 6)
            count += (GetPixel(dc, x, y) & 0xFFFFFF) == color;
    ReleaseDC(embed, dc);
    return count;
}
constexpr int kSamples = ((kCardH - 3) / 6 + 1) * ((kCardW - 3) / 6 + 1);

bool Near(COLORREF a, COLORREF b) {
    const int slack = GetDisplayBitsPerPixel() == 16 ? 8 : 0;
    return std::abs(GetRValue(a) - GetRValue(b)) <= slack && std::abs(GetGValue(a) - GetGValue(b)) <= slack &&
           std::abs(GetBValue(a) - GetBValue(b)) <= slack;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// The centre of a cell of the 16 x 16 grid, below the caption.
LPARAM GridCell(int index) {
    const int caption = PaletteCaptionHeight();
    const double w = 150.0 / 16, h = (150.0 - caption) / 16;
    return MAKELPARAM(int((index % 16) * w + w / 2), int(caption + (index / 16) * h + h / 2));
}

class ColorChoosersInPlugin : public LinkedPluginTest {
protected:
    void Open(bool grouped) {
        ASSERT_TRUE(LinkedPluginTest::Open(RedStack(grouped)));
        SetAdvancedUser(true);
    }
    void TearDown() override {
        SetAdvancedUser(false);
        LinkedPluginTest::TearDown();
    }
};

TEST_F(ColorChoosersInPlugin, PaletteLayoutPickingCaptionAndKeys) {
    Open(false);
    const HWND embed = page.embed;
    SendMessageA(embed, WM_COMMAND, 401, 0);
    const HWND colors = GetFcolorsWindow();
    ASSERT_TRUE(colors);
    EXPECT_EQ(GetWindowLongA(colors, GWL_STYLE) & 0x90800000, 0x90800000);
    SelectTool(6);
    EXPECT_EQ(ClientSize(colors).cx, 150);
    EXPECT_EQ(ClientSize(colors).cy, 362);
    SelectTool(3);
    EXPECT_EQ(ClientSize(colors).cy, 362 - 105) << "no patterns for the text tool";
    SetAdvancedUser(false);
    SelectTool(6);
    EXPECT_EQ(ClientSize(colors).cx, 100);
    EXPECT_EQ(ClientSize(colors).cy, 312);
    SetAdvancedUser(true);
    FitFcolorsWindowToTool();
    ASSERT_EQ(ClientSize(colors).cy, 362);

    // Grid cell 20 dragged onto pattern 2 (x 37..73 of the first pattern row): the frame follows,
    // the release applies the pattern to the fill.
    SetToolColor('f', 0);
    SendMessageA(colors, WM_LBUTTONDOWN, MK_LBUTTON, GridCell(20));
    SendMessageA(colors, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 165));
    SendMessageA(colors, WM_LBUTTONUP, 0, MAKELPARAM(50, 165));
    EXPECT_EQ(GetToolColor('f'), -2);
    // The frame (inverted white outline) sits on pattern 2's top edge, not on cell 20.
    EXPECT_EQ(Pixel(colors, 55, 155), 0u) << "pattern 2's outline inverted";
    EXPECT_EQ(Pixel(colors, 20, 155), RGB(255, 255, 255)) << "pattern 1's outline as drawn";
    // The eraser takes a pattern too; a release over the caption applies the last cell passed.
    SelectTool(11);
    SendMessageA(colors, WM_LBUTTONDOWN, MK_LBUTTON, GridCell(17));
    SendMessageA(colors, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 2));
    SendMessageA(colors, WM_LBUTTONUP, 0, MAKELPARAM(60, 2));
    EXPECT_EQ(GetToolColor('e'), 17);
    EXPECT_EQ(GetStoredColorIndex(), 17) << "the erase dialogs' colour follows the eraser";
    EXPECT_EQ(GetToolColor('f'), -2);
    // A click below the patterns starts nothing.
    SendMessageA(colors, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 300));
    SendMessageA(colors, WM_LBUTTONUP, 0, MAKELPARAM(60, 300));
    EXPECT_EQ(GetToolColor('e'), 17);

    // Shift released, then Tab: nothing; Shift held with Tab: browse and tool 20 in turn.
    SelectTool(18);
    SendMessageA(colors, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(colors, WM_KEYUP, VK_SHIFT, 0);
    SendMessageA(colors, WM_CHAR, '\t', 0);
    EXPECT_EQ(GetCurrentTool(), 18u);
    SendMessageA(colors, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(colors, WM_CHAR, '\t', 0);
    EXPECT_EQ(GetCurrentTool(), 20u);
    SendMessageA(colors, WM_CHAR, '\t', 0);
    EXPECT_EQ(GetCurrentTool(), 18u);
    SendMessageA(colors, WM_KEYUP, VK_SHIFT, 0);

    // The eyedropper on the red card: fill 257 on a deep display, the fill swatch red.
    SelectTool(17);
    BeginEyedropperDrag(embed, 30, 30);
    EndEyedropperDrag(embed);
    if (GetDisplayBitsPerPixel() > 8) {
        EXPECT_EQ(GetToolColor('f'), kCustomColorIndex);
        EXPECT_TRUE(Near(Pixel(colors, 110, 260 + 16), RGB(255, 0, 0))) << std::hex << Pixel(colors, 110, 276);
    }
    // The close box shuts the window; the handle is forgotten.
    SendMessageA(colors, WM_CLOSE, 0, 0);
    EXPECT_EQ(GetFcolorsWindow(), nullptr);

    // Shut-down destroys the window and unregisters its class, so a reload registers it again.
    SendMessageA(embed, WM_COMMAND, 401, 0);
    ASSERT_TRUE(GetFcolorsWindow());
    CloseLinkedPlugin(&page);
    EXPECT_EQ(GetFcolorsWindow(), nullptr);
    WNDCLASSA wc{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "LM_Fcolors", &wc));
    Open(false);
    SendMessageA(page.embed, WM_COMMAND, 401, 0);
    EXPECT_TRUE(GetFcolorsWindow());
}

// On a palette display the system's reserved entries (the first, and those past the changeable
// ones) show alert 2274 and stay; a changeable entry takes the chosen colour, which the card
// window realizes into the system palette.
TEST_F(ColorChoosersInPlugin, OnAPaletteDisplayReservedEntriesStayAndAChosenColourReachesTheSystem) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "reserved entries exist on a palette display";
    Open(false);
    HPALETTE app = GetAppPalette();
    ASSERT_TRUE(app);
    int changeable = 0;
    {
        HDC screen = GetDC(nullptr);
        changeable = GetDeviceCaps(screen, SIZEPALETTE) - GetDeviceCaps(screen, NUMRESERVED);
        ReleaseDC(nullptr, screen);
    }
    ASSERT_GT(changeable, 100);
    PALETTEENTRY before[256] = {};
    ASSERT_EQ(GetPaletteEntries(app, 0, 256, before), 256u);
    ClearStackChanged();
    for (const int index : {0, changeable, 255}) {
        DialogDriver reserved;
        reserved.Expect(DialogMatch::Alert(IDA_SYSTEM_COLOR), [](DialogView& box) { box.Press(kAlertButton1); });
        EXPECT_EQ(reserved.Run([&] { return EditPaletteEntry(index); }), 0) << index;
        EXPECT_EQ(reserved.DialogsSeen(), 1) << "the chooser never opened for " << index;
    }
    PALETTEENTRY after[256] = {};
    ASSERT_EQ(GetPaletteEntries(GetAppPalette(), 0, 256, after), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(RGB(after[i].peRed, after[i].peGreen, after[i].peBlue), RGB(before[i].peRed, before[i].peGreen, before[i].peBlue)) << i;
    EXPECT_FALSE(IsStackChanged());

    const int index = 100;
    DialogDriver chooser;
    chooser.Expect(DialogMatch::Template("CPICK"), [](DialogView& box) {
        box.SetText(IDC_CPICK_RED, "10");
        box.SetText(IDC_CPICK_GREEN, "200");
        box.SetText(IDC_CPICK_BLUE, "90");
        // The fields are read every half second: the hue follows.
        const DWORD start = GetTickCount();
        MSG msg;
        while (box.Text(IDC_CPICK_HUE) != "145" && GetTickCount() - start < 1500) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
        EXPECT_EQ(box.Text(IDC_CPICK_HUE), "145");
        box.Press(IDOK);
    });
    EXPECT_EQ(chooser.Run([] { return EditPaletteEntry(index); }), 1);
    PALETTEENTRY chosen{};
    ASSERT_EQ(GetPaletteEntries(GetAppPalette(), index, 1, &chosen), 1u);
    EXPECT_EQ(RGB(chosen.peRed, chosen.peGreen, chosen.peBlue), RGB(10, 200, 90));
    EXPECT_TRUE(IsStackChanged());
    PALETTEENTRY system[256] = {};
    HDC dc = GetDC(page.embed);
    ASSERT_EQ(GetSystemPaletteEntries(dc, 0, 256, system), 256u);
    ReleaseDC(page.embed, dc);
    bool inSystem = false;
    for (const PALETTEENTRY& e : system)
        inSystem = inSystem || RGB(e.peRed, e.peGreen, e.peBlue) == RGB(10, 200, 90);
    EXPECT_TRUE(inSystem) << "the chosen colour is in the system palette";
}

TEST_F(ColorChoosersInPlugin, ChooserOnADoubleClickedCellEditsThePaletteEntry) {
    SKIP_UNLESS_TRUE_COLOUR("entry 0, the cell edited, is a reserved system entry on a palette display");
    Open(false);
    SendMessageA(page.embed, WM_COMMAND, 401, 0);
    const HWND colors = GetFcolorsWindow();
    ASSERT_TRUE(colors);
    SelectTool(6);
    PALETTEENTRY white{};
    ASSERT_EQ(GetPaletteEntries(GetAppPalette(), 0, 1, &white), 1u);
    ASSERT_EQ(RGB(white.peRed, white.peGreen, white.peBlue), RGB(255, 255, 255));
    ClearStackChanged();

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("CPICK"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Color Chooser");
        EXPECT_EQ(box.Text(IDC_CPICK_RED), "255");
        EXPECT_EQ(box.Text(IDC_CPICK_SATURATION), "0");
        box.SetText(IDC_CPICK_RED, "0");
    });
    driver.Expect(DialogMatch::Template("CPICK"), [](DialogView& box) {
        // The fields are read every half second: within a second the others follow.
        const DWORD start = GetTickCount();
        MSG msg;
        while (box.Text(IDC_CPICK_HUE) != "180" && GetTickCount() - start < 1000) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
        EXPECT_EQ(box.Text(IDC_CPICK_HUE), "180");
        EXPECT_EQ(box.Text(IDC_CPICK_SATURATION), "100");
        EXPECT_EQ(box.Text(IDC_CPICK_BRIGHTNESS), "100");
        EXPECT_EQ(box.Text(IDC_CPICK_GREEN), "255");
        box.Press(IDOK);
    });
    driver.Run([&] { SendMessageA(colors, WM_LBUTTONDBLCLK, MK_LBUTTON, GridCell(0)); });
    PALETTEENTRY want{0, 255, 255, PC_RESERVED};
    SnapColorsToDisplay(1, &want);
    PALETTEENTRY got{};
    ASSERT_EQ(GetPaletteEntries(GetAppPalette(), 0, 1, &got), 1u);
    EXPECT_EQ(RGB(got.peRed, got.peGreen, got.peBlue), RGB(want.peRed, want.peGreen, want.peBlue));
    EXPECT_TRUE(IsStackChanged());
    EXPECT_EQ(GetToolColor('f'), 0) << "the double-clicked cell is picked too";

    // Cancel changes nothing and gives 0.
    PALETTEENTRY before{};
    GetPaletteEntries(GetAppPalette(), 5, 1, &before);
    ClearStackChanged();
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Template("CPICK"), [](DialogView& box) {
        box.SetText(IDC_CPICK_BLUE, "3");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(cancel.Run([] { return EditPaletteEntry(5); }), 0);
    PALETTEENTRY after{};
    GetPaletteEntries(GetAppPalette(), 5, 1, &after);
    EXPECT_EQ(RGB(after.peRed, after.peGreen, after.peBlue), RGB(before.peRed, before.peGreen, before.peBlue));
    EXPECT_FALSE(IsStackChanged());
    SetAdvancedUser(false);
    EXPECT_EQ(EditPaletteEntry(5), 0) << "only for advanced users";
}

TEST_F(ColorChoosersInPlugin, EraseFillsTheCardAndUndoBringsItBack) {
    Open(false);
    const HWND embed = page.embed;
    ASSERT_EQ(CountCardPixels(embed, RGB(255, 0, 0)), kSamples);
    SetToolColor('e', -3);  // a pattern eraser: the dialog starts on white
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("ERASE"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_ERASE_PROMPT), "Choose the background color:");
        EXPECT_EQ(box.FocusId(), IDOK);
        box.Press(IDOK);
    });
    driver.Run([&] { SendMessageA(embed, WM_COMMAND, 163, 0); });
    EXPECT_EQ(CountCardPixels(embed, RGB(255, 255, 255)), kSamples) << "erased to white";
    EXPECT_EQ(GetToolColor('e'), GetStoredColorIndex());
    EXPECT_TRUE(IsStackChanged());
    SendMessageA(embed, WM_COMMAND, 150, 0);  // Undo
    EXPECT_EQ(CountCardPixels(embed, RGB(255, 0, 0)), kSamples) << "the picture is back";

    // "Erase Screen" of the eraser colour dialog erases too, and is undone the same way.
    DialogDriver eraser;
    eraser.Expect(DialogMatch::Template("ECOLOR"), [](DialogView& box) { box.Press(IDC_ECOLOR_ERASE_SCREEN); });
    eraser.Run([&] { SendMessageA(embed, WM_COMMAND, 361, 0); });
    EXPECT_EQ(CountCardPixels(embed, RGB(255, 255, 255)), kSamples);
    SendMessageA(embed, WM_COMMAND, 150, 0);
    EXPECT_EQ(CountCardPixels(embed, RGB(255, 0, 0)), kSamples) << "Erase Screen recorded its own step";
}

TEST_F(ColorChoosersInPlugin, GroupCardCancelledStaysAndTextColorIsOne) {
    Open(true);
    const HWND embed = page.embed;
    ASSERT_EQ(CountCardPixels(embed, RGB(255, 0, 0)), kSamples);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("ERASE"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Alert(IDA_ERASE_GROUP_CARD), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Ungroup and Erase", "Erase All", "Cancel"}));
        box.Press(54);  // the third button
    });
    ASSERT_TRUE(HasBackgroundRecord(GetCurrentCardRecord()));
    driver.Run([&] { OpenEraseDialog(embed); });
    EXPECT_EQ(CountCardPixels(embed, RGB(255, 0, 0)), kSamples) << "cancelled: unchanged";

    // The text colour dialog sets the one text colour the palette shows.
    SetToolColor('t', 0);
    DialogDriver text;
    text.Expect(DialogMatch::Template("CTCOLOR"), [](DialogView& box) {
        const RECT grid = box.ControlRect(IDC_COLORS_GRID);
        // Cell 9 of the 8 x 8 grid (row 1, column 1) shows palette index 60.
        const int w = (grid.right - grid.left) / 8, h = (grid.bottom - grid.top) / 8;
        SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(grid.left + w + w / 2, grid.top + h + h / 2));
        box.Press(IDOK);
    });
    text.Run([&] { SendMessageA(embed, WM_COMMAND, 360, 0); });
    EXPECT_EQ(GetToolColor('t'), 60);
}

}  // namespace
