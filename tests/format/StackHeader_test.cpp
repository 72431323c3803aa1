// The stack header: field positions both ways, the plausibility test with its unsigned and
// bounded checks, the refusals of an open, and the Mac Roman flag.
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

std::vector<uint8_t> BuiltHeader(const sb::Stack& s) {
    std::vector<uint8_t> bytes = sb::BuildStack(s).bytes;
    return {bytes.begin(), bytes.begin() + kStackHeaderBytes};
}

TEST(StackHeader, EveryFieldLandsWhereTheLayoutSays) {
    sb::Stack s;
    s.autoSave = 1;
    s.experiencedUser = 2;
    s.word6 = 3;
    s.version = 4;
    s.nextCardId = 0x1234;
    s.nextObjectId = 0x2345;
    s.flags = 0x0017;
    s.depth = 16;
    s.word18 = 0x0102;
    s.timersAndLinks = 1;
    s.word22 = 0x0304;
    s.locked = 1;
    s.cardNumberInTitle = 1;
    s.password = "secret";
    s.presentationMode = 7;
    s.presentation50 = 255;
    s.word52 = 0x0506;
    s.presentation54 = 9;
    s.cardWidth = 640;
    s.cardHeight = 480;
    s.nextResourceId = 0x00010203;
    s.stackActionA = 11;
    s.closingAction = 12;
    s.cursorId = 13;
    s.stackActionB = 14;
    s.headerLongs = {{28, 0xA1A2A3A4}, {80, 0xB1B2B3B4}, {124, 0xC1C2C3C4}};
    s.cards.push_back(sb::PlainCard(1));
    const std::vector<uint8_t> file = BuiltHeader(s);
    std::vector<uint8_t> h = file;
    StackConversion cv;
    ASSERT_TRUE(SwapStackHeader(h, ByteOrder::ToHost, cv));

    struct Case {
        uint32_t offset;
        uint16_t expected;
    };
    const Case words[] = {
        {kHeaderAutoSave, 1}, {kHeaderExperiencedUser, 2}, {kHeaderCardCount, 1},
        {kHeaderWord6, 3}, {kHeaderVersion, 4}, {kHeaderNextCardId, 0x1234},
        {kHeaderNextObjectId, 0x2345}, {kHeaderFlags, 0x17}, {kHeaderDepth, 16},
        {kHeaderWord18, 0x0102}, {kHeaderTimersAndLinks, 1}, {kHeaderWord22, 0x0304},
        {kHeaderLocked, 1}, {kHeaderCardNumberInTitle, 1}, {kHeaderPresentationMode, 7},
        {kHeaderPresentation50, 255}, {kHeaderWord52, 0x0506}, {kHeaderPresentation54, 9},
        {kHeaderCardWidth, 640}, {kHeaderCardHeight, 480}, {kHeaderStackActionA, 11},
        {kHeaderClosingAction, 12}, {kHeaderCursorId, 13}, {kHeaderStackActionB, 14},
    };
    for (const Case& c : words)
        EXPECT_EQ(GetU16(h, c.offset), c.expected) << "header word at " << c.offset;
    EXPECT_EQ(GetU32(h, kHeaderResourceOffset), 228u);
    EXPECT_EQ(GetU32(h, kHeaderResourceCount), 0u);
    EXPECT_EQ(GetU32(h, kHeaderNextResourceId), 0x00010203u);
    // Raw ranges keep their bytes.
    EXPECT_EQ(GetBE32(h, 28), 0xA1A2A3A4u);
    EXPECT_EQ(CStringAt(h, kHeaderPassword), "secret");
    EXPECT_EQ(GetBE32(h, 80), 0xB1B2B3B4u);
    EXPECT_EQ(GetBE32(h, 124), 0xC1C2C3C4u);
    EXPECT_TRUE(cv.headerMacRoman) << "flag 0x10 makes the texts Mac Roman";

    ASSERT_TRUE(SwapStackHeader(h, ByteOrder::ToFile, cv));
    EXPECT_EQ(h, file) << "writing gives the file's bytes back";
}

TEST(StackHeader, PlausibilityChecksAreUnsignedAndBounded) {
    sb::Stack base;
    base.cards.push_back(sb::PlainCard(1));
    const uint32_t fileSize = 228;
    struct Case {
        const char* name;
        uint32_t offset;
        uint32_t value;
        bool wide;
        bool valid;
    };
    const Case cases[] = {
        {"new stack", kHeaderDepth, 8, false, true},
        {"depth 32", kHeaderDepth, 32, false, true},
        {"depth 33", kHeaderDepth, 33, false, false},
        {"depth negative", kHeaderDepth, 0x8000, false, false},
        {"word 6 255", kHeaderWord6, 255, false, true},
        {"word 6 256", kHeaderWord6, 256, false, false},
        {"word 6 negative", kHeaderWord6, 0xFFFF, false, false},
        {"version 0", kHeaderVersion, 0, false, false},
        {"version 255", kHeaderVersion, 255, false, true},
        {"version 256", kHeaderVersion, 256, false, false},
        {"version negative", kHeaderVersion, 0xFFFE, false, false},
        {"width 0", kHeaderCardWidth, 0, false, false},
        {"height 0", kHeaderCardHeight, 0, false, false},
        {"width largest", kHeaderCardWidth, kMaxCardExtent, false, true},
        {"width too large", kHeaderCardWidth, kMaxCardExtent + 1, false, false},
        {"width negative", kHeaderCardWidth, 0x8000, false, false},
        {"height negative", kHeaderCardHeight, 0xFFFF, false, false},
        {"card count 0", kHeaderCardCount, 0, false, false},
        {"resources 65536", kHeaderResourceCount, 65536, true, true},
        {"resources 65537", kHeaderResourceCount, 65537, true, false},
        {"offset 127", kHeaderResourceOffset, 127, true, false},
        {"offset 128", kHeaderResourceOffset, 128, true, true},
        {"offset at the end", kHeaderResourceOffset, fileSize, true, true},
        {"offset past the end", kHeaderResourceOffset, fileSize + 1, true, false},
        {"offset huge", kHeaderResourceOffset, 0xFFFFFFF0u, true, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> h = BuiltHeader(base);
        if (c.wide)
            SetBE32(h, c.offset, c.value);
        else
            SetBE16(h, c.offset, static_cast<uint16_t>(c.value));
        StackConversion cv;
        SwapStackHeader(h, ByteOrder::ToHost, cv);
        EXPECT_EQ(IsStackHeaderValid(h, fileSize), c.valid) << c.name;
        EXPECT_EQ(StackHeaderFault(h, fileSize) == nullptr, c.valid) << c.name;
    }
}

TEST(StackHeader, RefusalsComeInTheOrderOfAnOpen) {
    struct Case {
        uint16_t depth, version;
        int alert;
    };
    const Case cases[] = {
        {8, 5, 0}, {8, 4, 0}, {8, 6, kAlertStackTooNew}, {8, 3, kAlertStackTooOld},
        {1, 5, kAlertBlackAndWhiteStack}, {1, 6, kAlertBlackAndWhiteStack},
        {32, 255, kAlertStackTooNew}, {8, 1, kAlertStackTooOld},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> h(kStackHeaderBytes, 0);
        SetU16(h, kHeaderDepth, c.depth);
        SetU16(h, kHeaderVersion, c.version);
        EXPECT_EQ(StackHeaderRefusal(h), c.alert) << "depth " << c.depth << " version " << c.version;
        if (c.alert) {
            EXPECT_NE(StackAlertText(c.alert), nullptr) << c.alert;
        }
    }
    EXPECT_STREQ(StackAlertText(kAlertNotAStack),
                 "34I'm sorry, I can't load this file because it is not a stack.~^OK");
    EXPECT_EQ(StackAlertText(1234), nullptr);
}

TEST(StackHeader, DetectedMacStackGetsTheFlagOnItsNextSave) {
    std::vector<uint8_t> h(kStackHeaderBytes, 0);
    StackConversion cv;
    cv.detectionDone = true;
    cv.macMade = true;
    ASSERT_TRUE(SwapStackHeader(h, ByteOrder::ToFile, cv));
    EXPECT_EQ(GetBE16(h, kHeaderFlags), kStackMacRomanText);
    EXPECT_FALSE(cv.detectionDone) << "every header conversion resets the detection";
    EXPECT_TRUE(StackTextIsMacRoman(cv));

    std::vector<uint8_t> plain(kStackHeaderBytes, 0);
    StackConversion fresh;
    ASSERT_TRUE(SwapStackHeader(plain, ByteOrder::ToFile, fresh));
    EXPECT_EQ(GetBE16(plain, kHeaderFlags), 0);
    EXPECT_FALSE(StackTextIsMacRoman(fresh));
    EXPECT_FALSE(SwapStackHeader(std::span<uint8_t>(plain.data(), 127), ByteOrder::ToHost, fresh));
}

}  // namespace
