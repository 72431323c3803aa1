// Files dropped on the hosted plug-in's card window through real drop records: each kind turns
// into the actions of what lies under the drop (or of the card), text goes into the field under
// it, shortcuts are followed (a cycle is not), and a non-advanced user's card takes nothing.
#include <windows.h>
#include <objbase.h>
#include <richedit.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "graphics/layers/LayerList.h"
#include "graphics/layers/ObjectLayer.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "tests/host/medialibrary/DropTesting_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;

constexpr uint16_t kButtonId = 10, kFieldId = 20;
const POINT kOnButton{40, 20}, kOnCard{180, 100};

ActionBlock ButtonActions() {
    ActionBlock block{};
    Handle card = 0;
    uint32_t offset = 0;
    EXPECT_TRUE(FindObject(kObjectButton, kButtonId, &card, &offset));
    LoadActionBlock(card, offset, &block);
    return block;
}

ActionBlock CardClickActions() {
    ActionBlock block{};
    Handle card = GetCurrentCardRecord();
    uint16_t id = 0;
    {
        HandleLock lock(card);
        std::memcpy(&id, lock.get() + kCardAction3, 2);
    }
    EXPECT_NE(id, 0);
    ScopedHandle record(LoadActionResource(id));
    LoadActionBlock(record.get(), 0, &block);
    return block;
}

std::string Slot(int slot) {
    char path[MAX_PATH] = {};
    GetFileSpecPath(slot, sizeof path, path);
    return path;
}

HWND FieldWindow() {
    for (LayerHandle layer = GetLayerListHead(); layer;) {
        LayerLock<ObjectLayer> common(layer);
        LayerHandle next = common ? common->next : 0;
        if (common && common->kind == kObjectText) {
            LayerLock<FieldLayer> field(layer);
            return field->window;
        }
        layer = next;
    }
    return nullptr;
}

std::string FieldText(HWND field) {
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, 0);
    GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
    return std::string(text.data());
}

class DroppedFilesInPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        folder_ = MakeTestFolder("drops");
        sb::Stack stack;
        stack.cardWidth = 240;
        stack.cardHeight = 160;
        sb::Card card = sb::PlainCard(1);
        card.objects.push_back(sb::Button(kButtonId, {10, 10, 90, 40}, "Play"));
        card.objects.push_back(sb::TextField(kFieldId, {10, 60, 200, 100}, "Words", "HelloWorld"));
        stack.cards = {card};
        ASSERT_TRUE(OpenInLinkedPlugin(stack, "drops-" + std::to_string(GetCurrentProcessId()) + ".stk", &page_));
        SetAdvancedUser(true);
    }
    void TearDown() override {
        CloseLinkedPlugin(&page_);
        RemoveTestFolder(folder_);
        CoUninitialize();
    }
    std::string File(const std::string& name, const std::string& bytes) { return WriteTestFile(folder_, name, bytes); }

    std::string folder_;
    LinkedPluginPage page_;
};

TEST_F(DroppedFilesInPlugin, KindsBecomeActionsOfWhatLiesUnderTheDrop) {
    const std::string sound = File("chime.wav", "RIFF....WAVE");
    const std::string other = File("other.stk", "not read at the drop");
    const std::string picture = File("pic.bmp", "BM");
    const std::string link1 = MakeShortcut(folder_ + "\\one.lnk", sound);
    const std::string link2 = MakeShortcut(folder_ + "\\two.lnk", link1);
    HWND card = GetMainWindow();

    // A sound on empty card: the card's click action; only the first file counts.
    EXPECT_EQ(DropFiles(card, {sound, other}, kOnCard), 0);
    ActionBlock block = CardClickActions();
    EXPECT_EQ(block.soundParameter, 128);
    EXPECT_EQ(block.soundIsFile, 1u);
    EXPECT_EQ(block.destination, 0);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
    DisposeActionBlockData(&block);

    // A stack on empty card: to its first card, transition 1 at speed 8.
    DropFiles(card, {other}, kOnCard);
    block = CardClickActions();
    EXPECT_EQ(block.destination, -6);
    EXPECT_EQ(block.transition, 1);
    EXPECT_EQ(block.transitionSpeed, 8);
    EXPECT_EQ(Slot(kSlotTargetStack), other);
    DisposeActionBlockData(&block);

    // A shortcut to a shortcut to the sound, on the button: the button plays the sound.
    block = ButtonActions();
    EXPECT_EQ(block.soundIsFile, 0u);
    DisposeActionBlockData(&block);
    SetFileSpecFromPath(kSlotMediaFolder2, "");
    DropFiles(card, {link2}, kOnButton);
    block = ButtonActions();
    EXPECT_EQ(block.soundIsFile, 1u);
    EXPECT_EQ(block.soundParameter, 128);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
    DisposeActionBlockData(&block);

    // A picture on a button changes nothing, nor does a cycle of shortcuts.
    const std::string cycleA = folder_ + "\\cycleA.lnk", cycleB = folder_ + "\\cycleB.lnk";
    MakeShortcut(cycleA, sound);
    MakeShortcut(cycleB, cycleA);
    MakeShortcut(cycleA, cycleB);
    DropFiles(card, {other}, kOnButton);  // the button now goes to the other stack
    DropFiles(card, {picture}, kOnButton);
    DropFiles(card, {cycleA}, kOnButton);
    block = ButtonActions();
    EXPECT_EQ(block.destination, -6);
    EXPECT_EQ(block.soundIsFile, 1u);
    DisposeActionBlockData(&block);

    // A picture dropped with Alt on empty card asks what to do.
    {
        DialogDriver driver(15000);
        bool asked = false;
        driver.Expect(DialogMatch::Template("DROPOPTS"), [&](DialogView& box) {
            asked = box.IsChecked(200) && box.FocusId() == 200;
            box.Press(IDCANCEL);
        });
        HoldKey(VK_MENU, true);
        driver.Run([&] { return DropFiles(card, {picture}, kOnCard); });
        HoldKey(VK_MENU, false);
        EXPECT_TRUE(driver.AllAnswered());
        EXPECT_TRUE(asked);
    }

    // A sound dropped on the text field's own window: the field's actions, in a new 'Actn'.
    DropFiles(FieldWindow(), {sound}, POINT{5, 5});
    Handle holder = 0;
    uint32_t fieldOffset = 0;
    ASSERT_TRUE(FindObject(kObjectText, kFieldId, &holder, &fieldOffset));
    uint16_t actionId = 0;
    {
        HandleLock lock(holder);
        std::memcpy(&actionId, lock.get() + fieldOffset + kTextAction, 2);
    }
    ASSERT_NE(actionId, 0);
    {
        ScopedHandle record(LoadActionResource(actionId));
        block = ActionBlock{};
        LoadActionBlock(record.get(), 0, &block);
        EXPECT_EQ(block.soundIsFile, 1u);
        DisposeActionBlockData(&block);
    }

    // A non-advanced user's card takes no drop.
    SetAdvancedUser(false);
    const std::string quiet = File("quiet.wav", "RIFF....WAVE");
    EXPECT_NE(DropFiles(card, {quiet}, kOnButton), 0);
    EXPECT_EQ(Slot(kSlotMediaFolder2), sound);
}

TEST_F(DroppedFilesInPlugin, RichTextDroppedMidFieldKeepsTheTextOnBothSides) {
    const std::string rich = File("insert.txt", "{\\rtf1\\ansi {\\b Brave}}");
    HWND field = FieldWindow();
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(FieldText(field), "HelloWorld");
    // The point of the sixth character, in card coordinates.
    const LRESULT at = SendMessageA(field, EM_POSFROMCHAR, 5, 0);
    POINT point{static_cast<short>(LOWORD(at)) + 1, static_cast<short>(HIWORD(at)) + 2};
    MapWindowPoints(field, GetMainWindow(), &point, 1);
    EXPECT_EQ(DropFiles(GetMainWindow(), {rich}, point), 0);
    std::string text = FieldText(field);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    EXPECT_EQ(text, "HelloBraveWorld");

    // Plain text mid-field goes in at the caret as well.
    const std::string plain = File("more.txt", "Big");
    const LRESULT end = SendMessageA(field, EM_POSFROMCHAR, 10, 0);
    POINT endPoint{static_cast<short>(LOWORD(end)) + 1, static_cast<short>(HIWORD(end)) + 2};
    MapWindowPoints(field, GetMainWindow(), &endPoint, 1);
    DropFiles(GetMainWindow(), {plain}, endPoint);
    EXPECT_NE(FieldText(field).find("HelloBraveBigWorld"), std::string::npos) << FieldText(field);
}

}  // namespace
