// The polled one-shot timers on a recording host: which slots fire, how many 1025 messages are
// posted with what, and when the 1 ms poll runs.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/events/OneShotTimers.h"
#include "core/events/TimerList.h"
#include "core/ui/ToolNumbers.h"

namespace {

struct Host {
    bool waiting = false, polling = false;  // waiting: a 1025 not yet handled
    std::vector<uint32_t> posted;                          // their wParam
};
Host g_host;
using Slot = std::array<uint8_t, kTimerSlotBytes>;
bool Fired(const Slot& slot) { return slot[kTimerSlotFiredOffset] == 1; }

TEST(TimerList, PolledSlotsFireInBrowseModeWithOneMessageAtATime) {
    g_host = Host{};
    const TimerListHost installed = SetTimerListHost(
        {[] { return g_host.waiting; },
         [](uint32_t due, uint32_t) { g_host.posted.push_back(due), g_host.waiting = true; },
         [] { g_host.polling = true; }, [] { g_host.polling = false; }});
    Slot a{}, b{}, stranger{};
    ASSERT_TRUE(AddPolledSlot(a.data()));
    ASSERT_TRUE(AddPolledSlot(b.data()));
    EXPECT_EQ(ArmPolledSlot(stranger.data(), 10, 1000), 0u);  // no node: nothing armed
    EXPECT_FALSE(g_host.polling);
    EXPECT_EQ(ArmPolledSlot(a.data(), 10, 1000), 1010u);
    EXPECT_EQ(ArmPolledSlot(b.data(), 15, 1000), 1015u);
    EXPECT_TRUE(g_host.polling);

    // 10 and 15 ms with no message handled between: one message for both.
    PollTimerList(1009);
    PollTimerList(1012);
    PollTimerList(1016);
    EXPECT_EQ(g_host.posted, (std::vector<uint32_t>{1010}));
    EXPECT_TRUE(Fired(a) && Fired(b));
    // Handled between, each posts its own; an expired slot stays expired without posting again.
    a.fill(0), b.fill(0), g_host = Host{.polling = true};
    ArmPolledSlot(a.data(), 10, 2000);
    ArmPolledSlot(b.data(), 15, 2000);
    PollTimerList(2010);
    g_host.waiting = false;
    PollTimerList(2015);
    g_host.waiting = false;
    PollTimerList(2100);
    EXPECT_EQ(g_host.posted, (std::vector<uint32_t>{2010, 2015}));

    // Outside browse mode nothing fires until browse mode returns; due times wrap.
    a.fill(0), g_host = Host{.polling = true};
    SelectToolNumber(1);
    EXPECT_EQ(ArmPolledSlot(a.data(), 10, 0xFFFFFFF6u), 1u);  // never 0, which means disarmed
    PollTimerList(5);
    EXPECT_FALSE(Fired(a));
    SelectToolNumber(kBrowseTool);
    PollTimerList(0xFFFFFFFFu);
    EXPECT_FALSE(Fired(a));
    PollTimerList(6);
    EXPECT_TRUE(Fired(a));
    EXPECT_EQ(g_host.posted, (std::vector<uint32_t>{1}));

    // A disarmed slot keeps its node; the poll stops with the last node.
    DisarmPolledSlot(b.data());
    EXPECT_TRUE(HasPolledSlot(b.data()) && !IsPolledSlotArmed(b.data()));
    RemovePolledSlot(a.data());
    EXPECT_TRUE(g_host.polling);
    RemovePolledSlot(b.data());
    EXPECT_FALSE(g_host.polling);
    AddPolledSlot(a.data());
    ClearTimerList();
    EXPECT_EQ(PolledSlotCount(), 0);
    EXPECT_FALSE(g_host.polling);
    SetTimerListHost(installed);
}

}  // namespace
