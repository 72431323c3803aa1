// New text objects in the hosted plug-in: placing the rectangle, the Text Appearance dialog
// answered by the dialog driver, the record it stores and what a save keeps; and the dialog on
// an existing field; the group feature moving a text object between the card's and the
// background's lists, and Style... of its context menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry.h"
#include "graphics/palette/AppPalette.h"
#include "core/system/PreferenceFlags.h"
#include "host/menus/MenuCommands.h"
#include "host/player/CardNavigation.h"
#include "objects/ObjectServices.h"
#include "objects/PasteObjects.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "authoring/text/NewTextObject.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "format/StackFile.h"
#include "format/StackReader.h"
#include "stack/open/StackOpen.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"
#include "resources/objinfo_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kWhereAlert = 2370;
constexpr uint16_t kField = 21, kEmptyField = 22;

sb::Stack Card800() {
    sb::Stack stack;
    stack.cardWidth = 800;
    stack.cardHeight = 600;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(800, 600, 8, 1));
    card.objects = {sb::TextField(kField, {20, 20, 300, 80}, "Words", "alpha beta gamma"),
                    sb::TextField(kEmptyField, {20, 100, 300, 160}, "Empty", "")};
    stack.cards = {card};
    stack.nextObjectId = 40;
    return stack;
}

class NewTextObject : public LinkedPluginTest {};

// The cell of the 8 by 8 grid item (dialog client coordinates) whose palette index differs from
// the current one; the index it gives back.
POINT OtherCell(DialogView& box, int grid, int column, int row) {
    const RECT r = box.ControlRect(grid);
    return {r.left + (r.right - r.left) * (2 * column + 1) / 16, r.top + (r.bottom - r.top) * (2 * row + 1) / 16};
}

void ClickAt(DialogView& box, POINT p) {
    SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

int CountFieldWindows(HWND card) {
    int count = 0;
    for (HWND child = GetWindow(card, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        count += IsTextFieldWindow(child) ? 1 : 0;
    return count;
}

TEST_F(NewTextObject, PlacedDraggedFixedAndSavedWithItsText) {
    ASSERT_TRUE(Open(Card800()));
    HWND card = GetCardWindow();
    ASSERT_TRUE(card);
    RECT client{};
    GetClientRect(card, &client);
    ASSERT_EQ(client.right, 800);
    ASSERT_EQ(client.bottom, 600);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi == 96) {
        EXPECT_EQ(PointsToPixels(12), 16);
        EXPECT_EQ(PixelsToPoints(-16), 12);
    }

    DialogDriver where;
    where.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    where.Run([&] { return DoMenuCommand(page.embed, 308, 0, nullptr); });
    HWND words = LayerLock<FieldLayer>(FindLayer(kObjectText, kField))->window;
    ASSERT_TRUE(words);
    EXPECT_FALSE(IsWindowVisible(words)) << "the fields are hidden while placing";
    const RECT placed = PlacedTextFieldRect();
    EXPECT_EQ(placed.left, 200);
    EXPECT_EQ(placed.top, 150);
    EXPECT_EQ(placed.right, 600);
    EXPECT_EQ(placed.bottom, 450);
    EXPECT_TRUE(IsPlacedTextFieldShown());

    // The bottom-right corner dragged, then a click outside fixes it.
    SendMouse(card, WM_LBUTTONDOWN, 600, 450);
    EXPECT_FALSE(IsPlacedTextFieldShown()) << "a drag is under way";
    SendMouse(card, WM_MOUSEMOVE, 640, 470);
    SendMouse(card, WM_LBUTTONUP, 640, 470);
    EXPECT_EQ(PlacedTextFieldRect().right, 640);
    EXPECT_EQ(PlacedTextFieldRect().bottom, 470);
    EXPECT_TRUE(IsPlacingTextField());

    const std::string longName = "ABCDEFGHIJKLMNOPQRST";
    DialogDriver info;
    info.Expect(DialogMatch::Template("TEXTINFO"), [&](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Text Appearance");
        EXPECT_TRUE(box.IsChecked(55));
        EXPECT_TRUE(box.IsChecked(56));
        EXPECT_TRUE(box.IsChecked(59));
        EXPECT_FALSE(box.IsChecked(58));
        EXPECT_FALSE(box.IsEnabled(57)) << "no file loaded";
        EXPECT_TRUE(box.IsVisible(60)) << "Get File... for a new object";
        EXPECT_EQ(box.Text(54), "Untitled");
        HWND preview = GetDlgItem(box.Window(), 53);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(preview, GWL_STYLE)), 0x50A0A044u);
        EXPECT_EQ(TextGetRange(preview, 0, -1, 100), "Pageloom Sample Text");
        box.SetText(54, longName);
        box.SetChecked(56, false);
        box.Press(IDOK);
    });
    SendMouse(card, WM_LBUTTONDOWN, 50, 500);
    info.Run([&] { SendMouse(card, WM_LBUTTONUP, 50, 500); return 0; });
    EXPECT_FALSE(IsPlacingTextField());
    EXPECT_TRUE(IsWindowVisible(words)) << "and shown again after OK";

    LayerHandle made = GetActiveTextField();
    ASSERT_TRUE(made);
    uint16_t id = 0;
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(made);
        id = field->common.id;
        window = field->window;
        EXPECT_EQ(field->common.bounds.left, 200);
        EXPECT_EQ(field->common.bounds.right, 640);
        EXPECT_EQ(field->options, kTextScrollBar | kTextFrame | kTextNotScrollable);
    }
    EXPECT_EQ(id, 40) << "the header's counter";
    ASSERT_TRUE(window);
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL) << "not scrollable: no bar";
    std::vector<uint8_t> record = OpenStackObject(1, kObjectText, id);
    ASSERT_GE(record.size(), kTextHeaderBytes);
    EXPECT_EQ(GetU16(record, kTextOptions), 137);
    EXPECT_EQ(record[kTextName], 15);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kTextName + 1]), 15), longName.substr(0, 15));
    EXPECT_EQ(record[kTextName + kTextNameBytes], 0) << "the name stops at +88";
    EXPECT_EQ(record[kTextName + kTextNameBytes + 1], 0);
    EXPECT_EQ(GetU16(record, kTextAction), 0);

    // Typed text is kept through a save.
    TextReplaceSel(window, "Typed words");
    MarkFieldModified(made);
    {
        StackFileContents contents;
        ASSERT_TRUE(SaveAndReadBack(&contents));
        ASSERT_FALSE(contents.cards.empty());
        const std::vector<uint8_t> bytes = HandleToBytes(contents.cards[0]);
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_NE(text.find("Typed words"), std::string::npos);
        EXPECT_NE(text.find(longName.substr(0, 15)), std::string::npos);
        DisposeStackFileContents(contents);
    }
}

// A text file dropped on the card shows in the new object's preview; made disk based, the
// object names that file, not the one the Open dialog chose before.
TEST_F(NewTextObject, ADroppedFileMadeDiskBasedNamesThatFile) {
    ASSERT_TRUE(Open(Card800()));
    HWND card = GetCardWindow();
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string story = std::string(temp) + "ntxt-story-" + ProcessTag() + ".txt";
    {
        HANDLE file = CreateFileA(story.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "Once upon a time", 16, &written, nullptr);
        CloseHandle(file);
    }
    SetFileSpecFromPath(kSlotTextFile, "C:\\elsewhere\\chosen-before.txt");
    DialogDriver where;
    where.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    ASSERT_EQ(where.Run([&] { return BeginNewTextField(card, nullptr, story.c_str()); }), 1);
    DialogDriver info;
    info.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        EXPECT_EQ(TextGetRange(GetDlgItem(box.Window(), 53), 0, -1, 100), "Once upon a time");
        EXPECT_TRUE(box.IsEnabled(57)) << "a file is loaded";
        box.SetChecked(57, true);
        box.Press(IDOK);
    });
    SendMouse(card, WM_LBUTTONDOWN, 50, 500);
    info.Run([&] { SendMouse(card, WM_LBUTTONUP, 50, 500); return 0; });
    ASSERT_TRUE(FindLayer(kObjectText, 40)) << "the header's counter gives the new object its id";
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectText, 40);
    ASSERT_GE(record.size(), kTextHeaderBytes);
    EXPECT_NE(GetU16(record, kObjectFlags) & kObjectHasPath, 0);
    const std::string bytes(record.begin(), record.end());
    EXPECT_NE(bytes.find(story + '\0'), std::string::npos) << "the dropped file";
    EXPECT_EQ(bytes.find("chosen-before"), std::string::npos);
    DeleteFileA(story.c_str());
}

TEST_F(NewTextObject, ZeroWidthEndsPlacingWithoutADialog) {
    ASSERT_TRUE(Open(Card800()));
    HWND card = GetCardWindow();
    const int windows = CountFieldWindows(card);
    DialogDriver where;
    where.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton1); });
    ASSERT_EQ(where.Run([&] { return BeginNewTextField(card, nullptr, nullptr); }), 1);
    EXPECT_EQ(CountFieldWindows(card), windows + 1);
    // An arrow with snapping on moves it one grid step.
    const GridSettings kept = Grid();
    Grid().snap = true;
    Grid().spacingX = Grid().spacingY = 8;
    EXPECT_EQ(NudgePlacedTextField(VK_RIGHT, false), 1);
    EXPECT_EQ(NudgePlacedTextField(VK_LEFT, false), 1);
    Grid() = kept;
    EXPECT_EQ(PlacedTextFieldRect().left, 200);
    Grid().snap = true;
    EXPECT_EQ(NudgePlacedTextField(VK_DOWN, false), 1);
    const RECT nudged = PlacedTextFieldRect();
    Grid() = kept;
    EXPECT_EQ(nudged.top, 158);
    EXPECT_EQ(nudged.bottom - nudged.top, 300);
    SendMouse(card, WM_LBUTTONDOWN, 600, 458);
    SendMouse(card, WM_MOUSEMOVE, 100, 458);
    DialogDriver none;
    none.Run([&] { SendMouse(card, WM_LBUTTONUP, 100, 458); return 0; });
    EXPECT_EQ(none.DialogsSeen(), 0);
    EXPECT_FALSE(IsPlacingTextField());
    EXPECT_EQ(PlacedTextFieldLayer(), nullptr);
    EXPECT_EQ(CountFieldWindows(card), windows) << "no temporary window left";

    // Cancel at the question places nothing.
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Alert(kWhereAlert), [](DialogView& box) { box.Press(kAlertButton2); });
    EXPECT_EQ(cancel.Run([&] { return BeginNewTextField(card, nullptr, nullptr); }), 0);
    EXPECT_FALSE(IsPlacingTextField());
}

TEST_F(NewTextObject, AppearanceOfExistingFieldsRecoloursAndKeepsTheStyle) {
    ASSERT_TRUE(Open(Card800()));
    HWND card = GetCardWindow();
    LayerHandle empty = FindLayer(kObjectText, kEmptyField);
    ASSERT_TRUE(empty);
    DialogDriver sample;
    sample.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        EXPECT_FALSE(box.IsVisible(60)) << "no Get File... for an existing object";
        EXPECT_EQ(box.Text(54), "Empty");
        EXPECT_EQ(TextGetRange(GetDlgItem(box.Window(), 53), 0, -1, 100), "Pageloom Sample Text");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(sample.Run([&] { return EditTextObjectAppearance(card, empty); }), IDCANCEL);

    // The text colour alone: the whole text takes it.
    LayerHandle words = FindLayer(kObjectText, kField);
    ASSERT_TRUE(words);
    const uint16_t original = LayerLock<FieldLayer>(words)->textColor;
    DialogDriver recolour;
    recolour.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        ClickAt(box, OtherCell(box, 50, 5, 2));
        box.Press(IDOK);
    });
    EXPECT_EQ(recolour.Run([&] { return EditTextObjectAppearance(card, words); }), IDOK);
    const uint16_t chosen = LastTextAppearance().textColor;
    ASSERT_NE(chosen, original) << "the click picked another cell";
    HWND window = LayerLock<FieldLayer>(words)->window;
    ASSERT_TRUE(window);
    const COLORREF expected = PaletteIndexToColorPlain(chosen) & 0x00FFFFFF;
    TextSetSel(window, 0, 0, false);
    EXPECT_EQ(TextGetColor(window, TextScope::Selection) & 0x00FFFFFF, expected);
    TextSetSel(window, TextGetLength(window) - 1, TextGetLength(window), false);
    EXPECT_EQ(TextGetColor(window, TextScope::Selection) & 0x00FFFFFF, expected) << "the last word too";

    // A background change keeps the current style's colour and alignment.
    SetStyleColorsAndAlignment(7, 0, 1);
    DialogDriver background;
    background.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        ClickAt(box, OtherCell(box, 51, 3, 6));
        box.Press(IDOK);
    });
    EXPECT_EQ(background.Run([&] { return EditTextObjectAppearance(card, words); }), IDOK);
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    EXPECT_EQ(style.textColor, 7);
    EXPECT_EQ(style.alignment, 1);
    EXPECT_EQ(style.backColor, LastTextAppearance().backColor);
    std::vector<uint8_t> record = OpenStackObject(1, kObjectText, kField);
    ASSERT_GE(record.size(), kTextHeaderBytes);
    EXPECT_EQ(GetU16(record, kTextColor), LastTextAppearance().backColor + 1);

    // Actions... goes to the actions dialog and back; Done stores what it changed as 'Actn'.
    DialogDriver actions;
    actions.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        box.SetText(54, "Renamed");
        box.Press(63);
    });
    actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(50); });  // "&Next card"
    actions.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    actions.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(50));
        box.Press(IDOK);
    });
    actions.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) {
        EXPECT_EQ(box.Text(54), "Renamed") << "kept across the actions dialog";
        box.Press(IDOK);
    });
    EXPECT_EQ(actions.Run([&] { return EditTextObjectAppearance(card, words); }), IDOK);
    record = OpenStackObject(1, kObjectText, kField);
    ASSERT_GE(record.size(), kTextHeaderBytes);
    const uint16_t actionId = GetU16(record, kTextAction);
    EXPECT_NE(actionId, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[kTextName + 1]), record[kTextName]), "Renamed");
    StackResFileCurrent stackFile;
    HandleLock stored(GetResource(kActn, actionId));
    ASSERT_TRUE(stored);
    EXPECT_EQ(static_cast<int16_t>(GetU16(stored.bytes(), kButtonDestination)), -1);
}

TEST_F(NewTextObject, FeaturesMakeAFieldTransparentAndANoChangeGivesNothing) {
    ASSERT_TRUE(Open(Card800()));
    HWND card = GetCardWindow();
    LayerHandle words = FindLayer(kObjectText, kField);
    ASSERT_TRUE(words);
    HWND window = LayerLock<FieldLayer>(words)->window;
    ASSERT_TRUE(window);
    ASSERT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    DialogDriver features;
    features.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_FALSE(box.IsChecked(IFE_TRANSPARENT));
        box.SetChecked(IFE_TRANSPARENT, true);
        box.Press(IDOK);
    });
    EXPECT_EQ(features.Run([&] { return EditTextObjectFeatures(card, words); }), 1);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(LayerLock<FieldLayer>(words)->objectFlags & kTextTransparent, kTextTransparent);
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectText, kField);
    ASSERT_GE(record.size(), kTextHeaderBytes);
    EXPECT_EQ(GetU16(record, kObjectFlags) & kTextTransparent, kTextTransparent);

    DialogDriver unchanged;
    unchanged.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IFE_TRANSPARENT));
        box.Press(IDOK);
    });
    EXPECT_EQ(unchanged.Run([&] { return EditTextObjectFeatures(card, words); }), 0);
}

// A text object's cursor of the stack's own is kept for the next new object of that stack, not
// for one of the stack opened after it; a built-in cursor is kept across stacks.
TEST_F(NewTextObject, ACursorOfTheStacksOwnIsNotCarriedIntoAnotherStack) {
    constexpr uint16_t kOwnCursor = 300, kBuiltIn = 28016;
    for (const uint16_t cursor : {kOwnCursor, kBuiltIn}) {
        SCOPED_TRACE(cursor);
        sb::Stack first = Card800();
        first.cards[0].objects[0].words.push_back({kTextCursor, cursor});
        ASSERT_TRUE(Open(first));
        LayerHandle words = FindLayer(kObjectText, kField);
        ASSERT_TRUE(words);
        DialogDriver info;
        info.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_EQ(info.Run([&] { return EditTextObjectAppearance(GetCardWindow(), words); }), IDCANCEL);
        EXPECT_EQ(NewObjectAppearance({10, 10, 100, 60}).cursorId, cursor) << "as last used, in its own stack";

        const std::vector<uint8_t> other = sb::BuildStack(Card800()).bytes;
        const std::string path = WriteTemp("ntxt-other.stk", Bytes(other.begin(), other.end()));
        FileSpec stack = EmptyFileSpec();
        SetFileSpecPath(&stack, path.c_str());
        ASSERT_EQ(LoadOtherStackFile(stack), 0);
        EXPECT_EQ(NewObjectAppearance({10, 10, 100, 60}).cursorId, cursor == kBuiltIn ? kBuiltIn : 0);
        CloseLinkedPlugin(&page);
        DeleteFileA(path.c_str());
    }
}

// Where the object's record lives: 1 the card's own list, 2 the background holder's, 0 neither.
int ListOf(uint16_t id) {
    uint32_t offset = 0;
    if (FindObjectInCard(kObjectText, id, FindCardById(2), &offset))
        return 1;
    return FindObjectInCard(kObjectText, id, FindCardById(1), &offset) ? 2 : 0;
}

// On a card that shares the first card's background: the group feature moves a text object
// into the background's list and Text Appearance's Features... moves it back; a copy of a group
// object pastes as one; the context menu's Style... restyles the object's text.
TEST_F(NewTextObject, TheGroupFeatureMovesTheObjectAndPasteKeepsIt) {
    constexpr uint16_t kNote = 31;
    sb::Stack stack;
    stack.cardWidth = 320;
    stack.cardHeight = 240;
    sb::Card shared = sb::SharedCard(2, 1);
    shared.objects = {sb::TextField(kNote, {20, 20, 200, 80}, "Note", "moving words")};
    stack.cards = {sb::PictureCard(1, sb::SolidPicture(320, 240, 8, 1)), shared};
    stack.nextObjectId = 40;
    ASSERT_TRUE(Open(stack));
    GoToCardId(2, {0, 0, 0});
    ASSERT_EQ(GetCurrentCardId(), 2);
    HWND card = GetCardWindow();
    ASSERT_EQ(ListOf(kNote), 1);

    DialogDriver group;
    group.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        box.SetChecked(IFE_GROUP, true);
        box.Press(IDOK);
    });
    EXPECT_EQ(group.Run([&] { return EditTextObjectFeatures(card, FindLayer(kObjectText, kNote)); }), 1);
    EXPECT_EQ(ListOf(kNote), 2) << "a group object lives with the background";

    // A copy of it pasted is a group object too.
    SelectObjectLayer(FindLayer(kObjectText, kNote));
    CopyObjectToClipboard(FindLayer(kObjectText, kNote));
    PasteObjectOntoCard(card);
    const LayerHandle pasted = GetSelectedObject();
    ASSERT_NE(pasted, nullptr);
    const uint16_t copy = LayerLock<>(pasted)->id;
    EXPECT_NE(copy, kNote);
    EXPECT_EQ(ListOf(copy), 2) << "the pasted copy keeps the group flag";
    DeselectObject(card);

    SetAdvancedUser(true);  // Features... shows for advanced users
    DialogDriver back;
    back.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(61); });
    back.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IFE_GROUP));
        box.SetChecked(IFE_GROUP, false);
        box.Press(IDOK);
    });
    back.Expect(DialogMatch::Template("TEXTINFO"), [](DialogView& box) { box.Press(IDOK); });
    back.Run([&] { return EditTextObjectAppearance(card, FindLayer(kObjectText, kNote)); });
    EXPECT_EQ(ListOf(kNote), 1) << "back in the card's own list";
    SetAdvancedUser(false);

    // Style... of the object's context menu: the style dialog on its text.
    SelectObjectLayer(FindLayer(kObjectText, kNote));
    DialogDriver style;
    style.Expect(DialogMatch::Template("#1543"), [](DialogView& box) {
        box.SetChecked(kStyleBold, true);
        box.Press(IDOK);
    });
    style.Run([&] { return DoMenuCommand(card, 15867) ? 1 : 0; });
    const HWND window = LayerLock<FieldLayer>(FindLayer(kObjectText, kNote))->window;
    TextSetSel(window, 0, 3, false);
    EXPECT_EQ(TextGetEffects(window) & 1, 1) << "bold";
}

}  // namespace
