// Whole-bitmap copies.
#include "graphics/pixels/BitmapCopy.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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

TEST(BitmapCopyWin, DuplicateBitmapCopiesEveryPixel) {
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

}  // namespace
