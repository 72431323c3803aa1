// What an edit holds while its dialog is up, and what the stack's gate leaves when a replacement
// does not happen, in the plug-in hosted by this program: the graphic whose layer is rebuilt under
// its Graphic Appearance (as a module's hide, show or move does) is edited itself at OK; a stack
// whose changes were given up ("Don't save") keeps them, and its marks, when the stack asked for
// is not opened after all, and is asked about again; where the move must happen, a Save that
// does not happen brings the question back rather than counting as saved.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "authoring/graphics/GraphicCommands.h"
#include "cardview/card/CardRedraw.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "format/StackFile.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackGate.h"
#include "host/player/StackJump.h"
#include "host/player/StackOpening.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "resources/graphics_ids.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "stack/cards/CardList.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 160, kCardH = 120;
constexpr uint16_t kButtonId = 11, kGraphicId = 12;
constexpr int kSave = 52, kDontSave = 53, kCancel = 54;

// Card 1 holds a button and a graphic with a picture of its own; card 2 is plain.
sb::Stack GateStack() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    stack.experiencedUser = 1;
    for (uint16_t id = 1; id <= 2; ++id)
        stack.cards.push_back(sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0)));
    stack.cards[0].objects.push_back(sb::ShapedButton(kButtonId, {20, 20, 80, 50}, "Go", 1));
    sb::Object graphic = sb::Graphic(kGraphicId, {100, 70, 140, 100}, "Pic");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(40, 30, 8, 1));
    stack.cards[0].objects.push_back(graphic);
    stack.nextObjectId = 13;
    return stack;
}

// The name an object's record holds (a graphic's Pascal name).
std::string GraphicName(uint16_t id) {
    const std::vector<uint8_t> record = OpenStackObject(1, kObjectGraphic, id);
    if (record.size() < kGraphicName + 1u)
        return "?";
    const size_t length = std::min<size_t>(record[kGraphicName], kGraphicNameBytes - 1);
    return std::string(record.begin() + kGraphicName + 1, record.begin() + kGraphicName + 1 + length);
}

class StackGateInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open(GateStack())); }
};

TEST_F(StackGateInPlugin, GraphicAppearanceEditsItsOwnGraphicAfterItsLayerWasRebuiltUnderIt) {
    const std::vector<uint8_t> buttonBefore = OpenStackObject(1, kObjectButton, kButtonId);
    std::vector<HGLOBAL> taken;
    for (const bool features : {false, true}) {
        const std::string name = features ? "Featured" : "Renamed";
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Template("GAPPEAR"), [&](DialogView& box) {
            // While the dialog is up the graphic's layer is freed, its memory soon another's, and
            // a new layer made for the graphic; the button's is made again too.
            RemoveLayer(FindLayer(kObjectGraphic, kGraphicId));
            taken.push_back(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(GraphicLayer)));
            UpdateObjectOnCard(kObjectGraphic, kGraphicId, {}, 1);
            UpdateObjectOnCard(kObjectButton, kButtonId, {}, 1);
            box.SetText(GAPPEAR_NAME, name);
            box.Press(features ? GAPPEAR_FEATURES : IDOK);
        });
        if (features) {
            driver.Expect(DialogMatch::Template("IFEATURE"), [](DialogView& box) {
                UpdateObjectOnCard(kObjectGraphic, kGraphicId, {}, 1);
                box.Press(IDOK);
            });
            driver.Expect(DialogMatch::Template("GAPPEAR"), [&](DialogView& box) {
                RemoveLayer(FindLayer(kObjectGraphic, kGraphicId));
                taken.push_back(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(GraphicLayer)));
                UpdateObjectOnCard(kObjectGraphic, kGraphicId, {}, 1);
                box.Press(IDOK);
            });
        }
        driver.Run([&] {
            SelectObjectLayer(FindLayer(kObjectGraphic, kGraphicId));
            EditSelectedObject(page.embed);
            return 0;
        });
        EXPECT_EQ(GraphicName(kGraphicId), name) << "the edit reached the graphic's record";
        EXPECT_EQ(OpenStackObject(1, kObjectButton, kButtonId), buttonBefore) << name << ": the button is untouched";
        LayerLock<GraphicLayer> layer(FindLayer(kObjectGraphic, kGraphicId));
        ASSERT_TRUE(layer) << name;
        EXPECT_NE(layer->picture, nullptr) << name << ": the graphic keeps its picture";
    }
    for (HGLOBAL block : taken)
        GlobalFree(block);
}

TEST_F(StackGateInPlugin, ChangesGivenUpForAReplacementThatDoesNotHappenAreKeptAndAskedAboutAgain) {
    // A stack of this machine: the other stacks it names are looked for on the disk.
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    MarkCardChanged();
    MarkStackChanged();
    const StackIdentity stack = CurrentStackIdentity();
    // Open: Don't save, then the file chooser cancelled.
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2343), [](DialogView& box) { box.Press(kDontSave); });
        driver.Expect(DialogMatch::Caption("Please select a stack"), [](DialogView& box) { box.Press(IDCANCEL); });
        driver.Run([] { return OpenStack(true); });
    }
    EXPECT_TRUE(IsCurrentStack(stack));
    EXPECT_TRUE(IsStackChanged()) << "the changes are still the stack's";
    // A jump to a stack that cannot be read: Don't save, and the stack stays, changed.
    const std::string junk = page.file + ".junk.stk";
    {
        HANDLE file = CreateFileA(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string bytes(600, 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    SetFileSpecFromPath(kSlotTargetStack, junk.c_str());
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2343), [](DialogView& box) { box.Press(kDontSave); });
        driver.Expect(DialogMatch::Alert(kAlertNotAStack), [](DialogView& box) { box.Press(box.DefaultButton()); });
        driver.Run([] { return GoToAnotherStack(FileSpec(*GetFileSpec(kSlotTargetStack)), 0, {}, true, true); });
    }
    EXPECT_TRUE(IsCurrentStack(stack));
    EXPECT_EQ(CountCards(), 2);
    EXPECT_TRUE(IsStackChanged());
    // Asked again: Cancel keeps everything.
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2343), [](DialogView& box) { box.Press(kCancel); });
        driver.Run([] { return OpenStack(true); });
    }
    EXPECT_TRUE(IsCurrentStack(stack));
    EXPECT_TRUE(IsStackChanged());
    DeleteFileA(junk.c_str());

    // Where the move must happen (a card walk going back), a Save that does not happen is no
    // Save: for a stack without its file, the Save As cancelled brings the question back, until
    // the changes are saved or given up.
    SetStackHasFile(false);
    std::vector<int> asked;
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2361), [&](DialogView& box) {
            asked.push_back(2361);
            box.Press(kSave);
        });
        driver.Expect(DialogMatch::Caption("Please name this Stack"), [&](DialogView& box) {
            asked.push_back(0);
            box.Press(IDCANCEL);
        });
        driver.Expect(DialogMatch::Alert(2361), [&](DialogView& box) {
            asked.push_back(2361);
            box.Press(kDontSave);
        });
        EXPECT_TRUE(driver.Run([] {
            const StackGateScope gate;
            return gate.MayReplaceStack(GateQuestion::MustGo) ? 1 : 0;
        }));
    }
    SetStackHasFile(true);
    EXPECT_EQ(asked, (std::vector<int>{2361, 0, 2361}));
    EXPECT_TRUE(IsStackChanged()) << "given up, not saved: the marks stay for the replacement to clear";
}

// Open (command 101) of a stack that is no stack, then of one held by another program: each
// has its alert, and the stack that was open stays shown as it was, its changes kept. A stack in
// a folder whose name lies outside the code page is opened through its short form.
TEST_F(StackGateInPlugin, AFailedOpenLeavesTheOpenStackAndANameOutsideTheCodePageOpens) {
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    GoToCardId(2);
    MarkCardChanged();
    MarkStackChanged();
    const StackIdentity stack = CurrentStackIdentity();
    const std::string junk = page.file + ".junk.stk";
    {
        HANDLE file = CreateFileA(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string bytes(600, 'x');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    const auto openAnswered = [](const std::string& path, uint32_t alert) {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2343), [](DialogView& box) { box.Press(kDontSave); });
        driver.Expect(DialogMatch::Caption("Please select a stack"), [path](DialogView& box) {
            box.SetFileName(path);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Alert(alert), [](DialogView& box) { box.Press(box.DefaultButton()); });
        driver.Run([] { return OpenStack(true); });
    };
    openAnswered(junk, kAlertNotAStack);
    EXPECT_TRUE(IsCurrentStack(stack));
    EXPECT_EQ(CountCards(), 2);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the card shown before";
    EXPECT_TRUE(IsStackChanged());
    // Held open by another program with no sharing: it cannot be read at all.
    HANDLE held = CreateFileA(junk.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    openAnswered(junk, kAlertNoCardsRead);
    CloseHandle(held);
    EXPECT_TRUE(IsCurrentStack(stack));
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_TRUE(IsStackChanged());
    DeleteFileA(junk.c_str());

    // A copy of the stack in a folder named in Greek, chosen by its whole wide name.
    const size_t cut = page.file.find_last_of('\\');
    std::wstring folder(page.file.begin(), page.file.begin() + ptrdiff_t(cut));
    folder += L"\\\x03A9\x03BC\x03AD\x03B3\x03B1-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring copy = folder + L"\\greek.stk";
    ASSERT_TRUE(CopyFileW(std::wstring(page.file.begin(), page.file.end()).c_str(), copy.c_str(), FALSE));
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Alert(2343), [](DialogView& box) { box.Press(kDontSave); });
        driver.Expect(DialogMatch::Caption("Please select a stack"), [copy](DialogView& box) {
            box.SetFileNameWide(copy);
            box.Press(IDOK);
        });
        driver.Run([] { return OpenStack(true); });
    }
    EXPECT_FALSE(IsCurrentStack(stack)) << "the copy is open";
    const std::string opened(PathOf(*GetFileSpec(kSlotCurrentStack)));
    EXPECT_NE(opened.find('~'), std::string::npos) << opened;
    EXPECT_TRUE(FileExists(opened.c_str())) << opened;
    EXPECT_EQ(CountCards(), 2);
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
