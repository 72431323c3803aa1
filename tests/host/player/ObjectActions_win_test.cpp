// Performing action records on a card read into the card list, in the wired program: the move
// after the bits (the current card), the address handed to the opener (its consent box) and the
// limit on its length, the wait for a module and what ends it, the project's test module sent
// its action, the click flush, the name limit, the built-in button cycle, and the move
// to another stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "actions/ActionRecord.h"
#include "actions/ButtonCycle.h"
#include "actions/NbaModules.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/AlertsOnce.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/launching/LaunchPrograms.h"
#include "host/player/ButtonActions.h"
#include "host/player/ButtonCycleKeys.h"
#include "host/player/CardHistory.h"
#include "host/player/ObjectActions.h"
#include "host/player/StackJump.h"
#include "host/window/CardMessageHandler.h"
#include "resources/launch_ids.h"
#include "format/ResFile.h"
#include "stack/open/StackOpen.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestModule_win.h"

namespace {

using namespace cardtest;

int g_shellCalls = 0;
constexpr int32_t kAlertLaunchFailed = 2344;

// An address that is not a plain web address reaches the opener's consent box, which is
// refused: nothing starts, and the box shows what the action asked to open.
std::string OpenedAddress(const std::function<void()>& perform) {
    std::string shown;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
        shown = box.Text(IDC_LAUNCHASK_TEXT);
        box.Press(IDNO);
    });
    driver.Run([&] {
        perform();
        return 0;
    });
    return shown;
}

sb::Chunk Payload(uint16_t tag, std::string_view text) {
    sb::Chunk c;
    c.kind = tag;
    c.payload.assign(text.begin(), text.end());
    return c;
}

// A chunk holding a file entry as the plug-in packs it.
sb::Chunk FileChunk(uint16_t tag, const char* path) {
    SetFileSpecFromPath(kSlotScratch, path);
    Handle packed = 0;
    EXPECT_TRUE(PackFileSpec(kSlotScratch, &packed));
    sb::Chunk c;
    c.kind = tag;
    c.payload = HandleToBytes(packed);
    DisposeHandle(packed);
    return c;
}

// A button doing the bits with its chunks, moving to the destination.
sb::Object ActionButton(uint16_t id, std::string name, uint16_t bits, std::vector<sb::Chunk> chunks,
                        int16_t destination = 0) {
    sb::Object b = sb::Button(id, {static_cast<int16_t>(id * 10), 10, static_cast<int16_t>(id * 10 + 8), 30}, name);
    b.words.push_back({kButtonActionFlags, bits});
    b.words.push_back({kButtonDestination, static_cast<uint16_t>(destination)});
    b.words.push_back({kButtonTransition, 3});
    b.words.push_back({kButtonSpeed, 8});
    b.chunks = std::move(chunks);
    return b;
}

class ObjectActionsTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // alerts show their box
        ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        SetShellOpenObserver([](const char*, const char*, const char*, intptr_t) { ++g_shellCalls; });
        g_shellCalls = 0;
        FreeCardHistory();
        EndButtonCycle();
    }
    void TearDown() override {
        EndButtonCycle();
        SetShellOpenObserver(nullptr);
        FreeCardHistory();
        SetMainWindow(nullptr);
        DestroyWindow(window_);
        FreeFolderTable();
        FreeAlertSuppressionList();
        CardSessionTest::TearDown();
    }
    void LoadCard(std::vector<sb::Object> objects, uint16_t stackFlags = 0) {
        DisposeCards();
        sb::Stack stack;
        stack.flags = stackFlags;
        stack.cards.push_back(sb::PlainCard(1));
        stack.cards.push_back(sb::PlainCard(2));
        stack.cards[0].objects = std::move(objects);
        Load(stack);
    }
    int Perform(uint16_t buttonId, int waitAfter = 0) {
        Handle card = 0;
        uint32_t offset = 0;
        EXPECT_TRUE(FindObject(kObjectButton, buttonId, &card, &offset));
        const std::vector<uint8_t> label = PName("Label");
        return PerformObjectActions(window_, card, offset, buttonId, PersonsAct::Of(WM_LBUTTONUP), waitAfter, label.data());
    }
    bool ClickPending() {
        MSG m;
        return PeekMessageA(&m, window_, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE) != 0;
    }
    HWND window_ = nullptr;
};

TEST_F(ObjectActionsTest, BitsRunLowestFirstThenTheMoveAndAnAddressPastItsBufferIsNotOpened) {
    const std::string address = "file:///C:/" + std::string(485, 'a');  // 496 characters
    LoadCard({
        ActionButton(1, "All", kActUrl | kActLaunch | kActGoTo,
                     {Payload(kTagUrl, address), FileChunk(kTagLaunch, "C:\\Apps\\Tool.exe")}, kDestNext),
        ActionButton(2, "Nothing", 0, {}, kDestNext),
        ActionButton(3, "Long", kActUrl, {Payload(kTagUrl, address + "a")}),
    });
    SetCurrentCardId(1);

    // A flag word of 0 does nothing (the destination word alone is no move); an address of 497
    // characters would be cut into another one: it is not opened.
    DialogDriver none;
    none.Run([&] {
        Perform(2);
        Perform(3);
        return 0;
    });
    EXPECT_EQ(none.DialogsSeen(), 0);
    EXPECT_EQ(g_shellCalls, 0);
    EXPECT_EQ(GetCurrentCardId(), 1);

    // The address (bit 0x40) is opened before the program (0x2000), both on this card; the move
    // comes last. The program is missing: its failure's alert shows.
    std::vector<std::string> asked;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
        asked.push_back(std::to_string(GetCurrentCardId()) + ":" + box.Text(IDC_LAUNCHASK_TEXT));
        box.Press(IDNO);
    });
    driver.Expect(DialogMatch::Alert(kAlertLaunchFailed), [&](DialogView& box) {
        asked.push_back(std::to_string(GetCurrentCardId()) + ":launch");
        box.Press(box.DefaultButton());
    });
    driver.Run([&] { return Perform(1); });
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].rfind("1:", 0), 0u) << asked[0];
    EXPECT_NE(asked[0].find(address), std::string::npos);
    EXPECT_EQ(asked[1], "1:launch");
    EXPECT_EQ(g_shellCalls, 0);  // refused: nothing started
    EXPECT_EQ(GetCurrentCardId(), 2);
}

TEST_F(ObjectActionsTest, AModuleActionReachesTheTestModuleAndTheRestGoesOn) {
    // The test module of the build's "NBAS" folder serves id 77 and logs its calls.
    const std::string log = UseTestModule("nba-actions", 77);
    ASSERT_FALSE(log.empty());

    sb::Chunk nba = Payload(kTagNba, "module data");
    nba.words.push_back({kChunkValue, 77});
    LoadCard({ActionButton(1, "Moving", kActNba | kActGoTo, {nba}, kDestNext),
              ActionButton(3, "Kept", kActNba | kActUrl, {nba, Payload(kTagUrl, "file:///C:/z")}),
              ActionButton(4, "Flush", kActNba, {nba})},
             kStackIgnoreExtraClicks);
    SetCurrentCardId(1);

    // The module is sent message 4 with the button id and a copy of the data; the move runs.
    DoButtonActions(window_, 1, PersonsAct::Of(WM_LBUTTONUP));
    std::ifstream in(log);
    std::string line;
    std::getline(in, line);
    in.close();
    for (const char* word : {"msg=4 ", "obj=1 ", "p2=11 ", "id=77 "})
        EXPECT_NE(line.find(word), std::string::npos) << word << " in " << line;
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(LastButtonName() + 1), LastButtonName()[0]), "Moving");

    // The address after the module opens.
    SetCurrentCardId(1);
    EXPECT_NE(OpenedAddress([&] { DoButtonActions(window_, 3, kByEvent); }).find("file:///C:/z"), std::string::npos);

    // Without a wait, the stack's "Ignore extra mouse clicks" still drops the clicks that came
    // meanwhile.
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    DoButtonActions(window_, 4, kByEvent);
    EXPECT_FALSE(ClickPending());

    // A stored name length past the field is cut to 31 characters; no such button: 0.
    Handle card = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 4, &card, &offset));
    {
        HandleLock lock(card);
        lock.get()[offset + kButtonName] = 200;
    }
    DoButtonActions(window_, 4, kByEvent);
    EXPECT_EQ(LastButtonName()[0], 31);
    EXPECT_EQ(DoButtonActions(window_, 99, PersonsAct::Of(WM_LBUTTONUP)), 0);
    EndStackNBAs(false);
    CloseResFile(GetStackResFile());
    SetStackResFile(0);
    SetEnvironmentVariableA("NBA_TEST_LOG", nullptr);
    DeleteFileA(log.c_str());
}

TEST_F(ObjectActionsTest, ButtonCycleHighlightsVisibleButtonsInTurnAndEnterPerformsOne) {
    EXPECT_EQ(ReadCycleNames(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(" A  \r\r B\rC"), 10)),
              (std::vector<std::string>{"A", "B", "C"}));
    const std::string longName(70, 'n');
    const std::vector<std::string> cut =
        ReadCycleNames(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(longName.data()), longName.size()));
    EXPECT_EQ(cut, (std::vector<std::string>{std::string(62, 'n'), std::string(8, 'n')}));

    sb::Chunk cycle = Payload(kTagNba, "a\rB\rC");
    cycle.words.push_back({kChunkValue, kButtonCycleNbaId});
    sb::Object hidden = ActionButton(3, "B", 0, {});
    hidden.flags = kObjectHidden;
    LoadCard({ActionButton(1, "Cycle", kActNba, {cycle}), ActionButton(2, "A", 0, {}), hidden,
              ActionButton(4, "C", kActGoTo, {}, kDestNext)});
    SetCurrentCardId(1);

    Perform(1);
    EXPECT_EQ(ButtonCycle().highlighted, 2);  // names match in any case
    // The card window gives the cycle its keys first.
    EXPECT_EQ(CardMessageHandler(window_, WM_KEYDOWN, VK_TAB, 0), 0);
    EXPECT_EQ(ButtonCycle().highlighted, 4);  // B is hidden
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, 'X'), 0);
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_TAB), 1);
    EXPECT_EQ(ButtonCycle().highlighted, 2);  // past the last, from the top again
    // Enter performs C: it moves on, and leaving the card ends the cycle.
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_TAB), 1);
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_RETURN), 1);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_FALSE(ButtonCycle().active);

    // Every listed button hidden: one pass, nothing highlighted; leaving the card ends it.
    sb::Chunk allHidden = Payload(kTagNba, "B\rB");
    allHidden.words.push_back({kChunkValue, kButtonCycleNbaId});
    LoadCard({ActionButton(1, "Cycle", kActNba, {allHidden}), hidden});
    SetCurrentCardId(1);
    Perform(1);
    EXPECT_EQ(ButtonCycle().highlighted, 0);
    EXPECT_TRUE(ButtonCycle().active);
    EndButtonCycle();
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_TAB), 0);
}

TEST_F(ObjectActionsTest, AnotherStackOpensAtItsFirstCardOrTheCurrentOneStays) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string other = std::string(folder) + "loom-other.stk";
    const std::string broken = std::string(folder) + "loom-broken.stk";
    sb::Stack target;
    target.cards = {sb::PlainCard(7), sb::PlainCard(8)};
    ASSERT_TRUE(sb::WriteFile(other, sb::BuildStack(target).bytes));
    const std::vector<uint8_t> junk(300, 0x5A);
    ASSERT_TRUE(sb::WriteFile(broken, junk));
    LoadCard({ActionButton(1, "Here", 0, {})});
    SetCurrentCardId(2);
    StackUpcalls upcalls = GetStackUpcalls();
    upcalls.stackEvent = [](StackEvent) {};
    SetStackUpcalls(upcalls);
    // The card window is blackened before each move: a card drawn into it shows white again.
    const auto blacken = [&] {
        HDC dc = GetDC(window_);
        RECT all = {0, 0, 64, 48};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(window_, dc);
    };
    const auto drawn = [&] { return WindowPixel(window_, 50, 40) == RGB(255, 255, 255); };
    ASSERT_EQ(InitDataBase(window_, 64, 48, 0, false), 1);  // the card is drawn through the offscreen

    // A stack that cannot be read leaves this one open on its card, redrawn.
    SetFileSpecFromPath(kSlotTargetStack, broken.c_str());
    blacken();
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertNotAStack), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return GoToAnotherStack(FileSpec(*GetFileSpec(kSlotTargetStack)), 1, {}, true, true); }), 0);
    EXPECT_EQ(CountCards(), 2);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_TRUE(drawn()) << "the current card was drawn again";

    // Destination -6 (and a card the stack does not have) opens at the first card, arriving.
    // Leaving with history keeps the card left in it.
    FreeCardHistory();
    const int history = 0;
    SetFileSpecFromPath(kSlotTargetStack, other.c_str());
    blacken();
    EXPECT_EQ(GoToAnotherStack(FileSpec(*GetFileSpec(kSlotTargetStack)), static_cast<uint16_t>(kDestOtherStack), {3, 5, 8}, true, true), 1);
    EXPECT_EQ(GetCurrentCardId(), 7);
    EXPECT_TRUE(drawn()) << "the first card was entered";
    EXPECT_EQ(CardHistoryCount(), history + 1);
    EXPECT_EQ(CountCards(), 2);
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_EQ(std::string(path), other);
    blacken();
    EXPECT_EQ(GoToAnotherStack(FileSpec(*GetFileSpec(kSlotCurrentStack)), 8, {}, false, true), 1);
    EXPECT_EQ(GetCurrentCardId(), 8);
    EXPECT_TRUE(drawn()) << "the card asked for was entered";
    EXPECT_EQ(CardHistoryCount(), history + 1);

    FreeLayerList();
    FreeOffscreenObjects();
    if (const int32_t ref = GetStackResFile()) {
        CloseResFile(ref);
        SetStackResFile(0);
    }
    std::remove(other.c_str());
    std::remove(broken.c_str());
}

}  // namespace
