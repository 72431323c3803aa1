// The video of .mov movies through the binding: an 'rle ' movie's pictures at three times, a
// 'jpeg' movie through WIC, and a format left to the system's decompressors, tested with one of
// our own registered for a private code and with Cinepak when the system has it.
#include <windows.h>

#include <vfw.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include "BuilderMedia.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/QuickTime.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

namespace sb = stackbuilder;

class MovVideo : public StandInMoviesTest {};

// A picture the stand-in made (a packed DIB of 32 bits, bottom-up) as 0xRRGGBB, top row first.
std::vector<uint32_t> PictPixels(QtPicHandle pict, int* width = nullptr, int* height = nullptr) {
    std::vector<uint32_t> pixels;
    if (!pict)
        return pixels;
    const auto* dib = reinterpret_cast<const uint8_t*>(*pict);
    int32_t w, h;
    std::memcpy(&w, dib + 4, 4);
    std::memcpy(&h, dib + 8, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint32_t p;
            std::memcpy(&p, dib + 40 + (size_t(h - 1 - y) * w + x) * 4, 4);
            pixels.push_back(p & 0xFFFFFF);
        }
    if (width)
        *width = w;
    if (height)
        *height = h;
    KillPicture(pict);
    return pixels;
}

// Ten frames of 48 × 36, each distinct: a band of its own moves down over a pattern.
sb::MovVideo TenFrames(sb::MovCodec codec) {
    sb::MovVideo v;
    v.codec = codec;
    v.width = 48;
    v.height = 36;
    v.fps = 10;
    v.keyEvery = 4;
    std::vector<uint32_t> f(48 * 36);
    for (uint32_t y = 0; y < 36; ++y)
        for (uint32_t x = 0; x < 48; ++x)
            f[y * 48 + x] = (x * 5) << 16 | (y * 7) << 8 | 0x40;
    for (uint32_t k = 0; k < 10; ++k) {
        for (uint32_t y = k * 3; y < k * 3 + 4; ++y)
            for (uint32_t x = 0; x < 48; ++x)
                f[y * 48 + x] = 0x0F0F0Fu * (k + 1) + (x & 3);
        v.frames.push_back(f);
    }
    return v;
}

QtMovie OpenBytes(const char* name, const std::vector<uint8_t>& bytes) { return OpenMovieAtPath(WriteTemp(name, bytes)); }

TEST_P(MovVideo, RleMoviePictsAtThreeTimesAreTheFramesOfThoseTimes) {
    const sb::MovVideo v = TenFrames(sb::MovCodec::Rle);
    QtMovie movie = OpenBytes("loom_ten.mov", sb::MovFile(v));
    ASSERT_NE(movie, nullptr);
    QtRect box{};
    GetMovieBox(movie, &box);
    EXPECT_EQ(std::make_tuple(box.bottom, box.right), std::make_tuple(36, 48));
    for (int k : {7, 2, 9}) {
        int w = 0, h = 0;
        EXPECT_EQ(PictPixels(GetMoviePict(movie, k * 60 + 20), &w, &h), v.frames[k]) << "frame " << k;
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(48, 36));
    }
    // Drawn into a graphics world by MoviesTask as it plays.
    QtGWorldPtr world = nullptr;
    const QtRect bounds{0, 0, 36, 48};
    ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), kQtNoErr);
    SetMovieGWorld(movie, world, nullptr);
    GoToBeginningOfMovie(movie);
    StartMovie(movie);
    QTAdvanceTestClock(550);
    MoviesTask(movie, 0);
    HDC dc = static_cast<HDC>(GetPortHDC(world));
    for (int y : {0, 15, 17, 35}) {
        const uint32_t want = v.frames[5][size_t(y) * 48 + 9];
        EXPECT_EQ(GetPixel(dc, 9, y), RGB(want >> 16, (want >> 8) & 0xFF, want & 0xFF)) << "line " << y;
    }
    DisposeMovie(movie);
    DisposeGWorld(world);
}

INSTANTIATE_TEST_SUITE_P(LoadedAndLinked, MovVideo, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "Linked" : "Loaded"; });

class MovVideoLoaded : public MovVideo {};

TEST_P(MovVideoLoaded, JpegFramesComeThroughWicWithinThreeAChannel) {
    sb::MovVideo v;
    v.codec = sb::MovCodec::Jpeg;
    v.jpeg = sb::WicJpeg;
    v.width = 64;
    v.height = 48;
    for (uint32_t k = 0; k < 3; ++k) {
        std::vector<uint32_t> f;
        for (uint32_t y = 0; y < 48; ++y)
            for (uint32_t x = 0; x < 64; ++x)
                f.push_back((x * 4) << 16 | (y * 5) << 8 | (k * 100));
        v.frames.push_back(f);
    }
    QtMovie movie = OpenBytes("loom_jpeg.mov", sb::MovFile(v));
    ASSERT_NE(movie, nullptr);
    for (int k : {2, 0, 1}) {
        const std::vector<uint32_t> got = PictPixels(GetMoviePict(movie, k * 60));
        ASSERT_EQ(got.size(), v.frames[k].size()) << "frame " << k;
        double total = 0;
        for (size_t i = 0; i < got.size(); ++i)
            for (int shift : {0, 8, 16})
                total += std::abs(int((got[i] >> shift) & 0xFF) - int((v.frames[k][i] >> shift) & 0xFF));
        EXPECT_LE(total / (got.size() * 3), 3.0) << "frame " << k;
    }
    DisposeMovie(movie);
}

// A decompressor of our own for the code 'lmtv': 24-bit big-endian RGB rows, top first, into
// 24- or 32-bit DIBs. It counts its opens.
constexpr DWORD kPrivateCode = mmioFOURCC('l', 'm', 't', 'v');
int g_opens = 0;

bool Accepts(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out) {
    if (!in || in->biCompression != kPrivateCode)
        return false;
    return !out || (out->biCompression == BI_RGB && (out->biBitCount == 24 || out->biBitCount == 32) &&
                    out->biWidth == in->biWidth && std::abs(out->biHeight) == in->biHeight);
}

LRESULT CALLBACK PrivateDecompressor(DWORD_PTR, HDRVR, UINT message, LPARAM p1, LPARAM p2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_CLOSE: return 1;
    case DRV_OPEN: ++g_opens; return 1;
    case ICM_DECOMPRESS_QUERY:
    case ICM_DECOMPRESS_BEGIN:
        return Accepts(&reinterpret_cast<BITMAPINFO*>(p1)->bmiHeader,
                       p2 ? &reinterpret_cast<BITMAPINFO*>(p2)->bmiHeader : nullptr)
                   ? ICERR_OK
                   : ICERR_BADFORMAT;
    case ICM_DECOMPRESS_END: return ICERR_OK;
    case ICM_DECOMPRESS: {
        const auto* d = reinterpret_cast<const ICDECOMPRESS*>(p1);
        if (!Accepts(d->lpbiInput, d->lpbiOutput))
            return ICERR_BADFORMAT;
        const int w = d->lpbiInput->biWidth, h = d->lpbiInput->biHeight, bytes = d->lpbiOutput->biBitCount / 8;
        const int stride = (w * bytes + 3) & ~3;
        const auto* in = static_cast<const uint8_t*>(d->lpInput);
        auto* out = static_cast<uint8_t*>(d->lpOutput);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = in + (size_t(y) * w + x) * 3;
                uint8_t* p = out + size_t(h - 1 - y) * stride + size_t(x) * bytes;
                p[0] = s[2], p[1] = s[1], p[2] = s[0];
            }
        return ICERR_OK;
    }
    default: return message < DRV_USER ? DefDriverProc(0, nullptr, message, p1, p2) : ICERR_UNSUPPORTED;
    }
}

TEST_P(MovVideoLoaded, OtherFormatsGoToTheSystemsDecompressorProbedOncePerMovie) {
    ASSERT_TRUE(ICInstall(ICTYPE_VIDEO, kPrivateCode, reinterpret_cast<LPARAM>(PrivateDecompressor), nullptr,
                          ICINSTALL_FUNCTION));
    const sb::MovVideo frames = TenFrames(sb::MovCodec::Raw);
    sb::MovVideo v = frames;
    v.codec = sb::MovCodec::Stored;
    std::memcpy(v.storedFormat, "lmtv", 4);
    v.storedSamples = sb::MovVideoSamples(frames);  // 'raw ' 24-bit rows are what 'lmtv' holds
    g_opens = 0;
    QtMovie movie = OpenBytes("loom_private.mov", sb::MovFile(v));
    ASSERT_NE(movie, nullptr);
    for (int k : {3, 8, 0})
        EXPECT_EQ(PictPixels(GetMoviePict(movie, k * 60)), frames.frames[k]) << "frame " << k;
    EXPECT_EQ(g_opens, 1) << "one decompressor for the movie";
    DisposeMovie(movie);
    ICRemove(ICTYPE_VIDEO, kPrivateCode, 0);

    // Without it, the movie keeps its box and time and shows no picture, and the log says why.
    const std::string log = TempPath("loom_qt_log.txt");
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("LOOM_QUICKTIME_LOG", log.c_str());
    movie = OpenBytes("loom_private2.mov", sb::MovFile(v));
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(GetMovieDuration(movie), 600);
    QtRect box{};
    GetMovieBox(movie, &box);
    EXPECT_EQ(std::make_tuple(box.bottom, box.right), std::make_tuple(36, 48));
    EXPECT_EQ(GetMoviePict(movie, 0), nullptr);
    DisposeMovie(movie);
    SetEnvironmentVariableA("LOOM_QUICKTIME_LOG", nullptr);
    std::ifstream in(log);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("no decoder for 'lmtv' at 24 bits"), std::string::npos) << text;
}

// A Cinepak key frame of 16 × 16: one strip, one colour entry (grey 100), every block using it.
std::vector<uint8_t> GreyCinepakFrame() {
    std::vector<uint8_t> f = {0x00, 0, 0, 52, 0, 16, 0, 16, 0, 1,           // flags, size, width, height, strips
                              0x10, 0x00, 0, 42, 0, 0, 0, 0, 0, 16, 0, 16,  // key strip, size, its rectangle
                              0x22, 0x00, 0, 10, 100, 100, 100, 100, 0, 0,  // V1 colour codebook of one entry
                              0x32, 0x00, 0, 20};                           // V1 vectors of the 16 blocks
    f.insert(f.end(), 16, 0);
    return f;
}

TEST_P(MovVideoLoaded, CinepakIsDecodedWhenTheSystemOffersIt) {
    BITMAPINFOHEADER in{sizeof in, 16, 16, 1, 24, mmioFOURCC('c', 'v', 'i', 'd'), 0, 0, 0, 0, 0};
    HIC hic = ICLocate(ICTYPE_VIDEO, in.biCompression, &in, nullptr, ICMODE_DECOMPRESS);
    std::cout << "[ cvid ] the system " << (hic ? "offers" : "does not offer") << " a Cinepak decompressor\n";
    if (!hic)
        GTEST_SKIP() << "no Cinepak decompressor here";
    ICClose(hic);
    sb::MovVideo v;
    v.codec = sb::MovCodec::Stored;
    std::memcpy(v.storedFormat, "cvid", 4);
    v.width = v.height = 16;
    v.storedSamples = {GreyCinepakFrame()};
    QtMovie movie = OpenBytes("loom_cvid.mov", sb::MovFile(v));
    ASSERT_NE(movie, nullptr);
    const std::vector<uint32_t> got = PictPixels(GetMoviePict(movie, 0));
    ASSERT_EQ(got.size(), 256u);
    for (uint32_t p : got)
        ASSERT_TRUE(std::abs(int(p & 0xFF) - 100) <= 2 && std::abs(int(p >> 16) - 100) <= 2) << std::hex << p;
    DisposeMovie(movie);
}

INSTANTIATE_TEST_SUITE_P(Loaded, MovVideoLoaded, testing::Values(false));

}  // namespace
