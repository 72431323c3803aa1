// Alert texts: splitting into class, icon, message and labels; the box geometry; the message of
// an error code; the once-per-run list.
#include "core/ui/AlertText.h"

#include <gtest/gtest.h>

#include "core/memory/Handles.h"
#include "core/ui/AlertsOnce.h"

namespace {

struct ParseCase {
    const char* text;
    bool shown;
    int sizeClass;
    int icon;
    const char* message;
    int buttons;
    const char* labels[3];
    int defaultButton;
};

TEST(AlertTextTest, ParsesTheTextForm) {
    const ParseCase cases[] = {
        {"44Sorry, some kind of error has occurred.~^OK", true, 4, 4, "Sorry, some kind of error has occurred.", 1,
         {"OK", "", ""}, 0},
        {"34The file already exists. Do you want to replace it?~Yes~^No", true, 3, 4,
         "The file already exists. Do you want to replace it?", 2, {"Yes", "No", ""}, 1},
        {"A4Class A~^OK", true, 0, 4, "Class A", 1, {"OK", "", ""}, 0},
        {"14Stop~A~B", true, 1, 4, "Stop", 2, {"A", "B", ""}, 0},
        {"21Stop icon~^OK", true, 2, 1, "Stop icon", 1, {"OK", "", ""}, 0},
        {"03Warn~OK", true, 0, 3, "Warn", 1, {"OK", "", ""}, 0},
        {"0xNo icon~OK", true, 0, 0, "No icon", 1, {"OK", "", ""}, 0},
        {"97Seven~OK", true, 9, 7, "Seven", 1, {"OK", "", ""}, 0},
        {"04Three~^A~B~^C~D", true, 0, 4, "Three", 3, {"A", "B", "C"}, 2},  // last '^' wins, 4th dropped
        {"04Line one\nline two~OK", true, 0, 4, "Line one\nline two", 1, {"OK", "", ""}, 0},
        {"04Empty label~", true, 0, 4, "Empty label", 1, {"", "", ""}, 0},
        {"04~^OK", true, 0, 4, "", 1, {"OK", "", ""}, 0},
        {"04No buttons at all", false, 0, 4, "", 0, {"", "", ""}, 0},
        {"4~^OK", false, 4, 0, "", 0, {"", "", ""}, 0},  // the two leading places are always taken
        {"", false, 0, 0, "", 0, {"", "", ""}, 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        AlertText alert;
        alert.sizeClass = -7;  // poison
        EXPECT_EQ(ParseAlertText(c.text, &alert), c.shown);
        EXPECT_EQ(alert.sizeClass, c.sizeClass);
        EXPECT_EQ(alert.iconKind, c.icon);
        EXPECT_EQ(alert.message, c.message);
        EXPECT_EQ(alert.buttonCount, c.buttons);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(alert.labels[static_cast<size_t>(i)], c.labels[i]) << "label " << i;
        EXPECT_EQ(alert.defaultButton, c.defaultButton);
    }
}

TEST(AlertTextTest, UsesAtMost999Characters) {
    std::string text = "04" + std::string(996, 'x') + "~^OK";  // the '~' is character 999
    AlertText alert;
    EXPECT_TRUE(ParseAlertText(text, &alert));
    EXPECT_EQ(alert.labels[0], "");
    text = "04" + std::string(997, 'x') + "~^OK";  // the '~' lies past what is used
    EXPECT_FALSE(ParseAlertText(text, &alert));
}

TEST(AlertTextTest, ClassSizesAndWidening) {
    const int widths[] = {400, 250, 280, 320, 360, 400, 480, 470, 490, 490};
    const int heights[] = {130, 100, 120, 130, 130, 180, 140, 120, 210, 220};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(AlertClassSize(c).width, widths[c]) << "class " << c;
        EXPECT_EQ(AlertClassSize(c).height, heights[c]) << "class " << c;
    }
    EXPECT_EQ(AlertClassSize(10).width, 400);
    EXPECT_EQ(AlertClassSize(-1).height, 130);

    AlertMetrics m;
    m.baseUnitX = 8;
    m.designedButtonWidth = 60;
    m.buttonHeight = 23;
    m.frameWidth = 3;
    m.borderWidth = 1;
    AlertText alert;
    ASSERT_TRUE(ParseAlertText("14Short~^OK", &alert));
    EXPECT_EQ(AlertButtonWidths(alert, m)[0], 60);  // 8 x 2 + 24 = 40 is below the designed width
    EXPECT_EQ(AlertWindowSize(alert, m).width, 250);
    EXPECT_EQ(AlertWindowSize(alert, m).height, 100);

    // Three long labels need 3 x (8 x 30 + 24) + 15 x 3 + 2 x 4 - 7 = 838.
    const std::string label(30, 'w');
    ASSERT_TRUE(ParseAlertText("14Wide~" + label + "~" + label + "~^" + label, &alert));
    EXPECT_EQ(AlertButtonWidths(alert, m)[2], 8 * 30 + 24);  // the '^' is not counted
    EXPECT_EQ(AlertWindowSize(alert, m).width, 838);
}

TEST(AlertTextTest, LaysOutIconMessageAndButtons) {
    AlertMetrics m;
    m.designedButtonWidth = 60;
    m.buttonHeight = 20;
    AlertText alert;
    ASSERT_TRUE(ParseAlertText("34Replace?~Yes~^No", &alert));
    const AlertLayout withIcon = LayoutAlert(alert, m, 300, 100, 48, 48);
    EXPECT_EQ(withIcon.icon.left, 4);
    EXPECT_EQ(withIcon.icon.right, 52);
    EXPECT_EQ(withIcon.message.left, 60);  // icon width + 12
    EXPECT_EQ(withIcon.message.top, 12);
    EXPECT_EQ(withIcon.message.right, 296);
    EXPECT_EQ(withIcon.message.bottom, 12 + 100 - 20 - 20);
    EXPECT_EQ(withIcon.buttons[0].right, 296);  // the first label is rightmost
    EXPECT_EQ(withIcon.buttons[0].left, 236);
    EXPECT_EQ(withIcon.buttons[1].right, 221);  // 15 pixels to its left
    EXPECT_EQ(withIcon.buttons[0].bottom, 96);
    EXPECT_EQ(withIcon.buttons[0].top, 76);

    const AlertLayout noIcon = LayoutAlert(alert, m, 300, 100, 0, 0);
    EXPECT_EQ(noIcon.message.left, 4);
    EXPECT_EQ(noIcon.icon.right, 0);
}

TEST(AlertTextTest, FillsTheMinimumCardSize) {
    EXPECT_EQ(FillTwoNumbers("at least %d wide and %d high.", 112, 40), "at least 112 wide and 40 high.");
    EXPECT_EQ(FillTwoNumbers("%d %d %d %s 100%", 1, 2), "1 2 %d %s 100%");
    EXPECT_EQ(FillTwoNumbers("no fields", 1, 2), "no fields");
    EXPECT_EQ(MinimumCardExtent(27), 40);
    EXPECT_EQ(MinimumCardExtent(40), 40);
    EXPECT_EQ(MinimumCardExtent(41), 41);
    EXPECT_EQ(MinimumCardExtent(112), 112);
}

TEST(AlertTextTest, ErrorCodesChooseTheirMessage) {
    EXPECT_EQ(ErrorMessageStringId(0), 0u);
    EXPECT_EQ(ErrorMessageStringId(-12), 0u);
    for (int32_t code = 2680; code <= 2694; ++code) {
        if (code != 2688) {
            EXPECT_EQ(ErrorMessageStringId(code), static_cast<uint32_t>(code)) << code;
        }
    }
    EXPECT_EQ(ErrorMessageStringId(-2688), 2688u);
    EXPECT_EQ(ErrorMessageStringId(2688), 2235u);  // only the negative code is listed
    EXPECT_EQ(ErrorMessageStringId(12345), 2235u);
    EXPECT_EQ(ErrorMessageStringId(-1), 2235u);
    EXPECT_EQ(ErrorMessageStringId(16), 2235u);
}

class AlertsOnceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override {
        FreeAlertSuppressionList();
        FreeMemRefs();
    }
};

TEST_F(AlertsOnceTest, RemembersEachIdOncePerRun) {
    // Without a list every once-only box counts as shown.
    EXPECT_TRUE(AlertAlreadyShown(7));
    ASSERT_TRUE(EnsureAlertSuppressionList());
    EXPECT_FALSE(AlertAlreadyShown(2235));
    EXPECT_TRUE(AlertAlreadyShown(2235));
    EXPECT_FALSE(AlertAlreadyShown(2236));
    EXPECT_EQ(AlertSuppressionCount(), 2);

    ASSERT_TRUE(EnsureAlertSuppressionList());  // an existing list is kept
    EXPECT_TRUE(AlertAlreadyShown(2236));

    FreeAlertSuppressionList();
    EXPECT_EQ(AlertSuppressionCount(), 0);
    ASSERT_TRUE(EnsureAlertSuppressionList());
    EXPECT_FALSE(AlertAlreadyShown(2235));
}

TEST_F(AlertsOnceTest, AFullListStopsRecording) {
    ASSERT_TRUE(EnsureAlertSuppressionList());
    for (uint32_t id = 1; id <= 500; ++id)
        ASSERT_FALSE(AlertAlreadyShown(id)) << id;
    EXPECT_EQ(AlertSuppressionCount(), 500);
    EXPECT_TRUE(AlertAlreadyShown(500));
    EXPECT_FALSE(AlertAlreadyShown(501));  // shown each time, never recorded
    EXPECT_FALSE(AlertAlreadyShown(501));
    EXPECT_EQ(AlertSuppressionCount(), 500);
}

}  // namespace
