// Transition 29 with the QuickTime stand-in bound: the effect plays from the captured window
// image to the new card (no "Fastest" steps) and falls back to "Fastest" unbound; the stand-in's
// frames reach the window; the listed effects fill a list; the parameter dialog edits the
// current effect's description only when accepted.
#include "cardview/transitions/QtEffect.h"

#include <gtest/gtest.h>

#include "cardview/transitions/TransitionTable.h"
#include "quicktime/QtAtoms.h"
#include "tests/graphics/TransitionTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace transition_test;

class QtEffectTest : public TransitionsTest {
protected:
    void SetUp() override {
        TransitionsTest::SetUp();
        ASSERT_TRUE(InitMemRefs());
        ASSERT_EQ(QTBind(0), kQtNoErr);
        QTEffectStateInit();
    }
    void TearDown() override {
        QTEffectStateDispose();
        if (IsQTBound())
            QTRelease();
        TransitionsTest::TearDown();
    }
};

TEST_F(QtEffectTest, EffectPlaysFromTheCapturedCardAndFallsBackUnbound) {
    const RECT whole = {0, 0, kWidth, kHeight};
    for (auto [n, effectId] : {std::pair{29, 0}, {40, 7}, {3, 9}}) {
        ShowCardA();
        CardMove move{n, effectId, 8};
        move.oldCard = OldCardOfWindow(window_);
        ASSERT_TRUE(move.oldCard);
        Capture capture;
        Run(move, whole, &capture);
        EXPECT_TRUE(capture.ticks.empty()) << n << "/" << effectId << ": the effect ran, not \"Fastest\"";
        EXPECT_EQ(Compare(WindowPixels(), whole).showB, kWidth * kHeight) << n << "/" << effectId;
    }
    // n = 0 is "Fastest" even with an effect id.
    ShowCardA();
    Capture fastest;
    Run(0, 9, 8, whole, &fastest);
    EXPECT_EQ(fastest.ticks.size(), 4u);
    // Unbound, the effect fails and "Fastest" plays.
    QTRelease();
    ShowCardA();
    Capture fallback;
    Run(29, 0, 8, whole, &fallback);
    EXPECT_EQ(fallback.ticks.size(), 4u);
    EXPECT_EQ(Compare(WindowPixels(), whole).showB, kWidth * kHeight);
}

TEST_F(QtEffectTest, StandInFramesReachTheWindow) {
    std::vector<uint8_t> red(size_t(kWidth) * kHeight * 4), blue(red.size());
    for (size_t i = 0; i < red.size(); i += 4) {
        red[i + 2] = 255;
        blue[i] = 255;
    }
    const QtPixelWorld a = {red.data(), kWidth, kHeight, kWidth * 4, kQtPixelFormatBGRA};
    const QtPixelWorld b = {blue.data(), kWidth, kHeight, kWidth * 4, kQtPixelFormatBGRA};
    const std::vector<uint8_t> description = HandleToBytes(GetQTEffectDescription(FourCharCode("smpt"), "Wipe"));
    ASSERT_EQ(QtAtomU32(ReadQtAtoms(description), QtAtomType("what"), 0), FourCharCode("smpt")) << "from QTDATA";
    const QtImageDescription image = NewQTImageDescription(FourCharCode("smpt"), kWidth, kHeight);
    const QtEffectSources sources = {description.data(), uint32_t(description.size()), &image, &a, &b,
                                     reinterpret_cast<QtWord>(window_)};
    QtEffectSequence sequence = 0;
    ASSERT_EQ(QTEffectSequenceBegin(sources, &sequence), kQtNoErr);
    ASSERT_EQ(QTEffectDecompressFrame(sequence, QtEffectFrameTime(15, 30, 30, 0)), kQtNoErr);
    EXPECT_EQ(QTEffectSequenceEnd(sequence), kQtNoErr);
    const Pixels shown = WindowPixels();
    EXPECT_EQ(shown[10 * kWidth + 79], 0x0000FFu) << "left half: B";
    EXPECT_EQ(shown[10 * kWidth + 80], 0xFF0000u) << "right half: A";
}

TEST_F(QtEffectTest, ListedEffectsFillAListAndTheDialogEditsOnlyWhenAccepted) {
    ASSERT_EQ(QTListedEffects().size(), 10u) << "the stand-in's \"Blur\" is not offered";
    EXPECT_EQ(QTFindEffectByName("Wipe"), 32);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 50, 50, window_, nullptr, nullptr, nullptr);
    QTFillEffectList(28, list);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 4, 0), 32);
    DestroyWindow(list);

    QTSetEffectFromTransition(27 + 4);  // "Wipe"
    QtEffectRecord* current = QTCurrentEffectRecord();
    ASSERT_EQ(current->code, FourCharCode("smpt"));
    auto side = [&] { return QtAtomU32(ReadQtAtoms(QtEffectDescriptionBytes(current)), QtAtomType("side"), 99); };
    ASSERT_EQ(side(), 0u);
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Caption("Effect Parameters"), [](DialogView& box) {
            EXPECT_TRUE(box.IsChecked(101));
            box.SetChecked(103, true);
            box.Press(IDCANCEL);
        });
        EXPECT_FALSE(driver.Run([&] { return QTEditEffectParams(window_) ? 1 : 0; }));
    }
    EXPECT_EQ(side(), 0u) << "cancelled: unchanged";
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Caption("Effect Parameters"), [](DialogView& box) {
            box.SetChecked(101, false);
            box.SetChecked(103, true);
            box.Press(IDOK);
        });
        EXPECT_TRUE(driver.Run([&] { return QTEditEffectParams(window_) ? 1 : 0; }));
    }
    EXPECT_EQ(side(), 2u) << "from the top";
}

}  // namespace
