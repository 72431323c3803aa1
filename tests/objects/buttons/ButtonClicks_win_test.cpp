// Buttons in the plug-in itself, hosted in this program by the test browser's code: a press
// highlights the button in the card window, a release inside moves to the button's destination
// card, a release outside does not.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "stack/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 120, kCardH = 90;

class ButtonClicks : public LinkedPluginTest {};

TEST_F(ButtonClicks, AReleaseInsideMovesToTheDestinationAndOneOutsideDoesNot) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0));
        card.picture->palette = {{255, 255, 255}};
        card.objects.push_back(sb::ShapedButton(10 + id, {10, 10, 60, 40}, id == 1 ? "Next" : "Back", 2, 0, id == 1 ? -1 : -2));
        stack.cards.push_back(card);
    }
    ASSERT_TRUE(Open(stack));
    const HWND embed = page.embed;
    ASSERT_EQ(GetCurrentCardId(), 1) << "the stack is open";
    UpdateWindow(embed);

    const COLORREF inside = WindowPixel(embed, 15, 15);
    SendMouse(embed, WM_LBUTTONDOWN, 30, 25);
    EXPECT_NE(WindowPixel(embed, 15, 15), inside) << "highlighted";
    SendMouse(embed, WM_MOUSEMOVE, 100, 80);
    EXPECT_EQ(WindowPixel(embed, 15, 15), inside) << "left: no longer highlighted";
    SendMouse(embed, WM_LBUTTONUP, 100, 80);
    EXPECT_EQ(GetCurrentCardId(), 1) << "released outside";
    SendMouse(embed, WM_LBUTTONDOWN, 30, 25);
    SendMouse(embed, WM_LBUTTONUP, 30, 25);
    EXPECT_EQ(GetCurrentCardId(), 2) << "released inside: the next card";
    SendMouse(embed, WM_LBUTTONDOWN, 30, 25);
    SendMouse(embed, WM_LBUTTONUP, 31, 26);
    EXPECT_EQ(GetCurrentCardId(), 1) << "and back";

}

}  // namespace
