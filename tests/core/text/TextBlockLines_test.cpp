// The lines of a scrolling text block and its lower scroll bound.
#include "core/text/TextBlockLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view l : SplitTextBlockLines(text))
        out.emplace_back(l);
    return out;
}

TEST(TextBlockLines, SplitsAtLineFeedsDroppingCarriageReturns) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("one\ntwo"), (V{"one", "two"}));
    EXPECT_EQ(Lines("one\r\ntwo\r\n"), (V{"one", "two"}));
    EXPECT_EQ(Lines("a\n\nb"), (V{"a", " ", "b"}));        // an empty line is one blank
    EXPECT_EQ(Lines("a\r\n\r\nb"), (V{"a", " ", "b"}));
    EXPECT_EQ(Lines("\n"), (V{" "}));
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("a\rb\nc"), (V{"a\rb", "c"}));        // only a return before a feed goes
    EXPECT_EQ(Lines("end\r"), (V{"end\r"}));
    EXPECT_EQ(Lines(std::string_view("x\ny\0junk\nz", 11)), (V{"x", "y"}));  // text ends at NUL
}

TEST(TextBlockLines, LowerBoundIsStartMinusEndPlusOneLine) {
    EXPECT_EQ(TextBlockLowerBound(10, 15), -135);
    EXPECT_EQ(TextBlockLowerBound(1, 15), 0);
    EXPECT_EQ(TextBlockLowerBound(0, 15), 15);
}

}  // namespace
