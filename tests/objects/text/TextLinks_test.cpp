// Text links without a window: records read with their lengths bounded by the record, where a
// link applies around a click, and what stands as a whole word.
#include "objects/text/TextLinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

TEST(TextLinks, RecordsAreReadWithinTheirBytes) {
    const std::vector<uint8_t> good = BuildLinkRecord(7, 21, "cat", true, std::vector<uint8_t>(kButtonHeaderBytes, 0));
    std::optional<LinkFields> read = ReadLinkFields(good);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text, "cat");
    EXPECT_EQ(read->actionOffset, 28u) << "an odd text takes a pad byte";
    std::vector<uint8_t> damaged = good;
    SetU16(damaged, kLinkTextLength, 0xFFFF);
    read = ReadLinkFields(damaged);
    EXPECT_EQ(read->text.size(), damaged.size() - kLinkText) << "the text cut to the record";
    EXPECT_FALSE(read->hasActions);
    damaged = good;
    SetU16(damaged, kLinkOtherLength, 0x8000);
    EXPECT_FALSE(ReadLinkFields(damaged)->hasActions) << "an action offset past the record";
    EXPECT_FALSE(ReadLinkFields(std::vector<uint8_t>(23, 0)));
}

// p is the position: under the click (read-only), or the selection's start (editable).
TEST(TextLinks, ALinkAppliesAroundThePositionByTheFieldsKind) {
    const std::string text = "the cat sat on the mat";
    const struct {
        const char* what;
        bool readOnly;
        int32_t p, selEnd;
        std::string link;
        int32_t start;  // -1: none applies
    } cases[] = {
        {"read-only, inside", true, 9, 9, "sat", 8},
        {"read-only, on the first character", true, 8, 8, "sat", -1},
        {"read-only, just after", true, 11, 11, "sat", -1},
        {"editable, caret at the end", false, 11, 11, "SAT", 8},
        {"editable, selection past it", false, 8, 12, "sat", -1},
        {"the window cut at the text's end", true, 21, 21, "mat", 19},
    };
    for (const auto& c : cases) {
        const int32_t n = static_cast<int32_t>(c.link.size()), from = std::max(c.p - n, 0);
        const int32_t to = std::min<int32_t>(c.p + n, static_cast<int32_t>(text.size()));
        const std::optional<LinkRange> range =
            MatchLinkInWindow(std::string_view(text).substr(from, to - from), from, c.link, c.readOnly, c.p, c.p, c.selEnd);
        EXPECT_EQ(range ? range->start : -1, c.start) << c.what;
    }
    EXPECT_FALSE(IsWholeWordIn("a cat_ b", 2, 5)) << "followed by '_'";
    EXPECT_TRUE(IsWholeWordIn("a _cat b", 3, 6)) << "preceded by '_'";
    EXPECT_FALSE(IsWholeWordIn("concat", 3, 6));
    EXPECT_FALSE(SearchLinkText("cat", "cat_ cat", false, true)) << "only the first occurrence is tested";
    EXPECT_TRUE(SearchLinkText("CAT", "x=\"cat\";", false, true));
}

}  // namespace
