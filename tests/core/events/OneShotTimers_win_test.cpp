// One-shot timers on the system, observed by the messages 1025 that reach the card window: the
// polled list on its 1 ms thread timer, multimedia events, and shut-down cancelling both.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "core/events/OneShotTimers.h"
#include "core/system/PluginModule.h"
#include "host/palettes/CurrentTool.h"

namespace {

using Slot = std::array<uint8_t, kTimerSlotBytes>;
bool Fired(const Slot& slot) { return slot[kTimerSlotFiredOffset] == 1; }

class OneShotTimersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ShutdownTimers();  // polled mode
        window_ = CreateWindowExA(0, "STATIC", "card", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        SelectToolNumber(kBrowseTool);
    }
    void TearDown() override {
        ShutdownTimers();
        SetMainWindow(nullptr);
        DestroyWindow(window_);
    }
    // Runs messages for up to `ms`, until `wanted` 1025s reached the card window; their count.
    int Pump(DWORD ms, int wanted = 1000) {
        int fired = 0;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms && fired < wanted;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == window_ && msg.message == kTimerFiredMessage)
                    ++fired;
                else
                    DispatchMessageA(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return fired;
    }
    HWND window_ = nullptr;
};

TEST_F(OneShotTimersTest, PolledTimersOf10And15MsPostMessage1025) {
    ASSERT_EQ(GetTimerResolution(), 0u);
    Slot ten{}, fifteen{};
    AddTimerSlot(ten.data());
    AddTimerSlot(fifteen.data());
    ASSERT_NE(ArmOneShotTimer(ten.data(), 10), 0u);
    EXPECT_EQ(Pump(2000, 1), 1);
    ASSERT_NE(ArmOneShotTimer(fifteen.data(), 15), 0u);
    EXPECT_EQ(Pump(2000, 1), 1);
    EXPECT_TRUE(Fired(ten) && Fired(fifteen));

    // Shut-down frees the nodes and stops the poll.
    fifteen.fill(0);
    ArmOneShotTimer(fifteen.data(), 20);
    ShutdownTimers();
    EXPECT_FALSE(IsTimerArmed(fifteen.data()));
    EXPECT_EQ(Pump(100), 0);
}

TEST_F(OneShotTimersTest, MultimediaEventsFireAndShutdownCancelsThem) {
    ASSERT_TRUE(InitTimerResolution());
    ASSERT_GE(GetTimerResolution(), 1u);
    Slot slot{}, other{};
    ASSERT_NE(ArmOneShotTimer(slot.data(), 0), 0u);  // raised to the resolution
    EXPECT_EQ(Pump(2000, 1), 1);
    EXPECT_TRUE(Fired(slot));
    EXPECT_FALSE(IsTimerArmed(slot.data()));  // the callback cleared the event id

    // Expiry outside browse mode marks nothing; shut-down kills what is pending.
    slot.fill(0);
    SelectToolNumber(8);
    ArmOneShotTimer(other.data(), 1);
    EXPECT_EQ(Pump(100), 0);
    SelectToolNumber(kBrowseTool);
    ASSERT_NE(ArmOneShotTimer(slot.data(), 40), 0u);
    ShutdownTimers();
    EXPECT_EQ(GetTimerResolution(), 0u);
    EXPECT_EQ(Pump(150), 0);
    EXPECT_FALSE(Fired(slot) || Fired(other));
    ShutdownTimers();  // twice is harmless
}

}  // namespace
