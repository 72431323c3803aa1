// Running commands and updating the menus: preparations and tables of DoMenuCommand, the menus'
// texts, marks and greying, the locked bar, and the menu request that reaches both.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Resources.h"
#include "cardview/colors/FcolorsLayout.h"
#include "graphics/palette/CurrentColors.h"
#include "host/menus/MenuCommands.h"
#include "host/menus/MenuRequest.h"
#include "host/menus/MenuSubjects.h"
#include "host/palettes/CurrentTool.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "media/MediaManager.h"
#include "paint/PaintTools.h"
#include "resources/resource_ids.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/undo/Undo.h"
#include "tests/host/MenuTestWindow_win.h"
#include "tests/support/DialogDriver_win.h"

namespace {

// Each test has a handle table (new objects need one for their spare records), kept as the
// plug-in keeps it: commands leave handles in globals. Each ends with the objects shown,
// whatever ran before it and however it ended.
class MenuCommandsTest : public MenuTestWindow {
protected:
    void SetUp() override {
        MenuTestWindow::SetUp();
        EnsureMemRefs();
    }
    void TearDown() override {
        SetMenuSubjectsProvider(nullptr);
        SetStackLocked(false);
        SetFatbitsZoomForTests(1);
        SetObjectsShown(true);
        MenuTestWindow::TearDown();
    }
};

std::string ItemText(HMENU menu, UINT id) {
    char buffer[256] = {};
    GetMenuStringA(menu, id, buffer, sizeof buffer, MF_BYCOMMAND);
    return buffer;
}

bool Grey(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

std::vector<UINT> Ids(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1))
            ids.push_back(id);
    return ids;
}

MenuSubjects g_subjects;

}  // namespace

TEST_F(MenuCommandsTest, CommandsPrepareThenRunThroughTheirTables) {
    int zoomResult = 2;
    SetFatbitsZoomForTests(2);
    EXPECT_TRUE(DoMenuCommand(card_, 204, 0, &zoomResult));  // Next Card leaves 200 % first
    EXPECT_EQ(GetFatbitsZoom(), 1);
    EXPECT_EQ(zoomResult, 0);
    EXPECT_TRUE(DoMenuCommand(card_, 153));

    EXPECT_TRUE(DoMenuCommand(card_, 15870));  // Actions... with nothing selected: nothing to edit
    EXPECT_TRUE(DoMenuCommand(card_, 15868));  // a context menu's action choice
    EXPECT_TRUE(DoMenuCommand(card_, 16003));
    EXPECT_TRUE(DoMenuCommand(card_, 110));  // Exit: no frame window, nothing happens
    EXPECT_TRUE(IsWindow(card_));
    EXPECT_FALSE(DoMenuCommand(card_, 9999));
    const bool frameMenu = GetFrameMenu();
    DoMenuCommand(card_, 365);  // Hide Menu Bar: a flag only, no window's menu changes
    EXPECT_NE(GetFrameMenu(), frameMenu);
    DoMenuCommand(card_, 365);
    EXPECT_EQ(GetFrameMenu(), frameMenu);
    EXPECT_EQ(GetMenu(card_), nullptr);
    // 153 pastes itself; the action choices work on the selected object, and none is selected.
    EXPECT_EQ(TakeDeferredCommands(), (std::vector<int>{16003}));
}

TEST_F(MenuCommandsTest, AddingAnObjectWhileHiddenOffersToShowThem) {
    ASSERT_TRUE(ObjectsShown());
    DoMenuCommand(card_, 364);
    EXPECT_FALSE(ObjectsShown());
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2304), [](DialogView& box) { box.Press(IDC_ALERT_BUTTON1 + 1); });
    // The new button's dialog comes all the same, over the hidden objects.
    driver.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Expect(DialogMatch::Alert(2304), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK", "Cancel"}));
        box.Press(IDC_ALERT_BUTTON1);
    });
    // 308 then asks where the new text object goes; Cancel places none.
    driver.Expect(DialogMatch::Alert(2370), [](DialogView& box) { box.Press(IDC_ALERT_BUTTON1 + 1); });
    driver.Run([&] {
        DoMenuCommand(card_, 306);
        EXPECT_FALSE(ObjectsShown());
        DoMenuCommand(card_, 308);
        return 0;
    });
    EXPECT_TRUE(ObjectsShown());
    EXPECT_EQ(driver.DialogsSeen(), 4);
    EXPECT_TRUE(TakeDeferredCommands().empty());  // 306 and 308 run themselves
}

TEST_F(MenuCommandsTest, UpdateMenusFollowsFieldSelectionAndFlags) {
    HMENU bar = ResLoadMenu("LM");
    ASSERT_TRUE(bar);
    EXPECT_EQ(GetMenuItemCount(bar), 11);
    HMENU file = GetSubMenu(bar, 0), edit = GetSubMenu(bar, 1), move = GetSubMenu(bar, 2);
    HMENU objects = GetSubMenu(bar, 4), logo = GetSubMenu(bar, 6), options = GetSubMenu(bar, 7);
    ClearClipboard();  // what an earlier test left there must not offer Paste
    EXPECT_EQ(GetMenuItemID(edit, 13), 300u);
    EXPECT_EQ(ItemText(objects, 306), "Add a &Button...\tCtrl-B");

    SetMenuSubjectsProvider([] { return g_subjects; });
    g_subjects = {};
    for (int i : {0, 1, 2, 4, 6, 7})
        UpdateMenus(card_, i, GetSubMenu(bar, i), false);
    EXPECT_EQ(ItemText(file, 108), "Print...\tCtrl+P");
    EXPECT_EQ(ItemText(file, 104), "Import Background...\tCtrl+I");
    EXPECT_EQ(ItemText(file, 105), "Export Screen...\tCtrl+E");
    EXPECT_TRUE(Grey(move, 201));
    EXPECT_TRUE(Grey(objects, 304) && Grey(objects, 305) && Grey(logo, 701));
    EXPECT_TRUE(Grey(edit, 150) && Grey(edit, 151) && Grey(edit, 153) && Grey(edit, 160) && Grey(edit, 367));
    EXPECT_EQ(ItemText(edit, 153), "Paste\tCtrl+V");
    EXPECT_EQ(ItemText(edit, 162), "Scale and Rotate");
    EXPECT_EQ(ItemText(options, 364), "Hide Objects");
    EXPECT_FALSE(Checked(options, 352));

    g_subjects = {.activeField = true, .objectSelected = true, .homeStackKnown = true, .undoText = "Undo Typing",
                  .selectionNoun = "Button", .clipboardNoun = "Picture"};
    for (int command : {364, 353, 354})
        DoMenuCommand(card_, command);
    // Undo and Paste follow the undo step and the clipboard themselves.
    CreateUndoRecord();
    RecordFlipUndo('U');
    RegisterClipboardMarker();
    Clip().kind = kClipCard;
    SetClipboardMarker();
    for (int i : {0, 1, 2, 4, 6, 7})
        UpdateMenus(card_, i, GetSubMenu(bar, i), false);
    EXPECT_EQ(ItemText(file, 108), "Print Text...\tCtrl+P");
    EXPECT_EQ(ItemText(file, 104), "Import Text...\tCtrl+I");
    EXPECT_EQ(ItemText(file, 105), "Export Text...\tCtrl+E");
    EXPECT_FALSE(Grey(move, 201) || Grey(objects, 304) || Grey(objects, 305));
    EXPECT_TRUE(Grey(logo, 701));  // item scripts are not built
    EXPECT_EQ(ItemText(edit, 150), "Undo Flip Upside Down\tCtrl+Z");
    EXPECT_EQ(ItemText(edit, 151), "Cut Button\tCtrl+X");
    EXPECT_EQ(ItemText(edit, 154), "Clear Button\tDel");
    EXPECT_EQ(ItemText(edit, 153), "Paste card\tCtrl+V");
    EXPECT_FALSE(Grey(edit, 150) || Grey(edit, 151) || Grey(edit, 153));
    FreeUndoRecord();
    ClearClipboard();
    HMENU objectMenu = GetSubMenu(edit, 13);  // no item text of its own: appearance and actions
    ASSERT_TRUE(objectMenu);
    EXPECT_EQ(ItemText(objectMenu, 15870), "Actions...");
    EXPECT_EQ(ItemText(options, 364), "Show Objects");
    EXPECT_TRUE(Checked(options, 353) && Checked(options, 354) && !Checked(options, 352));
    for (int command : {364, 353, 354})
        DoMenuCommand(card_, command);
    EXPECT_FALSE(IsDrawMultiple() || IsDrawCentered());

    g_subjects = {.paintSelection = true, .selectionNoun = "Button"};
    UpdateMenus(card_, 1, edit, false);
    EXPECT_EQ(ItemText(edit, 151), "Cut\tCtrl+X");
    EXPECT_FALSE(Grey(edit, 151));
    EXPECT_TRUE(Grey(edit, 160) && Grey(edit, 161) && Grey(edit, 367));  // the paint selection's are not built
    // The flips work on a selected graphic whose picture the stack holds.
    g_subjects = {.objectSelected = true, .graphicPicture = true, .flippableGraphic = true};
    UpdateMenus(card_, 1, edit, false);
    EXPECT_FALSE(Grey(edit, 160) || Grey(edit, 161));
    EXPECT_TRUE(Grey(edit, 367));
    DestroyMenu(bar);

    HMENU window = CreatePopupMenu();
    AppendMenuA(window, MF_STRING, 61488, "Maximize");
    g_subjects = {.presentationMode = true};
    UpdateMenus(card_, 0, window, true);
    EXPECT_EQ(ItemText(window, 61488), "&Presentation Mode");
    EXPECT_TRUE(Checked(window, 61488) && !Grey(window, 61488));
    DestroyMenu(window);
}

TEST_F(MenuCommandsTest, MenuRequestsFindItemsInTheLoadedBar) {
    HMENU locked = ResLoadMenu("PageloomLock");
    ASSERT_TRUE(locked);
    EXPECT_EQ(GetMenuItemCount(locked), 3);
    EXPECT_EQ(Ids(GetSubMenu(locked, 0)), (std::vector<UINT>{100, 101, 102, 103, 105, 107, 108, 109, 110}));
    EXPECT_EQ(Ids(GetSubMenu(locked, 1)), (std::vector<UINT>{150, 151, 152, 153, 154, 652}));
    EXPECT_EQ(Ids(GetSubMenu(locked, 2)), (std::vector<UINT>{200, 201, 202, 203, 204, 205, 206, 207}));
    DestroyMenu(locked);

    EXPECT_TRUE(RunMenuRequest(card_, "o&PTIONS", "draw filled"));
    EXPECT_TRUE(IsDrawFilled());
    EXPECT_TRUE(RunMenuRequest(card_, "Options", "Draw Filled..."));
    EXPECT_FALSE(IsDrawFilled());
    // Import Background goes to the picture import, not to the deferred commands: with a live
    // source (Wine's TWAIN manager is always there) it asks for the source first.
    {
        const uint32_t flags = GetMediaFlags();
        SetMediaFlags(kMediaTwain);
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("VIDSRCDLG"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_TRUE(driver.Run([&] { return RunMenuRequest(card_, "File", "Import Background"); }));
        SetMediaFlags(flags);
    }
    DialogDriver button;
    button.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_TRUE(button.Run([&] { return RunMenuRequest(card_, "Objects", "Add a Button..."); }));
    EXPECT_TRUE(RunMenuRequest(card_, "Tools", "16"));
    EXPECT_EQ(GetCurrentTool(), 4u);
    EXPECT_TRUE(RunMenuRequest(card_, "Colors", "5"));
    EXPECT_EQ(GetToolColor(ToolColorLetter(4)), *ColorMenuNumberToValue(4)) << "colour number 5 - 1 for tool 4";
    EXPECT_FALSE(RunMenuRequest(card_, "Tools", "browse"));
    EXPECT_FALSE(RunMenuRequest(card_, "Nothing", "Exit"));
    EXPECT_FALSE(RunMenuRequest(card_, "Edit", "Frobnicate"));
    EXPECT_TRUE(TakeDeferredCommands().empty());

    SetStackLocked(true);  // the locked bar has no Objects menu and no Import
    EXPECT_FALSE(RunMenuRequest(card_, "Objects", "Add a Button"));
    EXPECT_FALSE(RunMenuRequest(card_, "File", "Import"));
    {
        // Export Screen asks for its file at once.
        DialogDriver driver;
        driver.Expect(DialogMatch::Caption("Please name this Screen"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_TRUE(driver.Run([&] { return RunMenuRequest(card_, "File", "Export"); }));
    }
    EXPECT_TRUE(TakeDeferredCommands().empty());
    SelectToolNumber(kBrowseTool);
}
