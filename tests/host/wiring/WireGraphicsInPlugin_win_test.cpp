// What the wiring tells the layer list, in the plug-in hosted in this program: which hidden
// buttons and text objects get layers under each tool, and the card's own cursor in browse.
#include <windows.h>

#include <gtest/gtest.h>

#include "StackBuilder.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "format/StackFile.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kShown = 1, kHidden = 2, kHiddenSound = 3, kHiddenText = 4;
constexpr uint16_t kCardCursorId = 28048, kButtonCursor = 28016;

sb::Object Hidden(sb::Object object) {
    object.flags |= kObjectHidden;
    return object;
}

TEST(WireGraphicsInPlugin, HiddenObjectsByToolAndTheCardCursor) {
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 150;
    sb::Object sound = Hidden(sb::Button(kHiddenSound, {10, 50, 60, 80}, "Sound"));
    sound.words.push_back({kButtonActionFlags, kActSoundFile});
    sb::Object shown = sb::Button(kShown, {10, 10, 60, 40}, "Shown");
    shown.words.push_back({kButtonCursorId, kButtonCursor});
    sb::Card card = sb::PlainCard(1);
    card.cursor = kCardCursorId;
    card.objects = {shown, Hidden(sb::Button(kHidden, {70, 10, 120, 40}, "Hidden")),
                    sound, Hidden(sb::TextField(kHiddenText, {70, 50, 190, 90}, "Words", "hidden text"))};
    stack.cards = {card, sb::PlainCard(2)};
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "wiring.stk", &page));

    const struct {
        int tool;
        bool hidden, sound, text;
    } cases[] = {
        {kBrowseTool, false, false, false}, {kButtonTool, true, true, false},  {kArrowTool, true, true, true},
        {kSoundButtonTool, false, true, false}, {kTextFieldTool, false, false, true}, {kBrowseTool, false, false, false},
    };
    for (const auto& c : cases) {
        SelectToolNumber(static_cast<uint32_t>(c.tool));
        PumpPageMessages();
        EXPECT_NE(FindLayer(kObjectButton, kShown), LayerHandle{0}) << "tool " << c.tool;
        EXPECT_EQ(FindLayer(kObjectButton, kHidden) != 0, c.hidden) << "tool " << c.tool;
        EXPECT_EQ(FindLayer(kObjectButton, kHiddenSound) != 0, c.sound) << "tool " << c.tool;
        EXPECT_EQ(FindLayer(kObjectText, kHiddenText) != 0, c.text) << "tool " << c.tool;
    }

    // In browse, over no object the card's cursor, over a button with a cursor the button's.
    HWND window = page.embed;
    const HCURSOR expected = GetCursorById(kCardCursorId);
    ASSERT_NE(expected, nullptr);
    SendMouse(window, WM_MOUSEMOVE, 150, 120);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)), expected);
    SendMouse(window, WM_MOUSEMOVE, 30, 25);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)), GetCursorById(kButtonCursor));
    CloseLinkedPlugin(&page);
}

}  // namespace
