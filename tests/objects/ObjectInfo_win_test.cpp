// The icon and cursor chooser and the object features dialog answered through the dialog
// driver, over a stack opened as the plug-in opens it and a samples stack in the program's
// folder of the memory file system; the disk source reads a real temporary folder.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/AlertsOnce.h"
#include "objects/IconChooser.h"
#include "objects/IconFiles.h"
#include "objects/ObjectInfo.h"
#include "objects/buttons/ButtonIcons.h"
#include "resources/info_ids.h"
#include "resources/objinfo_ids.h"
#include "authoring/info/InfoDialogs.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

using namespace savetest;

constexpr char kPath[] = "C:\\S\\icons.stk";
constexpr uint16_t kIconButton = 5, kLostIconButton = 6, kField = 7, kGraphic = 8;

std::vector<uint8_t> Red() { return sb::IconFile(32, {221, 8, 6}); }
std::vector<uint8_t> Blue() { return sb::IconFile(32, {0, 0, 212}); }

// The stack's own icons 300 and 301; a button showing 300, one showing an icon it lacks.
sb::Stack IconStack() {
    sb::Stack s;
    sb::Card card = sb::PlainCard(1);
    card.objects = {sb::ShapedButton(kIconButton, {10, 10, 80, 60}, "Red", 1, 300),
                    sb::ShapedButton(kLostIconButton, {90, 10, 160, 60}, "Lost", 1, 999),
                    sb::TextField(kField, {10, 70, 160, 120}, "Words", "text"), sb::Graphic(kGraphic, {170, 10, 200, 40}, "G")};
    s.cards = {card, sb::PlainCard(2)};
    s.resources = {{"Icon", 300, "Red", 0, 0, Red()}, {"Icon", 301, "Blue", 0, 0, Blue()}};
    return s;
}

// A click the dialog is told of after the box was checked, as the mouse would do it; posted, so
// that a dialog the click opens runs outside the answer.
void CheckAndClick(DialogView& box, int id) {
    SendMessageA(GetDlgItem(box.Window(), id), BM_SETCHECK, BST_CHECKED, 0);
    box.Press(id);
}

void Key(DialogView& box, WPARAM key) { SendMessageA(GetDlgItem(box.Window(), ICN_GRID), WM_KEYDOWN, key, 0); }

class ObjectInfoTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        SetAppInstance(GetModuleHandleA(nullptr));  // the templates, strings and cursors are linked in
        sb::Stack samples;
        samples.cards = {sb::PlainCard(1)};
        for (uint16_t id : {200, 201, 202})
            samples.resources.push_back({"Icon", id, "", 0, 0, sb::IconFile(32, {0, uint8_t(id - 100), 0})});
        PutMemoryFile("C:\\Loom\\Samples.stk", sb::BuildStack(samples).bytes);
        Open(kPath, sb::BuildStack(IconStack()).bytes);
    }
    void TearDown() override {
        ClearIconSelection();
        FreeAlertSuppressionList();
        SaveSessionTest::TearDown();
    }
};

TEST_F(ObjectInfoTest, ChooserStartsInTheRightSourceAndHandsOverTheChoice) {
    // Id 0: the samples first, though the stack has icons; then the stack's own, the last one.
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Icons");
        EXPECT_EQ(box.Text(ICN_SOURCE_BOX), "Icon Source");
        EXPECT_TRUE(box.IsChecked(ICN_SAMPLES));
        EXPECT_TRUE(box.IsEnabled(ICN_IN_USE));
        EXPECT_EQ(box.ListCount(ICN_GRID), 3);
        box.SetChecked(ICN_IN_USE, true);
        EXPECT_EQ(box.ListCount(ICN_GRID), 2);
        Key(box, VK_END);
        box.Press(IDOK);
    });
    EXPECT_TRUE(driver.Run([] { return RunIconChooser(nullptr, true, 0); }));
    const IconSelection* selection = GetIconSelection();
    EXPECT_EQ(selection->mode, 1u);
    EXPECT_EQ(selection->fromStack, 1u);
    EXPECT_EQ(selection->id, 301);
    EXPECT_EQ(HandleToBytes(selection->data), Blue());

    // Id 300 starts in the stack's own with it selected; -300 counts as 300 but starts in the
    // samples, where Home takes the first.
    DialogDriver again;
    again.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(ICN_IN_USE));
        box.Press(IDOK);
    });
    EXPECT_TRUE(again.Run([] { return RunIconChooser(nullptr, true, 300); }));
    EXPECT_EQ(GetIconSelection()->id, 300);
    EXPECT_EQ(HandleToBytes(GetIconSelection()->data), Red());
    DialogDriver negative;
    negative.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(ICN_SAMPLES));
        Key(box, VK_HOME);
        box.Press(IDOK);
    });
    EXPECT_TRUE(negative.Run([] { return RunIconChooser(nullptr, true, -300); }));
    EXPECT_EQ(GetIconSelection()->id, 200);
    EXPECT_EQ(GetIconSelection()->fromStack, 0u);

    // Without samples the stack's own come first even for id 0; Cancel chooses nothing.
    ClearIconSelection();
    MemoryFileSystemOps().remove("C:\\Loom\\Samples.stk");
    DialogDriver bare;
    bare.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_FALSE(box.IsEnabled(ICN_SAMPLES));
        EXPECT_TRUE(box.IsChecked(ICN_IN_USE));
        box.Press(IDCANCEL);
    });
    EXPECT_FALSE(bare.Run([] { return RunIconChooser(nullptr, true, 0); }));
    EXPECT_EQ(bare.DialogsSeen(), 1) << "no alert for the missing samples";
    EXPECT_EQ(GetIconSelection()->data, Handle{0});
}

// A real folder of files for the disk source.
struct TempFolder {
    std::string path;
    explicit TempFolder(const char* name) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + name;
        CreateDirectoryA(path.c_str(), nullptr);
    }
    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string file = path + "\\" + name;
        EXPECT_TRUE(sb::WriteFile(file, bytes));
        names.push_back(file);
        return file;
    }
    ~TempFolder() {
        for (const std::string& name : names)
            DeleteFileA(name.c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::vector<std::string> names;
};

// The Open dialog of the disk source, given a file's full path.
void OpenFile(DialogDriver& driver, const std::string& file) {
    driver.Expect(DialogMatch::Caption("Open"), [file](DialogView& box) {
        box.SetText(box.Exists(1148) ? 1148 : 1152, file);  // the file name box
        box.Press(IDOK);
    });
}

TEST_F(ObjectInfoTest, DiskFolderShowsAThousandAndAnEmptySourceKeepsTheOld) {
    TempFolder many("loom-icons-many"), broken("loom-icons-broken");
    for (int i = 0; i < 1001; ++i)
        many.Put("i" + std::to_string(1000 + i) + ".ico", Red());
    many.Put("notes.txt", {1, 2, 3});
    std::vector<uint8_t> cut = Blue();
    cut.resize(cut.size() / 2);
    const std::string bad = broken.Put("cut.ico", cut);

    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) { CheckAndClick(box, ICN_DISK); });
    OpenFile(driver, bad);
    driver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(ICN_SAMPLES)) << "the folder gave nothing: the samples stay";
        EXPECT_FALSE(box.IsChecked(ICN_DISK));
        EXPECT_EQ(box.ListCount(ICN_GRID), 3);
        CheckAndClick(box, ICN_DISK);
    });
    OpenFile(driver, many.path + "\\i1500.ico");
    driver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(ICN_DISK));
        EXPECT_EQ(box.ListCount(ICN_GRID), 1000);
        Key(box, VK_END);
        box.Press(IDOK);
    });
    EXPECT_TRUE(driver.Run([] { return RunIconChooser(nullptr, true, 0); }));
    const IconSelection* selection = GetIconSelection();
    EXPECT_EQ(selection->fromStack, 0u);
    EXPECT_NE(selection->id, 0) << "a file gets an id of its own";
    EXPECT_EQ(HandleToBytes(selection->data), Red());

    // Cursors: a still and an animated one shown, an animated one without the icon flag left
    // out; the animated one is handed over as 'Crsr' data.
    TempFolder cursors("loom-cursors");
    const std::vector<std::vector<uint8_t>> frames = {sb::CursorFile(32, {255, 0, 0}), sb::CursorFile(32, {0, 0, 255})};
    cursors.Put("still.cur", sb::CursorFile(32, {0, 0, 0}, 2, 2));
    const std::string spinning = cursors.Put("spin.ani", sb::AnimatedCursorFile(frames, 2, 0, {}, {}));
    cursors.Put("flagless.ani", sb::AnimatedCursorFile(frames, 2, 0, {}, {}, 0));
    DialogDriver cursorDriver(20000);
    cursorDriver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) { CheckAndClick(box, ICN_DISK); });
    OpenFile(cursorDriver, spinning);
    cursorDriver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_EQ(box.ListCount(ICN_GRID), 2);
        box.Press(IDOK);
    });
    EXPECT_TRUE(cursorDriver.Run([] { return RunIconChooser(nullptr, false, 0); }));
    CursorResource chosen;
    const std::vector<uint8_t> crsr = HandleToBytes(GetIconSelection()->data);
    ASSERT_TRUE(ReadCursorResource(crsr, &chosen)) << "the file chosen is selected";
    EXPECT_EQ(chosen.kind, kCursorAnimated);
    EXPECT_EQ(chosen.frames.size(), 2u);
}

struct FeatureCase {
    uint16_t kind, id;
    const char* type;
    int kindBox;
};
constexpr FeatureCase kFeatureCases[] = {
    {kObjectGraphic, kGraphic, "Graphic", IFE_DRAGGABLE},
    {kObjectButton, kIconButton, "Button", IFE_NO_CLICK},
    {kObjectText, kField, "Text Object", IFE_TRANSPARENT},
};

TEST_F(ObjectInfoTest, FeaturesShowTheKindAndWriteBackItsFlags) {
    for (const FeatureCase& c : kFeatureCases) {
        uint16_t flags = kObjectLocked | 128, cursor = 0;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("IFEATURE"), [&c](DialogView& box) {
            EXPECT_EQ(box.Text(IFE_TYPE), c.type);
            EXPECT_EQ(box.Text(IFE_ID), std::to_string(c.id));
            for (int item : {IFE_OWNER, IFE_SPACE, IFE_POSITION})
                EXPECT_EQ(box.Text(item), "N/A") << c.type << ": no layer";
            for (int kindBox : {IFE_DRAGGABLE, IFE_NO_CLICK, IFE_TRANSPARENT})
                EXPECT_EQ(box.IsVisible(kindBox), kindBox == c.kindBox) << c.type << " box " << kindBox;
            EXPECT_EQ(box.IsVisible(IFE_DROP_OFF), c.kind == kObjectButton) << c.type;
            EXPECT_TRUE(box.IsChecked(c.kindBox)) << c.type;
            EXPECT_TRUE(box.IsChecked(IFE_LOCKED)) << c.type;
            EXPECT_FALSE(box.IsChecked(IFE_CURSOR)) << c.type;
            box.SetChecked(c.kindBox, false);
            box.SetChecked(IFE_HIDDEN, true);
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return ShowItemInfo(nullptr, c.kind, c.id, &flags, &cursor, 0); }), IDOK) << c.type;
        EXPECT_EQ(flags, kObjectLocked | kObjectHidden) << c.type;
        EXPECT_EQ(cursor, 0) << c.type;
    }
    uint16_t flags = 0, cursor = 0;
    DialogDriver none;
    EXPECT_EQ(none.Run([&] { return ShowItemInfo(nullptr, 33, 1, &flags, &cursor, 0); }), IDCANCEL);
    EXPECT_EQ(none.Run([&] { return ShowItemInfo(nullptr, kObjectButton, 1, nullptr, &cursor, 0); }), IDCANCEL);
    EXPECT_EQ(none.DialogsSeen(), 0);
}

TEST_F(ObjectInfoTest, FeaturesOfAPlacedButtonCountItsIcon) {
    // Any layer handle says the object has one; the dialog finds the record itself.
    const LayerHandle layer = GlobalAlloc(GMEM_MOVEABLE, 8);
    const std::vector<uint8_t> shown = OpenStackObject(1, kObjectButton, kIconButton);
    const std::vector<uint8_t> lost = OpenStackObject(1, kObjectButton, kLostIconButton);
    ASSERT_FALSE(shown.empty());
    const uint32_t shownLength = GetU32(shown, kObjectLength), lostLength = GetU32(lost, kObjectLength);
    for (auto [id, space, position] : {std::tuple{kIconButton, shownLength + uint32_t(Red().size()), 1},
                                       std::tuple{kLostIconButton, lostLength, 2}}) {
        uint16_t flags = 0, cursor = 0;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("IFEATURE"), [=](DialogView& box) {
            EXPECT_EQ(box.Text(IFE_OWNER), "1");
            EXPECT_EQ(box.Text(IFE_SPACE), std::to_string(space)) << "button " << id;
            EXPECT_EQ(box.Text(IFE_POSITION), std::to_string(position));
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return ShowItemInfo(nullptr, kObjectButton, id, &flags, &cursor, layer); }), IDOK)
            << "button " << id;
    }
    GlobalFree(layer);
}

TEST_F(ObjectInfoTest, CursorBoxOpensTheChooser) {
    // Checked, then the chooser cancelled, on an object without a cursor: unchecked, id 0.
    uint16_t flags = 0, cursor = 0;
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) { CheckAndClick(box, IFE_CURSOR); });
    driver.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Cursors");
        EXPECT_EQ(box.Text(ICN_SOURCE_BOX), "Cursor Source");
        box.Press(IDCANCEL);
    });
    driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
        EXPECT_FALSE(box.IsChecked(IFE_CURSOR));
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return ShowItemInfo(nullptr, kObjectText, kField, &flags, &cursor, 0); }), IDOK);
    EXPECT_EQ(cursor, 0);

    // "About this Card": the cursor box opens the real chooser over the 23 built-in cursors; the
    // third is stored as the card's cursor, with no resource made for it.
    const int crsrBefore = [] {
        StackResFileCurrent current;
        return CountResources(kCrsr);
    }();
    DialogDriver card;
    card.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) { CheckAndClick(box, INF_CARD_CURSOR); });
    card.Expect(DialogMatch::Template("ICONSDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(ICN_SAMPLES));
        EXPECT_EQ(box.ListCount(ICN_GRID), 23);
        Key(box, VK_HOME);
        Key(box, VK_RIGHT);
        Key(box, VK_RIGHT);
        box.Press(IDOK);
    });
    card.Expect(DialogMatch::Template("INF_CARD"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(INF_CARD_CURSOR));
        box.Press(IDOK);
    });
    EXPECT_EQ(card.Run([] { return ShowInfoDialog(nullptr, false); }), IDOK);
    EXPECT_EQ(GetU16(HandleToBytes(GetCardByIndex(1)), kCardCursor), kFirstBuiltInIcon + 32);
    StackResFileCurrent current;
    EXPECT_EQ(CountResources(kCrsr), crsrBefore);
}

// OK takes as the cursor only a cursor chosen in this dialog: a choice left pending from
// elsewhere (an icon, or a cursor of another dialog) leaves the object's cursor as it was.
TEST_F(ObjectInfoTest, OkKeepsTheCursorUnlessOneWasChosenHere) {
    for (uint32_t mode : {0u, 1u}) {
        IconSelection* pending = GetIconSelection();
        pending->mode = mode;
        pending->id = 777;
        uint16_t flags = 0, cursor = kFirstBuiltInIcon + 16;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
            EXPECT_TRUE(box.IsChecked(IFE_CURSOR));
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return ShowItemInfo(nullptr, kObjectGraphic, kGraphic, &flags, &cursor, 0); }), IDOK);
        EXPECT_EQ(cursor, kFirstBuiltInIcon + 16) << "pending choice of mode " << mode;
        ClearIconSelection();
    }
}

}  // namespace
