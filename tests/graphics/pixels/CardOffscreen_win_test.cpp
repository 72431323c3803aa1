// The card offscreen: made white at the card size plus two rows, one shared DC through nested
// acquires that only the last release deletes, and clamping to the card.
#include "graphics/pixels/CardOffscreen.h"

#include <gtest/gtest.h>

namespace {

class CardOffscreenTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitDataBase(nullptr, 40, 30, 24, false), 1); }
    void TearDown() override { FreeOffscreenObjects(); }
};

TEST_F(CardOffscreenTest, MadeWhiteAtCardSizePlusTwoRows) {
    int width = -1, height = -1, depth = -1;
    GetOffscreenSize(&width, &height, &depth);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    EXPECT_EQ(depth, 24);  // as the caller gave it
    BITMAP info = {};
    ASSERT_EQ(GetObjectA(GetOffscreenBitmap(), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmHeight, 32);
    HDC dc = AcquireOffscreenDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (POINT p : {POINT{0, 0}, POINT{39, 29}, POINT{39, 31}, POINT{20, 15}})
        EXPECT_EQ(GetPixel(dc, p.x, p.y) & 0xFFFFFF, 0xFFFFFFu) << p.x << "," << p.y;
    ReleaseOffscreenDC(dc);
}

TEST_F(CardOffscreenTest, NestedAcquiresShareOneDcUntilTheLastRelease) {
    HDC first = AcquireOffscreenDC(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), GetOffscreenBitmap());
    HDC second = AcquireOffscreenDC(nullptr);
    EXPECT_EQ(second, first);
    SetPixel(second, 3, 4, RGB(0, 0, 0));
    ReleaseOffscreenDC(second);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_MEMDC)) << "deleted before the last release";
    EXPECT_EQ(GetPixel(first, 3, 4) & 0xFFFFFF, 0u);
    ReleaseOffscreenDC(first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the last release keeps the DC";
    // The drawing stayed in the offscreen; a new acquire sees it.
    HDC again = AcquireOffscreenDC(nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetPixel(again, 3, 4) & 0xFFFFFF, 0u);
    ReleaseOffscreenDC(again);
}

TEST_F(CardOffscreenTest, RemakingWhileAcquiredKeepsTheDcOnTheNewBitmap) {
    HDC dc = AcquireOffscreenDC(nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(InitDataBase(nullptr, 20, 10, 16, false), 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), GetOffscreenBitmap());
    ReleaseOffscreenDC(dc);
    FreeOffscreenObjects();
    EXPECT_EQ(GetOffscreenBitmap(), nullptr);
    EXPECT_EQ(AcquireOffscreenDC(nullptr), nullptr) << "no offscreen, no DC";
}

TEST_F(CardOffscreenTest, ClampsToTheCard) {
    const struct {
        RECT in, want;
    } cases[] = {
        {{-5, -1, 50, 40}, {0, 0, 40, 30}},
        {{2, 3, 10, 12}, {2, 3, 10, 12}},
    };
    for (const auto& c : cases) {
        RECT r = c.in;
        ClampRectToOffscreen(&r);
        EXPECT_TRUE(EqualRect(&r, &c.want)) << c.in.left << "," << c.in.top << " -> " << r.left << "," << r.top << ","
                                            << r.right << "," << r.bottom;
    }
}

}  // namespace
