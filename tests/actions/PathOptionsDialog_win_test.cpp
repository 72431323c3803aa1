// The "PATHOPTIONS" dialog answered through the dialog driver: its end buttons, "Start here",
// the speed and layer choices, and what OK and Cancel leave in the sprite header.
#include <windows.h>

#include <gtest/gtest.h>

#include "actions/PathOptions.h"
#include "core/system/PluginModule.h"
#include "media/animation/AnimRecord.h"
#include "resources/pathoptions_ids.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"

namespace {

class PathOptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitMemRefs();
        SetAppInstance(GetModuleHandleA(nullptr));
        Handle path = 0;
        ASSERT_EQ(NewSpriteHeader(&sprite), 0);
        ASSERT_EQ(NewPathRecord(&path, 0, {}, {}), 0);
        for (int i = 0; i < 6; ++i) {
            PathPoint p;
            p.x = static_cast<int16_t>(20 * i);
            p.time = 100;
            ASSERT_EQ(InsertPathPointAfter(path, i - 1, p), 0);
        }
        SetSpritePath(sprite, path);
    }
    void TearDown() override {
        if (Handle film = DisposeSpriteKeepFilm(sprite))
            AnimDisposeHandle(film);
    }
    int Run(DialogDriver& driver) {
        return driver.Run([&] { return RunPathOptions(nullptr, sprite); });
    }
    Handle sprite = 0;
};

}  // namespace

TEST_F(PathOptionsDialogTest, ReverseLoopThenStopLeavesReturningOffAndWritesForward) {
    DialogDriver driver;
    const auto pressEnd = [](DialogView& d) { d.Press(IDC_PATH_END_BUTTON); };
    driver.Expect(DialogMatch::Template("PATHOPTIONS"), [](DialogView& d) {
        EXPECT_EQ(d.Caption(), "Path Options");
        EXPECT_FALSE(d.IsVisible(IDC_PATH_GOING_PLACE));
        EXPECT_FALSE(d.IsEnabled(IDC_PATH_FLOAT_RETURNING));
        EXPECT_TRUE(d.IsChecked(IDC_PATH_RECORDED_RADIO));  // a new path plays at its recorded times
        EXPECT_EQ(d.ListCount(IDC_PATH_SPEED_COMBO), 5);
        EXPECT_EQ(d.ListItem(IDC_PATH_SPEED_COMBO, 0), "Quarter");
        EXPECT_EQ(d.ListItem(IDC_PATH_LAYER_COMBO, 1), "Don't Care");
        EXPECT_EQ(d.ListSelection(IDC_PATH_SPEED_COMBO), 2);  // Full
        RECT face = d.ControlRect(IDC_PATH_END_BUTTON);
        EXPECT_EQ(face.right - face.left, 40) << "one face of its bitmap";
        d.Press(IDC_PATH_END_BUTTON);  // Reverse
    });
    driver.Expect(DialogMatch::Template("PATHOPTIONS"), [](DialogView& d) {
        EXPECT_TRUE(d.IsEnabled(IDC_PATH_FLOAT_RETURNING));
        EXPECT_TRUE(d.IsEnabled(IDC_PATH_END_FLIPLR));
        EXPECT_FALSE(d.IsEnabled(IDC_PATH_BEGIN_FLIPLR));
        d.Press(IDC_PATH_END_BUTTON);  // Loop
    });
    driver.Expect(DialogMatch::Template("PATHOPTIONS"), pressEnd);  // Stop
    driver.Expect(DialogMatch::Template("PATHOPTIONS"), [](DialogView& d) {
        EXPECT_FALSE(d.IsEnabled(IDC_PATH_FLOAT_RETURNING));
        EXPECT_FALSE(d.IsEnabled(IDC_PATH_DONTERASE_RETURNING));
        EXPECT_FALSE(d.IsEnabled(IDC_PATH_END_FLIPLR));
        d.SetListSelection(IDC_PATH_SPEED_COMBO, 0);  // Quarter
        d.SetListSelection(IDC_PATH_LAYER_COMBO, 2);  // Top
        d.Press(IDOK);
    });
    EXPECT_EQ(Run(driver), 1);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathStep), 1);
    EXPECT_EQ(static_cast<int32_t>(GetSpriteLong(sprite, kSpritePathIncrement)), 1);
    EXPECT_EQ(GetSpriteLong(sprite, kSpritePathScale), 400u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteLayer), 1);
}

TEST_F(PathOptionsDialogTest, StartHereWithStopOnBeginRunsBackwardFromTheLastPoint) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("PATHOPTIONS"), [](DialogView& d) {
        EXPECT_TRUE(d.IsEnabled(IDC_PATH_START_HERE));
        EXPECT_FALSE(d.IsChecked(IDC_PATH_START_HERE));
        d.SetChecked(IDC_PATH_START_HERE, true);
        // Twelve times a second, fixed.
        d.SetChecked(IDC_PATH_RECORDED_RADIO, false);
        d.SetChecked(IDC_PATH_TIMES_RADIO, true);
        d.SetText(IDC_PATH_TIMES_EDIT, "12");
        d.Press(IDOK);
    });
    EXPECT_EQ(Run(driver), 1);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteStartPoint), 5u);
    EXPECT_EQ(static_cast<int32_t>(GetSpriteLong(sprite, kSpritePathIncrement)), -1);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathStep), 2);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathSource), 0);
    EXPECT_EQ(GetSpriteLong(sprite, kSpritePathInterval), 83u);

    // Reopened, the Begin button holds the stop and Cancel changes nothing.
    DialogDriver again;
    again.Expect(DialogMatch::Template("PATHOPTIONS"), [](DialogView& d) {
        EXPECT_TRUE(d.IsChecked(IDC_PATH_START_HERE));
        EXPECT_EQ(d.Text(IDC_PATH_TIMES_EDIT), "12");
        d.SetText(IDC_PATH_TIMES_EDIT, "0");
        d.Press(IDCANCEL);
    });
    EXPECT_EQ(again.Run([&] { return RunPathOptions(nullptr, sprite); }), 0);
    EXPECT_EQ(GetSpriteLong(sprite, kSpritePathInterval), 83u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathStep), 2);
}
