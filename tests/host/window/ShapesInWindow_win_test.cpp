// The shape verbs end to end: the test browser's own code hosts the plug-in linked into this
// program on a white card; a table of every verb, with several pens and colours and exclusive-or
// over coloured ground, is drawn into the card offscreen, and the window, once repainted, shows
// exactly the rasterizer's pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/ui/GdiGuards.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/cards/CardList.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/graphics/ShapeVerbsTestUtil.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/DisplayDepth_win.h"

using namespace shapes;

namespace {

constexpr int kCardW = 198, kCardH = 150;

// One verb of the table: Paint and Frame draw in colour, Erase in back, Invert ignores both.
struct Drawn {
    ShapeVerb verb;
    ShapeFamily family;
    ShapeRect rect;
    int a, b;
    PenSize pen;
    COLORREF colour;
};

// Pure channels only, which a 16-bit display keeps exactly (and so does their complement).
constexpr COLORREF kColours[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                 RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 255)};

// A coloured ground, then every verb three times in a grid of 22 by 30 cells whose shapes
// reach into their neighbours, with a pen, colour, corner or angles of its own each time.
std::vector<Drawn> Table() {
    std::vector<Drawn> table = {{kErase, kRect, {0, 0, 99, 75}, 0, 0, {1, 1}, RGB(255, 0, 0)},
                                {kErase, kRect, {99, 75, 198, 150}, 0, 0, {1, 1}, RGB(0, 0, 255)},
                                {kPaint, kOval, {50, 30, 150, 120}, 0, 0, {1, 1}, RGB(0, 255, 0)}};
    const PenSize pens[] = {{1, 1}, {3, 2}, {2, 5}};
    const std::pair<int, int> corners[] = {{10, 10}, {16, 6}, {400, 3}};
    const std::pair<int, int> angles[] = {{30, 200}, {300, 100}, {90, -45}};
    int cell = 0;
    for (ShapeVerb verb : {kErase, kInvert, kPaint, kFrame}) {
        for (ShapeFamily family : {kRect, kOval, kRoundRect, kArc}) {
            if (verb == kPaint && family == kRect)
                continue;
            for (int v = 0; v < 3; ++v, ++cell) {
                const int x = cell % 9 * 22, y = cell / 9 * 30;
                const ShapeRect r = {x + 1 - v, y + 2, x + 24 + v, y + 28 + v * 2};
                const auto [a, b] = family == kArc ? angles[v] : corners[v];
                table.push_back({verb, family, r, a, b, pens[v], kColours[(cell * 3 + v) % 8]});
            }
        }
    }
    return table;
}

// The window the table should give: white, each verb applied in turn to the pixels the
// rasterizer touches.
std::vector<uint32_t> Golden(const std::vector<Drawn>& table) {
    std::vector<uint32_t> pixels(size_t{kCardW} * kCardH, 0xFFFFFF);
    for (const Drawn& d : table) {
        ShapeCanvas canvas(kCardW, kCardH);
        DrawRaster(canvas, d.verb, d.family, d.rect, d.a, d.b, d.pen);
        const uint32_t rgb = GetRValue(d.colour) << 16 | GetGValue(d.colour) << 8 | GetBValue(d.colour);
        const ShapeArt art = canvas.Art(d.verb == kInvert);
        for (int y = 0; y < kCardH; ++y)
            for (int x = 0; x < kCardW; ++x)
                if (art[y][x] == '#') {
                    uint32_t& p = pixels[size_t(y) * kCardW + x];
                    p = d.verb == kInvert ? p ^ 0xFFFFFF : rgb;
                }
    }
    return pixels;
}

class ShapesInWindow : public LinkedPluginTest {};

TEST_F(ShapesInWindow, EveryVerbShowsInTheWindowAsRasterized) {
    SKIP_UNLESS_TRUE_COLOUR("the window is compared pixel for pixel with shapes in exact colours");
    stackbuilder::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    stackbuilder::Card card = stackbuilder::PictureCard(1, stackbuilder::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {{255, 255, 255}};  // a card takes its size from its picture
    stack.cards.push_back(card);
    ASSERT_TRUE(Open(stack));
    const HWND embed = page.embed;
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    ASSERT_EQ(GetCardCount(), 1) << "the stack is open";
    ASSERT_TRUE(width >= kCardW && height >= kCardH) << width << "x" << height;

    const std::vector<Drawn> table = Table();
    HDC offscreen = AcquireOffscreenDC(nullptr);
    ASSERT_NE(offscreen, nullptr);
    for (const Drawn& d : table)
        DrawGdi(offscreen, d.verb, d.family, d.rect, d.a, d.b, {d.colour, d.colour, d.pen.width, d.pen.height});
    ReleaseOffscreenDC(offscreen);
    InvalidateRect(embed, nullptr, FALSE);
    UpdateWindow(embed);
    PumpPageMessages();

    std::vector<uint32_t> shown;
    {
        WindowDC dc(embed);
        shown = ReadDcPixels(dc.get(), kCardW, kCardH);
    }
    const std::vector<uint32_t> golden = Golden(table);
    int wrong = 0;
    std::string where;
    for (size_t i = 0; i < golden.size(); ++i) {
        if (shown[i] == golden[i])
            continue;
        if (++wrong <= 8) {
            char line[80];
            snprintf(line, sizeof line, "\n  at %d,%d: %06x, want %06x", int(i % kCardW), int(i / kCardW),
                     unsigned(shown[i]), unsigned(golden[i]));
            where += line;
        }
    }
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(wrong, 0) << "display depth " << depth << where;

}

}  // namespace
