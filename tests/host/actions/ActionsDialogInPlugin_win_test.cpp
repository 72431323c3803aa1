// The actions dialog, the transitions dialog, the card walk and the card scripts in the plug-in
// hosted by this program: the radio a destination shows, the commands that change the block,
// the transition list and its effects, the arrows and keys of "Move to card" (Ctrl+O included),
// "&Try it", the script commands 702 to 707 greyed, a button's actions reached by a right click on it, and a button
// given the next card with "Dissolve" through the menu, saved, reported and then followed in the
// real plug-in; a graphic and a text object given a card walked to, "&Try it" pressed three
// times, and stack choices cancelled.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionRecord.h"
#include "actions/ActionBlock.h"
#include "actions/ActionServices.h"
#include "actions/ActionsDialog.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/files/FileLayer.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "cardview/transitions/QtEffectState.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "host/actions/ActionsEditor.h"
#include "host/menus/MenuCommands.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardRefresh.h"
#include "host/state/DeferredCommands.h"
#include "host/window/TextFieldProc.h"
#include "objects/ObjectServices.h"
#include "objects/text/TextFields.h"
#include "resources/actions_ids.h"
#include "resources/buttons_ids.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveDialogs.h"
#include "stack/undo/Undo.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;
constexpr int kCardW = 160, kCardH = 120;
constexpr uint16_t kButtonId = 11, kGraphicId = 12, kTextId = 13;
constexpr RECT kButtonRect{20, 20, 80, 50};

sb::Stack ThreeCards() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    const sb::Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (uint16_t id = 1; id <= 3; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0));
        card.picture->palette = {colours[id - 1]};
        stack.cards.push_back(card);
    }
    stack.cards[0].objects.push_back(
        sb::ShapedButton(kButtonId, {kButtonRect.left, kButtonRect.top, kButtonRect.right, kButtonRect.bottom}, "Go", 1));
    stack.cards[0].objects.push_back(sb::Graphic(kGraphicId, {100, 70, 140, 100}, "Pic"));
    stack.cards[0].objects.push_back(sb::TextField(kTextId, {20, 70, 90, 110}, "Note", "Hello"));
    return stack;
}

// The name of a file after its folder.
std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

class ActionsInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open(ThreeCards())); }
    void TearDown() override {
        LinkedPluginTest::TearDown();
        if (!otherFile.empty())
            DeleteFileA(otherFile.c_str());
    }
    // The menu command on the card with the driver answering what it opens.
    void Command(DialogDriver& driver, int command) {
        driver.Run([&] { return DoMenuCommand(page.embed, command); });
    }
    // The object of the card selected with the arrow tool; false when it is not.
    static bool SelectWithArrow(uint16_t kind, uint16_t id) {
        SelectTool(kArrowTool);
        SelectObjectLayer(FindLayer(kind, id));
        return GetSelectedObject() != nullptr;
    }
    // Another stack beside the page's, of the first `cards` cards of this one as cards 7, 8, ...
    // without objects; its path, empty when it was not written.
    std::string WriteOtherStack(const char* stem, size_t cards) {
        sb::Stack other = ThreeCards();
        other.cards.resize(cards);
        for (size_t i = 0; i < cards; ++i) {
            other.cards[i].id = static_cast<uint16_t>(7 + i);
            other.cards[i].objects.clear();
        }
        otherFile = page.file.substr(0, page.file.find_last_of("\\/") + 1) + ProcessUniqueName(stem, "stk");
        return sb::WriteFile(otherFile, sb::BuildStack(other).bytes) ? otherFile : std::string();
    }
    std::string otherFile;
};

// The destination the button's record holds; -1000 when there is no record.
int ButtonDestination() {
    const std::vector<uint8_t> button = OpenStackObject(1, kObjectButton, kButtonId);
    return button.size() >= kButtonHeaderBytes ? static_cast<int16_t>(GetU16(button, kButtonDestination)) : -1000;
}

// The items of the Edit menu's object sub-menu, each with its command.
std::vector<std::pair<std::string, UINT>> ObjectMenuItems(HWND embed) {
    std::vector<std::pair<std::string, UINT>> items;
    HMENU bar = ResLoadMenu("LM");
    EXPECT_TRUE(bar);
    HMENU edit = GetSubMenu(bar, 1);
    UpdateMenus(embed, 1, edit, false);
    HMENU object = GetSubMenu(edit, 13);
    EXPECT_TRUE(object);
    for (int i = 0; object && i < GetMenuItemCount(object); ++i) {
        char text[64] = {};
        GetMenuStringA(object, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.emplace_back(text, GetMenuItemID(object, i));
    }
    DestroyMenu(bar);
    return items;
}

// The transitions dialog given "Dissolve" and "&Slow", then OK.
void ChooseDissolveSlowly(DialogView& box) {
    box.SetListSelection(IDC_TRANS_LIST, 13);
    EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, 13), "Dissolve");
    SendMessageA(GetDlgItem(box.Window(), IDC_TRANS_SLOW), BM_CLICK, 0, 0);
    box.Press(IDOK);
}

// A check box that opens a dialog: checked as a click would, its command posted.
void CheckAndPress(DialogView& box, int id) {
    SendMessageA(GetDlgItem(box.Window(), id), BM_SETCHECK, BST_CHECKED, 0);
    box.Press(id);
}

int CheckedPlace(DialogView& box) {
    int checked = 0;
    for (int id = IDC_ACT_ANOTHER_CARD; id <= IDC_ACT_NONE; ++id)
        if (id != IDC_ACT_URL && box.IsChecked(id))
            checked = checked ? -1 : id;
    return checked;
}

int16_t Destination(Handle record) { return static_cast<int16_t>(GetHandleWord(record, kButtonDestination)); }

TEST_F(ActionsInPlugin, TheDialogShowsTheDestinationAndItsCommandsChangeTheBlock) {
    // Each destination checks its radio; box 60 names the script language.
    const int16_t destinations[] = {-6, -5, -4, -3, -2, -1, 2, 0};
    const int places[] = {55, 54, 52, 53, 51, 50, 49, 58};
    for (size_t i = 0; i < std::size(places); ++i) {
        ScopedHandle record(NewEmptyActionRecord(0));
        SetHandleWord(record.get(), kButtonDestination, static_cast<uint16_t>(destinations[i]));
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("BUTACT"), [&](DialogView& box) {
            EXPECT_EQ(CheckedPlace(box), places[i]) << destinations[i];
            EXPECT_EQ(box.Text(IDC_ACT_LOGO), "Use LoomLo&go...");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(box.Window(), IDC_ACT_LOGO)));
            EXPECT_EQ(box.FocusId(), places[i]);
            box.Press(IDCANCEL);
        });
        EXPECT_EQ(driver.Run([&] { return EditObjectActions(record.get(), 0, kActionsOfCardClick); }), IDCANCEL);
        EXPECT_EQ(Destination(record.get()), destinations[i]) << "Cancel writes nothing";
    }

    // "&Next card" then Cancel keeps card 2; then OK with "&Medium" gives -1 at 16. A testing box
    // whose dialog is cancelled ends unchecked. Done writes the block into the record.
    ScopedHandle record(NewEmptyActionRecord(0));
    SetHandleWord(record.get(), kButtonDestination, 2);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_NEXT_CARD); });
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) {
        EXPECT_FALSE(box.IsVisible(IDC_TRANS_CHANGE_CARD)) << "only while walking to a card";
        box.Press(IDCANCEL);
    });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_ANOTHER_CARD) << "the old destination again";
        box.Press(IDC_ACT_NEXT_CARD);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) {
        EXPECT_EQ(box.ListSelection(IDC_TRANS_LIST), -1) << "a fresh record has no transition";
        box.SetListSelection(IDC_TRANS_LIST, 4);  // "Top to bottom"
        SendMessageA(GetDlgItem(box.Window(), IDC_TRANS_MEDIUM), BM_CLICK, 0, 0);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_NEXT_CARD);
        CheckAndPress(box, IDC_ACT_TESTING);
    });
    driver.Expect(DialogMatch::Template("TESTING"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_FALSE(box.IsChecked(IDC_ACT_TESTING)) << "no testing function was chosen";
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditObjectActions(record.get(), 0, kActionsOfCardClick); }), IDOK);
    EXPECT_EQ(Destination(record.get()), -1);
    EXPECT_EQ(GetHandleWord(record.get(), kButtonSpeed), 16);
    EXPECT_EQ(GetHandleWord(record.get(), kButtonTransition), 11);

    // "None of the abo&ve" clears the destination.
    DialogDriver none;
    none.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_NONE); });
    none.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_NONE);
        box.Press(IDOK);
    });
    EXPECT_EQ(none.Run([&] { return EditObjectActions(record.get(), 0, kActionsOfCardClick); }), IDOK);
    EXPECT_EQ(Destination(record.get()), 0);

    // A card's arriving actions have no places: "OBJACT".
    DialogDriver object;
    object.Expect(DialogMatch::Caption("Actions"), [](DialogView& box) {
        EXPECT_FALSE(box.Exists(IDC_ACT_NEXT_CARD));
        EXPECT_EQ(box.Text(IDC_ACT_ANIMATION), "Play an&imation...");
        box.Press(IDOK);
    });
    EXPECT_EQ(object.Run([&] { return EditObjectActions(record.get(), 0, kActionsOfCardArriveLeave); }), IDOK);
}

// Cancel on a new button gives 2 (the button editor removes it) and clears every action.
TEST_F(ActionsInPlugin, ANewButtonStartsFromItsDefaultsAndCancelClearsThem) {
    ActionBlock* block = GetActionBlock();
    block->timerMode = kTimerOnce;
    Handle copy = NewHandle(sizeof(ButtonLayer));
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BUTACT"), [&](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_NONE);
        EXPECT_FALSE(box.IsChecked(IDC_ACT_TIMER));
        EXPECT_EQ(block->transition, 3);
        EXPECT_EQ(block->soundParameter, 127);
        EXPECT_EQ(block->timerValue, 3);
        SendMessageA(GetDlgItem(box.Window(), IDC_ACT_TESTING), BM_SETCHECK, BST_CHECKED, 0);
        block->testingChoice = 2;
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return NewButtonActions(copy, *GetActionBlock()); }), IDCANCEL);
    EXPECT_EQ(block->testingChoice, 0) << "Cancel clears every action";
    DisposeHandle(copy);
}

TEST_F(ActionsInPlugin, TheTransitionListAndAnEffectStoredForOk) {
    ActionBlock* block = GetActionBlock();
    block->transition = 14;
    block->transitionSpeed = 8;
    block->effectValue = 0;
    const int effects = static_cast<int>(QTListedEffects().size());
    ASSERT_EQ(effects, 10) << "the stand-in's effects";
    // "&Try it" plays on the card; only the dialog steps aside, and comes back.
    RECT dialogPlace{}, pagePlace{};
    GetWindowRect(page.page, &pagePlace);
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) {
        GetWindowRect(box.Window(), &dialogPlace);
        box.Press(IDC_TRANS_TRY);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) {
        RECT now{}, pageNow{};
        GetWindowRect(box.Window(), &now);
        GetWindowRect(page.page, &pageNow);
        EXPECT_TRUE(EqualRect(&now, &dialogPlace));
        EXPECT_TRUE(EqualRect(&pageNow, &pagePlace));
        const COLORREF card = WindowPixel(page.embed, 150, 110);
        EXPECT_TRUE(GetRValue(card) > 200 && GetGValue(card) < 60 && GetBValue(card) < 60) << "the card again";
        EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, box.ListSelection(IDC_TRANS_LIST)), "Dissolve");
        EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, 4), "Top to bottom");
        EXPECT_EQ(box.ListCount(IDC_TRANS_LIST), 37);
        EXPECT_TRUE(box.IsChecked(IDC_TRANS_FAST));
        EXPECT_FALSE(box.IsVisible(IDC_TRANS_SETTINGS));
        int crossFade = -1;
        for (int i = 27; i < box.ListCount(IDC_TRANS_LIST); ++i)
            if (box.ListItem(IDC_TRANS_LIST, i) == "Cross Fade")
                crossFade = i;
        ASSERT_GE(crossFade, 27);
        box.SetListSelection(IDC_TRANS_LIST, crossFade);
        EXPECT_TRUE(box.IsVisible(IDC_TRANS_SETTINGS));
        SendMessageA(GetDlgItem(box.Window(), IDC_TRANS_SLOW), BM_CLICK, 0, 0);
        box.Press(IDOK);
    });
    const auto effectsStored = [] {
        const StackResFileCurrent current;
        return CountResources(ResType("QTFX"));
    };
    const int storedBefore = effectsStored();
    EXPECT_EQ(driver.Run([&] { return RunTransitionsDialog(page.embed, *GetActionBlock(), 0, kTitleTransitions, 0, 0); }), IDOK);
    EXPECT_GE(block->transition, 28);
    EXPECT_EQ(block->transitionSpeed, 32);
    // The effect waits for the actions to be saved: a Cancel then leaves no 'QTFX' behind.
    EXPECT_EQ(effectsStored(), storedBefore);
    const std::vector<uint8_t> kept = OpenStackObject(1, kObjectButton, kButtonId);
    Handle record = NewHandleFromBytes(kept);
    ASSERT_TRUE(record);
    block->destination = 2;
    ASSERT_TRUE(SaveActionBlock(record, 0, kButtonId, *block));
    const uint16_t effect = GetHandleWord(record, kButtonEffect);
    DisposeHandle(record);
    ASSERT_NE(effect, 0);
    EXPECT_EQ(effectsStored(), storedBefore + 1);
    {
        const StackResFileCurrent current;
        EXPECT_TRUE(GetResource(ResType("QTFX"), effect)) << "the effect is stored under the id the record names";
    }
    // Chosen again and cancelled with the actions: nothing stored.
    DialogDriver again;
    again.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(again.Run([&] { return RunTransitionsDialog(page.embed, *GetActionBlock(), 0, kTitleTransitions, 0, 0); }), IDOK);
    ClearUncheckedActions(block, GetActionChecks(), true);
    Handle other = NewHandleFromBytes(kept);
    ASSERT_TRUE(other);
    EXPECT_TRUE(SaveActionBlock(other, 0, kButtonId, *block));
    DisposeHandle(other);
    EXPECT_EQ(effectsStored(), storedBefore + 1);

    // An object's hide transition: no fades, its own title.
    DialogDriver hide;
    hide.Expect(DialogMatch::Caption("Hide Item Transitions"), [&](DialogView& box) {
        EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, 0), "Left to right");
        EXPECT_EQ(box.ListCount(IDC_TRANS_LIST), 24 + effects);
        for (int i = 0; i < box.ListCount(IDC_TRANS_LIST); ++i)
            EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, i).find("Fade to"), std::string::npos);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(hide.Run([&] { return RunTransitionsDialog(page.embed, *GetActionBlock(), 1, kTitleHideItem, kObjectButton, kButtonId); }),
              IDCANCEL);
}

// Without QuickTime the plug-in has no effect state, and the lists hold the named transitions
// only.
TEST_F(ActionsInPlugin, WithoutQuickTimeTheListsHoldNoEffects) {
    QTEffectStateDispose();
    GetActionBlock()->transition = 3;
    for (const int object : {0, 1}) {
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("TRANSITIONS"), [&](DialogView& box) {
            EXPECT_EQ(box.ListCount(IDC_TRANS_LIST), object ? 24 : 27);
            EXPECT_EQ(box.ListItem(IDC_TRANS_LIST, box.ListSelection(IDC_TRANS_LIST)), "Fastest");
            box.Press(IDCANCEL);
        });
        driver.Run([&] {
            return RunTransitionsDialog(page.embed, *GetActionBlock(), object, object ? kTitleShowItem : kTitleTransitions, kObjectButton,
                                        kButtonId);
        });
    }
}

void PressArrow(DialogView& box, int id) {
    HWND arrow = GetDlgItem(box.Window(), id);
    SendMessageA(arrow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(arrow, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void PostKey(HWND window, WPARAM key, bool ctrl) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_CHAR, ctrl ? key - 'A' + 1 : std::tolower(static_cast<int>(key)), 1);
}

TEST_F(ActionsInPlugin, TheCardWalkTakesTheCardShownAndGoesBack) {
    ActionBlock* block = GetActionBlock();
    block->destination = 0;
    SetFileSpecFromPath(kSlotTargetStack, "C:\\elsewhere.stk");
    const int cards = CountCards();
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        EXPECT_TRUE(box.IsEnabled(IDC_CARD_NEW_TIP));
        PressArrow(box, IDC_CARD_NEXT);
        PressArrow(box, IDC_CARD_NEXT);
        PressArrow(box, IDC_CARD_PREVIOUS);
        EXPECT_EQ(GetCurrentCardId(), 2);
        PostKey(box.Window(), 'X', false);
    });
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        EXPECT_EQ(CountCards(), cards) << "a stray key adds nothing";
        PostKey(box.Window(), 'N', true);
    });
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        EXPECT_EQ(CountCards(), cards + 1) << "Ctrl+N adds one card";
        PostKey(box.Window(), 'N', false);
        PressArrow(box, IDC_CARD_PREVIOUS);  // from the new card to card 2 again
    });
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        EXPECT_EQ(CountCards(), cards + 1);
        EXPECT_EQ(GetCurrentCardId(), 2);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) {
        EXPECT_TRUE(box.IsVisible(IDC_TRANS_CHANGE_CARD));
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 1);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    EXPECT_EQ(block->destination, 2);
    char path[MAX_PATH] = {};
    GetFileSpecPath(kSlotTargetStack, sizeof path, path);
    EXPECT_STREQ(path, "") << "a card of this stack";
    EXPECT_EQ(GetCurrentCardId(), 1) << "back where the walk began";
    EXPECT_EQ(GetEditedObject(), nullptr);

    // The walk starts on the card chosen before; a card of the stack it began in names no other
    // stack, and the walk still ends where it began.
    DialogDriver other;
    other.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        EXPECT_EQ(GetCurrentCardId(), 2) << "the walk starts on the card chosen before";
        PressArrow(box, IDC_CARD_NEXT);  // the card Ctrl+N added after it
        box.Press(IDOK);
    });
    other.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(other.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 1);
    EXPECT_EQ(block->destination, 4);
    GetFileSpecPath(kSlotTargetStack, sizeof path, path);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(GetCurrentCardId(), 1);

    // Alt with the left arrow is the card window's Previous Card: from the card chosen before
    // (the one Ctrl+N added) to card 2. Cancel leaves the destination and the first card shows.
    DialogDriver alt;
    alt.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        PostMessageA(box.Window(), WM_SYSKEYDOWN, VK_LEFT, 1 << 29);
    });
    alt.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        EXPECT_EQ(GetCurrentCardId(), 2);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(alt.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_EQ(block->destination, 4);
    EXPECT_EQ(GetCurrentCardId(), 1);
}

// Ctrl+O in the walk (not a plain O) opens another stack, whose first card then shows; Cancel
// ends the walk back in the stack and on the card it began with.
TEST_F(ActionsInPlugin, CtrlOOpensAnotherStackAndCancelReturns) {
    ASSERT_FALSE(WriteOtherStack("other", 2).empty());
    char start[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof start, start);
    ActionBlock* block = GetActionBlock();
    block->destination = 0;
    char during[MAX_PATH] = {};
    uint16_t cardDuring = 0;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) { PostKey(box.Window(), 'O', false); });
    driver.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        EXPECT_FALSE(FindWindowA(nullptr, "Please select a stack")) << "a plain O opens nothing";
        PostKey(box.Window(), 'O', true);
    });
    driver.Expect(DialogMatch::Caption("Please select a stack"), [&](DialogView& box) {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        box.SetFileName(otherFile);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        GetFileSpecPath(kSlotCurrentStack, sizeof during, during);
        cardDuring = GetCurrentCardId();
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_EQ(FileName(during), FileName(otherFile));
    EXPECT_EQ(cardDuring, 7) << "the other stack's first card";
    char end[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof end, end);
    EXPECT_STREQ(end, start) << "back in the stack the walk began in";
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_EQ(block->destination, 0);

    // A "go to another stack" destination starts the walk in that stack, on its first card
    // (found on the disk here: the stack is opened again from this machine, whose stacks' names
    // are found here; a stack from the web would ask its site).
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    GetFileSpecPath(kSlotCurrentStack, sizeof start, start);
    block->destination = kDestOtherStack;
    SetFileSpecFromPath(kSlotTargetStack, otherFile.c_str());
    DialogDriver onward(20000);
    onward.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        GetFileSpecPath(kSlotCurrentStack, sizeof during, during);
        cardDuring = GetCurrentCardId();
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(onward.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_EQ(FileName(during), FileName(otherFile));
    EXPECT_EQ(cardDuring, 7) << "the destination's stack, from its first card";
    GetFileSpecPath(kSlotCurrentStack, sizeof end, end);
    EXPECT_STREQ(end, start);
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_EQ(block->destination, kDestOtherStack);
    GetFileSpecPath(kSlotTargetStack, sizeof end, end);
    EXPECT_EQ(FileName(end), FileName(otherFile)) << "the destination keeps its stack";
}

// The windows moved while a hook watches: their WM_WINDOWPOSCHANGED without SWP_NOMOVE.
std::vector<HWND> g_moved;
LRESULT CALLBACK WatchMoves(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGED &&
        !(reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_NOMOVE))
        g_moved.push_back(message->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Moved(HWND window) { return std::find(g_moved.begin(), g_moved.end(), window) != g_moved.end(); }

// "&Try it" from a graphic's actions: the dialog steps aside and comes back; the page, the
// embed and the card window stay where they are.
TEST_F(ActionsInPlugin, TryItMovesOnlyTheDialog) {
    ASSERT_TRUE(SelectWithArrow(kObjectGraphic, kGraphicId));
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchMoves, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    HWND dialog = nullptr;
    RECT before{}, after{};
    bool tried = false;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("OBJACT"), [](DialogView& box) { box.Press(IDC_ACT_NEXT_CARD); });
    driver.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) {
        dialog = box.Window();
        GetWindowRect(dialog, &before);
        box.SetListSelection(IDC_TRANS_LIST, 13);
        g_moved.clear();
        box.Press(IDC_TRANS_TRY);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) {
        tried = Moved(dialog);
        GetWindowRect(dialog, &after);
        box.Press(IDCANCEL);
    });
    driver.Expect(DialogMatch::Template("OBJACT"), [](DialogView& box) { box.Press(IDCANCEL); });
    Command(driver, 15870);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(tried) << "the dialog stepped aside";
    EXPECT_TRUE(EqualRect(&before, &after)) << "and came back";
    EXPECT_FALSE(Moved(page.page));
    EXPECT_FALSE(Moved(page.embed));
    EXPECT_FALSE(Moved(GetMainWindow()));
}

// LoomLogo has no script editor: the card's and the stack's script commands only record their
// number and leave the records alone, and the script kind of the objects' action menu is grey
// and does nothing.
TEST_F(ActionsInPlugin, ScriptCommandsAndTheScriptChoiceAreGreyAndChangeNothing) {
    const std::pair<int, uint32_t> cases[] = {{702, kCardAction1},        {703, kCardAction3},
                                              {704, kCardAction2},        {705, kHeaderStackActionA},
                                              {706, kHeaderStackActionB}, {707, kHeaderClosingAction}};
    TakeDeferredCommands();
    for (auto [command, word] : cases) {
        Handle owner = command >= 705 ? GetStackHeaderHandle() : GetCurrentCardRecord();
        const std::vector<uint8_t> before = HandleToBytes(owner);
        ClearStackChanged();
        ClearCardChanged();
        DialogDriver none;
        none.Run([&] { return DoMenuCommand(page.embed, command); });
        EXPECT_EQ(none.DialogsSeen(), 0) << command;
        EXPECT_EQ(HandleToBytes(owner), before) << command;
        EXPECT_FALSE(IsCardChanged()) << command;
        EXPECT_EQ(TakeDeferredCommands(), std::vector<int>{command});
    }
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendActionKindsMenu(menu, "Actions"));
    HMENU kinds = GetSubMenu(menu, 0);
    for (int code = kChoiceAnotherCard; code <= kChoiceTesting; ++code)
        EXPECT_EQ((GetMenuState(kinds, static_cast<UINT>(code + kActionTextBase), MF_BYCOMMAND) & MF_GRAYED) != 0,
                  code == kChoiceLogo)
            << code;
    DestroyMenu(menu);
    ASSERT_TRUE(SelectWithArrow(kObjectGraphic, kGraphicId));
    const std::vector<uint8_t> graphic = OpenStackObject(1, kObjectGraphic, kGraphicId);
    DialogDriver none;
    none.Run([&] { return DoMenuCommand(page.embed, kChoiceLogo + kActionTextBase); });
    EXPECT_EQ(none.DialogsSeen(), 0);
    EXPECT_EQ(OpenStackObject(1, kObjectGraphic, kGraphicId), graphic);
    SelectObjectLayer(nullptr);
}

// A graphic without actions gets its 'Actn' resource, and the id in its record, from its first
// change through the menu; a choice without a selected object does nothing.
TEST_F(ActionsInPlugin, AGraphicGetsItsActionsResourceOnItsFirstChange) {
    SelectTool(kArrowTool);
    SelectObjectLayer(nullptr);
    DialogDriver nothing;
    nothing.Run([&] { return DoMenuCommand(page.embed, 15851); });
    EXPECT_EQ(nothing.DialogsSeen(), 0);
    SelectObjectLayer(FindLayer(kObjectGraphic, kGraphicId));
    ASSERT_TRUE(GetSelectedObject());
    ASSERT_EQ(GetU16(OpenStackObject(1, kObjectGraphic, kGraphicId), kGraphicAction), 0);
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    Command(driver, 15852);  // "&Previous Card"
    const uint16_t id = GetU16(OpenStackObject(1, kObjectGraphic, kGraphicId), kGraphicAction);
    ASSERT_NE(id, 0);
    const StackResFileCurrent current;
    const std::vector<uint8_t> action = HandleToBytes(GetResource(kActn, id));
    ASSERT_GE(action.size(), kButtonHeaderBytes);
    EXPECT_EQ(static_cast<int16_t>(GetU16(action, kButtonDestination)), -2);

    // A second change keeps the id; the Edit menu then lists the testing function, and the
    // destination after a separator of its own.
    DialogDriver testing;
    testing.Expect(DialogMatch::Template("TESTING"), [](DialogView& box) {
        SendMessageA(GetDlgItem(box.Window(), 1005), BM_CLICK, 0, 0);  // a correct answer
        box.Press(IDOK);
    });
    Command(testing, 15866);  // "Testing &Function..."
    EXPECT_EQ(GetU16(OpenStackObject(1, kObjectGraphic, kGraphicId), kGraphicAction), id);
    EXPECT_EQ(GetU16(HandleToBytes(GetResource(kActn, id)), kButtonTesting), 1);
    std::vector<std::string> items;
    for (const auto& [text, command] : ObjectMenuItems(page.embed))
        items.push_back(text);
    EXPECT_EQ(items, (std::vector<std::string>{"Appearance...", "Actions...", "", "Testing &Function...", "",
                                                "&Previous Card"}));
}

// While the context menu is tracked, clicks its item of the given id (or ends the menu).
UINT g_menuChoice = 0;
bool g_menuChosen = false;
BOOL CALLBACK FindPopup(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}
void CALLBACK ChooseFromPopup(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = nullptr;
    if (g_menuChosen)
        return;
    EnumThreadWindows(GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&popup));
    if (!popup)
        return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1, 0, 0));  // MN_GETHMENU
    if (!menu)
        return;
    g_menuChosen = true;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == g_menuChoice) {
            RECT item{};
            GetMenuItemRect(popup, menu, static_cast<UINT>(i), &item);
            ClickScreen({(item.left + item.right) / 2, (item.top + item.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
            return;
        }
    }
    EndMenu();
}

// Tool 20 and a real right click on the button: its context menu's "Actions...", then
// "&Next card", "Dissolve" and "&Slow", OK and Done land in the button's record.
TEST_F(ActionsInPlugin, TheContextMenuOfAButtonOpensItsActions) {
    SetAdvancedUser(true);
    SelectToolNumber(20);
    // The page's embed is a static control: it lets the mouse through unless it notifies.
    SetWindowLongPtrA(page.embed, GWL_STYLE, GetWindowLongPtrA(page.embed, GWL_STYLE) | SS_NOTIFY);
    SetForegroundWindow(page.page);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_NEXT_CARD); });
    driver.Expect(DialogMatch::Caption("Transitions"), ChooseDissolveSlowly);
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    g_menuChoice = 15870;  // "Actions..."
    g_menuChosen = false;
    driver.Run([&] {
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, ChooseFromPopup);
        POINT point{(kButtonRect.left + kButtonRect.right) / 2, (kButtonRect.top + kButtonRect.bottom) / 2};
        ClientToScreen(page.embed, &point);
        ClickScreen(point, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 1500;) {
            PumpPageMessages();
            Sleep(10);
        }
        KillTimer(nullptr, timer);
        return 0;
    });
    SelectToolNumber(kBrowseTool);
    SetAdvancedUser(false);
    EXPECT_TRUE(g_menuChosen) << "the context menu showed";
    const std::vector<uint8_t> button = OpenStackObject(1, kObjectButton, kButtonId);
    ASSERT_GE(button.size(), kButtonHeaderBytes);
    EXPECT_EQ(static_cast<int16_t>(GetU16(button, kButtonDestination)), -1);
    EXPECT_EQ(GetU16(button, kButtonTransition), 14);
    EXPECT_EQ(GetU16(button, kButtonSpeed), 32);
}

// The menu's "Actions..." on the selected button: "&Next card", "Dissolve" and "&Slow", OK,
// Done and Save. The report shows it, and the real plug-in follows it on a click.
TEST_F(ActionsInPlugin, AButtonGivenTheNextCardIsSavedReportedAndFollowed) {
    ASSERT_TRUE(SelectWithArrow(kObjectButton, kButtonId));
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_NONE);
        box.Press(IDC_ACT_NEXT_CARD);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), ChooseDissolveSlowly);
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    Command(driver, 15870);  // the context menu's "Actions..."
    EXPECT_EQ(ButtonDestination(), -1);

    // The Edit menu's object sub-menu lists the button's actions after its own two items.
    const auto items = ObjectMenuItems(page.embed);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[3].first, "&Next Card");
    EXPECT_EQ(items[3].second, 15851u);
    // The stack's pictures were made for this display: saved over the original.
    ASSERT_TRUE(SaveOpenStack(GetMainWindow()));
    char saved[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof saved, saved);
    const std::string bytes = ReadFile(saved);
    ASSERT_FALSE(bytes.empty()) << saved;

    ServerFolder server;
    const std::string name = "followed-" + ProcessTag() + ".stk";
    const std::string file = server.Put(name, bytes);
    const BrowserRun report = RunProgram(StackReporterPath(), server, {file});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    EXPECT_NE(Joined(report.log).find("{\"card\":1,\"button\":11,\"destination\":-1,\"transition\":14,\"speed\":32}"),
              std::string::npos)
        << Joined(report.log);

    const std::string shot = server.Name("followed.png");
    const int x = (kButtonRect.left + kButtonRect.right) / 2, y = (kButtonRect.top + kButtonRect.bottom) / 2;
    const BrowserRun run = RunBrowser(
        server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size",
                 std::to_string(kCardW) + "x" + std::to_string(kCardH), "--click",
                 std::to_string(x) + "," + std::to_string(y) + "@900", "--screenshot", shot, "--screenshot-after", "4500",
                 "--quit-after-last", "500", "http://localhost/" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const Shot screen(shot);
    EXPECT_TRUE(NearRgb(screen.At(140, 100), 0, 255, 0, 8)) << "the second card: " << Hex(screen.At(140, 100));
}

// The action id an object's layer holds (what a click in browse performs); 0xFFFF without a layer.
uint16_t LayerActionId(uint16_t kind, uint16_t id) {
    const LayerHandle layer = FindLayer(kind, id);
    if (kind == kObjectGraphic) {
        LayerLock<GraphicLayer> graphic(layer);
        return graphic ? graphic->objectWord : 0xFFFF;
    }
    LayerLock<FieldLayer> field(layer);
    return field ? field->actionId : 0xFFFF;
}

// "Another card..." from a graphic's and a text object's actions: the walk leaves the card and
// comes back to new layers; the card chosen lands in that object's record, its 'Actn' resource
// and its new layer, and the button beside it keeps its record.
TEST_F(ActionsInPlugin, AnotherCardFromAGraphicOrATextObjectLandsOnThatObject) {
    SelectTool(kArrowTool);
    const std::vector<uint8_t> button = OpenStackObject(1, kObjectButton, kButtonId);
    ASSERT_FALSE(button.empty());
    for (const uint16_t kind : {kObjectGraphic, kObjectText}) {
        const uint16_t id = kind == kObjectGraphic ? kGraphicId : kTextId;
        SelectObjectLayer(FindLayer(kind, id));
        ASSERT_TRUE(GetSelectedObject()) << kind;
        DialogDriver driver;
        driver.Expect(DialogMatch::Caption("Actions"), [](DialogView& box) { box.Press(IDC_ACT_ANOTHER_CARD); });
        driver.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
            PressArrow(box, IDC_CARD_NEXT);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
        driver.Expect(DialogMatch::Caption("Actions"), [](DialogView& box) { box.Press(IDOK); });
        Command(driver, 15870);  // "Actions..."
        EXPECT_EQ(GetCurrentCardId(), 1) << "the walk ends where it began";
        const uint16_t actionId =
            GetU16(OpenStackObject(1, kind, id), kind == kObjectGraphic ? kGraphicAction : kTextAction);
        ASSERT_NE(actionId, 0) << kind;
        {
            const StackResFileCurrent current;
            const std::vector<uint8_t> action = HandleToBytes(GetResource(kActn, actionId));
            ASSERT_GE(action.size(), kButtonHeaderBytes) << kind;
            EXPECT_EQ(static_cast<int16_t>(GetU16(action, kButtonDestination)), 2) << kind;
        }
        EXPECT_EQ(LayerActionId(kind, id), actionId) << "the object's layer after the walk: " << kind;
    }
    EXPECT_EQ(OpenStackObject(1, kObjectButton, kButtonId), button);
}

// A button's "Actions..." walks to a card through its own copy of the button: the copy names
// the button after the walk even when it went meanwhile, and Done writes the card chosen into
// the button's record.
TEST_F(ActionsInPlugin, AButtonsCardWalkKeepsTheEditedButton) {
    ASSERT_TRUE(SelectWithArrow(kObjectButton, kButtonId));
    uint16_t editedAfter = 0;
    bool editedDuring = false;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_ANOTHER_CARD); });
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        editedDuring = IsEditingButton();
        FreeButtonEditCopy();  // the copy goes while the walk leaves the card
        PressArrow(box, IDC_CARD_NEXT);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("BUTACT"), [&](DialogView& box) {
        const Handle edited = GetButtonEditCopy();
        if (edited && IsValidHandle(edited) && GetHandleSize(edited) >= sizeof(ButtonLayer)) {
            HandleLock lock(edited);
            editedAfter = reinterpret_cast<const ButtonLayer*>(lock.get())->common.id;
        }
        box.Press(IDOK);
    });
    Command(driver, 15870);  // "Actions..."
    EXPECT_TRUE(editedDuring);
    EXPECT_EQ(editedAfter, kButtonId) << "the walk's copy of the button is the edited button again";
    EXPECT_FALSE(IsEditingButton());
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_EQ(ButtonDestination(), 2);
}

int CountLayers() {
    int count = 0;
    for (LayerHandle at = GetLayerListHead(); at && count < 1000; ++count)
        at = LayerLock<>(at)->next;
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int CountChildWindows(HWND window) {
    int count = 0;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

// "&Try it" pressed three times shows the card again each time, and leaves its layers, its text
// field's window and the undo step as they were.
TEST_F(ActionsInPlugin, TryItThreeTimesLeavesTheLayersTheTextWindowsAndTheUndoStep) {
    // In browse the text field shows in a window of its own; an instance shut down earlier in
    // this process may have left the class behind without its procedure.
    if (!IsTextFieldClassRegistered()) {
        UnregisterClassA(kTextFieldClass, GetAppInstance());
        RegisterTextFieldClass(TextFieldWndProc);
    }
    SelectTool(kBrowseTool);
    RefreshCurrentCard(1);
    RecordGraphicMoveUndo(1, 1);
    ASSERT_EQ(GetUndoCount(), 1);
    const int layers = CountLayers();
    const int windows = CountChildWindows(page.page);
    ASSERT_EQ(layers, 3);
    HWND field = nullptr;
    {
        LayerLock<FieldLayer> text(FindLayer(kObjectText, kTextId));
        field = text ? text->window : nullptr;
    }
    ASSERT_TRUE(field && IsChild(page.page, field)) << "the text field's window";
    DialogDriver driver;
    for (int i = 0; i < 3; ++i)
        driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) {
            box.SetListSelection(IDC_TRANS_LIST, 13);  // "Dissolve"
            box.Press(IDC_TRANS_TRY);
        });
    driver.Expect(DialogMatch::Caption("Transitions"), [&](DialogView& box) {
        const COLORREF card = WindowPixel(page.embed, 150, 110);
        EXPECT_TRUE(GetRValue(card) > 200 && GetGValue(card) < 60 && GetBValue(card) < 60) << "the card again";
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunTransitionsDialog(page.embed, *GetActionBlock(), 0, kTitleTransitions, 0, 0); }), IDCANCEL);
    EXPECT_EQ(CountLayers(), layers);
    EXPECT_EQ(CountChildWindows(page.page), windows);
    EXPECT_EQ(GetUndoCount(), 1) << "the undo step stays";
}

std::string SaveAndRead() {
    EXPECT_TRUE(SaveOpenStack(GetMainWindow()));
    char saved[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof saved, saved);
    return ReadFile(saved);
}

// Done with nothing changed, from the actions dialog or through the appearance dialog's
// "Actions...", leaves the saved stack as it was byte for byte. "Another &stack..." keeps the
// stack chosen only with the transitions dialog's OK: after its Cancel, Done and Save write the
// stack saved before. A card walk whose transitions are cancelled keeps the other stack of a
// "go to another stack" destination.
TEST_F(ActionsInPlugin, CancelledStackChoicesLeaveTheSavedStackAsItWas) {
    // Saved again and again over its own file: the stack opened from this machine.
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    ASSERT_FALSE(WriteOtherStack("target", 1).empty());
    ASSERT_TRUE(SelectWithArrow(kObjectButton, kButtonId));
    DialogDriver next;
    next.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    Command(next, 15851);  // "&Next Card"
    // On a palette display a card's picture is converted the first time it is shown, and saved
    // so: the walk below shows the second card, so it is shown once before the first save.
    GoToCardInStack(2, {0, 0, 0});
    GoToCardInStack(1, {0, 0, 0});
    ASSERT_EQ(GetCurrentCardId(), 1);
    auto done = [&] {
        SelectObjectLayer(FindLayer(kObjectButton, kButtonId));
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
        driver.Run([&] { return DoMenuCommand(page.embed, 15870); });
    };
    // A Done that changes nothing leaves the saved stack as it was, byte for byte.
    const std::string saved = SaveAndRead();
    ASSERT_FALSE(saved.empty());
    done();
    const std::string first = SaveAndRead();
    EXPECT_TRUE(first == saved) << "a plain Done changed the stack";
    // So does Done after "Actions..." of the appearance dialog, where nothing was changed either.
    SelectObjectLayer(FindLayer(kObjectButton, kButtonId));
    DialogDriver appearance;
    appearance.Expect(DialogMatch::Template("BUTTONDLG"), [](DialogView& box) { box.Press(IDC_BUTTON_ACTIONS); });
    appearance.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    Command(appearance, 300);  // "Appearance..."
    EXPECT_TRUE(SaveAndRead() == saved) << "the appearance dialog's Done changed the stack";

    auto chooseStack = [&](bool ok) {
        SelectObjectLayer(FindLayer(kObjectButton, kButtonId));
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_ANOTHER_STACK); });
        driver.Expect(DialogMatch::Caption("Please select a stack"), [&](DialogView& box) {
            box.SetFileName(otherFile);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Caption("Transitions"), [ok](DialogView& box) { box.Press(ok ? IDOK : IDCANCEL); });
        driver.Expect(DialogMatch::Template("BUTACT"), [ok](DialogView& box) {
            EXPECT_EQ(CheckedPlace(box), ok ? IDC_ACT_ANOTHER_STACK : IDC_ACT_NEXT_CARD);
            box.Press(IDOK);
        });
        Command(driver, 15870);
    };
    chooseStack(false);
    EXPECT_TRUE(SaveAndRead() == first) << "Cancel in the transitions dialog changes nothing";

    chooseStack(true);
    const std::string toOther = SaveAndRead();
    EXPECT_NE(toOther.find(FileName(otherFile)), std::string::npos)
        << "the other stack is named";

    // A walk to a card of this stack, its transitions cancelled.
    SelectObjectLayer(FindLayer(kObjectButton, kButtonId));
    DialogDriver walk;
    walk.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDC_ACT_ANOTHER_CARD); });
    walk.Expect(DialogMatch::Caption("Move to card"), [](DialogView& box) {
        PressArrow(box, IDC_CARD_NEXT);
        box.Press(IDOK);
    });
    walk.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDCANCEL); });
    walk.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) {
        EXPECT_EQ(CheckedPlace(box), IDC_ACT_ANOTHER_STACK);
        box.Press(IDOK);
    });
    Command(walk, 15870);
    // (The walk found the other stack on this disk and came back from it: the stack is saved
    // again, still naming the other stack.)
    EXPECT_NE(SaveAndRead().find(FileName(otherFile)), std::string::npos) << "the walk's Cancel keeps the other stack";
}

}  // namespace
