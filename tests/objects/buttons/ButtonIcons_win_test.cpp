// Button icons: drawing an image through its mask and its footprint without touching the stored
// data, and storing a chosen icon or cursor as a stack resource under the id the stack gives it.
#include "objects/buttons/Buttons.h"

#include <gtest/gtest.h>

#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "format/ResFile.h"

namespace {

namespace sb = stackbuilder;

// A 40 x 40 24-bit canvas filled grey; pixels read as 0xRRGGBB.
struct Canvas {
    uint32_t* bits = nullptr;
    HBITMAP bitmap;
    MemoryDC dc{nullptr};
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -40, 1, 32, BI_RGB};
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        SelectObject(dc.get(), bitmap);
        for (int i = 0; i < 40 * 40; ++i)
            bits[i] = 0x808080;
    }
    ~Canvas() {
        SelectObject(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
        DeleteObject(bitmap);
    }
    uint32_t At(int x, int y) {
        GdiFlush();
        return bits[y * 40 + x] & 0xFFFFFF;
    }
};

TEST(ButtonIcons, AnImageDrawsThroughItsMaskAndLeavesTheDataAlone) {
    ASSERT_TRUE(InitMemRefs());
    std::vector<uint8_t> once = sb::IconFile(32, {221, 8, 6});
    SetU32(once, 22 + 8, 32);  // a header giving the height once
    for (const std::vector<uint8_t>& bytes : {sb::IconFile(32, {221, 8, 6}), once}) {
        Handle icon = NewHandleFromBytes(bytes);
        for (const int index : {0, 5}) {  // an index past the count draws image 0
            Canvas canvas;
            ASSERT_TRUE(DrawIconImage(canvas.dc.get(), icon, index, 4, 4));
            EXPECT_EQ(canvas.At(4 + 16, 4 + 16), 0xDD0806u);
            EXPECT_EQ(canvas.At(4 + 16, 4), 0x000000u) << "the ring";
            EXPECT_EQ(canvas.At(5, 5), 0x808080u) << "transparent corner";
            EXPECT_EQ(canvas.At(38, 38), 0x808080u) << "outside";
        }
        EXPECT_EQ(HandleToBytes(icon), bytes) << "the stored height stays";
        EXPECT_EQ(GetIconSize(icon), 32u | 32u << 16);

        // The footprint: opaque pixels white in a black one-bit bitmap.
        HBITMAP print = CreateBitmap(32, 32, 1, 1, nullptr);
        {
            MemoryDC dc(nullptr);
            SelectedObject selected(dc.get(), print);
            PatBlt(dc.get(), 0, 0, 32, 32, BLACKNESS);
            DrawIconFootprint(dc.get(), icon, 0, 0);
            EXPECT_EQ(GetPixel(dc.get(), 16, 16), RGB(255, 255, 255));
            EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(0, 0, 0));
        }
        DeleteObject(print);
        DisposeHandle(icon);
    }
    std::vector<uint8_t> cut = sb::IconFile(32, {1, 2, 3});
    cut.resize(100);  // the image runs past the data
    Handle damaged = NewHandleFromBytes(cut);
    Canvas canvas;
    EXPECT_FALSE(DrawIconImage(canvas.dc.get(), damaged, 0, 0, 0));
    EXPECT_EQ(GetIconSize(damaged), 0u);
    DisposeHandle(damaged);
    FreeMemRefs();
}

TEST(ButtonIcons, AChosenIconIsStoredUnderTheIdTheStackGives) {
    ASSERT_TRUE(InitMemRefs());
    IconSelection* selection = GetIconSelection();
    const std::vector<uint8_t> red = sb::IconFile(16, {255, 0, 0}), blue = sb::IconFile(16, {0, 0, 255});
    *selection = {1, 0, 300, NewHandleFromBytes(red)};
    EXPECT_EQ(MapButtonIconId(0, 28032), 28032) << "a built-in id stays";
    EXPECT_EQ(MapButtonIconId(0, 7), 7) << "an icon left pending is no cursor choice";
    EXPECT_EQ(StoreIconResource(selection->data), 300);
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Icon"), 300)), red);
    selection->mode = 0;  // a cursor choice is stored as a cursor
    EXPECT_EQ(MapButtonIconId(0, 7), 300);
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Crsr"), 300)), red);
    selection->mode = 1;
    // Other data under the same id: the stack keeps the first and gives the new one another id.
    DisposeHandleAndClear(&selection->data);
    selection->data = NewHandleFromBytes(blue);
    const uint16_t again = StoreIconResource(selection->data);
    EXPECT_NE(again, 300);
    EXPECT_NE(again, 0);
    EXPECT_EQ(HandleToBytes(GetResource(ResType("Icon"), again)), blue);
    selection->fromStack = 1;
    EXPECT_EQ(StoreIconResource(selection->data), 300) << "one of the stack's own";
    ClearIconSelection();
    EXPECT_EQ(MapButtonIconId(0, 9), 9) << "nothing chosen";
    EXPECT_EQ(LoadIconResource(300) != 0, true);
    CloseAllResFiles();
    SetStackResFile(0);
    FreeMemRefs();
}

}  // namespace
