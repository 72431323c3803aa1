// The slide show with recording moves: three cards stopping at the end after one second each,
// round and round until Esc (an empty seconds field meaning 3), and key presses in key mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "host/dialogs/Printing.h"
#include "host/dialogs/SlideShow.h"
#include "resources/print_ids.h"
#include "tests/support/DialogDriver_win.h"

namespace {

struct Move {
    int card;
    int transition;
    uint32_t tick;
};

std::vector<Move> g_moves;
int g_card = 2;  // the show starts away from the first card
HWND g_window = nullptr;
int g_escAfterMoves = -1;   // posts Esc (from a timer) once this many moves were made
bool g_keyPerCard = false;  // posts a key (from a timer) after each move
uint32_t g_escPosted = 0;

constexpr UINT_PTR kEscTimer = 71, kKeyTimer = 72;

void Record(int transition) {
    g_moves.push_back({g_card, transition, GetTicks()});
    if (g_escAfterMoves >= 0 && static_cast<int>(g_moves.size()) == g_escAfterMoves)
        SetTimer(g_window, kEscTimer, 20, nullptr);
    if (g_keyPerCard)
        SetTimer(g_window, kKeyTimer, 20, nullptr);
}
void First(int transition, int, int speed) {
    EXPECT_EQ(speed, 8);
    g_card = 1;
    Record(transition);
}
void Next(int transition, int, int speed) {
    EXPECT_EQ(speed, 4);
    g_card = g_card % 3 + 1;
    Record(transition);
}
void ToId(uint16_t id, int transition, int, int) {
    g_card = id;
    Record(transition);
}
uint16_t CurrentId() { return static_cast<uint16_t>(g_card); }
int Count() { return 3; }

LRESULT CALLBACK ShowWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && (wParam == kEscTimer || wParam == kKeyTimer)) {
        KillTimer(window, wParam);
        if (wParam == kEscTimer)
            g_escPosted = GetTicks();
        PostMessageA(window, WM_KEYDOWN, wParam == kEscTimer ? VK_ESCAPE : 'A', 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

uint32_t g_fastStart = 0;
uint32_t FastClock() { return g_fastStart + (GetTickCount() - g_fastStart) * 20; }

class SlideShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (MemRefsCapacity() == 0)
            InitMemRefs();  // as the plug-in's start-up makes them
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates are linked in
        WNDCLASSA wc{};
        wc.lpfnWndProc = ShowWindowProc;
        wc.lpszClassName = "SlideShowTestWindow";
        wc.hInstance = GetModuleHandleA(nullptr);
        RegisterClassA(&wc);
        g_window = CreateWindowA("SlideShowTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        const SlideShowMoves moves{First, Next, ToId, CurrentId, Count};
        SetSlideShowMoves(&moves);
        g_moves.clear();
        g_card = 2;
        g_escAfterMoves = -1;
        g_keyPerCard = false;
    }
    void TearDown() override {
        SetSlideShowMoves(nullptr);
        DestroyWindow(g_window);
        FreePrintContext();
    }
};

TEST_F(SlideShowTest, ThreeCardsOneSecondEachThenTheStartCard) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("SLIDESHOW"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_SLIDE_STOP_AT_END));
        EXPECT_TRUE(box.IsChecked(IDC_SLIDE_TIMED));
        EXPECT_TRUE(box.IsEnabled(IDC_SLIDE_SECONDS));
        EXPECT_EQ(box.Text(IDC_SLIDE_SECONDS), "3");
        box.SetText(IDC_SLIDE_SECONDS, "1");
        box.Press(IDOK);
    });
    PostMessageA(g_window, WM_KEYDOWN, 'Q', 0);  // a key typed before the show is not taken
    EXPECT_EQ(driver.Run([] { return DoPrintMenuCommand(g_window, g_window, kSlideShowCommand, 0, "s"); }), 1);
    ASSERT_EQ(g_moves.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g_moves[i].card, i < 3 ? i + 1 : 2) << i;
        EXPECT_EQ(g_moves[i].transition, kSlideTransition) << i;
    }
    for (int i = 1; i < 4; ++i) {
        EXPECT_GE(g_moves[i].tick - g_moves[i - 1].tick, 60u) << i;
        EXPECT_LE(g_moves[i].tick - g_moves[i - 1].tick, 64u) << i;
    }
    SlideShowSettings settings;
    ASSERT_TRUE(GetSlideShowSettings(&settings));
    EXPECT_EQ(settings.seconds, 1u);

    // Cancel: no move; the next run starts from 3, 1, 1 again.
    g_moves.clear();
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Template("SLIDESHOW"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_SLIDE_SECONDS), "3");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(cancel.Run([] { return RunSlideShow(g_window); }), 0);
    EXPECT_TRUE(g_moves.empty());
}

TEST_F(SlideShowTest, ContinuousUntilEscWhichEndsAtOnce) {
    g_fastStart = GetTickCount();
    const MillisecondClock before = SetMillisecondClock(FastClock);
    g_escAfterMoves = 5;  // first, then four next: the show has wrapped past the last card
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("SLIDESHOW"), [](DialogView& box) {
        box.SetChecked(IDC_SLIDE_CONTINUOUS, true);
        box.SetChecked(IDC_SLIDE_STOP_AT_END, false);
        box.SetText(IDC_SLIDE_SECONDS, "");
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return RunSlideShow(g_window); }), 1);
    SetMillisecondClock(before);
    ASSERT_EQ(g_moves.size(), 6u);
    const int cards[] = {1, 2, 3, 1, 2, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(g_moves[i].card, cards[i]) << i;
    EXPECT_EQ(g_moves[5].transition, kSlideEscTransition);
    for (int i = 1; i < 5; ++i)
        EXPECT_GE(g_moves[i].tick - g_moves[i - 1].tick, 180u) << "an empty field means 3 seconds";
    EXPECT_LT(g_moves[5].tick - g_escPosted, 40u) << "Esc ends the show at once";
    EXPECT_LT(g_moves[5].tick - g_moves[4].tick, 180u);
}

TEST_F(SlideShowTest, KeyModeAdvancesOnAnyKey) {
    g_keyPerCard = true;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("SLIDESHOW"), [](DialogView& box) {
        box.SetChecked(IDC_SLIDE_BY_KEY, true);
        box.SetChecked(IDC_SLIDE_TIMED, false);
        EXPECT_FALSE(box.IsEnabled(IDC_SLIDE_SECONDS));
        box.Press(IDOK);
    });
    const uint32_t start = GetTicks();
    EXPECT_EQ(driver.Run([] { return RunSlideShow(g_window); }), 1);
    ASSERT_EQ(g_moves.size(), 4u);
    EXPECT_EQ(g_moves[3].card, 2);
    EXPECT_EQ(g_moves[3].transition, kSlideTransition);
    EXPECT_LT(GetTicks() - start, 120u) << "keys, not the three seconds, moved the show";
}

}  // namespace
