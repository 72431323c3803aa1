// Performing action records on a card read into the card list, with neighbours that log what
// the performer asked of them: the order of the bits and the move, the wait for a movie and what
// ends it, actions stopped by a module or script that removed their button, the click flush,
// the address and name limits, the built-in button cycle, and the move to another stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/ActionNeighbours.h"
#include "actions/ActionRecord.h"
#include "actions/ButtonCycle.h"
#include "actions/NbaModules.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/AlertsOnce.h"
#include "host/performing/ButtonActions.h"
#include "host/performing/ObjectActions.h"
#include "host/performing/StackJump.h"
#include "stack/format/ResFile.h"
#include "stack/open/StackOpen.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace cardtest;

std::vector<std::string> g_log;
int g_idleUntilDone = 0;  // passes of the wait before the movie is done; -1 never
int g_movieOpens = 0;     // what openMovie answers

void Log(std::string entry) { g_log.push_back(std::move(entry)); }

ActionNeighbours LoggingNeighbours() {
    ActionNeighbours n = {};
    n.buttonStarting = [](uint16_t id, uint32_t byClick) {
        Log("start:" + std::to_string(id) + "," + std::to_string(byClick));
    };
    n.playSound = [](int fromFile, int16_t id, uint32_t flags, int volume) {
        char path[kFileSpecPathSize] = {};
        GetFileSpecPath(kSlotMediaFolder2, sizeof path, path);
        Log(fromFile ? "sound:" + std::string(path) + "," + std::to_string(volume)
                     : "sound#" + std::to_string(id) + "," + std::to_string(flags));
    };
    n.openMovie = [](std::span<const uint8_t>, int16_t id) {
        Log("movie:" + std::to_string(id));
        return g_movieOpens;
    };
    n.idleMovieDone = [](int16_t) {
        Log("idle");
        return g_idleUntilDone >= 0 && --g_idleUntilDone < 0 ? 1 : 0;
    };
    n.removeFinishedMedia = [] { Log("remove"); };
    n.videodiscAction = [](HWND, std::span<const uint8_t>) { Log("disc"); };
    n.settleVideodisc = [] { Log("settle"); };
    n.runLogo = [](HWND, Handle script, int edit, Rect32*) {
        Log("logo:" + std::string(reinterpret_cast<const char*>(HandleToBytes(script).data()), GetHandleSize(script)) +
            "," + std::to_string(edit));
        return 0;
    };
    n.openUrl = [](const char* text) {
        Log("url:" + std::string(text).substr(0, 24) + "," + std::to_string(std::strlen(text)));
        return true;
    };
    n.launchProgram = [](uint16_t option) {
        char path[kFileSpecPathSize] = {};
        GetFileSpecPath(kSlotLaunchProgram, sizeof path, path);
        Log("launch:" + std::string(path) + "," + std::to_string(option));
        return 1;
    };
    n.leaveCard = [](bool history) { Log(history ? "leave+" : "leave"); };
    n.moveToDestination = [](int16_t destination, int transition, int effect, int speed) {
        Log("move:" + std::to_string(destination) + "," + std::to_string(transition) + "," + std::to_string(effect) +
            "," + std::to_string(speed));
    };
    n.transitionLook = [](COLORREF color, POINT centre) {
        Log("look:" + std::to_string(color) + "@" + std::to_string(centre.x) + "," + std::to_string(centre.y));
    };
    n.freeEffectState = [] { Log("freeEffect"); };
    return n;
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
        SetActionNeighbours(LoggingNeighbours());
        g_log.clear();
        g_idleUntilDone = 0;
        g_movieOpens = 0;
        ClearRecordedNbaCalls();
        EndButtonCycle();
    }
    void TearDown() override {
        SetNbaReaction(nullptr);
        EndButtonCycle();
        SetActionNeighbours({});
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
        return PerformObjectActions(window_, card, offset, buttonId, 1, waitAfter, label.data());
    }
    bool ClickPending() {
        MSG m;
        return PeekMessageA(&m, window_, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE) != 0;
    }
    HWND window_ = nullptr;
};

TEST_F(ObjectActionsTest, BitsRunLowestFirstThenTheMoveAndTheWaitFollowsTheMarks) {
    const std::string longUrl = "http://localhost/" + std::string(480, 'a');  // 497 characters
    LoadCard({
        ActionButton(1, "All", kActSoundFile | kActUrl | kActMovie | kActLaunch | kActGoTo,
                     {FileChunk(kTagSoundFile, "C:\\Sounds\\Ding.wav"), Payload(kTagUrl, "http://localhost/a"),
                      sb::PathChunk(kTagMovie, "Disk:Movies:Clip.mov"), FileChunk(kTagLaunch, "C:\\Apps\\Tool.exe")},
                     kDestNext),
        ActionButton(2, "Nothing", 0, {}, kDestNext),
        ActionButton(3, "MovieDisc", kActMovie | kActVideodisc | kActGoTo,
                     {sb::PathChunk(kTagMovie, "Disk:Clip.mov"), Payload(kTagVideodisc, "disc")}, 5),
        ActionButton(4, "Urls", kActUrl, {Payload(kTagUrl, longUrl)}),
        ActionButton(5, "Resource", kActSoundResource | kActGoTo, {}, kDestPrevious),
    });
    Perform(1);
    ASSERT_EQ(g_log.size(), 9u);
    EXPECT_EQ(g_log[0].rfind("sound:", 0), 0u) << g_log[0];
    EXPECT_NE(g_log[0].find("Ding.wav"), std::string::npos);
    EXPECT_EQ(g_log[1], "url:http://localhost/a,18");
    EXPECT_EQ(g_log[2], "movie:1");
    // The launch waits first (no movie opened: no pass), settles the player, then starts.
    EXPECT_EQ(g_log[3], "remove");
    EXPECT_EQ(g_log[4], "settle");
    EXPECT_NE(g_log[5].find("Tool.exe"), std::string::npos) << g_log[5];
    // The move comes last, with the centre of the button; colour index 0 is black.
    EXPECT_EQ(g_log[6], "look:0@14,20");
    EXPECT_EQ(g_log[7], "remove");
    EXPECT_EQ(g_log[8], "move:-1,3,0,8");
    g_log.clear();

    // A flag word of 0 does nothing (the destination word alone is no move).
    Perform(2);
    EXPECT_TRUE(g_log.empty());

    // A movie that opened makes the move wait until it is done...
    g_movieOpens = 1;
    g_idleUntilDone = 2;
    LoadCard({ActionButton(1, "Movie", kActMovie | kActGoTo, {sb::PathChunk(kTagMovie, "Disk:Clip.mov")}, kDestNext)});
    Perform(1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"movie:1", "look:0@14,20", "idle", "idle", "idle", "remove",
                                               "move:-1,3,0,8"}));
    // ...or a click ends it after one pass, consuming the click.
    g_log.clear();
    g_idleUntilDone = -1;
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    Perform(1);
    const auto passes = std::count(g_log.begin(), g_log.end(), "idle");
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 3);
    EXPECT_EQ(g_log.back(), "move:-1,3,0,8");
    EXPECT_FALSE(ClickPending());
    // A videodisc after the movie clears the movie mark: no wait.
    g_log.clear();
    LoadCard({ActionButton(3, "MovieDisc", kActMovie | kActVideodisc | kActGoTo,
                           {sb::PathChunk(kTagMovie, "Disk:Clip.mov"), Payload(kTagVideodisc, "disc")}, 5)});
    Perform(3);
    EXPECT_EQ(g_log, (std::vector<std::string>{"movie:3", "disc", "look:0@34,20", "remove", "move:5,3,0,8"}));

    // An address of 497 characters would be cut into another: it is not opened; 496 is.
    g_log.clear();
    LoadCard({ActionButton(4, "Long", kActUrl, {Payload(kTagUrl, longUrl)}),
              ActionButton(5, "Fits", kActUrl, {Payload(kTagUrl, longUrl.substr(0, 496))})});
    Perform(4);
    EXPECT_TRUE(g_log.empty());
    Perform(5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"url:http://localhost/aaaaaaa,496"}));
}

TEST_F(ObjectActionsTest, AModuleOrScriptThatRemovesItsButtonStopsTheRestButNotTheMove) {
    sb::Chunk nba = Payload(kTagNba, "module data");
    nba.words.push_back({kChunkValue, 77});
    sb::Chunk logo = Payload(kTagLogo, "fd 10");
    LoadCard({ActionButton(1, "Deleting", kActNba | kActUrl | kActGoTo, {nba, Payload(kTagUrl, "http://x/")}, kDestNext),
              ActionButton(2, "Script", kActLogo | kActLaunch | kActGoTo,
                           {logo, FileChunk(kTagLaunch, "C:\\Apps\\Tool.exe")}, kDestNext),
              ActionButton(3, "Kept", kActNba | kActUrl, {nba, Payload(kTagUrl, "http://z/")})},
             kStackIgnoreExtraClicks);

    // The module is sent message 4 with a copy of its data and the button id.
    SetNbaReaction([](uint16_t, int) {
        Handle card = 0;
        uint32_t offset = 0;
        if (FindObject(kObjectButton, 1, &card, &offset))
            RemoveObjectRecord(card, offset);
        return 0;
    });
    EXPECT_EQ(DoButtonActions(window_, 1, 1), 0);
    ASSERT_EQ(RecordedNbaCalls().size(), 1u);
    EXPECT_EQ(RecordedNbaCalls()[0].nbaId, 77);
    EXPECT_EQ(RecordedNbaCalls()[0].message, kNbaMessagePerform);
    EXPECT_EQ(RecordedNbaCalls()[0].objectId, 1);
    EXPECT_EQ(std::string(RecordedNbaCalls()[0].data.begin(), RecordedNbaCalls()[0].data.end()), "module data");
    // The module's mark makes the move wait for the modules (none asks to go on).
    EXPECT_EQ(g_log, (std::vector<std::string>{"start:1,1", "look:0@14,20", "idle", "remove", "move:-1,3,0,8"}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(LastButtonName() + 1), LastButtonName()[0]), "Deleting");

    // A script that deletes its button stops the later bits too (not only a module).
    g_log.clear();
    SetNbaReaction(nullptr);
    SetActionNeighbours([] {
        ActionNeighbours n = LoggingNeighbours();
        n.runLogo = [](HWND, Handle, int, Rect32*) {
            Handle card = 0;
            uint32_t offset = 0;
            if (FindObject(kObjectButton, 2, &card, &offset))
                SetObjectFlags(card, offset, kObjectDeletedFlag, 0);
            Log("logo");
            return 0;
        };
        return n;
    }());
    DoButtonActions(window_, 2, 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"start:2,1", "logo", "look:0@24,20", "remove", "move:-1,3,0,8"}));

    // A module that leaves its button alone lets the address open; without a wait, the stack's
    // "Ignore extra mouse clicks" still drops the clicks that came meanwhile.
    g_log.clear();
    PostMessageA(window_, WM_LBUTTONDOWN, 0, 0);
    DoButtonActions(window_, 3, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"start:3,0", "url:http://z/,9"}));
    EXPECT_FALSE(ClickPending());

    // A stored name length past the field is cut to 31 characters; no such button: 0.
    Handle card = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 3, &card, &offset));
    {
        HandleLock lock(card);
        lock.get()[offset + kButtonName] = 200;
    }
    DoButtonActions(window_, 3, 0);
    EXPECT_EQ(LastButtonName()[0], 31);
    EXPECT_EQ(DoButtonActions(window_, 99, 1), 0);
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
    sb::Chunk sound;
    sound.kind = kTagSoundResource;
    sound.words.push_back({kChunkValue, 128});
    LoadCard({ActionButton(1, "Cycle", kActNba, {cycle}), ActionButton(2, "A", 0, {}), hidden,
              ActionButton(4, "C", kActSoundResource, {sound})});

    Perform(1);
    EXPECT_EQ(ButtonCycle().highlighted, 2);  // names match in any case
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_TAB), 1);
    EXPECT_EQ(ButtonCycle().highlighted, 4);  // B is hidden
    // Enter performs C, not as a click.
    g_log.clear();
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_RETURN), 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"start:4,0", "sound#128,0"}));
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, 'X'), 0);
    EXPECT_EQ(ButtonCycleKey(window_, WM_KEYDOWN, VK_TAB), 1);
    EXPECT_EQ(ButtonCycle().highlighted, 2);  // past the last, from the top again

    // Every listed button hidden: one pass, nothing highlighted; leaving the card ends it.
    sb::Chunk allHidden = Payload(kTagNba, "B\rB");
    allHidden.words.push_back({kChunkValue, kButtonCycleNbaId});
    LoadCard({ActionButton(1, "Cycle", kActNba, {allHidden}), hidden});
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
    upcalls.enterCard = [](int, int, int, int arrive) {
        Log("enter:" + std::to_string(GetCurrentCardId()) + "," + std::to_string(arrive));
    };
    upcalls.stackEvent = [](StackEvent) {};
    SetStackUpcalls(upcalls);
    SetLocateFileLocalMode(true);

    // A stack that cannot be read leaves this one open on its card, redrawn.
    SetFileSpecFromPath(kSlotTargetStack, broken.c_str());
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertNotAStack), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return GoToAnotherStack(kSlotTargetStack, 1, 0, 3, 8, true, true); }), 0);
    EXPECT_EQ(CountCards(), 2);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_EQ(Rec().refreshes, 1);

    // Destination -6 (and a card the stack does not have) opens at the first card, arriving.
    g_log.clear();
    SetFileSpecFromPath(kSlotTargetStack, other.c_str());
    EXPECT_EQ(GoToAnotherStack(kSlotTargetStack, static_cast<uint16_t>(kDestOtherStack), 5, 3, 8, true, true), 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"freeEffect", "leave+", "enter:7,1"}));
    EXPECT_EQ(CountCards(), 2);
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    EXPECT_EQ(std::string(path), other);
    g_log.clear();
    EXPECT_EQ(GoToAnotherStack(kSlotCurrentStack, 8, 0, 3, 8, false, true), 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"leave", "enter:8,1"}));

    SetLocateFileLocalMode(false);
    if (const int32_t ref = GetStackResFile()) {
        CloseResFile(ref);
        SetStackResFile(0);
    }
    std::remove(other.c_str());
    std::remove(broken.c_str());
}

}  // namespace
