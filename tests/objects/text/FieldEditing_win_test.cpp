// Editing the active field in the plug-in through the Edit and File menus: Cut, Copy and Clear
// with the clipboard, Paste preferring rich text and kept when the card is left, the menus'
// nouns, typing on the card, the text colour, and importing and exporting text files.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/NbaModules.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "host/menus/MenuCommands.h"
#include "host/window/FieldTyping.h"
#include "objects/ObjectColors.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "stack/cards/FieldText.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kField = 40;
constexpr int kEditMenu = 1;
// The Explorer open and save dialogs' file name box (a combo box, or an edit in older ones).
constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;

sb::Stack TwoCards() {
    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 120;
    sb::Card first = sb::PlainCard(1);
    first.objects.push_back(sb::TextField(kField, {10, 10, 220, 100}, "Notes", "Hello world"));
    stack.cards = {first, sb::PlainCard(2)};
    return stack;
}

struct EditPage {
    LinkedPluginPage page;
    HWND field = nullptr;
    bool Open(const char* stem) {
        if (!OpenInLinkedPlugin(TwoCards(), std::string(stem) + "-" + ProcessTag() + ".stk",
                                &page))
            return false;
        Activate();
        return field != nullptr;
    }
    // The field made active as a click makes it, its first five characters selected.
    void Activate() {
        field = GetDlgItem(page.embed, kField);
        if (!field)
            return;
        SetActiveTextField(FindLayer(kObjectText, kField));
        TextSetSel(field, 0, 5, false);
    }
    ~EditPage() { CloseLinkedPlugin(&page); }
    void Command(int id) {
        DoMenuCommand(page.embed, id);
        PumpPageMessages();
    }
    std::string Text() const {
        char text[256] = {};
        GetWindowTextA(field, text, sizeof text);
        return text;
    }
    int32_t Modified() const {
        LayerLock<FieldLayer> layer(FindLayer(kObjectText, kField));
        return layer ? layer->modified : -1;
    }
    void ClearModified() const {
        LayerLock<FieldLayer> layer(FindLayer(kObjectText, kField));
        if (layer)
            layer->modified = 0;
        ClearCardChanged();
    }
};

// The clipboard emptied and given the formats' data.
void Offer(HWND owner, std::initializer_list<std::pair<UINT, std::string>> formats) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (const auto& [format, data] : formats) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.size() + 1);
        std::memcpy(GlobalLock(block), data.c_str(), data.size() + 1);
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner))
        return "<no clipboard>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string MenuText(HMENU menu, UINT id) {
    char text[128] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + ProcessTag() + "-" + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string TempFile(const char* name, const std::string& contents) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

CHARFORMAT2A FormatAt(HWND field, int32_t at) {
    TextSetSel(field, at, at + 1, false);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(field, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

}  // namespace

TEST(FieldEditing, CutCopyClearAndTheMenusNouns) {
    EditPage edit;
    ASSERT_TRUE(edit.Open("edit-cut"));
    const UINT rtf = GetRichTextClipboardFormat();
    ASSERT_NE(rtf, 0u);

    // The Edit menu names the field's text while some of it is selected.
    HMENU bar = LoadMenuA(GetAppInstance(), "LM");
    ASSERT_TRUE(bar);
    Offer(edit.page.embed, {{CF_TEXT, "old"}});
    HMENU menu = GetSubMenu(bar, kEditMenu);
    UpdateMenus(edit.page.embed, kEditMenu, menu, false);
    EXPECT_EQ(MenuText(menu, 151), "Cut text\tCtrl+X");
    EXPECT_EQ(MenuText(menu, 154), "Clear text\tDel");
    EXPECT_EQ(MenuText(menu, 153), "Paste text\tCtrl+V");

    // Copy of an empty selection: the old text leaves the clipboard, the field is marked.
    TextSetSel(edit.field, 3, 3, false);
    UpdateMenus(edit.page.embed, kEditMenu, menu, false);
    EXPECT_EQ(MenuText(menu, 151), "Cut\tCtrl+X") << "nothing selected, no noun";
    edit.ClearModified();
    edit.Command(152);
    EXPECT_NE(ClipboardText(edit.page.embed), "old");
    EXPECT_EQ(edit.Modified(), 1);
    EXPECT_FALSE(IsCardChanged()) << "a copy changes no card";
    DestroyMenu(bar);

    // Cut: rich and plain text of the selection on the clipboard, gone from the field.
    edit.ClearModified();
    TextSetSel(edit.field, 0, 5, false);
    edit.Command(151);
    EXPECT_EQ(edit.Text(), " world");
    EXPECT_EQ(ClipboardText(edit.page.embed), "Hello");
    EXPECT_TRUE(IsClipboardFormatAvailable(rtf));
    EXPECT_EQ(edit.Modified(), 1);
    EXPECT_TRUE(IsCardChanged());

    // Clear: the character after the caret when nothing is selected.
    edit.ClearModified();
    TextSetSel(edit.field, 0, 0, false);
    edit.Command(154);
    EXPECT_EQ(edit.Text(), "world");
    EXPECT_EQ(edit.Modified(), 1);
    EXPECT_TRUE(IsCardChanged());

    // Without an active field nothing happens.
    SetActiveTextField(nullptr);
    edit.Command(154);
    EXPECT_EQ(edit.Text(), "world");
}

TEST(FieldEditing, PasteTakesRichTextAndSurvivesLeavingTheCard) {
    EditPage edit;
    ASSERT_TRUE(edit.Open("edit-paste"));
    Offer(edit.page.embed, {{CF_TEXT, "plain"}, {GetRichTextClipboardFormat(), "{\\rtf1\\ansi {\\b Rich}}"}});
    edit.ClearModified();
    TextSetSel(edit.field, 0, 5, false);
    edit.Command(153);
    EXPECT_EQ(edit.Text(), "Rich world");
    EXPECT_TRUE(FormatAt(edit.field, 0).dwEffects & CFE_BOLD);
    EXPECT_EQ(edit.Modified(), 1) << "a paste reaches the record";
    EXPECT_TRUE(IsCardChanged());

    // Plain text alone.
    Offer(edit.page.embed, {{CF_TEXT, "Plain "}});
    TextSetSel(edit.field, 0, 0, false);
    edit.Command(153);
    EXPECT_EQ(edit.Text(), "Plain Rich world");

    edit.Command(204);
    edit.Command(203);
    edit.Activate();
    EXPECT_EQ(edit.Text(), "Plain Rich world") << "written back when the card was left";
    SaveCurrentFieldContents();
    const std::vector<uint8_t> object = OpenStackObject(1, kObjectText, kField);
    const auto entry = FindFieldTextEntry(object, 1, 0);
    ASSERT_TRUE(entry);
    const std::span<const uint8_t> stored = FieldEntryText(object, *entry);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "Plain Rich world");
}

TEST(FieldEditing, TypingOnTheCardKeepsTheRequestBlock) {
    EditPage edit;
    ASSERT_TRUE(edit.Open("edit-type"));
    SetCurrentFieldName(std::string("\1X"));
    TextSetSel(edit.field, 11, 11, false);
    edit.ClearModified();
    EXPECT_EQ(TypeCharIntoActiveField(6), 0);
    EXPECT_EQ(edit.Text(), "Hello world");
    EXPECT_EQ(edit.Modified(), 0);
    NbaParamBlock* block = GetNbaParamBlock();
    ASSERT_TRUE(block);
    block->message = 58;
    block->param1 = 0x12345678;
    EXPECT_EQ(TypeCharIntoActiveField('!'), 1);
    EXPECT_EQ(TypeCharIntoActiveField(VK_BACK), 1);
    EXPECT_EQ(TypeCharIntoActiveField('?'), 1);
    EXPECT_EQ(edit.Text(), "Hello world?");
    EXPECT_EQ(block->message, 58);
    EXPECT_EQ(block->param1, 0x12345678u);
    EXPECT_EQ(edit.Modified(), 1);
    EXPECT_TRUE(IsCardChanged());
    EXPECT_EQ(GetCurrentFieldName(), std::string("\5Notes"));

    // The text colour of the selection: a palette entry that is not the text's black.
    int16_t index = 1;
    while (index < 255 && (PaletteIndexToColor(index) & 0xFFFFFF) == 0)
        ++index;
    const COLORREF colour = PaletteIndexToColor(index) & 0xFFFFFF;
    TextSetSel(edit.field, 0, 5, false);
    edit.ClearModified();
    ASSERT_TRUE(ApplyTextColorIndex(index));
    EXPECT_EQ(FormatAt(edit.field, 1).crTextColor & 0xFFFFFF, colour);
    EXPECT_NE(FormatAt(edit.field, 6).crTextColor & 0xFFFFFF, colour);
    EXPECT_EQ(edit.Modified(), 1);
    SetActiveTextField(nullptr);
    EXPECT_EQ(TypeCharIntoActiveField('x'), 0);
    EXPECT_FALSE(ApplyTextColorIndex(index));
}

TEST(FieldEditing, ImportsRichAndPlainTextAndExports) {
    EditPage edit;
    ASSERT_TRUE(edit.Open("edit-import"));
    // Rich text: bold and colour kept, the centred paragraph not.
    const std::string rich = TempFile("rich.rtf",
                                      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                                      "\\pard\\qc\\b Bold\\b0  and \\cf1 red\\cf0\\par}");
    edit.ClearModified();
    EXPECT_EQ(ImportTextIntoField(edit.page.embed, rich.c_str()), 1);
    EXPECT_EQ(edit.Text(), "Bold and red");
    EXPECT_TRUE(FormatAt(edit.field, 1).dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatAt(edit.field, 6).dwEffects & CFE_BOLD);
    EXPECT_EQ(FormatAt(edit.field, 10).crTextColor & 0xFFFFFF, RGB(255, 0, 0));
    EXPECT_EQ(TextGetAlignment(edit.field), 0) << "paragraph alignment dropped";
    EXPECT_EQ(edit.Modified(), 1);

    // "{\RTF" is no rich text: imported as it is, through the Open dialog of File 104.
    const std::string upper = TempFile("upper.txt", "{\\RTF1 not rich}");
    edit.ClearModified();
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Caption("Please select a text file"), [&](DialogView& box) {
            box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, upper);
            box.Press(IDOK);
        });
        driver.Run([&] { return DoMenuCommand(edit.page.embed, 104) ? 1 : 0; });
    }
    EXPECT_EQ(edit.Text(), "{\\RTF1 not rich}");
    EXPECT_EQ(edit.Modified(), 1) << "a plain import reaches the record";
    EXPECT_TRUE(IsCardChanged());

    // Export: the selection as plain text, through the save dialog of File 105.
    const std::string exported = TempPath("out.txt");
    TextSetSel(edit.field, 7, 10, false);
    {
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Caption("Please name this Text file"), [&](DialogView& box) {
            box.SetText(box.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, exported);
            box.Press(IDOK);
        });
        driver.Run([&] { return DoMenuCommand(edit.page.embed, 105) ? 1 : 0; });
    }
    EXPECT_EQ(FileContents(exported), "not");
    for (const std::string& path : {rich, upper, exported})
        DeleteFileA(path.c_str());
}
