// Safe releases and locked global blocks.
#include "core/memory/SafeRelease.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SafeReleaseWin, NullHandlesAreReleasedAlready) {
    EXPECT_TRUE(SafeDeleteObject(nullptr));
    EXPECT_TRUE(SafeDestroyCursor(nullptr));
    EXPECT_TRUE(SafeDestroyIcon(nullptr));

    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(SafeDeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u) << "the brush is gone";

    const BYTE andBits[4 * 32] = {};
    const BYTE xorBits[4 * 32] = {};
    HCURSOR cursor = CreateCursor(GetModuleHandleA(nullptr), 0, 0, 32, 32, andBits, xorBits);
    ASSERT_NE(cursor, nullptr);
    EXPECT_TRUE(SafeDestroyCursor(cursor));
    HICON icon = CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(SafeDestroyIcon(icon));
}

TEST(SafeReleaseWin, DeleteObjectAndClear) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(DeleteObjectAndClear(&pen), 1);
    EXPECT_EQ(pen, nullptr);
    EXPECT_EQ(DeleteObjectAndClear(&pen), 0);  // nothing held: no release
    EXPECT_EQ(pen, nullptr);
    EXPECT_EQ(DeleteObjectAndClear(static_cast<HBITMAP*>(nullptr)), 0);
}

TEST(SafeReleaseWin, LockedGlobalBlocks) {
    HGLOBAL block = reinterpret_cast<HGLOBAL>(1);
    auto* p = static_cast<uint8_t*>(AllocLockedGlobal(&block, 300));
    ASSERT_NE(p, nullptr);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(GlobalSize(block), 300u);
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 1u);
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(p[i], 0) << "byte " << i;
    FreeLockedGlobal(block, TRUE);

    HGLOBAL unlocked = GlobalAlloc(GMEM_MOVEABLE, 16);
    FreeLockedGlobal(unlocked, FALSE);
    FreeLockedGlobal(nullptr, TRUE);  // nothing to free
    EXPECT_EQ(AllocLockedGlobal(nullptr, 16), nullptr);
}

}  // namespace
