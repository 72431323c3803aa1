// Cursor mask buffers of the system cursor size in global blocks.
#include "core/ui/CursorBitmaps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> BytesOf(HGLOBAL block, size_t count) {
    auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    std::vector<uint8_t> bytes(p, p + count);
    GlobalUnlock(block);
    return bytes;
}

TEST(CursorBitmapsWin, PairOfZeroedMasksOfTheCursorSize) {
    const int cw = GetSystemMetrics(SM_CXCURSOR), ch = GetSystemMetrics(SM_CYCURSOR);
    const size_t bytes = static_cast<size_t>(cw / 8) * ch;
    HGLOBAL andMask = reinterpret_cast<HGLOBAL>(1), xorMask = reinterpret_cast<HGLOBAL>(1);
    ASSERT_TRUE(CreateCursorBitmaps(&andMask, &xorMask));
    ASSERT_NE(andMask, nullptr);
    ASSERT_NE(xorMask, nullptr);
    EXPECT_NE(andMask, xorMask);
    EXPECT_GE(GlobalSize(andMask), bytes);
    EXPECT_GE(GlobalSize(xorMask), bytes);
    EXPECT_EQ(BytesOf(andMask, bytes), std::vector<uint8_t>(bytes, 0));

    // Bits land most significant first in rows of cw / 8 bytes; pixels outside are refused.
    EXPECT_TRUE(SetCursorMaskBit(andMask, 0, 0));
    EXPECT_TRUE(SetCursorMaskBit(andMask, 9, 1));
    EXPECT_TRUE(SetCursorMaskBit(andMask, cw - 1, ch - 1));
    EXPECT_FALSE(SetCursorMaskBit(andMask, cw, 0));
    EXPECT_FALSE(SetCursorMaskBit(andMask, 0, ch));
    EXPECT_FALSE(SetCursorMaskBit(andMask, -1, 0));
    EXPECT_FALSE(SetCursorMaskBit(andMask, 0, -1));
    EXPECT_FALSE(SetCursorMaskBit(nullptr, 0, 0));
    std::vector<uint8_t> expected(bytes, 0);
    expected[0] = 0x80;
    expected[cw / 8 + 1] = 0x40;
    expected[bytes - 1] = 0x01;
    EXPECT_EQ(BytesOf(andMask, bytes), expected);
    EXPECT_EQ(BytesOf(xorMask, bytes), std::vector<uint8_t>(bytes, 0));

    GlobalFree(andMask);
    GlobalFree(xorMask);
    EXPECT_FALSE(CreateCursorBitmaps(nullptr, &xorMask));
}

}  // namespace
