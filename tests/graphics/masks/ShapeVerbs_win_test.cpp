// Every shape verb drawn through GDI into the card offscreen gives exactly the rasterizer's
// pixels (an exclusive-or changes each pixel once and a second one restores the card), and
// leaves the context's pen, brush and mix mode as they were.
#include "graphics/masks/ShapeVerbs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/pixels/CardOffscreen.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/graphics/ShapeVerbsTestUtil.h"

using namespace shapes;

namespace {

constexpr int kWidth = 72, kHeight = 44;
using Verb = ShapeVerb;
using Family = ShapeFamily;

// The offscreen as a picture: '#' for black.
ShapeArt Shown(HDC dc) {
    const std::vector<uint32_t> pixels = ReadDcPixels(dc, kWidth, kHeight);
    ShapeArt art(kHeight, std::string(kWidth, '.'));
    for (size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_TRUE(pixels[i] == 0 || pixels[i] == 0xFFFFFF) << std::hex << pixels[i];
        art[i / kWidth][i % kWidth] = pixels[i] == 0 ? '#' : '.';
    }
    return art;
}

TEST(ShapeVerbs, GdiGivesTheRasterizersPixels) {
    HWND window =
        CreateWindowExA(0, "STATIC", "card", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const ShapeArt white(kHeight, std::string(kWidth, '.'));
    auto blackStyle = [](PenSize pen) { return ShapeStyle{RGB(0, 0, 0), RGB(0, 0, 0), pen.width, pen.height}; };
    auto check = [&](Verb verb, Family family, const ShapeRect& r, int a, int b, PenSize pen) {
        char name[96];
        snprintf(name, sizeof name, "verb %d family %d on %d,%d,%d,%d with %d,%d pen %dx%d", verb, family, r.left,
                 r.top, r.right, r.bottom, a, b, pen.width, pen.height);
        ASSERT_EQ(InitDataBase(window, kWidth, kHeight, 0, false), 1);
        ShapeCanvas expected(kWidth, kHeight);
        DrawRaster(expected, verb, family, r, a, b, pen);
        HDC dc = AcquireOffscreenDC(nullptr);
        ASSERT_NE(dc, nullptr);
        const HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN), oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
        const int mix = GetROP2(dc);
        DrawGdi(dc, verb, family, r, a, b, blackStyle(pen));
        EXPECT_TRUE(GetCurrentObject(dc, OBJ_PEN) == oldPen && GetCurrentObject(dc, OBJ_BRUSH) == oldBrush &&
                    GetROP2(dc) == mix)
            << name;
        EXPECT_EQ(Shown(dc), expected.Art(verb == kInvert)) << name;
        if (verb == kInvert) {
            DrawGdi(dc, verb, family, r, a, b, blackStyle(pen));
            EXPECT_EQ(Shown(dc), white) << name << ", twice";
        }
        ReleaseOffscreenDC(dc);
    };
    // Every verb on a table of shapes; pens only where they matter.
    const ShapeRect rects[] = {{0, 0, 10, 6}, {0, 0, 10, 10}, {3, 2, 10, 7}, {5, 5, 6, 6},
                               {1, 1, 6, 2},  {2, 3, 70, 41}, {8, 4, 29, 39}};
    const std::pair<int, int> corners[] = {{10, 10}, {7, 4}, {1, 5}, {400, 3}};
    const std::pair<int, int> angles[] = {{0, 90}, {30, 200}, {300, 100}, {90, -45}, {10, 0}};
    const PenSize pens[] = {{1, 1}, {3, 2}, {2, 9}, {0, 2}};
    for (const ShapeRect& r : rects) {
        for (Verb verb : {kErase, kInvert, kPaint, kFrame}) {
            for (const PenSize& pen : pens) {
                for (auto [start, arc] : angles)
                    check(verb, kArc, r, start, arc, pen);
                if (verb != kFrame && &pen != pens)
                    continue;
                if (verb != kPaint)
                    check(verb, kRect, r, 0, 0, pen);
                check(verb, kOval, r, 0, 0, pen);
                for (auto [cw, ch] : corners)
                    check(verb, kRoundRect, r, cw, ch, pen);
            }
        }
    }

    ShapeArt span = white;
    span[2].replace(3, 7, "#######");
    ASSERT_EQ(InitDataBase(window, kWidth, kHeight, 0, false), 1);
    HDC dc = AcquireOffscreenDC(nullptr);
    {
        SelectedObject black(dc, GetStockObject(BLACK_PEN));
        DrawSpan(dc, 3, 9, 2);
        DrawSpan(dc, 9, 3, 4);  // reversed: nothing
    }
    EXPECT_EQ(Shown(dc), span);
    ReleaseOffscreenDC(dc);
    FreeOffscreenObjects();
    DestroyWindow(window);
}

}  // namespace
