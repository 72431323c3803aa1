// Moving between the cards of a stack read into the card list: wrapping moves and the history
// they leave, the title, a missing card's alert, the Jump to Card dialog, the event actions, and
// the window showing each card entered.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/palettes/CurrentTool.h"
#include "host/player/CardHistory.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardNavigationRules.h"
#include "host/player/PlayerUpcalls.h"
#include "host/player/StackOpening.h"
#include "host/wiring/LayerWiring.h"
#include "stack/StackUpcalls.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

using namespace cardtest;
constexpr int kW = 64, kH = 48;

// Three.stk: cards 1 "One" red, 2 "Two" green, 3 "Three" blue, shown in a window of their size.
class CardNavigationTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));
        ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
        SetFileSpecFromPath(kSlotCurrentStack, "C:\\Stacks\\Three.stk");
        StoreStackName("Three.stk");
        SetStackHasFile(true);
        SetCardNumberInTitle(true);
        SelectToolNumber(kBrowseTool);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, kW, kH, nullptr,
                                  nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        WireLayers();
        ASSERT_EQ(InitDataBase(window_, kW, kH, 0, false), 1);
        sb::Stack stack;
        stack.depth = 32;
        stack.cardWidth = kW;
        stack.cardHeight = kH;
        const char* names[] = {"One", "Two", "Three"};
        const uint32_t colors[] = {0xFF0000, 0x00FF00, 0x0000FF};
        for (uint16_t id = 1; id <= 3; ++id) {
            stack.cards.push_back(sb::PictureCard(id, sb::SolidPicture(kW, kH, 32, colors[id - 1])));
            stack.cards.back().name = names[id - 1];
        }
        Load(stack);
        SetCurrentCardId(1);
    }
    void TearDown() override {
        FreeLayerList();
        FreeOffscreenObjects();
        FreeCardHistory();
        FreeAlertSuppressionList();
        SetStackHasFile(false);
        SetCardNumberInTitle(false);
        SetMainWindow(nullptr);
        DestroyWindow(window_);
        FreeFolderTable();
        CardSessionTest::TearDown();
    }
    // The card shown: its number by the colour at the window's centre, 0 for another colour.
    int Shown() const {
        WindowDC dc(window_);
        const COLORREF c = GetPixel(dc.get(), kW / 2, kH / 2);
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        return r > 200 && g + b < 100 ? 1 : g > 200 && r + b < 100 ? 2 : b > 200 && r + g < 100 ? 3 : 0;
    }
    HWND window_ = nullptr;
};

TEST_F(CardNavigationTest, MovesWrapShowEachCardAndLeaveTheirHistory) {
    SKIP_UNLESS_TRUE_COLOUR("the card shown is told by its exact colour in the window");
    EnterCard({}, true);  // as opening the stack does
    std::string shown = std::to_string(Shown());
    const auto move = [&](void (*go)(const CardMove&)) {
        go({});
        shown += std::to_string(Shown());
        EXPECT_EQ(Shown(), CardTitleNumber(GetCurrentCardRecord()));
    };
    move(GoPrevCard);  // the first goes to the last
    move(GoNextCard);  // and back
    move(GoNextCard);
    move(GoLastCard);
    move(GoFirstCard);
    EXPECT_EQ(shown, "131231");
    EXPECT_EQ(std::string(GetCardTitle()), "Three.stk - Card 1");
    ASSERT_EQ(CardHistoryCount(), 5);
    GoBackInHistory();
    EXPECT_EQ(GetCurrentCardId(), 3);
    EXPECT_EQ(Shown(), 3);
    EXPECT_EQ(CardHistoryCount(), 4);  // going back records nothing
    LeaveCard(true);
    LeaveCard(true);  // the same card twice: one entry
    EXPECT_EQ(CardHistoryCount(), 5);
    ClearStackChanged();
    MarkCardChanged();  // an edit on this card still wants saving once another is entered
    GoNextCard();
    EXPECT_TRUE(IsStackChanged());
    EXPECT_FALSE(IsCardChanged());
    SetCardNumberInTitle(false);
    UpdateCardTitle(true);
    EXPECT_EQ(std::string(GetCardTitle()), "Three.stk");

    // Event actions run in browse mode only (no such resource here: nothing to perform).
    EXPECT_EQ(RunCardAction(5, kByEvent, 0, kStringArriveCardAction) + PerformActionResource(5, PersonsAct::Of(WM_LBUTTONUP), 0, "Click"), 2);
    SelectToolNumber(8);
    EXPECT_EQ(RunCardAction(5, kByEvent, 0, kStringArriveCardAction) + PerformActionResource(5, PersonsAct::Of(WM_LBUTTONUP), 0, "Click"), 0);
}

TEST_F(CardNavigationTest, AMissingCardShowsItsAlertAndStays) {
    SetCurrentCardId(2);
    {
        const Handle three = FindCardById(3);
        HandleLock lock(three);
        SetU16(lock.bytes(), kCardFlags, kCardDeleted);
    }
    DialogDriver driver;
    for (uint32_t alert : {kAlertCardNotFound, kAlertCardNotFound, kAlertNoMarkedCard})
        driver.Expect(DialogMatch::Alert(alert), [](DialogView& box) { box.Press(kAlertButton1); });
    driver.Run([] {
        GoToCardId(99);
        GoToCardId(3);  // marked deleted
        GoRecentCard();
        return 0;
    });
    EXPECT_EQ(GetCurrentCardId(), 2);
}

TEST_F(CardNavigationTest, JumpDialogGoesToTheCardNamedByNumberOrName) {
    SKIP_UNLESS_TRUE_COLOUR("the card shown is told by its exact colour in the window");
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("JUMP_TO_CARD"), [](DialogView& dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog.Window(), 300, EM_GETLIMITTEXT, 0, 0), 32);
        EXPECT_EQ(dialog.FocusId(), 300);
        dialog.SetText(300, "3");
        dialog.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return OpenJumpToCardDialog(GetMainWindow()); }), 3);
    EXPECT_EQ(GetCurrentCardId(), 3);
    EXPECT_EQ(Shown(), 3);

    DialogDriver byName;
    byName.Expect(DialogMatch::Template("JUMP_TO_CARD"), [](DialogView& dialog) {
        dialog.SetText(300, "nowhere");
        dialog.Press(IDOK);
    });
    byName.Expect(DialogMatch::Alert(kAlertCardNotFound), [](DialogView& box) { box.Press(kAlertButton1); });
    EXPECT_EQ(byName.Run([] { return OpenJumpToCardDialog(GetMainWindow()); }), 0);
    EXPECT_EQ(GetCurrentCardId(), 3);
}

// Opening a stack leaves the card without history, reads the file whole and enters its first
// card, which the window shows; a file that is no stack is refused and enters nothing.
TEST_F(CardNavigationTest, OpeningAStackEntersItsFirstCard) {
    SKIP_UNLESS_TRUE_COLOUR("the card shown is told by its exact colour in the window");
    static int entered = 0;
    entered = 0;
    SetPlayerUpcalls({.cardEntered = [] { ++entered; }});
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "loom-opened.stk";
    // Cards above the system's minimum size, so that opening asks nothing.
    constexpr int kOtherW = 400, kOtherH = 300;
    sb::Stack other;
    other.depth = 32;
    other.cardWidth = kOtherW;
    other.cardHeight = kOtherH;
    other.cards.push_back(sb::PictureCard(9, sb::SolidPicture(kOtherW, kOtherH, 32, 0x0000FF)));
    other.cards.push_back(sb::PictureCard(4, sb::SolidPicture(kOtherW, kOtherH, 32, 0xFF0000)));
    ASSERT_TRUE(sb::WriteFile(path, sb::BuildStack(other).bytes));
    SetFileSpecFromPath(kSlotCurrentStack, path.c_str());
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([] { return OpenStack(false); }), 0);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    EXPECT_EQ(GetCurrentCardId(), 9);
    EXPECT_EQ(CountCards(), 2);
    EXPECT_EQ(Shown(), 3);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(CardHistoryCount(), 0);

    const std::vector<uint8_t> junk(300, 0x5A);
    ASSERT_TRUE(sb::WriteFile(path, junk));
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2268), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return OpenStack(false); }), kFileRefused);
    // None of it is open: an empty stack of one card, entered, takes its place.
    EXPECT_FALSE(StackHasFile());
    EXPECT_EQ(CountCards(), 1);
    EXPECT_EQ(entered, 2);
    WireLayers();
    CloseAllResFiles();
    DeleteFileA(path.c_str());
}

}  // namespace
