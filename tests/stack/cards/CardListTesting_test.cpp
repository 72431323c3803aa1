// Testing answers in card records: one answer per card with its flag and label, a field that
// names some other handle counting as none, copies starting without one, the count, and what a
// save and closing do with them.
#include "stack/clipboard/Clipboard.h"
#include "stack/undo/Undo.h"
#include "tests/stack/SaveTestUtil.h"

namespace {

using namespace savetest;

constexpr char kPath[] = "C:\\Quiz\\quiz.stk";

class CardListTestingTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        ASSERT_TRUE(CreateUndoRecord());
    }
    void TearDown() override {
        ClearInternalClipboard();
        ClearClipboardFromThisStack();
        FreeUndoRecord();
        SaveSessionTest::TearDown();
    }
};

std::pair<int, int> Score() {
    int answered = -1, correct = -1;
    CountTestingAnswers(&answered, &correct);
    return {answered, correct};
}

// The answer's flag and its label up to the NUL; the bytes after the NUL must be zero.
std::pair<uint32_t, std::string> ReadAnswer(Handle answer) {
    const std::vector<uint8_t> bytes = HandleToBytes(answer);
    EXPECT_EQ(bytes.size(), kTestingAnswerBytes);
    if (bytes.size() != kTestingAnswerBytes)
        return {99, ""};
    const auto label = bytes.begin() + kTestingAnswerLabel;
    const auto end = std::find(label, bytes.end(), uint8_t{0});
    EXPECT_NE(end, bytes.end()) << "the label ends with a NUL";
    EXPECT_TRUE(std::all_of(end, bytes.end(), [](uint8_t b) { return b == 0; })) << "nothing of an earlier label";
    return {GetU32(bytes, 0), std::string(label, end)};
}

uint32_t AnswerField(Handle card) { return GetU32(HandleToBytes(card), kCardTestingAnswers); }

TEST_F(CardListTestingTest, AnswersStayWithTheirCardsAndNeverReachAFile) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2), sb::PlainCard(3), sb::PlainCard(4)};
    s.nextCardId = 5;
    Open(kPath, sb::BuildStack(s).bytes);
    EXPECT_EQ(Score(), std::make_pair(0, 0));
    const Handle one = FindCardById(1), two = FindCardById(2), three = FindCardById(3);

    // Correct, then incorrect on one card: one answer, the later one.
    ASSERT_TRUE(SetCardTestingAnswer(one, true, "Paris"));
    ASSERT_TRUE(SetCardTestingAnswer(one, false, "Rome"));
    EXPECT_EQ(ReadAnswer(GetCardTestingAnswer(one)), std::make_pair(0u, std::string("Rome")));
    EXPECT_EQ(Score(), std::make_pair(1, 0));

    // A label of 300 characters keeps 255; one with a NUL ends there.
    ASSERT_TRUE(SetCardTestingAnswer(two, true, std::string(300, 'x')));
    EXPECT_EQ(ReadAnswer(GetCardTestingAnswer(two)), std::make_pair(1u, std::string(255, 'x')));
    ASSERT_TRUE(SetCardTestingAnswer(two, true, std::string_view("ab\0cd", 5)));
    EXPECT_EQ(ReadAnswer(GetCardTestingAnswer(two)).second, "ab");
    EXPECT_EQ(Score(), std::make_pair(2, 1));

    // A field naming a live handle that is no answer (here card 1's record) counts as none, and
    // an answer given there leaves that handle alone.
    {
        HandleLock lock(three);
        SetU32(lock.bytes(), kCardTestingAnswers, static_cast<uint32_t>(one));
    }
    const std::vector<uint8_t> oneBefore = HandleToBytes(one);
    EXPECT_EQ(GetCardTestingAnswer(three), Handle{0});
    EXPECT_EQ(Score(), std::make_pair(2, 1));
    ASSERT_TRUE(SetCardTestingAnswer(three, true, "Oslo"));
    EXPECT_EQ(HandleToBytes(one), oneBefore);
    EXPECT_EQ(ReadAnswer(GetCardTestingAnswer(three)), std::make_pair(1u, std::string("Oslo")));
    EXPECT_EQ(Score(), std::make_pair(3, 2));
    EXPECT_FALSE(SetCardTestingAnswer(0, true, "none")) << "no card, no answer";

    // A copy of card 3 starts without an answer; the original keeps its own.
    SetCurrentCardId(3);
    CopyCardToClipboard();
    ASSERT_EQ(PasteCard(), 1);
    const Handle pasted = GetCurrentCardRecord();
    ASSERT_NE(pasted, three);
    EXPECT_EQ(AnswerField(pasted), 0u);
    EXPECT_NE(GetCardTestingAnswer(three), Handle{0});
    EXPECT_EQ(Score(), std::make_pair(3, 2));

    // A card marked deleted does not count; when it goes for good its answer goes with it.
    const Handle twoAnswer = GetCardTestingAnswer(two);
    {
        HandleLock lock(two);
        SetU16(lock.bytes(), kCardFlags, kCardDeleted);
    }
    SetCardCount(GetCardCount() - 1);
    EXPECT_EQ(Score(), std::make_pair(2, 1));
    PurgeDeletedRecords();
    EXPECT_FALSE(IsValidHandle(twoAnswer));

    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), kFileOk);
    const std::vector<uint8_t> saved = FileBytes(kPath);
    ASSERT_EQ(GetBE16(saved, kHeaderCardCount), 4);
    uint32_t at = kStackHeaderBytes;
    for (int i = 0; i < 4; ++i) {
        ASSERT_LE(at + kCardHeaderBytes, saved.size());
        EXPECT_EQ(GetBE32(saved, at + kCardTestingAnswers), 0u) << "card " << GetBE16(saved, at + kCardId);
        at += GetBE32(saved, at + kCardLength);
    }
    // In memory the answers outlive the save.
    EXPECT_EQ(Score(), std::make_pair(2, 1));
    const Handle oneAnswer = GetCardTestingAnswer(one), threeAnswer = GetCardTestingAnswer(three);
    ASSERT_NE(oneAnswer, Handle{0});
    ASSERT_NE(threeAnswer, Handle{0});

    // Opening clears what a file held and frees nothing; closing frees every answer.
    ClearTestingAnswers();
    EXPECT_EQ(Score(), std::make_pair(0, 0));
    EXPECT_TRUE(IsValidHandle(oneAnswer));
    CloseStack();
    EXPECT_FALSE(IsValidHandle(oneAnswer));
    EXPECT_FALSE(IsValidHandle(threeAnswer));
}

}  // namespace
