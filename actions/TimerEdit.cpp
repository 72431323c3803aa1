// The timer dialog's delay edit: "seconds.tenths", at most 99.9 seconds.
#include <algorithm>
#include <cstdio>

#include "actions/TimerButtons.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// At most two digits before one point and one digit after it, nothing else.
bool IsDelayText(std::string_view text) {
    if (text.size() > kTimerEditCharacters)
        return false;
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view tenths = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.size() > 2 || tenths.size() > 1)
        return false;
    for (char c : whole)
        if (!IsDigit(c))
            return false;
    return tenths.empty() || IsDigit(tenths[0]);
}

}  // namespace

std::string TimerEditText(int32_t tenths, bool pointForm) {
    char text[16];
    if (!pointForm && tenths % 10 == 0)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(tenths / 10));
    else
        std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(tenths / 10), static_cast<int>(tenths % 10));
    return text;
}

int32_t ReadTimerEditText(std::string_view text) {
    int32_t seconds = 0, tenths = 0;
    size_t i = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        seconds = seconds * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1]))
        tenths = text[i + 1] - '0';
    return seconds * 10 + tenths;
}

bool TypeIntoTimerEdit(TimerEditState& edit, char ch) {
    std::string& text = edit.text;
    size_t from = std::min(edit.selStart, text.size());
    size_t to = std::min(std::max(edit.selEnd, from), text.size());
    if (ch == '\b') {
        if (from == to && from > 0)
            --from;
        std::string left = text.substr(0, from) + text.substr(to);
        // What is left shows afresh: a point with nothing after it goes too.
        if (!left.empty() && left.back() == '.')
            left.pop_back();
        if (!IsDelayText(left))
            return false;
        if (!left.empty())
            left = TimerEditText(ReadTimerEditText(left), left.find('.') != std::string::npos);
        text = left;
        edit.selStart = edit.selEnd = text.size();
        return true;
    }
    if (!IsDigit(ch) && ch != '.')
        return false;
    std::string typed = text.substr(0, from) + ch + text.substr(to);
    size_t caret = from + 1;
    // A third digit after two at the end takes the point before it: "25" then "3" is 25.3.
    if (IsDigit(ch) && from == to && to == text.size() && text.size() == 2 && IsDigit(text[0]) && IsDigit(text[1])) {
        typed = text + '.' + ch;
        caret = typed.size();
    }
    if (!IsDelayText(typed))
        return false;
    text = typed;
    edit.selStart = edit.selEnd = caret;
    return true;
}

int32_t StepTimerValue(int32_t tenths, int delta, bool pointForm) {
    const int32_t stepped = tenths + (pointForm ? delta : delta * 10);
    if (stepped > kTimerEditMaxTenths)
        return 0;
    if (stepped < 0)
        return kTimerEditMaxTenths;
    return stepped;
}
