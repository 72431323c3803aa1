// Reading card records for an open and one card without opening, on builder-made stacks that
// are whole, cut short or damaged.
#include "stack/StackOpen.h"

#include <gtest/gtest.h>

#include <vector>

#include "StackBuilder.h"
#include "core/ByteReader.h"

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

uint16_t IdOf(Handle card) {
    HandleLock lock(card);
    return GetU16({lock.get(), GetHandleSize(card)}, kCardId);
}

TEST_F(StackOpenTest, ReadsEveryCardOrNone) {
    const sb::Built built = sb::BuildStack(ThreeCards());
    SpanByteSource source(built.bytes);
    StackConversion cv;
    std::vector<Handle> cards;
    ASSERT_TRUE(ReadCardRecords(source, 3, cv, cards).ok());
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(IdOf(cards[0]), 4);
    EXPECT_EQ(IdOf(cards[1]), 9);
    EXPECT_EQ(IdOf(cards[2]), 11);
    DisposeCardHandles(cards);
    EXPECT_TRUE(cards.empty());

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        uint16_t count;
    };
    std::vector<Case> cases;
    const uint32_t third = built.cardOffsets[2];
    cases.push_back({"cut inside the third card", {built.bytes.begin(), built.bytes.begin() + third + 50}, 3});
    cases.push_back({"cut before the third card", {built.bytes.begin(), built.bytes.begin() + third}, 3});
    cases.push_back({"more cards than the file holds", built.bytes, 60000});
    std::vector<uint8_t> shortLength = built.bytes;
    SetBE32(shortLength, built.cardOffsets[1] + kCardLength, 98);
    cases.push_back({"a length shorter than header and trailer", shortLength, 3});
    std::vector<uint8_t> hugeLength = built.bytes;
    SetBE32(hugeLength, built.cardOffsets[2] + kCardLength, 0xFFFFFF00);
    cases.push_back({"a length past the end of the file", hugeLength, 3});
    std::vector<uint8_t> badTrailer = built.bytes;
    badTrailer[built.cardOffsets[1] - 1] ^= 0xFF;  // the first card's end mark
    cases.push_back({"a broken end mark", badTrailer, 3});
    for (const Case& c : cases) {
        SpanByteSource damaged(c.bytes);
        StackConversion fresh;
        std::vector<Handle> got;
        EXPECT_FALSE(ReadCardRecords(damaged, c.count, fresh, got).ok()) << c.what;
        EXPECT_TRUE(got.empty()) << c.what;
        EXPECT_EQ(MemRefsCount(), 0) << c.what;
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
