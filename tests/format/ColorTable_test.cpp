// Mac colour tables: their sizes by depth, palettes and DIB colour tables made from them, and
// tables made from palettes.
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

class ColorTableTest : public StackFileTest {};

std::vector<uint8_t> Table(std::vector<std::array<uint16_t, 3>> colors) {
    std::vector<uint8_t> t(8 + colors.size() * 8, 0);
    SetBE16(t, 6, static_cast<uint16_t>(colors.size() - 1));
    for (size_t i = 0; i < colors.size(); ++i) {
        SetBE16(t, 8 + i * 8, static_cast<uint16_t>(i));
        for (size_t k = 0; k < 3; ++k)
            SetBE16(t, 8 + i * 8 + 2 + k * 2, colors[i][k]);
    }
    return t;
}

TEST_F(ColorTableTest, SizesByDepth) {
    // Deeper pictures keep a table of 256 entries, as the picture store writes them.
    const std::pair<int, uint32_t> cases[] = {{1, 24}, {2, 40}, {4, 136}, {8, 2056}, {16, 2056}, {24, 2056}, {32, 2056}};
    for (auto [depth, bytes] : cases)
        EXPECT_EQ(ColorTableBytesForDepth(depth), bytes) << depth;
    EXPECT_EQ(MacColorTableCount(Table({{0, 0, 0}, {1, 1, 1}})), 2u);
    std::vector<uint8_t> t = Table({{0, 0, 0}, {1, 1, 1}});
    SetBE16(t, 6, 2);  // announces three entries, holds two
    EXPECT_EQ(MacColorTableCount(t), 0u);
    SetBE16(t, 6, 0xFFFF);
    EXPECT_EQ(MacColorTableCount(t), 0u);
    EXPECT_EQ(MacColorTableCount(std::vector<uint8_t>(7, 0)), 0u);
}

TEST_F(ColorTableTest, PaletteAndDibColorsTakeTheHighBytes) {
    std::vector<std::array<uint16_t, 3>> colors;
    for (uint16_t i = 0; i < 12; ++i)
        colors.push_back({static_cast<uint16_t>(i << 8 | 0x77), static_cast<uint16_t>((i + 100) << 8), static_cast<uint16_t>(0xFF00 | i)});
    const std::vector<uint8_t> table = Table(colors);
    Handle palette = MacColorTableToPalette(table);
    ASSERT_NE(palette, 0);
    std::vector<uint8_t> p = HandleToBytes(palette);
    DisposeHandle(palette);
    ASSERT_EQ(p.size(), 4u + 12 * 4);
    EXPECT_EQ(GetU16(p, 0), 0x300);
    EXPECT_EQ(GetU16(p, 2), 12);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(p[4 + i * 4], i) << i;
        EXPECT_EQ(p[5 + i * 4], i + 100) << i;
        EXPECT_EQ(p[6 + i * 4], 0xFF) << i;
        EXPECT_EQ(p[7 + i * 4], i >= 10 ? kPaletteNoCollapse : 0) << i;
    }
    std::vector<uint8_t> dib(10 * 4, 0xCC);
    EXPECT_EQ(CopyColorTableToDib(table, dib), 10u) << "no more than the DIB holds";
    EXPECT_EQ(dib[3 * 4], 0xFF);
    EXPECT_EQ(dib[3 * 4 + 1], 103);
    EXPECT_EQ(dib[3 * 4 + 2], 3);
    EXPECT_EQ(dib[3 * 4 + 3], 0);
    std::vector<uint8_t> damaged = table;
    SetBE16(damaged, 6, 300);
    EXPECT_EQ(MacColorTableToPalette(damaged), 0);
}

TEST_F(ColorTableTest, TablesFromPalettes) {
    std::vector<PaletteColor> given(256), app(256), system(256);
    for (size_t i = 0; i < 256; ++i) {
        given[i] = {static_cast<uint8_t>(i), 1, 2, 0};
        app[i] = {3, static_cast<uint8_t>(i), 4, 0};
        system[i] = {5, 6, static_cast<uint8_t>(i), 0};
    }
    std::vector<uint8_t> map(256);
    for (size_t i = 0; i < 256; ++i)
        map[i] = static_cast<uint8_t>(255 - i);
    struct Case {
        const char* name;
        int depth;
        bool useGiven, mapped;
        uint32_t count;
        PaletteColor entry5;
    };
    const Case cases[] = {
        {"given palette at 4 bits", 4, true, false, 16, {5, 1, 2, 0}},
        {"system palette at 8 bits", 8, false, false, 256, {5, 6, 5, 0}},
        {"application palette at 16 bits", 16, false, false, 256, {3, 5, 4, 0}},
        {"mapped at 8 bits", 8, false, true, 256, {3, 250, 4, 0}},
        {"mapping ignored above 8 bits", 32, false, true, 256, {3, 5, 4, 0}},
    };
    for (const Case& c : cases) {
        ColorTableSource source;
        source.workingDepth = c.depth;
        if (c.useGiven)
            source.palette = given;
        source.appPalette = app;
        source.systemPalette = system;
        source.mapped = c.mapped;
        source.indexMap = map;
        source.ticks = 0x01020304;
        Handle h = PaletteToMacColorTable(source);
        ASSERT_NE(h, 0) << c.name;
        std::vector<uint8_t> t = HandleToBytes(h);
        DisposeHandle(h);
        ASSERT_EQ(t.size(), 8 + c.count * 8) << c.name;
        EXPECT_EQ(GetBE32(t, 0), 0x01020304u) << c.name;
        EXPECT_EQ(GetBE16(t, 4), 0) << c.name;
        EXPECT_EQ(MacColorTableCount(t), c.count) << c.name;
        const size_t e = 8 + 5 * 8;
        EXPECT_EQ(GetBE16(t, e), 5) << c.name << ": each entry holds its index";
        EXPECT_EQ(GetBE16(t, e + 2), c.entry5.red << 8) << c.name;
        EXPECT_EQ(GetBE16(t, e + 4), c.entry5.green << 8) << c.name;
        EXPECT_EQ(GetBE16(t, e + 6), c.entry5.blue << 8) << c.name;
    }
}

}  // namespace
