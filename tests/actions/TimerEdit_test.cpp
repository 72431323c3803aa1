// The timer dialog's delay edit: typing, reading and stepping the delay.
#include <gtest/gtest.h>

#include "actions/TimerButtons.h"

namespace {

struct TypingCase {
    const char* before;
    size_t selStart, selEnd;
    const char* typed;  // characters in turn
    const char* after;  // the text once typed ("!" when the last character was refused)
};

// Each case types its characters one after another from the given selection.
constexpr TypingCase kTyping[] = {
    {"", 0, 0, "253", "25.3"},          // the third digit takes the point
    {"", 0, 0, "2.5", "2.5"},
    {"", 0, 0, "7", "7"},
    {"25.3", 4, 4, "4", "!"},           // one digit after the point
    {"2.5", 3, 3, ".", "!"},            // one point
    {"3", 1, 1, "x", "!"},              // digits, the point and backspace only
    {"25", 0, 0, "1", "!"},             // not at the end: three digits before the point
    {"25", 0, 2, "9", "9"},             // typing over a selection
    {"25.3", 4, 4, "\b", "25"},         // backspace: the point goes with its digit
    {"25.3", 0, 4, "\b", ""},
    {"05.3", 4, 4, "\b", "5"},         // shown afresh
    {"12.3", 3, 3, "\b", "!"},          // the point taken out would leave three digits
};

TEST(TimerEdit, TypingFollowsTheDelayRules) {
    for (const TypingCase& c : kTyping) {
        TimerEditState edit{c.before, c.selStart, c.selEnd};
        bool accepted = true;
        for (const char* p = c.typed; *p; ++p)
            accepted = TypeIntoTimerEdit(edit, *p);
        const std::string got = accepted ? edit.text : std::string("!");
        EXPECT_EQ(got, c.after) << "typing \"" << c.typed << "\" into \"" << c.before << "\" at " << c.selStart;
    }
}

TEST(TimerEdit, ReadingAndSteppingRoundTheRange) {
    EXPECT_EQ(ReadTimerEditText(".5"), 5);
    EXPECT_EQ(ReadTimerEditText("7."), 70);
    EXPECT_EQ(ReadTimerEditText(""), 0);
    EXPECT_EQ(StepTimerValue(999, 1, true), 0) << "past the top to the bottom";
    EXPECT_EQ(StepTimerValue(995, 1, false), 0);
    EXPECT_EQ(StepTimerValue(0, -1, true), 999) << "below the bottom to the top";
    EXPECT_EQ(StepTimerValue(5, -1, false), 999);
}

}  // namespace
