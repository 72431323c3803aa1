// The layer list over layers the (minimal) object kinds make from records: insertion positions
// and reordering as id orders, which overlapping layer is hit, which are drawn, the mask and
// clip region they leave, the default button and the magnified view.
#include "layers/LayerList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectLayerKinds.h"
#include "tests/layers/LayerTestUtil.h"

namespace {

// An object record in memory order: kind, id, left, top, right, bottom, then flags at 22; byte
// 24 carries the shape for the test's button reader.
std::vector<uint8_t> Record(uint16_t kind, uint16_t id, RECT r, uint16_t flags = 0, int16_t shape = 0) {
    std::vector<uint8_t> record(32, 0);
    const int16_t words[] = {static_cast<int16_t>(kind), static_cast<int16_t>(id), static_cast<int16_t>(r.left),
                             static_cast<int16_t>(r.top),  static_cast<int16_t>(r.right), static_cast<int16_t>(r.bottom)};
    std::memcpy(record.data(), words, sizeof words);
    std::memcpy(record.data() + 22, &flags, 2);
    std::memcpy(record.data() + 24, &shape, 2);
    return record;
}

bool ButtonWithShape(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts) {
    if (!ReadButtonLayer(record, layer, parts))
        return false;
    std::memcpy(&layer->shape, record.data() + 24, 2);
    return true;
}

std::vector<uint16_t> g_drawn;
void RecordDraw(HDC, const ButtonLayer* layer, HWND) { g_drawn.push_back(layer->common.id); }

std::vector<uint16_t> Ids() { return LayerListIds(); }

class LayerListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(InitDataBase(nullptr, 64, 48, 24, false), 1);
        kinds_ = GetLayerKindProcs();
        upcalls_ = GetLayerListUpcalls();
        LayerKindProcs kinds = GetLayerKindProcs();
        kinds.readButton = ButtonWithShape;
        kinds.drawButton = RecordDraw;
        SetLayerKindProcs(kinds);
        SetLayerListUpcalls({});
        SetToolNumberQuietly(kBrowseTool);
        g_drawn.clear();
        SetCardZoom(1);
    }
    void TearDown() override {
        SetCardZoom(1);
        FreeLayerList();
        FreeOffscreenObjects();
        SetLayerKindProcs(kinds_);
        SetLayerListUpcalls(upcalls_);
    }
    // What the program had wired, put back afterwards.
    LayerKindProcs kinds_{};
    LayerListUpcalls upcalls_{};
    LayerHandle Button(uint16_t id, int position, RECT r = {0, 0, 10, 10}, uint16_t flags = 0, int16_t shape = 0) {
        const auto record = Record(kObjectButton, id, r, flags, shape);
        return NewButtonLayer(record, position);
    }
};

TEST_F(LayerListTest, InsertsAtThePositionGiven) {
    const struct {
        int position;
        std::vector<uint16_t> want;  // after 1, 2, 3 at the end
    } cases[] = {
        {0, {9, 1, 2, 3}}, {1, {9, 1, 2, 3}}, {2, {1, 9, 2, 3}}, {3, {1, 2, 9, 3}},
        {4, {1, 2, 3, 9}}, {99, {1, 2, 3, 9}}, {65535, {1, 2, 3, 9}}, {-1, {1, 2, 3, 9}},
    };
    for (const auto& c : cases) {
        FreeLayerList();
        for (uint16_t id : {1, 2, 3})
            ASSERT_NE(Button(id, kLayerAtEnd), nullptr);
        Button(9, c.position);
        EXPECT_EQ(Ids(), c.want) << "position " << c.position;
    }
    // Other kinds are refused by the button reader, and found by kind and id.
    const auto field = Record(kObjectText, 7, {0, 0, 5, 5});
    EXPECT_EQ(NewButtonLayer(field, 1), nullptr);
    LayerHandle made = NewFieldLayer(field, 1, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(FindLayer(kObjectText, 7), made);
    EXPECT_EQ(FindLayer(kObjectButton, 7), nullptr);
    RemoveLayer(made);
    EXPECT_EQ(FindLayer(kObjectText, 7), nullptr);
}

TEST_F(LayerListTest, ReordersOneStepOrAllTheWay) {
    const struct {
        uint16_t id;
        char direction;
        bool all;
        std::vector<uint16_t> want;  // from 1, 2, 3, 4
    } cases[] = {
        {2, 'C', false, {1, 3, 2, 4}}, {2, 'C', true, {1, 3, 4, 2}}, {4, 'C', false, {1, 2, 3, 4}},
        {3, 'F', false, {1, 3, 2, 4}}, {3, 'F', true, {3, 1, 2, 4}}, {1, 'F', false, {1, 2, 3, 4}},
        {2, 'F', false, {2, 1, 3, 4}},
    };
    for (const auto& c : cases) {
        FreeLayerList();
        for (uint16_t id : {1, 2, 3, 4})
            Button(id, kLayerAtEnd);
        ReorderLayer(FindLayer(kObjectButton, c.id), c.direction, c.all);
        EXPECT_EQ(Ids(), c.want) << c.id << " " << c.direction << " all " << c.all;
    }
}

TEST_F(LayerListTest, TheFrontmostLayerUnderThePointIsHit) {
    LayerHandle back = Button(1, kLayerAtEnd, {0, 0, 20, 20});
    LayerHandle front = Button(2, kLayerAtEnd, {10, 10, 30, 30}, kButtonNoClick);
    LayerHandle invisible = Button(3, 1, {40, 0, 50, 10}, 0, 4);  // at the head, shape 4
    LayerHandle freehand = Button(4, kLayerAtEnd, {40, 20, 50, 30}, 0, 5);  // no mask: never hit
    EXPECT_EQ(HitTestLayers(15, 15, false, nullptr), front);
    EXPECT_EQ(HitTestLayers(15, 15, false, front), back);
    EXPECT_EQ(HitTestLayers(5, 5, false, nullptr), back);
    EXPECT_EQ(HitTestLayers(5, 5, true, nullptr), nullptr) << "only No-click buttons count";
    EXPECT_EQ(HitTestLayers(25, 25, true, nullptr), front);
    EXPECT_EQ(HitTestLayers(45, 5, false, nullptr), invisible);
    EXPECT_EQ(HitTestLayers(45, 25, false, nullptr), nullptr);
    EXPECT_EQ(HitTestLayers(35, 35, false, nullptr), nullptr);
    ReorderLayer(back, 'C', true);
    EXPECT_EQ(HitTestLayers(15, 15, false, nullptr), back);
    (void)freehand;
    SetCardZoom(2);
    EXPECT_EQ(HitTestLayers(15, 15, false, nullptr), nullptr) << "magnified";
}

TEST_F(LayerListTest, DrawsTheLayersMeetingTheRectangleBehindOrInFrontOfSkip) {
    Button(1, kLayerAtEnd, {0, 0, 10, 10});
    LayerHandle middle = Button(2, kLayerAtEnd, {0, 0, 10, 10});
    Button(3, kLayerAtEnd, {0, 0, 10, 10});
    Button(4, kLayerAtEnd, {50, 40, 60, 45});  // outside the rectangle
    const RECT rect = {0, 0, 20, 20};
    const struct {
        LayerHandle skip;
        bool behindOnly;
        std::vector<uint16_t> want;
    } cases[] = {{nullptr, false, {1, 2, 3}}, {middle, true, {1}}, {middle, false, {3}}};
    for (const auto& c : cases) {
        g_drawn.clear();
        DrawLayersInRect(nullptr, rect, c.skip, c.behindOnly);
        EXPECT_EQ(g_drawn, c.want) << "behind only " << c.behindOnly;
    }
    g_drawn.clear();
    SetCardZoom(2);
    DrawLayersInRect(nullptr, rect, nullptr, false);
    EXPECT_TRUE(g_drawn.empty()) << "magnified";
}

TEST_F(LayerListTest, MaskAndClipRegionFollowTheLayers) {
    Button(1, kLayerAtEnd, {10, 10, 20, 20});
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetLayerMaskBitmap());
    EXPECT_EQ(GetPixel(dc, 15, 15) & 0xFFFFFF, 0u) << "black under a layer";
    EXPECT_EQ(GetPixel(dc, 5, 5) & 0xFFFFFF, 0xFFFFFFu) << "white elsewhere";
    SelectObject(dc, previous);
    DeleteDC(dc);
    EXPECT_FALSE(PtInRegion(GetCardClipRegion(), 15, 15));
    EXPECT_TRUE(PtInRegion(GetCardClipRegion(), 5, 5));
    FreeLayerList();
    EXPECT_TRUE(PtInRegion(GetCardClipRegion(), 15, 15)) << "freed: the whole card";
    EXPECT_EQ(GetLayerListHead(), nullptr);
}

TEST_F(LayerListTest, EnterFindsTheFirstButtonOfShapeOne) {
    Button(1, kLayerAtEnd, {0, 0, 5, 5}, 0, 0);
    Button(2, kLayerAtEnd, {0, 0, 5, 5}, 0, 1);
    Button(3, kLayerAtEnd, {0, 0, 5, 5}, 0, 1);
    uint16_t found = 0;
    EXPECT_TRUE(FindDefaultButton(&found));
    EXPECT_EQ(found, 2);
    FreeLayerList();
    Button(1, kLayerAtEnd);
    found = 0;
    EXPECT_FALSE(FindDefaultButton(&found));
    EXPECT_EQ(found, 0);
}

TEST_F(LayerListTest, ParkedListComesBack) {
    Button(1, kLayerAtEnd);
    SaveLayerListHead(GetLayerListHead());
    SetLayerListHead(nullptr);
    Button(2, kLayerAtEnd);
    EXPECT_EQ(Ids(), std::vector<uint16_t>{2});
    FreeLayerList();
    LayerHandle parked = nullptr;
    TakeSavedLayerList(&parked);
    SetLayerListHead(parked);
    EXPECT_EQ(Ids(), std::vector<uint16_t>{1});
    TakeSavedLayerList(&parked);
    EXPECT_EQ(parked, nullptr) << "the slot is emptied";
}

}  // namespace
