// JPEG through vic32.dll, checked against GDI+, a coder the library does not use: what the
// library writes GDI+ reads back at the same size and close colours, from either row order and
// from 8 bits; quality is honoured where the system's encoder honours it; what GDI+ writes the
// library measures and decodes as GDI+ does; bytes that are not a JPEG are refused.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "tests/vic32/VicTestUtil.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Picture = Rgb (*)(int x, int y, int width, int height);

// Fine detail: it costs bytes at high quality and is dropped at low quality.
Rgb Detailed(int x, int y, int, int) {
    const uint8_t v = static_cast<uint8_t>((x * 7 + y * 13) * 29 % 256);
    return {v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(x * 4)};
}

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Bytes StreamBytes(IStream* stream) {
    HGLOBAL block = nullptr;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream, &block)))
        return {};
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    Bytes out(p, p + stat.cbSize.QuadPart);
    GlobalUnlock(block);
    return out;
}

Decoded DecodeWithGdiPlus(const Bytes& jpeg) {
    Decoded out;
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(jpeg.data(), static_cast<ULONG>(jpeg.size()), nullptr);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    {
        Gdiplus::Bitmap bitmap(stream);
        Gdiplus::BitmapData data{};
        Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
        if (bitmap.GetLastStatus() == Gdiplus::Ok &&
            bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) == Gdiplus::Ok) {
            out.width = static_cast<int>(data.Width);
            out.height = static_cast<int>(data.Height);
            for (int y = 0; y < out.height; ++y) {
                const auto* row = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
                for (int x = 0; x < out.width; ++x)
                    out.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            }
            bitmap.UnlockBits(&data);
        }
    }
    stream->Release();
    return out;
}

Bytes EncodeWithGdiPlus(int width, int height, ULONG quality, Picture picture) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    const CLSID* jpeg = nullptr;
    for (UINT i = 0; size && Gdiplus::GetImageEncoders(count, size, codecs) == Gdiplus::Ok && i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/jpeg") == 0)
            jpeg = &codecs[i].Clsid;
    }
    if (!jpeg)
        return {};
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = picture(x, y, width, height);
            bitmap.SetPixel(x, y, Gdiplus::Color(c.red, c.green, c.blue));
        }
    }
    Gdiplus::EncoderParameters params;
    params.Count = 1;
    params.Parameter[0] = {Gdiplus::EncoderQuality, 1, Gdiplus::EncoderParameterValueTypeLong, &quality};
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    const Bytes out = bitmap.Save(stream, jpeg, &params) == Gdiplus::Ok ? StreamBytes(stream) : Bytes{};
    stream->Release();
    return out;
}

// The JPEG the library writes; the global block is checked and freed here.
Bytes SaveJpeg(const VicImage& image, int quality) {
    HGLOBAL block = nullptr;
    uint32_t length = 0xDEADBEEF;
    EXPECT_EQ(savejpgtobuffer(&block, &length, &image, quality), VIC_OK);
    if (!block)
        return {};
    EXPECT_GE(GlobalSize(block), length);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    Bytes out(p, p + length);
    GlobalUnlock(block);
    GlobalFree(block);
    return out;
}

// Mean absolute difference per channel.
template <class Want>
double MeanGap(const Decoded& got, Want want) {
    double total = 0;
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x)
            total += ChannelGap(got.at(x, y), want(x, y));
    }
    return total / (3.0 * got.width * got.height);
}

class VicJpeg : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
        CoUninitialize();
    }
    ULONG_PTR token_ = 0;
};

TEST_F(VicJpeg, WhatItWritesAnotherDecoderReadsBack) {
    constexpr int kWidth = 97, kHeight = 61;  // rows padded, blocks cut at the edges
    auto want = [](int x, int y) { return Smooth(x, y, kWidth, kHeight); };
    OwnedImage own(kWidth, kHeight, want);
    std::vector<uint8_t> dib = MakeDibBytes({kWidth, kHeight, 24, true}, [&](int x, int y) { return ValueOf(want(x, y)); });
    VicImage topDown{};
    ASSERT_EQ(setupimgdes(dib.data(), static_cast<uint32_t>(dib.size()), &topDown), VIC_OK);
    OwnedImage indexed(kWidth, kHeight, 8);
    ASSERT_EQ(convertrgbtopal(256, own.get(), indexed.get()), VIC_OK);

    const struct {
        const char* name;
        const VicImage* image;
        double bound;
    } cases[] = {{"bottom-up", own.get(), 3.0}, {"top-down", &topDown, 3.0}, {"8-bit", indexed.get(), 4.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes jpeg = SaveJpeg(*c.image, 50);
        ASSERT_GT(jpeg.size(), 4u);
        EXPECT_EQ((Bytes{jpeg[0], jpeg[1], jpeg[jpeg.size() - 2], jpeg.back()}), (Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
        const Decoded back = DecodeWithGdiPlus(jpeg);
        ASSERT_EQ(back.width, kWidth);
        ASSERT_EQ(back.height, kHeight);
        EXPECT_LT(MeanGap(back, want), c.bound);
    }
}

TEST_F(VicJpeg, QualityDecidesSize) {
    OwnedImage image(64, 64, [](int x, int y) { return Detailed(x, y, 64, 64); });
    HGLOBAL block = nullptr;
    uint32_t length = 0;
    EXPECT_EQ(savejpgtobuffer(&block, &length, image.get(), 0), VIC_BAD_ARGUMENT);
    EXPECT_EQ(savejpgtobuffer(&block, &length, image.get(), 101), VIC_BAD_ARGUMENT);
    EXPECT_EQ(block, nullptr);

    const size_t low = SaveJpeg(image.image, 10).size();
    const size_t middle = SaveJpeg(image.image, 50).size();
    const size_t high = SaveJpeg(image.image, 95).size();
    EXPECT_LE(low, middle);
    EXPECT_LE(middle, high);
    // Wine's JPEG encoder, under WIC and GDI+ alike, writes every quality the same; GDI+ tells
    // whether the system's encoder takes the quality at all.
    if (EncodeWithGdiPlus(64, 64, 10, Detailed).size() == EncodeWithGdiPlus(64, 64, 95, Detailed).size())
        GTEST_SKIP() << "this system's JPEG encoder ignores the quality";
    EXPECT_LT(low, middle);
    EXPECT_LT(middle, high);
}

TEST_F(VicJpeg, ReadsWhatAnotherEncoderWroteAndRefusesTheRest) {
    constexpr int kWidth = 75, kHeight = 50;
    const Bytes jpeg = EncodeWithGdiPlus(kWidth, kHeight, 80, Smooth);
    ASSERT_FALSE(jpeg.empty());
    VicJpegInfo info;
    std::memset(&info, 0xCD, sizeof info);
    ASSERT_EQ(jpeginfofrombuffer(jpeg.data(), static_cast<uint32_t>(jpeg.size()), &info), VIC_OK);
    EXPECT_EQ(info.width, kWidth);
    EXPECT_EQ(info.height, kHeight);
    EXPECT_EQ(info.components, 3);
    EXPECT_EQ(info.bitsPerPixel, 24);

    const Decoded reference = DecodeWithGdiPlus(jpeg);
    ASSERT_EQ(reference.width, kWidth);
    OwnedImage image(info.width, info.height, info.bitsPerPixel);
    ASSERT_EQ(loadjpgfrombuffer(jpeg.data(), static_cast<uint32_t>(jpeg.size()), image.get()), VIC_OK);
    EXPECT_LT(MeanGap(reference, [&](int x, int y) { return PixelAt(image.image, x, y); }), 1.0);
    EXPECT_LT(MeanGap(reference, [&](int x, int y) { return Smooth(x, y, kWidth, kHeight); }), 3.0);

    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const struct {
        const char* name;
        const uint8_t* bytes;
        uint32_t length;
    } refused[] = {{"PNG signature", png.data(), 16}, {"first 20 bytes", jpeg.data(), 20}, {"three bytes", jpeg.data(), 3}};
    for (const auto& c : refused) {
        std::memset(&info, 0xCD, sizeof info);
        EXPECT_EQ(jpeginfofrombuffer(c.bytes, c.length, &info), VIC_BAD_JPEG) << c.name;
        EXPECT_EQ(info.width, static_cast<int32_t>(0xCDCDCDCD)) << c.name;
    }
    OwnedImage wrongSize(kWidth + 1, kHeight, 24), indexed(kWidth, kHeight, 8), untouched(kWidth, kHeight, 24);
    EXPECT_EQ(loadjpgfrombuffer(jpeg.data(), static_cast<uint32_t>(jpeg.size()), wrongSize.get()), VIC_BAD_SIZE);
    EXPECT_EQ(loadjpgfrombuffer(jpeg.data(), static_cast<uint32_t>(jpeg.size()), indexed.get()), VIC_BAD_BITS);
    EXPECT_EQ(loadjpgfrombuffer(png.data(), static_cast<uint32_t>(png.size()), untouched.get()), VIC_BAD_JPEG);
    for (int i = 0; i < kWidth * kHeight; ++i)
        ASSERT_EQ(PixelAt(untouched.image, i % kWidth, i / kWidth), Rgb{}) << "written by a refused load";
}

}  // namespace
