// Graphic objects in the plug-in itself: the selected graphic's picture replaced and its record
// rebuilt (and kept when memory runs out), a masked graphic flipped and the flip undone, the
// live stretch feedback with its grid and clip,
// the editing bitmaps freed, and the records that make no layer or a hidden one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry.h"
#include "graphics/masks/Masks.h"
#include "host/palettes/ToolPalette.h"
#include "objects/ObjectServices.h"
#include "objects/graphics/LassoPoints.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/pictures/GraphicPictureBitmap.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"
#include "authoring/cards/UndoPerform.h"
#include "authoring/graphics/GraphicFlip.h"

namespace {

namespace sb = stackbuilder;
constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// A picture compatible with the window: its left half red, its right half blue.
HBITMAP TwoColourPicture(HWND window, int width, int height) {
    HDC dc = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH red = CreateSolidBrush(kRed), blue = CreateSolidBrush(kBlue);
    const RECT left = {0, 0, width / 2, height}, right = {width / 2, 0, width, height};
    FillRect(memory, &left, red);
    FillRect(memory, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return bitmap;
}

// A one-bit mask, white in its first `white` columns.
HBITMAP ColumnsMask(int width, int height, int white) {
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, width, height, BLACKNESS);
    PatBlt(dc, 0, 0, white, height, WHITENESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    return mask;
}

// A graphic keeping a width x height picture of palette index 0 (white) as plain 8-bit rows.
sb::Object StoredGraphic(uint16_t id, sb::Rect rect, int width, int height) {
    sb::Object g = sb::Graphic(id, rect, "Pic");
    g.trailer = false;
    g.words = {{16, 2}, {24, 3}, {30, 0}, {32, 0}, {34, static_cast<uint16_t>(height)},
               {36, static_cast<uint16_t>(width)}, {54, 8}, {58, 28016}};
    g.data.assign(sb::MacRowBytes(width, 8) * height, 0);
    return g;
}

// Its palette holds the red and blue the pictures are drawn in: a palette display shows a card in
// its own colours.
sb::Stack WhiteStack(std::vector<sb::Object> objects) {
    sb::Stack stack = WhiteCards(1, 120, 90, std::move(objects));
    stack.cards[0].picture->palette = {{255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    return stack;
}

// A white card with graphic 5, 10 by 10 at (20, 20).
class GraphicEdit : public LinkedPluginTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open(WhiteStack({StoredGraphic(5, {20, 20, 30, 30}, 10, 10)}))); }
};

// The graphic's record as it lies in its card record now.
std::vector<uint8_t> RecordOf(uint16_t id) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectGraphic, id, &card, &offset))
        return {};
    const std::vector<uint8_t> bytes = HandleToBytes(card);
    const uint32_t length = GetU32(std::span<const uint8_t>(bytes).subspan(offset), kObjectLength);
    return {bytes.begin() + offset, bytes.begin() + offset + length};
}

int g_memRefsFailures = 0;

TEST_F(GraphicEdit, ReplacesTheSelectedGraphicsPictureAndRecord) {
    const LayerHandle layer = FindLayer(kObjectGraphic, 5);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(GraphicObjectPicture(), nullptr) << "nothing selected";
    SelectObjectLayer(layer);
    ASSERT_EQ(GetSelectedObject(), layer);
    ASSERT_NE(GraphicObjectPicture(), nullptr);
    EXPECT_EQ(GraphicObjectPicture(), LayerLock<GraphicLayer>(layer)->picture);

    const std::vector<uint8_t> old = RecordOf(5);
    ASSERT_GE(old.size(), 80u);
    HBITMAP picture = TwoColourPicture(page.embed, 10, 10);
    HBITMAP mask = ColumnsMask(10, 10, 6);
    ASSERT_TRUE(SetGraphicObjectPicture(picture, mask));

    // The mask (always odd) makes the record odd: one pad byte, flag 0x200.
    const std::vector<uint8_t> record = RecordOf(5);
    GraphicRecordLayout layout;
    ASSERT_TRUE(ReadGraphicRecordLayout(record, layout));
    EXPECT_EQ(layout.data.size() % 2, 0u);
    EXPECT_EQ(GetU32(record, 60), layout.mask.size());
    EXPECT_EQ(layout.mask.size() % 2, 1u);
    EXPECT_EQ(record.size(), 80u + layout.data.size() + layout.mask.size() + 1);
    EXPECT_EQ(GetU32(record, kObjectLength), record.size());
    EXPECT_EQ(GetU16(record, kObjectFlags), kObjectPadded);
    EXPECT_EQ(GetU16(record, kGraphicPictureFlags), kGraphicHasMask | kGraphicRowsPacked);
    EXPECT_EQ(GetU32(record, kGraphicAfterMask), 0u);
    for (uint32_t i = 0; i < 80; ++i) {
        const bool rewritten = (i >= 12 && i < 16) || (i >= 22 && i < 24) || (i >= 28 && i < 30) ||
                               (i >= 54 && i < 56) || (i >= 60 && i < 68);
        if (!rewritten) {
            EXPECT_EQ(record[i], old[i]) << "header byte " << i;
        }
    }
    // What was written reads back: the picture's two halves and the mask's white columns.
    HBITMAP back = MakeBitmapFromPictureRecord(record, GetCurrentCardRecord());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitmapPixel(back, 1, 5), kRed);
    EXPECT_EQ(BitmapPixel(back, 8, 5), kBlue);
    DeleteObject(back);
    HBITMAP backMask = nullptr;
    uint16_t first = 1, second = 1;
    ASSERT_EQ(MaskFromPackedBits(layout.mask, &backMask, &first, &second), PackedMaskRefusal::None);
    EXPECT_EQ(BitmapPixel(backMask, 5, 5), kWhite);
    EXPECT_EQ(BitmapPixel(backMask, 6, 5), RGB(0, 0, 0));
    DeleteObject(backMask);
    {
        LayerLock<GraphicLayer> after(layer);
        EXPECT_EQ(after->picture, picture);
        EXPECT_EQ(after->mask, mask);
        EXPECT_NE(after->outline, nullptr) << "frame width 2";
    }
    EXPECT_NE(CurrentSelection().outline, nullptr);
    EXPECT_EQ(GraphicObjectPicture(), picture);
    UpdateWindow(page.embed);
    EXPECT_EQ(WindowPixel(page.embed, 22, 25), kRed) << "the new picture on the card, inside its frame";
    EXPECT_EQ(WindowPixel(page.embed, 27, 25), kWhite) << "the card where the mask is black";

    // No handle to be had: the record and the layer stay as they were.
    SetMemRefsFailureHook([] { ++g_memRefsFailures; });
    std::vector<Handle> held;
    for (Handle h; (h = NewHandle(0)) != 0;)
        held.push_back(h);
    HBITMAP refused = TwoColourPicture(page.embed, 10, 10);
    EXPECT_FALSE(SetGraphicObjectPicture(refused, nullptr));
    for (Handle h : held)
        DisposeHandle(h);
    SetMemRefsFailureHook(nullptr);
    EXPECT_GT(g_memRefsFailures, 0);
    EXPECT_EQ(RecordOf(5), record);
    EXPECT_EQ(LayerLock<GraphicLayer>(layer)->picture, picture);
    DeleteObject(refused);
}

// The picture and mask a record holds, read back: the picture's colour and whether the mask is
// white at the point.
std::pair<COLORREF, bool> StoredAt(const std::vector<uint8_t>& record, int x, int y) {
    GraphicRecordLayout layout;
    HBITMAP picture = ReadGraphicRecordLayout(record, layout) ? MakeBitmapFromPictureRecord(record, GetCurrentCardRecord()) : nullptr;
    HBITMAP mask = nullptr;
    uint16_t first = 1, second = 1;
    const bool masked = picture && MaskFromPackedBits(layout.mask, &mask, &first, &second) == PackedMaskRefusal::None;
    const std::pair<COLORREF, bool> at = {picture ? BitmapPixel(picture, x, y) : CLR_INVALID,
                                          masked && BitmapPixel(mask, x, y) == kWhite};
    if (picture)
        DeleteObject(picture);
    if (mask)
        DeleteObject(mask);
    return at;
}

// Flip Sideways on a masked graphic mirrors its picture and its mask together in the record
// and the layer; Undo brings the record back as it was. Nothing selected, nothing flips.
TEST_F(GraphicEdit, AMaskedGraphicFlipsWithItsMaskAndTheFlipIsUndone) {
    const LayerHandle layer = FindLayer(kObjectGraphic, 5);
    ASSERT_NE(layer, nullptr);
    EXPECT_FALSE(CanFlipSelectedGraphic() || FlipSelectedGraphic('S'));
    SelectObjectLayer(layer);
    ASSERT_TRUE(SetGraphicObjectPicture(TwoColourPicture(page.embed, 10, 10), ColumnsMask(10, 10, 3)));
    const std::vector<uint8_t> before = RecordOf(5);
    EXPECT_EQ(StoredAt(before, 1, 5), std::make_pair(kRed, true));
    EXPECT_EQ(StoredAt(before, 8, 5), std::make_pair(kBlue, false));

    ASSERT_TRUE(CanFlipSelectedGraphic());
    ASSERT_TRUE(FlipSelectedGraphic('S'));
    const std::vector<uint8_t> flipped = RecordOf(5);
    EXPECT_EQ(StoredAt(flipped, 1, 5), std::make_pair(kBlue, false));
    EXPECT_EQ(StoredAt(flipped, 8, 5), std::make_pair(kRed, true));
    EXPECT_EQ(StoredAt(flipped, 6, 5), std::make_pair(kRed, false));
    {
        LayerLock<GraphicLayer> now(layer);
        EXPECT_EQ(BitmapPixel(now->picture, 8, 5), kRed);
        EXPECT_EQ(BitmapPixel(now->mask, 8, 5), kWhite);
        EXPECT_NE(now->outline, nullptr) << "rebuilt for the frame";
    }
    EXPECT_EQ(std::vector<uint8_t>(flipped.begin() + 16, flipped.begin() + 60),
              std::vector<uint8_t>(before.begin() + 16, before.begin() + 60)) << "the settings stay";

    PerformUndo(page.embed);
    EXPECT_EQ(RecordOf(5), before);
}

TEST_F(GraphicEdit, StretchFeedbackThroughTheClipAndFreeing) {
    const HWND embed = page.embed;
    HBITMAP picture = TwoColourPicture(embed, 10, 10);
    SelectObjectLayer(FindLayer(kObjectGraphic, 5));
    ASSERT_TRUE(SetGraphicObjectPicture(picture, nullptr));
    UpdateWindow(embed);
    ASSERT_EQ(WindowPixel(embed, 22, 25), kRed);

    // Without the layers the copy keeps off the live object; the picture lands stretched.
    HBITMAP dragged = TwoColourPicture(embed, 10, 10);
    const RECT source = {0, 0, 10, 10};
    CopyBitmapThroughRegion(embed, {15, 15, 35, 35}, {40, 40, 60, 60}, dragged, source, false);
    EXPECT_EQ(WindowPixel(embed, 22, 25), kRed) << "the object was not overdrawn";
    EXPECT_EQ(WindowPixel(embed, 17, 17), kWhite);
    EXPECT_EQ(WindowPixel(embed, 45, 50), kRed);
    EXPECT_EQ(WindowPixel(embed, 55, 50), kBlue);

    // With the layers and the grid: the object from the layers, grid lines at x = 16 only.
    const GridSettings grid = Grid();
    Grid() = GridSettings{8, 8, true, false};
    CopyBitmapThroughRegion(embed, {15, 15, 35, 35}, {17, 40, 60, 60}, dragged, source, true);
    Grid() = grid;
    int onLine = 0, offLine = 0;
    for (int y = 25; y < 32; ++y) {
        onLine += WindowPixel(embed, 16, y) != kWhite;
        offLine += WindowPixel(embed, 18, y) != kWhite;
    }
    EXPECT_GT(onLine, 0);
    EXPECT_EQ(offLine, 0);
    EXPECT_EQ(WindowPixel(embed, 27, 25), kBlue) << "the layer drawn, no mask";
    EXPECT_EQ(WindowPixel(embed, 20, 50), kRed) << "the new rectangle";

    LassoBeginPoints(10, 10);
    LassoAddPoint(1, 1);
    FreeGraphicEditBitmaps();
    EXPECT_EQ(GetSelectedObject(), nullptr);
    EXPECT_EQ(CurrentSelection().outline, nullptr);
    Handle points = 1;
    int32_t count = 1;
    LassoGetPoints(&points, &count);
    EXPECT_EQ(points, 0);
    EXPECT_EQ(count, 0);
    DeleteObject(dragged);
}

// Picture flags 32: kept in the card, never a layer, drawn or hit. A stored mask size of 0 takes
// the object's. A hidden graphic has a layer only under the graphic-editing tools 20 and 21.
TEST(GraphicObjectsInPlugin, NeverDrawnZeroSizedMaskAndHiddenByTool) {
    sb::Object never = StoredGraphic(7, {70, 10, 80, 20}, 10, 10);
    never.words.push_back({28, 32});
    never.mask.clear();  // exactly 32: a mask would add its flag
    never.data.assign(never.data.size(), 1);  // would be black if drawn
    sb::Object masked = StoredGraphic(8, {20, 40, 32, 50}, 12, 10);
    masked.words[0] = {16, 0};
    masked.mask = sb::PackedMaskBlock(12, 10, [](int x, int) { return x < 4; });
    for (int i = 0; i < 4; ++i)
        masked.mask[i] = 0;
    sb::Object hidden = StoredGraphic(9, {90, 60, 100, 70}, 10, 10);
    hidden.flags = kObjectHidden;
    sb::Stack stack = WhiteStack({never, masked, hidden});
    stack.cards[0].picture->palette = {{255, 255, 255}, {0, 0, 0}};
    LinkedPluginPage page;  // the suite's other tests are in the browser's file, without a fixture
    ASSERT_TRUE(OpenInLinkedPlugin(stack, ProcessUniqueName("gshow", "stk"), &page));
    UpdateWindow(page.embed);

    EXPECT_EQ(FindLayer(kObjectGraphic, 7), nullptr);
    EXPECT_FALSE(RecordOf(7).empty()) << "still in the card";
    EXPECT_EQ(HitTestLayers(75, 15, false, nullptr), nullptr);
    EXPECT_EQ(WindowPixel(page.embed, 75, 15), kWhite);

    const LayerHandle withMask = FindLayer(kObjectGraphic, 8);
    ASSERT_NE(withMask, nullptr);
    {
        LayerLock<GraphicLayer> lock(withMask);
        EXPECT_EQ(lock->maskWidth, 12);
        EXPECT_EQ(lock->maskHeight, 10);
    }
    EXPECT_EQ(HitTestLayers(21, 45, false, nullptr), withMask);
    EXPECT_EQ(HitTestLayers(30, 45, false, nullptr), nullptr) << "black in its mask";

    const struct {
        uint32_t tool;
        bool layer;
    } tools[] = {{19, false}, {20, true}, {21, true}, {22, false}, {23, false}, {18, false}};
    EXPECT_EQ(FindLayer(kObjectGraphic, 9), nullptr) << "browse";
    for (const auto& t : tools) {
        SelectTool(t.tool);
        EXPECT_EQ(FindLayer(kObjectGraphic, 9) != nullptr, t.layer) << "tool " << t.tool;
    }
    CloseLinkedPlugin(&page);
}

}  // namespace
