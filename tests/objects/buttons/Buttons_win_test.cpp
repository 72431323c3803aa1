// Buttons on a card window: where the icon and name go, the shapes' regions, the highlight of a
// press, what a release inside or outside hands on, and rollover buttons (the Enter key goes
// through the layer list: LayerList_win_test).
#include "objects/buttons/Buttons.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "format/StackFile.h"

namespace {

namespace sb = stackbuilder;

std::vector<uint16_t> g_ran;

// A button record in memory order, as the stack reader hands it over.
std::vector<uint8_t> HostRecord(const sb::Object& button) {
    std::vector<uint8_t> record = sb::BuildObjectRecord(button);
    const char* reason = nullptr;
    EXPECT_EQ(ConvertObjectRecord(record, ByteOrder::ToHost, StackConversion{}, &reason), kStackOk) << reason;
    return record;
}

class ButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(InitDataBase(window_, 200, 150, 24, false), 1);
        saved_ = GetLayerListUpcalls();
        g_ran.clear();
        SetToolNumberQuietly(kBrowseTool);
        ResetRolloverButton();
    }
    void TearDown() override {
        uint16_t released = 0;
        EndButtonPress(window_, &released);
        SetToolNumberQuietly(kBrowseTool);
        FreeLayerList();
        FreeOffscreenObjects();
        SetLayerListUpcalls(saved_);
        DestroyWindow(window_);
        FreeMemRefs();
    }
    LayerHandle Add(const sb::Object& button) { return NewButtonLayer(HostRecord(button), kLayerAtEnd); }
    // The card window performs what a release or a rollover hands it: here, the ids are kept.
    bool Release() {
        uint16_t released = 0;
        const bool inside = EndButtonPress(window_, &released);
        if (inside)
            g_ran.push_back(released);
        return inside;
    }
    void Move(int x, int y) {
        const ButtonMouse moved = TrackButtonMouse(window_, x, y);
        if (moved.rolledOnto)
            g_ran.push_back(moved.buttonId);
    }
    COLORREF Pixel(int x, int y) {
        HDC dc = GetDC(window_);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window_, dc);
        return c;
    }
    void Paint(COLORREF colour) {
        HDC dc = GetDC(window_);
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, 200, 150};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(window_, dc);
    }
    HWND window_ = nullptr;
    LayerListUpcalls saved_ = {};
};

int SystemLineHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SIZE m = {};
    GetTextExtentPoint32A(dc, "M", 1, &m);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return m.cy;
}

TEST_F(ButtonsTest, IconNameAndRegionsFollowTheGeometry) {
    // The icon and name of an invisible button (the picture itself: TestBrowser.ShowsButtonsOfEveryShape).
    const int L = SystemLineHeight();
    ButtonLayer b = {};
    b.common.bounds = {0, 0, 100, 100};
    b.shape = 4;
    b.showIcon = b.styleHas8 = 1;
    b.icon = NewHandleFromBytes(sb::IconFile(32, {221, 8, 6}));
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof b.font, &b.font);
    std::strcpy(b.name, "Go");
    b.nameLength = 2;
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    const ButtonContent c = MeasureButtonContent(dc, &b);
    const int iconTop = static_cast<int>((100 - (32 + 1.5 * L)) / 2);
    EXPECT_EQ(std::vector<int>({c.iconRect.left, c.iconRect.top, c.namePos.x, c.namePos.y}),
              std::vector<int>({34, iconTop, 50 - c.nameWidth / 2, static_cast<int>(iconTop + 32 + 0.5 * L)}));
    EXPECT_EQ(GetButtonIconTop(&b, L, nullptr, nullptr), L == 16 ? 22 : iconTop);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    DisposeHandle(b.icon);

    // Regions: shapes 0 to 3 from the bounds, an invisible button without content has none but
    // is hit anywhere in its bounds.
    struct Shape {
        uint16_t shape;
        POINT in, out;
    } shapes[] = {{0, {50, 15}, {0, 0}}, {2, {1, 1}, {100, 15}}, {3, {99, 25}, {99, 1}}};
    uint16_t id = 1;
    for (const Shape& s : shapes) {
        const LayerHandle layer = Add(sb::ShapedButton(id, {0, 0, 100, 30}, "x", s.shape));
        LayerLock<ButtonLayer> lock(layer);
        ASSERT_TRUE(lock && lock->common.region) << s.shape;
        EXPECT_TRUE(PtInRegion(lock->common.region, s.in.x, s.in.y)) << s.shape;
        EXPECT_FALSE(PtInRegion(lock->common.region, s.out.x, s.out.y)) << s.shape;
        ++id;
    }
    FreeLayerList();
    sb::Object empty = sb::ShapedButton(9, {10, 10, 60, 60}, "", 4);
    empty.words.push_back({64, 0});  // neither name nor icon
    const LayerHandle invisible = Add(empty);
    {
        LayerLock<ButtonLayer> lock(invisible);
        EXPECT_EQ(lock->common.region, nullptr);
    }
    EXPECT_EQ(HitTestLayers(55, 55, false, nullptr), invisible);
}

// The press inside and outside through the card window: ButtonClicks_win_test.
TEST_F(ButtonsTest, AButtonWithoutHighlightStillActsAndADropOffOnlyButtonIgnoresThePress) {
    Paint(RGB(255, 255, 255));
    sb::Object quiet = sb::ShapedButton(8, {20, 80, 120, 120}, "Quiet", 2);
    quiet.words.push_back({64, 8 | 4});  // no highlight
    const LayerHandle noHilite = Add(quiet);
    sb::Object dropOnly = sb::ShapedButton(9, {130, 80, 190, 120}, "Drop", 2);
    dropOnly.flags = kButtonDropOffOnly;
    const LayerHandle dropOff = Add(dropOnly);
    BeginButtonPress(window_, noHilite);
    EXPECT_EQ(Pixel(25, 85), RGB(255, 255, 255));
    EXPECT_TRUE(Release());
    BeginButtonPress(window_, dropOff);
    EXPECT_FALSE(Release());
    EXPECT_EQ(g_ran, std::vector<uint16_t>{8});
}

TEST_F(ButtonsTest, ARolloverButtonFiresOncePerEntryWithTheBrowseTool) {
    sb::Object hover = sb::ShapedButton(3, {10, 10, 60, 60}, "Hover", 2);
    hover.flags = kButtonNoClick;
    Add(hover);
    sb::Object dropOnly = sb::ShapedButton(4, {100, 10, 150, 60}, "Drop", 2);
    dropOnly.flags = kButtonDropOffOnly;  // bit 0x80 clear: not a rollover button
    Add(dropOnly);
    const std::pair<int, int> path[] = {{20, 20}, {30, 30}, {80, 80}, {40, 40}, {120, 20}, {125, 25}};
    for (const auto& [x, y] : path)
        Move(x, y);
    EXPECT_EQ(g_ran, (std::vector<uint16_t>{3, 3}));
    SetToolNumberQuietly(kButtonTool);
    Move(90, 90);
    Move(20, 20);
    EXPECT_EQ(g_ran, (std::vector<uint16_t>{3, 3}));
}

}  // namespace
