// The information dialogs answered through the dialog driver: what they show, what OK writes
// into the stack, the size and colours dialog's checks, and the progress bar's pixels.
#include "core/files/PrefsFile.h"
#include "core/system/PluginModule.h"
#include "core/ui/AlertsOnce.h"
#include "core/ui/DisplayUtils.h"
#include "resources/info_ids.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/StackDescribe.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "authoring/info/InfoDialogs.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace savetest;

constexpr char kPath[] = "C:\\S\\info.stk";

// The size dialog's default as the preferences file holds it.
std::string StoredDefaultSize() {
    char value[kPrefValueSize] = {};
    ReadPrefString("user", "defaultsize", value, sizeof value);
    return value;
}

class InfoDialogsTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates and strings are linked in
        // The preferences file beside the program of the folder table, empty to begin with.
        char file[kFileSpecPathSize] = {};
        ASSERT_TRUE(GetPrefsFilePath(kSlotProgram, file, sizeof file));
        prefsFile_ = file;
        prefsFolder_ = prefsFile_.substr(0, prefsFile_.find_last_of('\\'));
        CreateDirectoryA(prefsFolder_.c_str(), nullptr);
        DeleteFileA(prefsFile_.c_str());
    }
    void TearDown() override {
        FreeAlertSuppressionList();  // made by the first alert box
        DeleteFileA(prefsFile_.c_str());
        RemoveDirectoryA(prefsFolder_.c_str());  // when it is empty
        SaveSessionTest::TearDown();
    }
    std::string prefsFile_, prefsFolder_;
};

TEST_F(InfoDialogsTest, AboutThisCardWritesNameMarkedAndDropsTheArrivingAction) {
    sb::Stack s;
    sb::Card card = sb::PlainCard(1);
    card.flags = kCardLockedFlag;
    card.actions = {500, 0, 0};
    s.cards = {card, sb::PlainCard(2)};
    s.resources.push_back({"Actn", 500, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, "a"))});
    Open(kPath, sb::BuildStack(s).bytes);

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "About Card - 1");
        EXPECT_EQ(box.Text(INF_CARD_ID), "1");
        EXPECT_EQ(box.Text(INF_CARD_BACKGROUND), "0 K");
        EXPECT_EQ(box.Text(INF_CARD_SIZE), "0 K");
        EXPECT_FALSE(box.IsEnabled(INF_CARD_GROUP));
        box.SetText(INF_CARD_NAME, "Front page");
        box.SetChecked(INF_CARD_MARKED, true);
        box.SetChecked(INF_CARD_ARRIVING, false);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return ShowInfoDialog(nullptr, false); }), IDOK);
    EXPECT_EQ(GetInfoDialogRecord(), Handle{0}) << "the record is freed";

    const std::vector<uint8_t> record = HandleToBytes(GetCardByIndex(1));
    EXPECT_EQ(GetU16(record, kCardFlags), kCardLockedFlag | kCardMarked);
    EXPECT_EQ(GetU16(record, kCardAction1), 0);
    {
        const StackResFileCurrent current;
        EXPECT_EQ(GetResource(ResType("Actn"), 500), Handle{0});
    }
    // Saved, the file shows both, the lock bit kept.
    ASSERT_EQ(SaveStack(kSlotCurrentStack, true), 0);
    const std::string json = DescribeStackJson(FileBytes(kPath), StackConversion{});
    EXPECT_NE(json.find("\"name\":\"Front page\""), std::string::npos) << json.substr(0, 2000);
    EXPECT_NE(json.find("\"flags\":" + std::to_string(kCardLockedFlag | kCardMarked)), std::string::npos);
}

TEST_F(InfoDialogsTest, EventBoxRunsTheEditorAndTheDialogOpensAgainFromTheRecord) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    Open(kPath, sb::BuildStack(s).bytes);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) {
        box.SetText(INF_CARD_NAME, "Kept");
        box.SetChecked(INF_CARD_CLICKING, true);  // ends the dialog for the editor
    });
    // A card's click actions have places to go: the full dialog, "&Next card" with its transition.
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(50); });
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) {
        EXPECT_EQ(box.Text(INF_CARD_NAME), "Kept");
        EXPECT_TRUE(box.IsChecked(INF_CARD_CLICKING));
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return ShowInfoDialog(nullptr, false); }), IDOK);
    const std::vector<uint8_t> record = HandleToBytes(GetCardByIndex(1));
    const uint16_t clicking = GetU16(record, kCardAction3);
    EXPECT_NE(clicking, 0);
    const StackResFileCurrent current;
    const std::vector<uint8_t> action = HandleToBytes(GetResource(ResType("Actn"), clicking));
    ASSERT_GE(action.size(), kEmptyActionRecordBytes);
    EXPECT_EQ(GetU16(action, 2), clicking) << "the id used is written into the record";
    EXPECT_EQ(static_cast<int16_t>(GetU16(action, kButtonDestination)), -1) << "Done saved the block";
}

TEST_F(InfoDialogsTest, AboutThisStackShowsCountsAndSixteenColours) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cardWidth = 320;
    s.cardHeight = 200;
    Open(kPath, sb::BuildStack(s).bytes);
    SetScreenDepth(4);
    StackStatistics statistics;
    GetStackStatistics(&statistics);
    const std::string memory = KilobytesText(statistics.cardBytes);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("INF_STACK"), [memory](DialogView& box) {
        EXPECT_EQ(box.Caption().rfind("About Stack - ", 0), 0u);
        EXPECT_EQ(box.Text(INF_STACK_CARDS), "2");
        EXPECT_EQ(box.Text(INF_STACK_WIDTH), "320");
        EXPECT_EQ(box.Text(INF_STACK_HEIGHT), "200");
        EXPECT_EQ(box.Text(INF_STACK_COLORS), "16 Colors");
        EXPECT_EQ(box.Text(INF_STACK_MEMORY), memory);
        EXPECT_NE(box.Text(INF_STACK_AVAILABLE).find(" MB"), std::string::npos);
        EXPECT_TRUE(box.IsEnabled(INF_STACK_CHANGE));
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([] { return ShowInfoDialog(nullptr, true); }), IDCANCEL);
}

TEST_F(InfoDialogsTest, AboutThisStackChangesTheCardSizeOnOk) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    s.cards[0].objects.push_back(sb::Button(1, {100, 100, 200, 140}, "b"));
    s.cardWidth = 400;
    s.cardHeight = 300;
    Open(kPath, sb::BuildStack(s).bytes);
    DialogDriver driver(8000);
    driver.Expect(DialogMatch::Template("INF_STACK"), [](DialogView& box) { box.Press(INF_STACK_CHANGE); });
    driver.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [](DialogView& box) {
        EXPECT_EQ(box.Text(INF_SIZE_WIDTH), "400");
        box.SetText(INF_SIZE_WIDTH, "200");
        box.SetText(INF_SIZE_HEIGHT, "150");
        box.SetListSelection(INF_SIZE_COLORS, 0);  // 256 colours
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("INF_STACK"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(driver.Run([] { return ShowInfoDialog(nullptr, true); }), IDOK);
    const std::vector<uint8_t> header = HandleToBytes(GetStackHeaderHandle());
    EXPECT_EQ(GetU16(header, kHeaderCardWidth), 200);
    EXPECT_EQ(GetU16(header, kHeaderCardHeight), 150);
    const std::vector<uint8_t> card = HandleToBytes(GetCardByIndex(1));
    EXPECT_EQ(GetU16(card, kCardWidth), 200);
    EXPECT_EQ(GetProgressWindow(), nullptr) << "the progress window went with the change";
    EXPECT_EQ(GetProgressDone(), 2) << "one card converted in each of the two passes";
}

TEST_F(InfoDialogsTest, SizeDialogRefusesSmallCardsAndKeepsTheDefault) {
    const int display = GetDisplayBitsPerPixel();
    DialogDriver driver(8000);
    driver.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [](DialogView& box) {
        EXPECT_EQ(box.ListSelection(INF_SIZE_COLORS), -1) << "a 16-colour stack finds no entry";
        EXPECT_EQ(box.ListCount(INF_SIZE_PRESETS), 8);
        EXPECT_EQ(box.ListItem(INF_SIZE_PRESETS, 1), "Standard card size (512x384)");
        // Letters typed into the width are dropped.
        SendMessageA(GetDlgItem(box.Window(), INF_SIZE_WIDTH), WM_CHAR, 'a', 0);
        EXPECT_EQ(box.Text(INF_SIZE_WIDTH), "300");
        box.SetText(INF_SIZE_WIDTH, "39");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(kAlertCardTooSmall), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [display](DialogView& box) {
        EXPECT_EQ(box.FocusId(), INF_SIZE_WIDTH);
        box.SetText(INF_SIZE_WIDTH, "640");
        box.SetText(INF_SIZE_HEIGHT, "480");
        if (display >= 16)
            box.SetListSelection(INF_SIZE_COLORS, 1);
        box.SetChecked(INF_SIZE_DEFAULT, true);
        box.Press(IDOK);
    });
    int width = 300, height = 200, depth = 4;
    EXPECT_EQ(driver.Run([&] { return AskStackSizeAndColors(nullptr, kNewStackSizeMode, &width, &height, &depth); }), 0);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(depth, display >= 16 ? 16 : 8);
    EXPECT_EQ(StoredDefaultSize(), "640 480 " + std::to_string(depth));

    // No colour chosen: the display's depth; a stored default fills a new stack's dialog.
    ASSERT_TRUE(WritePrefString("user", "defaultsize", "700 500 8"));
    DialogDriver second;
    second.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [](DialogView& box) {
        EXPECT_EQ(box.Text(INF_SIZE_WIDTH), "700");
        box.SetListSelection(INF_SIZE_COLORS, -1);
        box.SetText(INF_SIZE_WIDTH, "320");
        box.SetText(INF_SIZE_HEIGHT, "240");
        box.Press(IDOK);
    });
    EXPECT_EQ(second.Run([&] { return AskStackSizeAndColors(nullptr, kNewStackSizeMode, &width, &height, &depth); }), 0);
    EXPECT_EQ(depth, display);
    // Mode 97 ignores the default; Cancel leaves the values.
    DialogDriver third;
    third.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [](DialogView& box) {
        EXPECT_EQ(box.Text(INF_SIZE_WIDTH), "320");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(third.Run([&] { return AskStackSizeAndColors(nullptr, kOpenStackSizeMode, &width, &height, &depth); }), IDCANCEL);
    EXPECT_EQ(width, 320);
}

TEST_F(InfoDialogsTest, ProgressBarFillsGreyToItsShare) {
    sb::Stack s;
    for (uint16_t id = 1; id <= 4; ++id)
        s.cards.push_back(sb::PlainCard(id));
    Open(kPath, sb::BuildStack(s).bytes);
    OpenProgressWindow(GetAppInstance(), nullptr);
    const HWND window = GetProgressWindow();
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < 3; ++i)
        AdvanceProgress();
    EXPECT_EQ(GetProgressDone(), 3);
    RECT text{};
    GetWindowRect(GetDlgItem(window, INF_PROGRESS_TEXT), &text);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&text), 2);
    const BarRect bar = ProgressBarRect(text.left, text.top, text.right, text.bottom);
    const BarRect fill = ProgressFillRect(bar, 3, 8);  // total: twice the four cards
    const HDC dc = GetDC(window);
    const int y = (fill.top + fill.bottom) / 2;
    auto grey = [](COLORREF c) {
        return std::abs(int(GetRValue(c)) - 0x80) < 12 && std::abs(int(GetGValue(c)) - 0x80) < 12 &&
               std::abs(int(GetBValue(c)) - 0x80) < 12;
    };
    EXPECT_TRUE(grey(GetPixel(dc, fill.left, y)));
    EXPECT_TRUE(grey(GetPixel(dc, fill.right - 1, y)));
    EXPECT_FALSE(grey(GetPixel(dc, fill.right + 1, y)));
    ReleaseDC(window, dc);
    CloseProgressWindow();
    EXPECT_EQ(GetProgressWindow(), nullptr);
}

}  // namespace
