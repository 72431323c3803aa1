// The opening sequence and one card without opening, on builder-made stacks that are whole,
// cut short or damaged.
#include "stack/open/StackOpen.h"

#include <gtest/gtest.h>

#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "format/ResFile.h"

namespace {

namespace sb = stackbuilder;

class StackOpenTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override {
        EXPECT_EQ(MemRefsCount(), 0) << "handles left behind";
        FreeMemRefs();
    }
};

sb::Stack ThreeCards() {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(4));
    s.cards.push_back(sb::PictureCard(9, sb::GradientPicture(32, 16, 8)));
    s.cards[1].objects.push_back(sb::Button(1, {10, 10, 90, 30}, "OK"));
    s.cards.push_back(sb::PlainCard(11));
    s.resources.push_back({"Snd ", 128, "Beep", 0, 0, {1, 2, 3, 4, 5}});
    return s;
}

uint16_t IdOf(Handle card) { return GetHandleWord(card, kCardId); }

TEST_F(StackOpenTest, OpensWholeOrNotAtAll) {
    const sb::Built built = sb::BuildStack(ThreeCards());
    {
        SpanByteSource source(built.bytes);
        StackConversion cv;
        StackFileContents contents;
        const StackReadResult result = ReadStackFile(source, cv, contents);
        ASSERT_TRUE(result.ok()) << result.reason;
        EXPECT_FALSE(result.askedSmallCards);
        ASSERT_EQ(contents.cards.size(), 3u);
        EXPECT_EQ(IdOf(contents.cards[0]), 4);
        EXPECT_EQ(IdOf(contents.cards[1]), 9);
        EXPECT_EQ(IdOf(contents.cards[2]), 11);
        EXPECT_EQ(contents.cardLengths[1], built.cardOffsets[2] - built.cardOffsets[1]);
        ASSERT_EQ(CopyResEntries(contents.resFile).size(), 1u);
        DisposeStackFileContents(contents);
    }

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    const uint32_t third = built.cardOffsets[2];
    // Cut short (the header still points its resource area inside the file).
    for (const uint32_t cut : {third + 50, third}) {
        std::vector<uint8_t> bytes(built.bytes.begin(), built.bytes.begin() + cut);
        SetBE32(bytes, kHeaderResourceOffset, cut);
        cases.push_back({cut == third ? "cut before the third card" : "cut inside the third card", bytes});
    }
    std::vector<uint8_t> manyCards = built.bytes;
    SetBE16(manyCards, kHeaderCardCount, 60000);
    cases.push_back({"more cards than the file holds", manyCards});
    std::vector<uint8_t> shortLength = built.bytes;
    SetBE32(shortLength, built.cardOffsets[1] + kCardLength, 98);
    cases.push_back({"a length shorter than header and trailer", shortLength});
    std::vector<uint8_t> hugeLength = built.bytes;
    SetBE32(hugeLength, built.cardOffsets[2] + kCardLength, 0xFFFFFF00);
    cases.push_back({"a length past the end of the file", hugeLength});
    std::vector<uint8_t> badTrailer = built.bytes;
    badTrailer[built.cardOffsets[1] - 1] ^= 0xFF;  // the first card's end mark
    cases.push_back({"a broken end mark", badTrailer});
    for (const Case& c : cases) {
        SpanByteSource damaged(c.bytes);
        StackConversion fresh;
        StackFileContents got;
        const StackReadResult result = ReadStackFile(damaged, fresh, got);
        EXPECT_EQ(result.alertId, kAlertNoCardsRead) << c.what << ": " << result.reason;
        EXPECT_TRUE(got.cards.empty()) << c.what;
        EXPECT_EQ(MemRefsCount(), 0) << c.what;
    }
}

TEST_F(StackOpenTest, RefusalsInTheirOrderAndTheSizeQuestion) {
    struct Case {
        uint16_t depth, version, width;
        bool answer;  // to the size question
        int alert;    // 0: opens
        bool asked;
    };
    const Case cases[] = {
        {8, 5, 512, false, 0, false},
        {1, 9, 20, false, kAlertBlackAndWhiteStack, false},  // before any size test
        {8, 6, 20, false, kAlertSmallCards, true},           // the size question comes first
        {8, 6, 20, true, kAlertStackTooNew, true},
        {8, 3, 512, true, kAlertStackTooOld, false},
        {8, 4, 20, true, 0, true},
    };
    for (const Case& c : cases) {
        sb::Stack s = ThreeCards();
        s.depth = c.depth;
        s.version = c.version;
        s.cardWidth = c.width;
        const sb::Built built = sb::BuildStack(s);
        SpanByteSource source(built.bytes);
        StackConversion cv;
        StackFileContents contents;
        StackOpenQuestions questions;
        questions.minCardWidth = 100;
        bool answer = c.answer;
        questions.context = &answer;
        questions.confirmSmallCards = [](void* context) { return *static_cast<bool*>(context); };
        const StackReadResult result = ReadStackFile(source, cv, contents, questions);
        EXPECT_EQ(result.alertId, c.alert) << "depth " << c.depth << " version " << c.version << " width " << c.width;
        EXPECT_EQ(result.askedSmallCards, c.asked) << "depth " << c.depth << " width " << c.width;
        EXPECT_EQ(result.ok(), c.alert == 0);
        EXPECT_EQ(contents.cards.size(), c.alert == 0 ? 3u : 0u);
        DisposeStackFileContents(contents);
    }
}

TEST_F(StackOpenTest, OneCardByIdOrPlace) {
    const sb::Built built = sb::BuildStack(ThreeCards());
    SpanByteSource source(built.bytes);
    StackConversion cv;
    int16_t depth = -1, version = -1, count = -1;
    Handle card = 77;
    bool notAStack = true;
    EXPECT_EQ(ReadStackCardFrom(source, 11, 0, cv, &depth, &version, &count, &card, &notAStack), kFileOk);
    EXPECT_FALSE(notAStack);
    EXPECT_EQ(depth, 8);
    EXPECT_EQ(version, 5);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(IdOf(card), 11);
    DisposeHandle(card);
    EXPECT_EQ(ReadStackCardFrom(source, 0, 2, cv, &depth, &version, &count, &card, &notAStack), kFileOk);
    EXPECT_EQ(IdOf(card), 9);
    DisposeHandle(card);
    EXPECT_EQ(ReadStackCardFrom(source, 99, 0, cv, &depth, &version, &count, &card, &notAStack), kFileMissing);
    EXPECT_EQ(card, 0);

    sb::Stack old = ThreeCards();
    old.version = 3;
    const sb::Built oldBuilt = sb::BuildStack(old);
    SpanByteSource oldSource(oldBuilt.bytes);
    EXPECT_EQ(ReadStackCardFrom(oldSource, 4, 0, cv, &depth, &version, &count, &card, &notAStack), kFileMissing);
    EXPECT_EQ(version, 3);
    EXPECT_EQ(card, 0);

    std::vector<uint8_t> notStack(300, 0x41);
    SpanByteSource junk(notStack);
    EXPECT_EQ(ReadStackCardFrom(junk, 4, 0, cv, &depth, &version, &count, &card, &notAStack), kFileRefused);
    EXPECT_TRUE(notAStack);

    // A damaged record on the way to the one asked for.
    std::vector<uint8_t> damaged = built.bytes;
    SetBE32(damaged, built.cardOffsets[0] + kCardLength, 0xFFFFFF00);
    SpanByteSource damagedSource(damaged);
    EXPECT_EQ(ReadStackCardFrom(damagedSource, 11, 0, cv, &depth, &version, &count, &card, &notAStack), kFileFailed);
    EXPECT_EQ(card, 0);
}

TEST(StackOpenSize, MinimumCardSize) {
    std::vector<uint8_t> header(kStackHeaderBytes, 0);
    SetU16(header, kHeaderCardWidth, 112);
    SetU16(header, kHeaderCardHeight, 40);
    EXPECT_FALSE(CardSizeBelowMinimum(header, 112, 40));
    EXPECT_TRUE(CardSizeBelowMinimum(header, 113, 40));
    EXPECT_TRUE(CardSizeBelowMinimum(header, 100, 41));
}

}  // namespace
