// Testing buttons answered through the dialog driver: answers of the choices on the current
// card and the score they make, the name prompt, and the "TESTING" dialog's OK and Cancel.
#include "actions/TestingButtons.h"

#include "actions/ActionRecord.h"
#include "core/system/PluginModule.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardHistory.h"
#include "resources/testing_ids.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace cardtest;

class TestingButtonsTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates are linked in
        SetTestingUserName("");
        sb::Stack s;
        s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
        Load(s);
    }
    void TearDown() override {
        SetTestingUserName("");
        CardSessionTest::TearDown();
    }
};

// A button with its testing word, doing nothing else or moving to the next card.
sb::Object QuizButton(uint16_t id, std::string name, uint16_t testing, bool move) {
    sb::Object b = sb::Button(id, {static_cast<int16_t>(id * 10), 10, static_cast<int16_t>(id * 10 + 8), 30}, name);
    b.words.push_back({kButtonTesting, testing});
    b.words.push_back({kButtonActionFlags, static_cast<uint16_t>(move ? kActGoTo : 0)});
    b.words.push_back({kButtonDestination, static_cast<uint16_t>(kDestNext)});
    return b;
}

std::string ScoreText() {
    const TestingScore score = GetCurrentScore();
    if (!score.userName)
        return "no name";
    return std::to_string(score.answered) + "/" + std::to_string(score.correct) + " " +
           std::string(reinterpret_cast<const char*>(score.userName + 1), score.userName[0]);
}

TEST_F(TestingButtonsTest, ChoicesRecordOnTheCurrentCardAndTheNamePromptKeeps32Characters) {
    EXPECT_EQ(ScoreText(), "0/0 ") << "nothing clicked, no name asked";

    DialogDriver quiet;
    quiet.Run([] {
        SetCurrentCardId(1);
        RecordTestingAnswer(kTestingCorrect, PName("Paris").data());
        RecordTestingAnswer(kTestingIncorrect, PName("Rome").data());
        SetCurrentCardId(2);
        // The whole word with bit 15 set, values past 3, and no choice record nothing.
        RecordTestingAnswer(static_cast<int16_t>(0x8001), PName("Bern").data());
        RecordTestingAnswer(static_cast<int16_t>(0x8003), PName("Bern").data());
        RecordTestingAnswer(4, PName("Bern").data());
        RecordTestingAnswer(kTestingNone, PName("Bern").data());
        return 0;
    });
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    EXPECT_EQ(ScoreText(), "1/0 ");
    EXPECT_EQ(GetCardTestingAnswer(FindCardById(2)), Handle{0});
    const std::vector<uint8_t> answer = HandleToBytes(GetCardTestingAnswer(FindCardById(1)));
    ASSERT_EQ(answer.size(), kTestingAnswerBytes);
    EXPECT_EQ(GetU32(answer, 0), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(answer.data() + kTestingAnswerLabel), "Rome");

    RecordTestingAnswer(kTestingCorrect, PName("Bern").data());
    EXPECT_EQ(ScoreText(), "2/1 ");

    // Choice 3 asks; OK keeps 32 of 40 characters. Closed without OK, the name stays.
    const std::string name = "Alexandra Konstantinopoulou-Smithsonia-X";
    ASSERT_EQ(name.size(), 40u);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("ASKUSERNAME"), [&](DialogView& box) {
        EXPECT_EQ(box.FocusId(), IDC_USERNAME_EDIT);
        box.SetText(IDC_USERNAME_EDIT, name);
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("ASKUSERNAME"), [](DialogView& box) {
        box.SetText(IDC_USERNAME_EDIT, "Someone else");
        box.Close(IDCANCEL);
    });
    driver.Run([] {
        RecordTestingAnswer(kTestingAskName, PName("Name").data());
        RecordTestingAnswer(kTestingAskName, PName("Name").data());
        return 0;
    });
    EXPECT_EQ(GetTestingUserName(), name.substr(0, 32));
    EXPECT_EQ(ScoreText(), "2/1 " + name.substr(0, 32)) << "asking records no answer";
}

TEST_F(TestingButtonsTest, TheTestingDialogStartsOnTheChoiceAndOnlyOkWritesIt) {
    constexpr int radios[] = {IDC_TESTING_NONE, IDC_TESTING_CORRECT, IDC_TESTING_INCORRECT, IDC_TESTING_ASK_NAME};
    uint16_t choice = kTestingIncorrect;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("TESTING"), [&](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Testing");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(box.IsChecked(radios[i]), i == kTestingIncorrect) << radios[i];
        box.SetChecked(IDC_TESTING_ASK_NAME, true);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return RunTestingDialog(nullptr, &choice); }), 1);
    EXPECT_EQ(choice, kTestingAskName);

    choice = kTestingCorrect;
    driver.Expect(DialogMatch::Template("TESTING"), [&](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_TESTING_CORRECT));
        box.SetChecked(IDC_TESTING_NONE, true);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunTestingDialog(nullptr, &choice); }), 0);
    EXPECT_EQ(choice, kTestingCorrect);
}

TEST_F(TestingButtonsTest, ClicksOnQuizButtonsAnswerThroughTheirActions) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cards[0].objects = {QuizButton(1, "Paris", kTestingCorrect, false), QuizButton(2, "Rome", kTestingIncorrect, true),
                          QuizButton(3, "Bern", 0x8001, false)};
    DisposeCards();
    Load(s);
    SetCurrentCardId(1);

    // A flag word of 0 does only the testing; the second answer on the card replaces the first
    // and the move still follows it; bit 15 records nothing.
    DoButtonActions(nullptr, 1, PersonsAct::Of(WM_LBUTTONUP));
    EXPECT_EQ(ScoreText(), "1/1 ");
    EXPECT_EQ(GetCurrentCardId(), 1);
    DoButtonActions(nullptr, 2, PersonsAct::Of(WM_LBUTTONUP));
    EXPECT_EQ(GetCurrentCardId(), 2);
    DoButtonActions(nullptr, 3, PersonsAct::Of(WM_LBUTTONUP));
    EXPECT_EQ(ScoreText(), "1/0 ");
    const std::vector<uint8_t> answer = HandleToBytes(GetCardTestingAnswer(FindCardById(1)));
    ASSERT_EQ(answer.size(), kTestingAnswerBytes);
    EXPECT_STREQ(reinterpret_cast<const char*>(answer.data() + kTestingAnswerLabel), "Rome") << "the button's name";
    FreeCardHistory();  // the move kept card 1 there
}

}  // namespace
