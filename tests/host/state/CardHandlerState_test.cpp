// The card message handler's rules that need no window: display-change alerts, mouse points,
// Tab tool switches, click actions, the stack words it reads, and the loaded-library table.
#include "host/state/CardHandlerState.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/LoadedLibraries.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/open/NewStack.h"

namespace {

TEST(CardHandlerState, DisplayChangeIsToldOncePerNewDepth) {
    CardHandlerState state;
    const struct {
        int depth;
        bool told;
    } steps[] = {{16, true}, {16, false}, {24, true}, {24, false}, {16, true}, {32, true}, {32, false}};
    for (const auto& step : steps)
        EXPECT_EQ(NoteDisplayDepth(state, step.depth), step.told) << "depth " << step.depth;
}

TEST(CardHandlerState, LongToPointSignsBothHalves) {
    const struct {
        uint32_t value;
        int x, y;
    } cases[] = {{0x00000000u, 0, 0}, {0x00200010u, 16, 32}, {0xFFFFFFFFu, -1, -1},
                 {0x8000007Fu, 127, -32768}, {0x0001FFFEu, -2, 1}};
    for (const auto& c : cases) {
        const CardPoint p = LongToPoint(c.value);
        EXPECT_EQ(p.x, c.x) << std::hex << c.value;
        EXPECT_EQ(p.y, c.y) << std::hex << c.value;
    }
}

TEST(CardHandlerState, TabSwitchesBetweenBrowseAndOneTool) {
    EXPECT_EQ(ShiftTabTool(18), 20);
    EXPECT_EQ(ShiftTabTool(20), 18);
    EXPECT_EQ(ShiftTabTool(5), 18);
    EXPECT_EQ(ChordTabTool(18), 13);
    EXPECT_EQ(ChordTabTool(13), 18);
    EXPECT_EQ(ChordTabTool(20), 18);
}

TEST(CardHandlerState, CardClickActionSuppressesTheStacks) {
    const struct {
        const char* what;
        bool hit, handled;
        uint16_t card, stack;
        bool runCard, runStack;
    } cases[] = {
        {"empty space, card action", false, false, 7, 9, true, false},
        {"empty space, no card action", false, false, 0, 9, false, true},
        {"empty space, no actions", false, false, 0, 0, false, false},
        {"object that took the click", true, true, 7, 9, false, false},
        {"object hidden or not taking it", true, false, 7, 9, false, true},
    };
    for (const auto& c : cases) {
        const BrowseClickPlan plan = PlanBrowseClick(c.hit, c.handled, c.card, c.stack);
        EXPECT_EQ(plan.runCardAction, c.runCard) << c.what;
        EXPECT_EQ(plan.runStackAction, c.runStack) << c.what;
    }
}

TEST(CardHandlerState, StackWordsReadAsZeroWithoutAStack) {
    ASSERT_TRUE(InitMemRefs());
    SetStackHeaderHandle(0);
    SetCurrentCardId(0);
    EXPECT_EQ(StackHeaderWord(kHeaderStackActionB), 0);
    EXPECT_EQ(StackHeaderWord(kHeaderLocked), 0);
    EXPECT_EQ(CurrentCardWord(kCardAction3), 0);

    Handle header = NewStackHeader();
    ASSERT_NE(header, 0u);
    {
        HandleLock lock(header);
        const std::span<uint8_t> bytes = lock.bytes();
        SetU16(bytes, kHeaderStackActionB, 0x1234);
        SetU16(bytes, kHeaderLocked, 1);
    }
    SetStackHeaderHandle(header);
    EXPECT_EQ(StackHeaderWord(kHeaderStackActionB), 0x1234);
    EXPECT_EQ(StackHeaderWord(kHeaderLocked), 1);
    EXPECT_EQ(StackHeaderWord(127), 0) << "a word running past the header reads 0";
    EXPECT_EQ(CurrentCardWord(kCardAction3), 0) << "no current card";
    SetStackHeaderHandle(0);
}

void* Module(uintptr_t n) { return reinterpret_cast<void*>(n); }
std::vector<void*> g_released;

TEST(LoadedLibraries, TenAtMostFreedFromTheFront) {
    LoadedLibraryTable table;
    for (uintptr_t n = 1; n <= kLoadedLibrarySlots; ++n)
        EXPECT_TRUE(table.Record(Module(n)));
    EXPECT_FALSE(table.HasRoom());
    EXPECT_FALSE(table.Record(Module(11))) << "an eleventh is refused";
    EXPECT_FALSE(table.Record(nullptr));

    g_released.clear();
    table.ReleaseAll([](void* m) { g_released.push_back(m); });
    ASSERT_EQ(g_released.size(), 10u);
    EXPECT_EQ(g_released.front(), Module(1));
    EXPECT_EQ(g_released.back(), Module(10));
    EXPECT_TRUE(table.HasRoom());

    // Freeing stops at the first empty slot.
    table.slots[0] = Module(1);
    table.slots[2] = Module(3);
    g_released.clear();
    table.ReleaseAll([](void* m) { g_released.push_back(m); });
    EXPECT_EQ(g_released, std::vector<void*>{Module(1)});
    EXPECT_EQ(table.slots[2], nullptr) << "the table is empty afterwards";

    // One freed on its own leaves no gap, so that freeing all still reaches the rest.
    for (uintptr_t n = 1; n <= 3; ++n)
        table.Record(Module(n));
    EXPECT_TRUE(table.Forget(Module(2)));
    EXPECT_FALSE(table.Forget(Module(2)));
    EXPECT_FALSE(table.Holds(Module(2)));
    EXPECT_TRUE(table.Holds(Module(3)));
    g_released.clear();
    table.ReleaseAll([](void* m) { g_released.push_back(m); });
    EXPECT_EQ(g_released, (std::vector<void*>{Module(1), Module(3)}));
}

}  // namespace
