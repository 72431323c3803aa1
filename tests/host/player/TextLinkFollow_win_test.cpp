// Following text links in the plug-in linked into this program: clicks sent to the field
// windows of a stack whose links move to other cards.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/NbaInterface.h"
#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardRefresh.h"
#include "host/player/TextLinkFollow.h"
#include "host/requests/RequestHandlers.h"
#include "objects/text/TextFields.h"
#include "objects/text/TextLinks_win.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kReadOnly = 21, kEditable = 22, kCardButton = 30;
constexpr sb::Rect kReadOnlyRect = {10, 10, 310, 60}, kEditableRect = {10, 70, 310, 120}, kButtonRect = {10, 200, 60, 230};
const std::string kReadOnlyText = "the cat sat on cat_ and _cat here";
const std::string kEditableText = "say hello world now";

sb::Object Field(uint16_t id, sb::Rect rect, uint16_t options, const std::string& text) {
    sb::Object field = sb::TextField(id, rect, "F" + std::to_string(id), text);
    field.words = {{26, options}, {30, 1}};
    return field;
}

// A link of the field (0: of all fields) whose action goes to the card.
sb::Resource Link(uint16_t id, uint16_t fieldId, const std::string& text, uint16_t card) {
    const sb::Object go = sb::ShapedButton(0, {}, "", 0, 0, static_cast<int16_t>(card));
    std::vector<uint8_t> data = sb::LinkData(text, {}, &go);
    data[0] = id >> 8, data[1] = id & 0xFF, data[2] = fieldId >> 8, data[3] = fieldId & 0xFF;
    return {"Hlnk", id, text, 0, 0, data};
}

sb::Stack LinkStack() {
    sb::Stack stack;
    stack.cardWidth = 320;
    stack.cardHeight = 240;
    for (uint16_t id = 1; id <= 4; ++id)
        stack.cards.push_back(sb::PictureCard(id, sb::SolidPicture(320, 240, 8, 1)));
    stack.cards[0].objects = {Field(kReadOnly, kReadOnlyRect, kTextReadOnly, kReadOnlyText),
                              Field(kEditable, kEditableRect, 0, kEditableText),
                              sb::ShapedButton(kCardButton, kButtonRect, "Away", 2, 0, 4)};
    stack.resources = {
        Link(101, 0, "sat", 3),           // all fields
        Link(102, kReadOnly, "sat", 2),   // the field's own: wins in its field
        Link(103, 0, "cat", 3),
        Link(104, kEditable, "world", 3), // first in resource order
        Link(105, kEditable, "hello world", 2),
    };
    return stack;
}

// A point inside character `index` of the field window (client coordinates), `into` pixels in.
POINT CharPoint(HWND field, int index, int into) {
    const LRESULT at = SendMessageA(field, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return {static_cast<short>(LOWORD(at)) + into, static_cast<short>(HIWORD(at)) + 4};
}

// The field's window on the card shown, the card left at card 1.
HWND FieldOf(HWND embed, uint16_t id) {
    if (GetCurrentCardId() != 1) {
        GoToCardId(1);
        PumpPageMessages();
    }
    return GetDlgItem(embed, id);
}

void ClickAt(HWND field, POINT point) {
    SendMouse(field, WM_LBUTTONDOWN, point.x, point.y);
    SendMouse(field, WM_LBUTTONUP, point.x, point.y);
}

// Where a click inside the n-th occurrence of a word of the field's text lands.
int Inside(const std::string& text, const std::string& word, int nth = 1) {
    size_t at = std::string::npos;
    for (int i = 0; i < nth; ++i)
        at = text.find(word, at == std::string::npos ? 0 : at + 1);
    return static_cast<int>(at) + 1;
}

void SetLinkSetting(uint16_t value) {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    SetU16(lock.bytes(), kHeaderTimersAndLinks, value);
}

// The messages the card window itself gets, counted in front of its procedure.
WNDPROC g_cardProc = nullptr;
int g_cardClicks = 0;
LRESULT CALLBACK CountingCard(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
        ++g_cardClicks;
    return CallWindowProcA(g_cardProc, window, message, wParam, lParam);
}

// A timer of the card that goes to the last card, once.
void CALLBACK GoAwayOnce(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    GoToCardId(4);
}

class TextLinkFollow : public LinkedPluginTest {};

TEST_F(TextLinkFollow, TheRightLinkIsFollowedWhereAClickLands) {
    ASSERT_TRUE(Open(LinkStack()));
    const HWND embed = page.embed;
    ASSERT_EQ(GetCurrentCardId(), 1);
    ASSERT_TRUE(StackFollowsLinks());

    struct Case {
        const char* what;
        uint16_t field;
        int character;  // clicked inside
        uint16_t card;  // shown afterwards
    };
    const Case cases[] = {
        {"the field's own link beats the one of all fields", kReadOnly, Inside(kReadOnlyText, "sat"), 2},
        {"a link of all fields in its word", kReadOnly, Inside(kReadOnlyText, "cat"), 3},
        {"\"cat_\" is no whole word", kReadOnly, Inside(kReadOnlyText, "cat", 2), 1},
        {"\"_cat\" is one", kReadOnly, Inside(kReadOnlyText, "cat", 3), 3},
        {"the first of two overlapping links in resource order", kEditable, Inside(kEditableText, "world") + 1, 3},
        {"only the longer link lies here", kEditable, Inside(kEditableText, "hello") + 1, 2},
    };
    for (const Case& c : cases) {
        const HWND field = FieldOf(embed, c.field);
        ASSERT_TRUE(field) << c.what;
        ClickAt(field, CharPoint(field, c.character, 2));
        EXPECT_EQ(GetCurrentCardId(), c.card) << c.what;
    }

    // In a read-only field the first character of a link is no click on it; the next is.
    HWND field = FieldOf(embed, kReadOnly);
    const int sat = static_cast<int>(kReadOnlyText.find("sat"));
    ClickAt(field, CharPoint(field, sat, 1));
    EXPECT_EQ(GetCurrentCardId(), 1) << "on the link's first character";
    ClickAt(field, CharPoint(field, sat + 1, 1));
    EXPECT_EQ(GetCurrentCardId(), 2) << "inside it";
    NbaParamBlock block{};
    CbGetObjectName(block);
    const auto* named = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(block.param4));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(named + 1), named[0]), "sat") << "request 71's [62]";

    // With the stack's setting at 0 nothing follows, in the field or through the card window.
    SetLinkSetting(0);
    field = FieldOf(embed, kReadOnly);
    ClickAt(field, CharPoint(field, sat + 1, 1));
    EXPECT_EQ(GetCurrentCardId(), 1);
    const POINT onCard = {kReadOnlyRect.left + CharPoint(field, sat + 1, 1).x, kReadOnlyRect.top + CharPoint(field, sat + 1, 1).y};
    EXPECT_EQ(FollowTextLink(onCard.x, onCard.y, false, 0, PersonsAct::Of(WM_LBUTTONUP)), 0);
    EXPECT_EQ(GetCurrentCardId(), 1);
    SetLinkSetting(1);
    EXPECT_EQ(FollowTextLink(onCard.x, onCard.y, false, 0, PersonsAct::Of(WM_LBUTTONUP)), 1) << "from the card window";
    EXPECT_EQ(GetCurrentCardId(), 2);

    // While the link flashes a click on the card's button reaches nothing; the link is left
    // selected and its actions follow.
    field = FieldOf(embed, kReadOnly);
    g_cardClicks = 0;
    g_cardProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingCard)));
    const POINT button = {(kButtonRect.left + kButtonRect.right) / 2, (kButtonRect.top + kButtonRect.bottom) / 2};
    PostMessageA(embed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(button.x, button.y));
    PostMessageA(embed, WM_LBUTTONUP, 0, MAKELPARAM(button.x, button.y));
    int32_t start = -1, end = -1;
    ASSERT_EQ(FindLinkAtCaret(FindLayer(kObjectText, kReadOnly), CharPoint(field, sat + 1, 1), &start, &end), 102);
    FlashLinkSelection(field, true, start, end);
    SetWindowLongPtrA(embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_cardProc));
    EXPECT_EQ(g_cardClicks, 0);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, embed, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE)) << "the click was dropped";
    int32_t selStart = -1, selEnd = -1;
    TextGetSel(field, &selStart, &selEnd);
    EXPECT_EQ(selEnd - selStart, 3) << "a read-only field keeps the link selected";
    EXPECT_EQ(GetCurrentCardId(), 1);

    // A timer that leaves the card while the link flashes: the link is not followed after it.
    field = FieldOf(embed, kReadOnly);
    SetTimer(nullptr, 0, 100, GoAwayOnce);
    const ActionOrigin click = PersonsAct::Of(WM_LBUTTONUP);
    EXPECT_EQ(FollowLinkAtPoint(FindLayer(kObjectText, kReadOnly), CharPoint(field, sat + 1, 1), click), 0);
    EXPECT_EQ(GetCurrentCardId(), 4) << "the timer's card, not the link's";
}

}  // namespace
