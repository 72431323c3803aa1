// String runs: the unescaping pass and the release of the LoomLogo vocabulary.
#include "core/text/StringRuns.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

char* HeapCopy(const char* text) {
    auto* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    return copy;
}

TEST(StringRunsTest, UnescapesInPlace) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"a\\nb", "a\nb"},       {"x\\qy", "xqy"},      {"plain", "plain"},
        {"a\\rb", "a\rb"},       {"\\\\", "\\"},        {"end\\", "end"},
        {"\\n\\r", "\n\r"},      {"", ""},              {"q\\\"t", "q\"t"},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::memset(buffer, '#', sizeof buffer);
        std::strcpy(buffer, c.in);
        char* strings[] = {buffer};
        UnescapeCStrings(strings, 1);
        EXPECT_STREQ(buffer, c.out) << "from " << c.in;
    }
    // Several strings at once; null entries are passed over.
    char one[] = "1\\n";
    char two[] = "\\t2";
    char* strings[] = {one, nullptr, two};
    UnescapeCStrings(strings, 3);
    EXPECT_STREQ(one, "1\n");
    EXPECT_STREQ(two, "t2");
    UnescapeCStrings(nullptr, 3);
}

TEST(StringRunsTest, RunStorageHasTheVocabularySizes) {
    EXPECT_EQ(kVocabularyRunCount, 20);
    for (int i = 0; i + 1 < kVocabularyRunCount; ++i) {
        char** run = GetVocabularyRun(i);
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(GetVocabularyRun(i + 1) - run, kVocabularyRunSizes[static_cast<size_t>(i)]) << "run " << i;
    }
    EXPECT_EQ(GetVocabularyRun(-1), nullptr);
    EXPECT_EQ(GetVocabularyRun(20), nullptr);
}

// Name tables as the interpreter keeps them: 14-byte records, the name pointer first and
// not necessarily aligned.
constexpr size_t kRecordSize = 14;

void PutName(uint8_t* table, size_t index, char* name) {
    std::memcpy(table + index * kRecordSize, &name, sizeof name);
}

char* NameAt(const uint8_t* table, size_t index) {
    char* name;
    std::memcpy(&name, table + index * kRecordSize, sizeof name);
    return name;
}

TEST(StringRunsTest, FreeAllStringsReleasesTheWholeVocabulary) {
    static char* single = nullptr;
    static uint8_t table[3 * kRecordSize + 1] = {};
    uint8_t* records = table + 1;  // deliberately misaligned
    RegisterVocabularyString(&single);
    RegisterVocabularyString(&single);  // a second registration changes nothing
    RegisterVocabularyNameTable(records, kRecordSize, 3);

    single = HeapCopy("forward");
    PutName(records, 0, HeapCopy("fd"));
    PutName(records, 2, HeapCopy("bk"));
    records[kRecordSize - 1] = 0x5A;  // a field after the name
    char** first = GetVocabularyRun(0);
    char** biggest = GetVocabularyRun(4);
    char** last = GetVocabularyRun(19);
    first[0] = HeapCopy("a");
    first[11] = HeapCopy("b");
    biggest[99] = HeapCopy("c");
    last[17] = HeapCopy("d");
    SetVocabularyLoaded(true);

    FreeAllStrings();  // ASan reports anything left behind or freed twice
    EXPECT_FALSE(IsVocabularyLoaded());
    EXPECT_EQ(single, nullptr);
    EXPECT_EQ(NameAt(records, 0), nullptr);
    EXPECT_EQ(NameAt(records, 1), nullptr);
    EXPECT_EQ(NameAt(records, 2), nullptr);
    EXPECT_EQ(records[kRecordSize - 1], 0x5A);  // only the names are touched
    EXPECT_EQ(first[0], nullptr);
    EXPECT_EQ(first[11], nullptr);
    EXPECT_EQ(biggest[99], nullptr);
    EXPECT_EQ(last[17], nullptr);

    FreeAllStrings();  // a second release finds nothing to free
    EXPECT_EQ(single, nullptr);
}

TEST(StringRunsTest, HebrewOnlyForItsLanguageId) {
    EXPECT_EQ(GetLanguageId(), 0u);
    EXPECT_FALSE(IsHebrewLanguage());
    SetLanguageId(1037);
    EXPECT_TRUE(IsHebrewLanguage());
    SetLanguageId(1033);
    EXPECT_FALSE(IsHebrewLanguage());
    SetLanguageId(0);
}

}  // namespace
