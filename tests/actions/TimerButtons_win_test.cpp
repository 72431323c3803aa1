// Timer buttons in the hosted plug-in, on a clock the test moves 55 ms for each tick of the card
// window's periodic timer: when timers fire, how they repeat, what stops their count, what a
// move to another card does to the pass and the table; and the "MAGICBUTTONS" dialog answered
// through the dialog driver.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionRecord.h"
#include "actions/TimerButtons.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/ToolNumbers.h"
#include "host/player/CardNavigation.h"
#include "host/window/PeriodicTick.h"
#include "resources/resource_ids.h"
#include "resources/timers_ids.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

uint32_t g_now = 5000000;
uint32_t TestClock() { return g_now; }
MillisecondClock g_systemClock = nullptr;

constexpr int kTickMs = static_cast<int>(kPeriodicTimerMs);
constexpr uint16_t kClickActionId = 300;

// A button doing its testing answer (1 correct, 2 incorrect) or moving to the next card.
sb::Object TimedButton(uint16_t id, const char* name, uint16_t value, uint16_t mode, uint16_t testing, bool moves) {
    const int16_t x = static_cast<int16_t>((id % 10) * 15), y = static_cast<int16_t>((id / 10) * 15);
    sb::Object b = sb::ShapedButton(id, {x, y, static_cast<int16_t>(x + 12), static_cast<int16_t>(y + 12)}, name, 2, 0,
                                    moves ? kDestNext : 0);
    sb::SetTimer(b, value, mode);
    b.words.push_back({kButtonTesting, testing});
    return b;
}

// 1: a 3-second timer to card 2; 2: half a second to card 3; 3: a repeating half second and a
// once-only 0.8 s answering; 4: at once to card 5; 5: two at once answering; 6: the card's click
// action at 0.2 s then twenty more timers; 7: nothing timed.
sb::Stack TimerStack() {
    sb::Stack s;
    s.cardWidth = 200;
    s.cardHeight = 150;
    for (uint16_t id = 1; id <= 7; ++id)
        s.cards.push_back(sb::PlainCard(id));
    s.cards[0].objects = {TimedButton(1, "Three", 3, kTimerOnce, 0, true)};
    s.cards[1].objects = {TimedButton(2, "Half", kTimerTenths + 5, kTimerOnce, 0, true)};
    s.cards[2].objects = {TimedButton(3, "Again", kTimerTenths + 5, kTimerRepeating, 1, false),
                          TimedButton(4, "Once", kTimerTenths + 8, kTimerOnce, 2, false)};
    s.cards[3].objects = {TimedButton(5, "Mover", 0, kTimerOnce, 0, true)};
    s.cards[4].objects = {TimedButton(6, "First", 0, kTimerOnce, 1, false),
                          TimedButton(7, "Second", kTimerTenths, kTimerOnce, 2, false)};
    for (uint16_t id = 10; id < 30; ++id)
        s.cards[5].objects.push_back(TimedButton(id, "Later", 99, kTimerOnce, 0, false));
    sb::Object click = sb::Button(kClickActionId, {0, 0, 0, 0}, "");
    sb::SetTimer(click, kTimerTenths + 2, kTimerOnce);
    click.words.push_back({kButtonTesting, 1});
    s.cards[5].actions[2] = kClickActionId;
    s.resources.push_back({"Actn", kClickActionId, "", 0, 0, sb::ActionRecord(click)});
    s.nextResourceId = kClickActionId + 1;
    s.nextObjectId = 40;
    return s;
}

// The label of the testing answer kept on a card ("" for the card's own action), or "none".
std::string AnswerOn(uint16_t cardId) {
    const std::vector<uint8_t> answer = HandleToBytes(GetCardTestingAnswer(FindCardById(cardId)));
    if (answer.size() != kTestingAnswerBytes)
        return "none";
    return reinterpret_cast<const char*>(answer.data() + kTestingAnswerLabel);
}

class TimerButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = "timers-" + ProcessTag() + ".stk";
        ASSERT_TRUE(OpenInLinkedPlugin(TimerStack(), name, &page_, [] { g_systemClock = SetMillisecondClock(TestClock); }));
        ASSERT_EQ(GetCurrentCardId(), 1);
        window_ = GetMainWindow();
    }
    void TearDown() override {
        CloseLinkedPlugin(&page_);
        SetMillisecondClock(g_systemClock);
    }
    // One tick of timer 1 after 55 ms.
    void Tick() {
        g_now += kTickMs;
        SendMessageA(window_, WM_TIMER, kPeriodicTimerId, 0);
    }
    // Ticks until the current card is no longer `card`; the milliseconds it took, or -1 when it
    // stayed for `limitMs`.
    int MsUntilCardLeaves(uint16_t card, int limitMs) {
        for (int ms = kTickMs; ms <= limitMs; ms += kTickMs) {
            Tick();
            if (GetCurrentCardId() != card)
                return ms;
        }
        return -1;
    }
    void Enter(uint16_t card) {
        GoToCardId(card, {3, 0, 8});
        ASSERT_EQ(GetCurrentCardId(), card);
    }

    LinkedPluginPage page_;
    HWND window_ = nullptr;
};

TEST_F(TimerButtonsTest, WholeSecondsAndTenthsFireOnTimeFromTheCardShown) {
    // 30 tenths are 180 ticks of 17 ms: the first tick at or after 3.06 s fires, not 4.5 s as
    // when each count dropped the ticks short of a tenth.
    const int three = MsUntilCardLeaves(1, 6000);
    EXPECT_GE(three, 3000);
    EXPECT_LE(three, 3060 + 17 + kTickMs);
    ASSERT_EQ(GetCurrentCardId(), 2);
    // Card 2's half second counts from its showing.
    const int half = MsUntilCardLeaves(2, 2000);
    EXPECT_GE(half, 500 - kTickMs);
    EXPECT_LE(half, 510 + 17 + kTickMs);
    EXPECT_EQ(GetCurrentCardId(), 3);
}

TEST_F(TimerButtonsTest, RepeatingFiresAfterEachFullDelayAndOnceOnlyOncePerVisit) {
    auto watch = [&](int forMs) {
        std::vector<std::pair<int, std::string>> fired;
        for (int ms = kTickMs; ms <= forMs; ms += kTickMs) {
            Tick();
            const std::string label = AnswerOn(3);
            if (label != "none") {
                fired.push_back({ms, label});
                FreeCardTestingAnswer(FindCardById(3));
            }
        }
        return fired;
    };
    Enter(3);
    std::vector<int> again;
    int once = 0;
    for (const auto& [ms, label] : watch(2600)) {
        if (label == "Again")
            again.push_back(ms);
        else if (label == "Once" && ++once == 1)
            EXPECT_NEAR(ms, 816 + kTickMs / 2, kTickMs) << "the once-only timer at 0.8 s";
        else
            ADD_FAILURE() << label << " at " << ms;
    }
    EXPECT_EQ(once, 1);
    ASSERT_GE(again.size(), 4u);
    EXPECT_NEAR(again[0], 510 + kTickMs / 2, kTickMs);
    for (size_t i = 1; i < again.size(); ++i)
        EXPECT_NEAR(again[i] - again[i - 1], 510, kTickMs + 17) << "repeat " << i;

    // Another visit fires the once-only timer again, once.
    Enter(7);
    Enter(3);
    once = 0;
    for (const auto& [ms, label] : watch(1500))
        once += label == "Once";
    EXPECT_EQ(once, 1);
}

TEST_F(TimerButtonsTest, TheStacksTimersWordAndAnotherToolStopTheCount) {
    Enter(2);
    const Handle header = GetStackHeaderHandle();
    SetHandleWord(header, kHeaderTimersAndLinks, 0);
    EXPECT_EQ(MsUntilCardLeaves(2, 1500), -1) << "the word is 0";
    SetHandleWord(header, kHeaderTimersAndLinks, 1);
    // The time passed with the word 0 is not counted (but for the last tick or two before it
    // came back): the half second is still to come.
    EXPECT_EQ(MsUntilCardLeaves(2, 330), -1);
    EXPECT_GT(MsUntilCardLeaves(2, 300), 0);

    // Another tool (its change rules held back, which would clear the table) counts nothing,
    // even with the timers on, and the time spent there is lost too.
    Enter(2);
    const ToolChangeHook rules = SetToolChangeHook(nullptr);
    SelectToolNumber(kArrowTool);
    g_now += 200;
    EXPECT_FALSE(TickTimerTable(1));
    for (int ms = 0; ms < 1500; ms += kTickMs)
        Tick();
    EXPECT_EQ(GetTimerEntry(0).remaining, 5);
    SelectToolNumber(kBrowseTool);
    SetToolChangeHook(rules);
    EXPECT_EQ(MsUntilCardLeaves(2, 330), -1);
    EXPECT_GT(MsUntilCardLeaves(2, 300), 0);
}

TEST_F(TimerButtonsTest, AMoveEndsThePassAndTheTableKeepsTheFirstTwentyInScanOrder) {
    // Card 4 moves to card 5 at once; the pass that moved ends there, so card 5's timers wait
    // for a count of their own.
    Enter(4);
    ASSERT_GT(MsUntilCardLeaves(4, 500), 0);
    ASSERT_EQ(GetCurrentCardId(), 5);
    EXPECT_EQ(AnswerOn(5), "none") << "card 5's timers fired in the pass of card 4";
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_EQ(AnswerOn(5), "Second") << "both fire, in table order";

    // The card's click action, then the buttons in scan order: 20 in all.
    Enter(6);
    ASSERT_EQ(TimerCount(), 20);
    const TimerEntry click = GetTimerEntry(0);
    EXPECT_EQ(click.id, kClickActionId);
    EXPECT_EQ(click.source, kTimerFromAction);
    EXPECT_EQ(click.remaining, 2);
    for (uint32_t i = 1; i < kTimerTableCapacity; ++i) {
        EXPECT_EQ(GetTimerEntry(i).id, 9 + i) << i;
        EXPECT_EQ(GetTimerEntry(i).source, kTimerFromButton);
        EXPECT_EQ(GetTimerEntry(i).reload, 990);
    }
    EXPECT_EQ(CountCardTimers(), 21);
    // The click action's answer (it has no label) after 0.2 s.
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(AnswerOn(6), "");

    // A card without timers has none.
    Enter(7);
    EXPECT_EQ(TimerCount(), 0);
}

// ---- the "MAGICBUTTONS" dialog ----

// A press of the up-down control's upper or lower half.
void StepUpDown(DialogView& box, bool up) {
    HWND steps = GetDlgItem(box.Window(), IDC_TIMER_STEPS);
    RECT r;
    GetClientRect(steps, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageA(steps, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(steps, WM_LBUTTONUP, 0, at);
}

void Type(DialogView& box, const char* text) {
    HWND edit = GetDlgItem(box.Window(), IDC_TIMER_DELAY);
    for (const char* p = text; *p; ++p)
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*p)), 0);
}

TEST_F(TimerButtonsTest, TheDialogShowsTheDelayAndTypingTwoFiftyThreeStoresTwentyFiveAndThree) {
    Enter(7);
    uint16_t mode = kTimerOnce, value = 3;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("MAGICBUTTONS"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Automatic Timer");
        EXPECT_TRUE(box.IsChecked(IDC_TIMER_AFTER));
        EXPECT_FALSE(box.IsChecked(IDC_TIMER_AT_ONCE));
        EXPECT_FALSE(box.IsChecked(IDC_TIMER_REPEAT));
        EXPECT_EQ(box.FocusId(), IDC_TIMER_AFTER);
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "3.0");
        StepUpDown(box, true);
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "3.1") << "tenths in the point form";
        box.SetText(IDC_TIMER_DELAY, "");
        Type(box, "253");
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "25.3");
        Type(box, "4x.");
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "25.3") << "nothing more fits";
        box.SetChecked(IDC_TIMER_REPEAT, true);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return RunTimerDialog(window_, &mode, &value); }), 1);
    EXPECT_EQ(mode, kTimerRepeating);
    EXPECT_EQ(value, kTimerTenths + 253);
    EXPECT_EQ(driver.DialogsSeen(), 1) << "the stack's timers are on: no question";
}

TEST_F(TimerButtonsTest, TheRadiosKeepTheDelayOkOffersToTurnTheTimersOnAndTwentyTimersRefuseAnother) {
    Enter(7);
    const Handle header = GetStackHeaderHandle();
    SetHandleWord(header, kHeaderTimersAndLinks, 0);
    uint16_t mode = kTimerOff, value = 0;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("MAGICBUTTONS"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_TIMER_AT_ONCE));
        EXPECT_EQ(box.FocusId(), IDC_TIMER_AT_ONCE);
        box.SetChecked(IDC_TIMER_AFTER, true);
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "3.0") << "what the delay radio offers first";
        box.SetText(IDC_TIMER_DELAY, "4");
        StepUpDown(box, false);
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "3") << "whole seconds without a point";
        box.SetChecked(IDC_TIMER_AT_ONCE, true);
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "0");
        // Into the edit again: the delay radio comes back with the delay kept.
        SetFocus(GetDlgItem(box.Window(), IDC_TIMER_DELAY));
        EXPECT_TRUE(box.IsChecked(IDC_TIMER_AFTER));
        EXPECT_EQ(box.Text(IDC_TIMER_DELAY), "3.0");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(IDA_TIMERS_OFF), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK, turn them on", "Don't turn them on now"}));
        box.Press(53);
    });
    EXPECT_EQ(driver.Run([&] { return RunTimerDialog(window_, &mode, &value); }), 1);
    EXPECT_EQ(mode, kTimerOnce);
    EXPECT_EQ(value, kTimerTenths + 30);
    EXPECT_EQ(GetHandleWord(header, kHeaderTimersAndLinks), 0) << "left off";

    driver.Expect(DialogMatch::Template("MAGICBUTTONS"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_TIMER_AFTER));
        box.SetChecked(IDC_TIMER_AT_ONCE, true);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(IDA_TIMERS_OFF), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([&] { return RunTimerDialog(window_, &mode, &value); }), 1);
    EXPECT_EQ(value, 0) << "at once";
    EXPECT_EQ(GetHandleWord(header, kHeaderTimersAndLinks), 1) << "turned on";

    // Cancel leaves the record as it was and lets an empty table go.
    mode = kTimerOnce, value = 7;
    driver.Expect(DialogMatch::Template("MAGICBUTTONS"), [](DialogView& box) {
        box.SetChecked(IDC_TIMER_REPEAT, true);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunTimerDialog(window_, &mode, &value); }), 0);
    EXPECT_EQ(mode, kTimerOnce);
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(HasTimerTable());

    // A card with 20 timers takes no other.
    Enter(6);
    driver.Expect(DialogMatch::Alert(IDA_TIMERS_FULL), [](DialogView& box) {
        EXPECT_NE(box.Text(IDC_ALERT_TEXT).find("no more room for another auto-button"), std::string::npos);
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([&] { return RunTimerDialog(window_, &mode, &value); }), 0);
}

}  // namespace
