// Safe releases, whole-bitmap copies and locked global blocks.
#include "core/SafeRelease.h"

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

// A 32-bit top-down bitmap of the given pixels.
HBITMAP MakeBitmap(int width, int height, const std::vector<uint32_t>& pixels, int bits = 32) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = bits == 1 ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(screen, width, height);
    SetDIBits(screen, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xDEADBEEF);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (auto& p : pixels)
        p &= 0x00FFFFFF;
    return pixels;
}

TEST(SafeReleaseWin, DuplicateBitmapCopiesEveryPixel) {
    EXPECT_EQ(DuplicateBitmap(nullptr), nullptr);

    const int w = 7, h = 5;
    std::vector<uint32_t> pixels(w * h);
    for (int i = 0; i < w * h; ++i)
        pixels[i] = (i % 3 == 0) ? 0x00FF0000u : (i % 3 == 1) ? 0x0000FF00u : 0x00FFFFFFu;
    HBITMAP source = MakeBitmap(w, h, pixels);
    ASSERT_NE(source, nullptr);
    HBITMAP copy = DuplicateBitmap(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(copy, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, w);
    EXPECT_EQ(info.bmHeight, h);
    EXPECT_EQ(PixelsOf(copy, w, h), pixels);
    DeleteObject(copy);
    DeleteObject(source);

    // A one-bit bitmap stays one bit deep.
    std::vector<uint32_t> mono(16 * 2, 0x00FFFFFFu);
    mono[3] = mono[20] = 0;
    HBITMAP mask = MakeBitmap(16, 2, mono, 1);
    HBITMAP maskCopy = DuplicateBitmap(mask);
    ASSERT_NE(maskCopy, nullptr);
    ASSERT_TRUE(GetObjectA(maskCopy, sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(PixelsOf(maskCopy, 16, 2), mono);
    DeleteObject(maskCopy);
    DeleteObject(mask);
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
