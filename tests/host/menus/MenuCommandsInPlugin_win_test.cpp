// Menu commands in the plug-in itself, hosted in this program by the test browser's code: Hide
// Objects takes a button off the card window, Add a Button asks to show the objects again and
// "OK" brings the button back, and while that question is open a click on the tool palette
// leaves the current tool as it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/PaletteCaption.h"
#include "host/palettes/CurrentTool.h"
#include "host/palettes/ToolPalette.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "resources/resource_ids.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 120, kCardH = 90;
constexpr RECT kButton{10, 10, 60, 40};

// The window's pixels over the button's rectangle and a little around it.
std::vector<COLORREF> ButtonArea(HWND window) {
    UpdateWindow(window);
    PumpPageMessages();
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (int y = kButton.top - 2; y < kButton.bottom + 2; ++y)
        for (int x = kButton.left - 2; x < kButton.right + 2; ++x)
            pixels.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
    ReleaseDC(window, dc);
    return pixels;
}

int NonWhite(const std::vector<COLORREF>& pixels) {
    int count = 0;
    for (COLORREF c : pixels)
        count += c != RGB(255, 255, 255);
    return count;
}

// A click on the floating palette's oval selection cell (row 2, middle column).
void ClickOvalSelectionCell() {
    SendMessageA(GetToolPaletteWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, PaletteCaptionHeight() + 60));
}

class MenuCommandsInPlugin : public LinkedPluginTest {};

TEST_F(MenuCommandsInPlugin, AddingAButtonWhileHiddenShowsTheObjectsAndAlertsHoldPaletteClicks) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    card.objects.push_back(sb::ShapedButton(11, {kButton.left, kButton.top, kButton.right, kButton.bottom}, "Go", 2));
    stack.cards.push_back(card);
    ASSERT_TRUE(Open(stack));
    const HWND embed = page.embed;
    TakeDeferredCommands();
    SelectTool(kBrowseTool);  // the tool is the process's: an earlier page may have left another

    const std::vector<COLORREF> shown = ButtonArea(embed);
    ASSERT_GT(NonWhite(shown), 20) << "the button is drawn";
    SendMessageA(embed, WM_COMMAND, 402, 0);  // the floating tool palette
    ASSERT_TRUE(GetToolPaletteWindow());
    SendMessageA(embed, WM_COMMAND, 364, 0);
    EXPECT_FALSE(ObjectsShown());
    EXPECT_EQ(NonWhite(ButtonArea(embed)), 0) << "hidden: the white card only";

    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2304), [](DialogView& box) {
        ClickOvalSelectionCell();
        EXPECT_EQ(GetCurrentTool(), 18u) << "a palette click with an alert open";
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK", "Cancel"}));
        box.Press(IDC_ALERT_BUTTON1);
    });
    driver.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Run([&] { return SendMessageA(embed, WM_COMMAND, 306, 0); });
    // The card repaints where the dialog was (the display's exposure may come later).
    RedrawWindow(embed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPageMessages();
    EXPECT_TRUE(ObjectsShown());
    EXPECT_EQ(ButtonArea(embed), shown) << "the button is back on screen";
    EXPECT_TRUE(TakeDeferredCommands().empty()) << "the new button's dialog came, cancelled";

    ClickOvalSelectionCell();  // no alert now: the click selects
    EXPECT_EQ(GetCurrentTool(), 16u);

    // Hide Menu Bar records in the card whether the bar is shown; a second one restores it.
    const auto cardMenuWord = [] {
        const std::vector<uint8_t> record = HandleToBytes(GetCurrentCardRecord());
        return record.size() >= kCardMenuBar + 2 ? GetU16(record, kCardMenuBar) : -1;
    };
    const bool barAtFirst = GetFrameMenu();
    SendMessageA(embed, WM_COMMAND, 365, 0);
    EXPECT_NE(GetFrameMenu(), barAtFirst);
    EXPECT_EQ(cardMenuWord(), barAtFirst ? 0 : 1);
    SendMessageA(embed, WM_COMMAND, 365, 0);
    EXPECT_EQ(cardMenuWord(), barAtFirst ? 1 : 0);
    SelectToolNumber(kBrowseTool);
}

}  // namespace
