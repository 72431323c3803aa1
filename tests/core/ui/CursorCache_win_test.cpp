// The cursor cache: loading once per card, growing, letting go when the card is left, the
// built-in cursors of the module, stepping an animated cursor, and hiding while typing.
#include "core/ui/CursorCache.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/system/PluginModule.h"
#include "tests/core/CursorTestUtil.h"

namespace {

std::map<uint16_t, int> g_loads;

std::vector<uint8_t> Source(uint16_t id) {
    ++g_loads[id];
    if (id == 500)
        return Animated({1, 0, 2}, {0, 2, 1});
    if (id == 501)
        return {1, 0, 9};  // damaged
    return MakeStillCursorData(CursorFile(id % 2 ? 32 : 16));
}

class CursorCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A window of its own class: a static control lets the mouse through to what is below.
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "CursorCacheTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
        SetMainWindow(window_);
        SetCursorDataSource(Source);
        g_loads.clear();
    }
    void TearDown() override {
        FreeCursorCache();
        SetCursorDataSource(nullptr);
        SetMainWindow(nullptr);
        DestroyWindow(window_);
    }
    HWND window_ = nullptr;
};

TEST_F(CursorCacheTest, LoadsOncePerCardAndGrows) {
    const HCURSOR first = GetCursorById(7);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetCursorById(8) != nullptr, true);
    EXPECT_EQ(GetCursorById(7), first);
    EXPECT_EQ(g_loads[7], 1);
    EXPECT_EQ(GetCursorById(0), nullptr);
    EXPECT_EQ(GetCursorById(501), nullptr);
    std::set<HCURSOR> distinct;
    for (uint16_t id = 10; id < 40; ++id)
        distinct.insert(GetCursorById(id));
    EXPECT_EQ(distinct.size(), 30u);
    EXPECT_EQ(CursorCacheCount(), 32u);
    ResetCursorCache();
    EXPECT_EQ(CursorCacheCount(), 0u);
    EXPECT_NE(GetCursorById(7), nullptr);
    EXPECT_EQ(g_loads[7], 2);
}

TEST_F(CursorCacheTest, BuiltInCursorsComeFromTheModule) {
    const char* dll = std::getenv("LOOM_DLL");
    HMODULE module = LoadLibraryExA(dll && *dll ? dll : "nploom.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    const HINSTANCE saved = GetAppInstance();
    SetAppInstance(module);
    std::set<HCURSOR> distinct;
    for (uint16_t id = kFirstBuiltInCursor; id <= kLastBuiltInCursor; id += 16)
        distinct.insert(GetCursorById(id));
    distinct.erase(nullptr);
    EXPECT_EQ(distinct.size(), 23u);
    EXPECT_TRUE(g_loads.empty());
    FreeCursorCache();
    SetAppInstance(saved);
    FreeLibrary(module);
}

TEST_F(CursorCacheTest, AnAnimatedCursorStepsOnlyOverTheCardWindow) {
    SetCursorPos(50, 50);
    const HCURSOR start = GetCursorById(500);
    ASSERT_NE(start, nullptr);
    EXPECT_TRUE(KillTimer(window_, kCursorAnimTimerId)) << "timer 69 runs";
    SetCursorAnimTimer(false);
    SetCursorAnimTimer(true);
    // Rates 1, 0 (one tick) and 2; sequence 0, 2, 1: frames change after 1, 2 and 1 ticks.
    std::vector<HCURSOR> shown;
    for (int tick = 0; tick < 4; ++tick) {
        EXPECT_EQ(StepAnimatedCursor(), 1);
        shown.push_back(GetCursorById(500));
    }
    EXPECT_NE(shown[0], start);
    EXPECT_EQ(shown[1], shown[0]);
    EXPECT_NE(shown[2], shown[1]);
    EXPECT_EQ(shown[3], start);
    GetCursorById(7);  // a still cursor stops the timer
    EXPECT_FALSE(KillTimer(window_, kCursorAnimTimerId));
    GetCursorById(500);
    SetCursorPos(500, 500);
    EXPECT_EQ(StepAnimatedCursor(), 0);
    EXPECT_FALSE(KillTimer(window_, kCursorAnimTimerId)) << "stopped away from the card";
}

TEST_F(CursorCacheTest, TypingHidesTheCursorUntilTheMouseMoves) {
    SetCursorPos(40, 40);
    SetCursorHideMode(2);
    EXPECT_EQ(GetCursorHideMode(), 2);
    SetCursorHideMode(3);
    EXPECT_EQ(GetCursorHideMode(), 2) << "the mouse did not move";
    SetCursorPos(41, 40);
    ShowCursorHiddenByTyping();
    EXPECT_EQ(GetCursorHideMode(), 0);
    SetCursorHideMode(1);
    SetCursorHideMode(3);
    EXPECT_EQ(GetCursorHideMode(), 0);
    SetCursorHideMode(2);
    SetCursorHideMode(0);
    EXPECT_EQ(GetCursorHideMode(), 0);
}

}  // namespace
