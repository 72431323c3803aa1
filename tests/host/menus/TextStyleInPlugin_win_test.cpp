// The Format menu and the Text Style dialog in the plug-in, on the selection of an active field:
// Bold twice returns to Plain, a TrueType face offers the 16 standard sizes, applying a size
// again keeps the height; and Text Style (359) with Bold and a colour chosen in the dialog
// leaves a saved run with the bold bit and that colour.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "host/menus/MenuCommands.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/text/FormatMenus_win.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kField = 40;
constexpr int kFormatMenu = 8;

// "Hello world" in one plain black 16-pixel run of the table's missing font (drawn in Arial).
sb::Object PlainField() {
    sb::Object field = sb::TextField(kField, {10, 10, 220, 100}, "Notes", "");
    sb::TextSubRecord entry;
    entry.word0 = 99;
    entry.word2 = 1;
    const std::string text = "Hello world";
    entry.path.assign(text.begin(), text.end());
    entry.body.assign(2 + 20, 0);
    entry.body[1] = 1;    // one run from 0
    entry.body[7] = 19;   // line height
    entry.body[9] = 15;   // ascent
    entry.body[15] = 16;  // size in pixels
    entry.long4 = 0x200;  // 11 + 22 bytes: padded
    entry.body.push_back(0);
    field.subRecords = {entry};
    return field;
}

sb::Stack FieldStack() {
    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 120;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(240, 120, 8, 0));
    card.objects.push_back(PlainField());
    stack.cards.push_back(card);
    return stack;
}

// The field made active with its first five characters selected.
HWND ActivateField(HWND embed) {
    HWND field = GetDlgItem(embed, kField);
    if (!field)
        return nullptr;
    SetActiveTextField(FindLayer(kObjectText, kField));
    TextSetSel(field, 0, 5, false);
    return field;
}

// The main menu's Format menu as it would show now.
struct FormatMenu {
    HMENU bar = LoadMenuA(GetAppInstance(), "LM");
    ~FormatMenu() { DestroyMenu(bar); }
    HMENU Update(HWND embed) const {
        HMENU format = GetSubMenu(bar, kFormatMenu);
        UpdateMenus(embed, kFormatMenu, format, false);
        return format;
    }
};

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

std::string ItemText(HMENU menu, int position) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

void Command(HWND embed, int id) {
    SendMessageA(embed, WM_COMMAND, static_cast<WPARAM>(id), 0);
    PumpPageMessages();
}

class TextStyleInPlugin : public LinkedPluginTest {};

TEST_F(TextStyleInPlugin, FormatMenuStylesSizesAndFacesOnTheActiveField) {
    ASSERT_TRUE(Open(FieldStack()));
    HWND field = ActivateField(page.embed);
    ASSERT_TRUE(field);
    FormatMenu menu;
    ASSERT_TRUE(menu.bar);
    HMENU format = menu.Update(page.embed);
    EXPECT_TRUE(Checked(format, kPlainItem));

    Command(page.embed, kPlainItem + 1);
    format = menu.Update(page.embed);
    EXPECT_TRUE(Checked(format, kPlainItem + 1));
    EXPECT_FALSE(Checked(format, kPlainItem));
    EXPECT_EQ(TextGetEffects(field) & 1, 1) << "the selection is bold";
    Command(page.embed, kPlainItem + 1);
    format = menu.Update(page.embed);
    EXPECT_TRUE(Checked(format, kPlainItem));
    EXPECT_FALSE(Checked(format, kPlainItem + 1));
    EXPECT_EQ(TextGetEffects(field) & 1, 0);

    // "Arial" is always a recent font; the face the system gives for it is TrueType here.
    const InstalledFont* arial = FindInstalledFont("Arial");
    ASSERT_TRUE(arial);
    ASSERT_EQ(arial->fontType, TRUETYPE_FONTTYPE);
    HMENU recent = GetSubMenu(format, kRecentFontsMenu);
    int arialItem = -1;
    for (int i = 0; i < GetMenuItemCount(recent); ++i)
        if (ItemText(recent, i) == "Arial")
            arialItem = static_cast<int>(GetMenuItemID(recent, i));
    ASSERT_GE(arialItem, kFirstRecentItem);
    Command(page.embed, arialItem);
    format = menu.Update(page.embed);
    EXPECT_TRUE(Checked(format, static_cast<UINT>(arialItem)));
    HMENU sizes = GetSubMenu(format, kSizeMenu);
    ASSERT_EQ(GetMenuItemCount(sizes), 16);
    EXPECT_EQ(ItemText(sizes, 0), "  8");
    EXPECT_EQ(ItemText(sizes, 15), " 72");
    EXPECT_TRUE(Checked(format, kFirstSizeItem + 4)) << "12 points stays current";

    // 24 points (item 10), twice: the height and the field's size stay.
    Command(page.embed, kFirstSizeItem + 10);
    LOGFONTA first;
    GetCurrentLogFont(&first);
    EXPECT_EQ(first.lfHeight, -PointsToPixels(24));
    EXPECT_EQ(TextGetSize(field, TextScope::Selection), 24);
    Command(page.embed, kFirstSizeItem + 10);
    Command(page.embed, arialItem);
    LOGFONTA again;
    GetCurrentLogFont(&again);
    EXPECT_EQ(again.lfHeight, first.lfHeight);
    EXPECT_EQ(GetTextLineHeight(), PointsToPixels(24));
    EXPECT_EQ(TextGetSize(field, TextScope::Selection), 24);
    format = menu.Update(page.embed);
    EXPECT_TRUE(Checked(format, kFirstSizeItem + 10));
    EXPECT_FALSE(Checked(format, kFirstSizeItem + 4));
}

TEST_F(TextStyleInPlugin, TextStyleDialogOnASelectionSavesABoldColouredRun) {
    ASSERT_TRUE(Open(FieldStack()));
    HWND field = ActivateField(page.embed);
    ASSERT_TRUE(field);
    uint16_t picked = 0;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("#1543"), [&](DialogView& box) {
        for (int id : {55, 56, 57, 58, 63, 64, 65, 67})
            EXPECT_TRUE(box.IsVisible(id)) << id;
        EXPECT_TRUE(box.IsChecked(kStylePlain));
        EXPECT_EQ(box.ListCount(kStyleAlignment), 3);
        EXPECT_EQ(box.ListItem(kStyleAlignment, 1), "Center");
        box.SetChecked(kStyleBold, true);
        EXPECT_FALSE(box.IsChecked(kStylePlain));
        // The second cell of the text colour grid's first row.
        const RECT grid = box.ControlRect(kStyleTextColors);
        const int x = grid.left + (grid.right - grid.left) * 3 / 16, y = grid.top + (grid.bottom - grid.top) / 16;
        SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        picked = GridCellToPaletteIndex(1, 8);
        box.Press(IDOK);
    });
    driver.Run([&] {
        Command(page.embed, 359);
        return 0;
    });
    EXPECT_EQ(GetCurrentStyleInfo().textColor, picked);
    const COLORREF color = PaletteIndexToColor(picked) & 0xFFFFFF;
    EXPECT_EQ(TextGetEffects(field) & 1, 1);
    EXPECT_EQ(TextGetColor(field, TextScope::Selection) & 0xFFFFFF, color);

    SaveCurrentFieldContents();
    const std::vector<uint8_t> object = OpenStackObject(1, kObjectText, kField);
    const auto entry = FindFieldTextEntry(object, 1, 0);
    ASSERT_TRUE(entry);
    const std::vector<StyleRun> runs = ReadStyleScrap(FieldEntryScrap(object, *entry), entry->textLength);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(runs[0].start, 0);
    EXPECT_EQ(runs[0].face & 1, 1);
    EXPECT_EQ(runs[0].red >> 8, GetRValue(color));
    EXPECT_EQ(runs[0].green >> 8, GetGValue(color));
    EXPECT_EQ(runs[0].blue >> 8, GetBValue(color));
    EXPECT_EQ(runs[1].start, 5);
    EXPECT_EQ(runs[1].face & 1, 0);
}

}  // namespace
