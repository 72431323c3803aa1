// Undo of the paint selections and object moves on a real card offscreen and layer list: a
// masked selection step hands its bitmaps back to the selection and selects its tool, a
// rectangle step restores the rectangle selection, flips toggle, and an object move swaps the
// layer's and the record's rectangle and keeps the old one for redo.
#include "authoring/cards/UndoPerform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "core/system/PluginModule.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "authoring/cards/UndoServices.h"
#include "stack/undo/Undo.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

uint32_t Id(HGDIOBJ object) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object)); }

class UndoPerformTest : public CardSessionTest {
protected:
    HWND window = nullptr;
    void SetUp() override {
        CardSessionTest::SetUp();
        window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window);
        ASSERT_EQ(InitDataBase(window, 64, 48, 32, false), 1);
        ASSERT_TRUE(CreateUndoRecord());
    }
    void TearDown() override {
        FreeUndoRecord();
        FreeLayerList();
        ShutdownMaskSelection();
        FreeOffscreenObjects();
        SetMainWindow(nullptr);
        DestroyWindow(window);
        SelectToolNumber(kBrowseTool);
        CardSessionTest::TearDown();
    }
};

sb::Stack OneCardWithAButton() {
    sb::Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    s.cards.push_back(sb::PlainCard(1));
    s.cards[0].objects.push_back(sb::Button(30, {2, 2, 8, 8}, "Move me"));
    return s;
}

TEST_F(UndoPerformTest, SelectionStepsHandTheirBitmapsBackAndObjectMovesSwap) {
    Load(OneCardWithAButton());
    // A masked selection step: the selection takes the step's bitmaps at its place.
    const HBITMAP pixels = CreateBitmap(4, 4, 1, 32, nullptr), mask = CreateBitmap(4, 4, 1, 1, nullptr);
    ASSERT_EQ(RecordSelectionUndo('c', 0, Id(pixels), Id(mask), 0, 40, 30), 1);
    EXPECT_EQ(GetUndoKind(), 4);
    PerformUndo(window);
    HBITMAP held = nullptr;
    int x = 0, y = 0;
    ASSERT_TRUE(GetMaskSelection(&held, nullptr, &x, &y, nullptr));
    EXPECT_EQ(held, pixels);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 30);
    EXPECT_EQ(GetCurrentTool(), 12u);
    EXPECT_EQ(GetUndoCount(), 0) << "the selection owns the bitmaps now";

    // A rectangle step (kind 16) drops the masked selection and restores the rectangle one.
    const HBITMAP rectBitmap = CreateBitmap(10, 6, 1, 32, nullptr);
    ASSERT_EQ(PushUndoByCommand('R', 0, Id(rectBitmap), 5, 6, 15, 12), 1);
    EXPECT_EQ(GetUndoKind(), 16);
    PerformUndo(window);
    EXPECT_FALSE(GetMaskSelection(nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(IsRectSelectionActive());
    RECT r{};
    CopyRectSelection(&r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 12);
    EXPECT_EQ(GetCurrentTool(), 13u);

    // Flips toggle: the step stays for the redo.
    RecordFlipUndo('U');
    PerformUndo(window);
    PerformUndo(window);
    EXPECT_EQ(GetUndoKind(), 9);
    DropRectSelection(window);

    // An object move: layer and record take the old rectangle, the step keeps the present one.
    RebuildCurrentCardLayers();
    const int32_t before[4] = {10, 20, 30, 40};
    RecordObjectMoveUndoFor(kObjectButton, 30, before);
    ASSERT_EQ(GetUndoKind(), 12);
    PerformUndo(window);
    Handle card = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 30, &card, &offset));
    const std::vector<uint8_t> record = HandleToBytes(card);
    EXPECT_EQ(GetU16(record, offset + kObjectRect), 10);
    EXPECT_EQ(GetU16(record, offset + kObjectRect + 6), 40);
    EXPECT_EQ(GetUndoField(kUndoObjectRect), 2u) << "the present left, for redo";
    EXPECT_EQ(GetUndoCount(), 1);
    // Without the object's layer nothing moves and the step stays.
    FreeLayerList();
    PerformUndo(window);
    EXPECT_EQ(GetU16(HandleToBytes(card), offset + kObjectRect), 10);
    EXPECT_EQ(GetUndoCount(), 1);
}

}  // namespace
