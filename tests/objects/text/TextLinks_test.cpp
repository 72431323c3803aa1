// Text links without a window: link records read with their lengths bounded, where a link
// applies around a click, what stands as a whole word, and the search a copied field's links
// must pass.
#include "objects/text/TextLinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/format/StackFile.h"

namespace {

// A record with the text and an action record of 136 bytes when asked.
std::vector<uint8_t> Record(const std::string& text, bool actions) {
    const std::vector<uint8_t> action(actions ? kButtonHeaderBytes : 0, 0xA5);
    return BuildLinkRecord(7, 21, text, actions, action);
}

TEST(TextLinks, RecordsAreBuiltEvenAndReadWithinTheirBytes) {
    const std::vector<uint8_t> odd = Record("cat", true);
    ASSERT_EQ(odd.size(), 24u + 3 + 1 + kButtonHeaderBytes) << "an odd text takes a pad byte";
    EXPECT_EQ(GetU16(odd, kLinkOtherLength), 1);
    std::optional<LinkFields> read = ReadLinkFields(odd);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->id, 7);
    EXPECT_EQ(read->fieldId, 21);
    EXPECT_EQ(read->text, "cat");
    EXPECT_TRUE(read->hasActions);
    EXPECT_EQ(read->actionOffset, 28u);
    EXPECT_EQ(ReadLinkFields(Record("cats", false))->actionOffset, 0u);

    // Damaged lengths: the text is cut to the record, actions that do not fit are none.
    std::vector<uint8_t> damaged = Record("cat", true);
    SetU16(damaged, kLinkTextLength, 0xFFFF);
    read = ReadLinkFields(damaged);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text.size(), damaged.size() - 24);
    EXPECT_FALSE(read->hasActions);
    damaged = Record("cat", true);
    SetU16(damaged, kLinkOtherLength, 0x8000);
    EXPECT_FALSE(ReadLinkFields(damaged)->hasActions) << "an action offset past the record";
    EXPECT_FALSE(ReadLinkFields(std::vector<uint8_t>(23, 0))) << "shorter than its header";

    uint8_t name[32];
    LinkResourceName(std::string(40, 'x'), name);
    EXPECT_EQ(name[0], 31);
}

// p is the position (read-only: under the click; editable: the selection's start).
TEST(TextLinks, ALinkAppliesAroundThePositionByTheFieldsKind) {
    const std::string text = "the cat sat on the mat";
    struct Case {
        const char* what;
        bool readOnly;
        int32_t p, selEnd;
        std::string link;
        int32_t start;  // -1: none applies
    } cases[] = {
        {"read-only, inside", true, 9, 9, "sat", 8},
        {"read-only, on the first character", true, 8, 8, "sat", -1},
        {"read-only, on the last", true, 10, 10, "sat", 8},
        {"read-only, just after", true, 11, 11, "sat", -1},
        {"editable, caret at the start", false, 8, 8, "sat", 8},
        {"editable, caret at the end", false, 11, 11, "sat", 8},
        {"editable, selection over it", false, 8, 11, "sat", 8},
        {"editable, selection past it", false, 8, 12, "sat", -1},
        {"without case", true, 5, 5, "CAT", 4},
        {"the window cut at the text's start", true, 1, 1, "the", 0},
        {"the window cut at the text's end", true, 21, 21, "mat", 19},
        {"the second occurrence only", true, 16, 16, "the", 15},
    };
    for (const Case& c : cases) {
        const int32_t n = static_cast<int32_t>(c.link.size());
        const int32_t from = std::max(c.p - n, 0);
        const int32_t to = std::min<int32_t>(c.p + n, static_cast<int32_t>(text.size()));
        const std::optional<LinkRange> range =
            MatchLinkInWindow(std::string_view(text).substr(from, to - from), from, c.link, c.readOnly, c.p, c.p, c.selEnd);
        if (c.start < 0) {
            EXPECT_FALSE(range) << c.what;
        } else {
            ASSERT_TRUE(range) << c.what;
            EXPECT_EQ(range->start, c.start) << c.what;
            EXPECT_EQ(range->end, c.start + n) << c.what;
        }
    }
}

TEST(TextLinks, WholeWordsAndTheSearchOfACopiedFieldsText) {
    EXPECT_FALSE(IsWholeWordIn("a cat_ b", 2, 5)) << "followed by '_'";
    EXPECT_TRUE(IsWholeWordIn("a _cat b", 3, 6)) << "preceded by '_'";
    EXPECT_FALSE(IsWholeWordIn("concat", 3, 6));
    EXPECT_FALSE(IsWholeWordIn("cats", 0, 3));
    EXPECT_FALSE(IsWholeWordIn("caf\xE9s", 0, 3)) << "an accented letter goes on the word";
    EXPECT_TRUE(IsWholeWordIn("cat", 0, 3));
    EXPECT_TRUE(IsWholeWordIn("(cat).", 1, 4));

    EXPECT_TRUE(SearchLinkText("cat", "the cat sat", false, true));
    EXPECT_TRUE(SearchLinkText("CAT", "the cat sat", false, true));
    EXPECT_FALSE(SearchLinkText("CAT", "the cat sat", true, true)) << "exact case";
    EXPECT_TRUE(SearchLinkText("cat", "\"cat\"", false, true));
    EXPECT_TRUE(SearchLinkText("cat", "x=cat;", false, true));
    EXPECT_FALSE(SearchLinkText("cat", "cat_ cat", false, true)) << "only the first occurrence is tested";
    EXPECT_TRUE(SearchLinkText("cat", "cat_ cat", false, false));
    EXPECT_FALSE(SearchLinkText("cat", "ca", false, false));
    EXPECT_FALSE(SearchLinkText("", "cat", false, false));
}

}  // namespace
