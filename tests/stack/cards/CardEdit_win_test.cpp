// The card list's alerts as the user meets them: the advice at exactly the 20th card, and the
// questions before a card is deleted, answered through the dialog driver.
#include <windows.h>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "stack/StackUpcalls.h"
#include "tests/stack/CardTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace cardtest;

using Labels = std::vector<std::string>;

sb::Stack Plain(int count) {
    sb::Stack s;
    s.cardWidth = 32;
    s.cardHeight = 8;
    for (int i = 1; i <= count; ++i)
        s.cards.push_back(sb::PlainCard(static_cast<uint16_t>(i)));
    return s;
}

// The recording neighbours with the real alert box of the Windows build.
class CardAlertsTest : public CardSessionTest {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        CardSessionTest::SetUp();
        realAlert_ = installedUi_.showAlert;
        ASSERT_NE(realAlert_, DefaultUiOps().showAlert) << "the Windows build shows alerts";
        UiOps ui = RecordingUi();
        ui.showAlert = realAlert_;
        SetUiOps(ui);
        Rec().offscreen = PatternOffscreen(32, 8);
    }
    void TearDown() override {
        FreeAlertSuppressionList();  // made by the first alert box
        CardSessionTest::TearDown();
    }
    int (*realAlert_)(uint32_t) = nullptr;
};

TEST_F(CardAlertsTest, TheTwentiethCardBringsTheAdviceOnce) {
    Load(Plain(18));
    std::vector<int> dialogs;
    for (int i = 0; i < 3; ++i) {
        DialogDriver driver;
        if (GetCardCount() + 1 == kManyCardsCount)
            driver.Expect(DialogMatch::Alert(kAlertManyCards), [](DialogView& box) {
                EXPECT_EQ(box.ButtonLabels(), Labels{"OK"});
                EXPECT_NE(box.Text(51).find("20 cards"), std::string::npos);
                box.Press(52);
            });
        EXPECT_NE(driver.Run([] { return NewCard(false, false); }), 0);
        dialogs.push_back(driver.DialogsSeen());
    }
    EXPECT_EQ(dialogs, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(GetCardCount(), 21);
}

TEST_F(CardAlertsTest, DeletingACardAsksFirst) {
    Load(Plain(2));
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertDeleteWholeCard), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (Labels{"No", "Yes"}));
        EXPECT_EQ(box.Text(51), "You are about to delete an entire card, are you sure this is what you want to do?");
        box.Press(52);  // No
    });
    driver.Expect(DialogMatch::Alert(kAlertDeleteWholeCard), [](DialogView& box) { box.Press(53); });  // Yes
    EXPECT_EQ(driver.Run([] { return DeleteCardRecord(2, true) * 10 + DeleteCardRecord(2, true); }), 1);
    EXPECT_TRUE(IsCardDeleted(FindCardById(2)));
    EXPECT_EQ(GetCardCount(), 1);
}

TEST_F(CardAlertsTest, ButtonsLinkingToTheCardAreOfferedForDeletion) {
    sb::Stack s = Plain(2);
    sb::Object link = sb::Button(1, {0, 0, 10, 10}, "Next");
    link.words = {{86, 16}, {16, 2}, {20, 0x20}};
    s.cards[0].objects = {link};
    Load(s);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertButtonsLinkToCard), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (Labels{"Cancel", "No", "Yes"}));
        box.Press(54);  // Yes
    });
    EXPECT_EQ(driver.Run([] { return DeleteCardRecord(2, true); }), 1);
    EXPECT_EQ(ObjectTags(FindCardById(1)), std::vector<std::string>{"-1"});
}

}  // namespace
