// The header's card size copied into a card record.
#include "format/CardSizeWords.h"

#include <gtest/gtest.h>

#include <vector>

#include "format/StackFile.h"

namespace {

TEST(CardSizeWords, CopiesBothWordsAsTheyStandOrNothing) {
    std::vector<uint8_t> header(kStackHeaderBytes, 0);
    const uint8_t size[4] = {0x02, 0x80, 0x01, 0xE0};  // 640 x 480, file order
    std::copy_n(size, 4, header.begin() + kHeaderCardWidth);
    std::vector<uint8_t> card(kMinCardRecordBytes, 0xAA), want = card;
    std::copy_n(size, 4, want.begin() + kCardWidth);
    ASSERT_TRUE(CopyCardSizeWords(header, card));
    EXPECT_EQ(card, want);

    std::vector<uint8_t> shortCard(kCardHeight + 1, 0xAA);
    EXPECT_FALSE(CopyCardSizeWords(header, shortCard));
    EXPECT_EQ(shortCard, std::vector<uint8_t>(kCardHeight + 1, 0xAA));
    EXPECT_FALSE(CopyCardSizeWords({header.data(), kHeaderCardHeight + 1}, card));
}

}  // namespace
