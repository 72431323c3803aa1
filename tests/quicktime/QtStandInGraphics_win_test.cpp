// The stand-in's pictures, worlds and ports through the calls, as the media layer makes them:
// pictures the test writes itself imported pixel for pixel, worlds blended by CopyBits, window
// ports and events.
#include <wincodec.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "quicktime/QtCalls.h"
#include "quicktime/QtEffects.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/TestPng.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Le16(Bytes* out, int v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}
void Le32(Bytes* out, uint32_t v) {
    Le16(out, static_cast<int>(v & 0xFFFF));
    Le16(out, static_cast<int>(v >> 16));
}

// A 24-bit BMP, rows bottom up as the format keeps them.
Bytes Bmp(int width, int height, const Bytes& rgb) {
    const int rowBytes = (width * 3 + 3) & ~3;
    Bytes bmp = {'B', 'M'};
    Le32(&bmp, 54 + rowBytes * height);
    Le32(&bmp, 0);
    Le32(&bmp, 54);
    Le32(&bmp, 40);
    Le32(&bmp, width);
    Le32(&bmp, height);
    Le16(&bmp, 1);
    Le16(&bmp, 24);
    for (int i = 0; i < 6; ++i)
        Le32(&bmp, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(y * width + x) * 3];
            bmp.insert(bmp.end(), {p[2], p[1], p[0]});
        }
        bmp.resize(bmp.size() + rowBytes - width * 3, 0);
    }
    return bmp;
}

// A GIF of 256 colours (colour i is Palette(i)) whose LZW codes are all literals, 9 bits wide:
// a clear code comes often enough that the table never widens them.
std::array<uint8_t, 3> Palette(int i) { return {uint8_t(i * 7), uint8_t(i * 13), uint8_t(i * 29)}; }
Bytes Gif(int width, int height, const Bytes& indexes) {
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    Le16(&gif, width);
    Le16(&gif, height);
    gif.insert(gif.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i) {
        const auto c = Palette(i);
        gif.insert(gif.end(), c.begin(), c.end());
    }
    gif.push_back(0x2C);
    Le16(&gif, 0);
    Le16(&gif, 0);
    Le16(&gif, width);
    Le16(&gif, height);
    gif.push_back(0);
    gif.push_back(8);
    Bytes codes;
    uint32_t acc = 0;
    int bits = 0;
    auto emit = [&](int code) {
        acc |= static_cast<uint32_t>(code) << bits;
        for (bits += 9; bits >= 8; bits -= 8, acc >>= 8)
            codes.push_back(static_cast<uint8_t>(acc));
    };
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (i % 200 == 0)
            emit(256);
        emit(indexes[i]);
    }
    emit(257);
    if (bits > 0)
        codes.push_back(static_cast<uint8_t>(acc));
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t n = std::min<size_t>(255, codes.size() - at);
        gif.push_back(static_cast<uint8_t>(n));
        gif.insert(gif.end(), codes.begin() + at, codes.begin() + at + n);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

// A picture written by the system's own encoder (TIFF, JPEG); empty when it has none.
Bytes Encoded(const GUID& container, int width, int height, const Bytes& rgb) {
    Bytes out;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    Bytes bgr;
    for (size_t i = 0; i < rgb.size(); i += 3)
        bgr.insert(bgr.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        format == GUID_WICPixelFormat24bppBGR &&
        SUCCEEDED(frame->WritePixels(height, width * 3, static_cast<UINT>(bgr.size()), bgr.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit())) {
        HGLOBAL global = nullptr;
        if (SUCCEEDED(GetHGlobalFromStream(stream, &global))) {
            STATSTG stat = {};
            stream->Stat(&stat, STATFLAG_NONAME);
            const auto* p = static_cast<const uint8_t*>(GlobalLock(global));
            out.assign(p, p + stat.cbSize.QuadPart);
            GlobalUnlock(global);
        }
    }
    for (IUnknown* u : std::initializer_list<IUnknown*>{frame, encoder, stream, factory})
        if (u)
            u->Release();
    CoUninitialize();
    return out;
}

std::string WriteTemp(const char* name, const Bytes& bytes) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

// A world's pixel (x, y) as red, green, blue, read back through GDI.
std::array<int, 3> PixelOf(QtGWorldPtr world, int x, int y) {
    HDC dc = static_cast<HDC>(GetPortHDC(world));
    const COLORREF c = GetPixel(dc, x, y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Each check runs over "QuickTime.qts" and over the stand-in linked as the player links it.
class QtStandInGraphics : public ::testing::TestWithParam<bool> {
protected:
    QuickTimeVariant variant{GetParam()};
    void SetUp() override { ASSERT_EQ(QTBind(0), kQtNoErr); }
    void TearDown() override { QTRelease(); }
};

TEST_P(QtStandInGraphics, PicturesImportPixelExactAtTheirSizeOrScaled) {
    constexpr int kW = 7, kH = 5;
    Bytes rgb;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            rgb.insert(rgb.end(), {uint8_t(x * 37), uint8_t(y * 51 + 3), uint8_t((x * y * 13) ^ 0x5A)});
    const std::string path = WriteTemp("standin_import.png", Png(kW, kH, rgb));

    QtFSSpec spec;
    ASSERT_EQ(NativePathNameToFSSpec(path.c_str(), &spec, 0), kQtNoErr);
    QtGraphicsImporter importer = nullptr;
    ASSERT_EQ(GetGraphicsImporterForFile(&spec, &importer), kQtNoErr);
    ASSERT_NE(importer, nullptr);
    QtRect natural = {9, 9, 9, 9};
    ASSERT_EQ(GraphicsImportGetNaturalBounds(importer, &natural), kQtNoErr);
    EXPECT_EQ((std::array<int, 4>{natural.top, natural.left, natural.bottom, natural.right}),
              (std::array<int, 4>{0, 0, kH, kW}));

    QtGWorldPtr world = nullptr;
    ASSERT_EQ(NewGWorld(&world, 32, &natural, nullptr, nullptr, 0), kQtNoErr);
    ASSERT_EQ(GraphicsImportSetGWorld(importer, world, nullptr), kQtNoErr);
    ASSERT_EQ(GraphicsImportDraw(importer), kQtNoErr);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint8_t* want = &rgb[(y * kW + x) * 3];
            EXPECT_EQ(PixelOf(world, x, y), (std::array<int, 3>{want[0], want[1], want[2]})) << x << "," << y;
        }

    // Twice the size into a 24-bit section of the caller's, rows bottom up: each pixel a 2 x 2 block.
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2 * kW, 2 * kH, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    QtGWorldPtr big = nullptr;
    ASSERT_EQ(NewGWorldFromHBITMAP(&big, nullptr, nullptr, 0, section, nullptr), kQtNoErr);
    EXPECT_EQ(GetPortHBITMAP(big), section);
    const QtRect twice = {0, 0, 2 * kH, 2 * kW};
    ASSERT_EQ(GraphicsImportSetBoundsRect(importer, &twice), kQtNoErr);
    ASSERT_EQ(GraphicsImportSetGWorld(importer, big, nullptr), kQtNoErr);
    ASSERT_EQ(GraphicsImportDraw(importer), kQtNoErr);
    const int rowBytes = (2 * kW * 3 + 3) & ~3;
    for (int y = 0; y < 2 * kH; ++y)
        for (int x = 0; x < 2 * kW; ++x) {
            const uint8_t* p = static_cast<uint8_t*>(bits) + (2 * kH - 1 - y) * rowBytes + x * 3;
            const uint8_t* want = &rgb[((y / 2) * kW + x / 2) * 3];
            ASSERT_EQ((std::array<int, 3>{p[2], p[1], p[0]}), (std::array<int, 3>{want[0], want[1], want[2]}))
                << x << "," << y;
        }
    DisposeGWorld(big);
    EXPECT_EQ(GetObjectType(section), static_cast<DWORD>(OBJ_BITMAP)) << "a borrowed section stays the caller's";
    DeleteObject(section);
    DisposeGWorld(world);
    EXPECT_EQ(CloseComponent(importer), kQtNoErr);
    EXPECT_EQ(GraphicsImportDraw(importer), kQtBadComponentInstance);

    // What is no picture gives no importer.
    const std::string text = WriteTemp("standin_import.txt", Bytes(100, 'x'));
    ASSERT_EQ(NativePathNameToFSSpec(text.c_str(), &spec, 0), kQtNoErr);
    importer = reinterpret_cast<QtGraphicsImporter>(1);
    EXPECT_NE(GetGraphicsImporterForFile(&spec, &importer), kQtNoErr);
    EXPECT_EQ(importer, nullptr);
    Bytes torn = Png(kW, kH, rgb);
    torn.resize(torn.size() / 2);
    const std::string tornPath = WriteTemp("standin_torn.png", torn);
    ASSERT_EQ(NativePathNameToFSSpec(tornPath.c_str(), &spec, 0), kQtNoErr);
    EXPECT_NE(GetGraphicsImporterForFile(&spec, &importer), kQtNoErr) << "a cut PNG";
    std::remove(path.c_str());
    std::remove(text.c_str());
    std::remove(tornPath.c_str());
}

TEST_P(QtStandInGraphics, EveryPictureKindImports) {
    constexpr int kW = 9, kH = 6;
    Bytes rgb, indexes;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int i = (x * 31 + y * 17) & 0xFF;
            indexes.push_back(static_cast<uint8_t>(i));
            const auto c = Palette(i);
            rgb.insert(rgb.end(), c.begin(), c.end());
        }
    Bytes smooth;  // for the lossy kind: a gentle ramp
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            smooth.insert(smooth.end(), {uint8_t(100 + x * 4), uint8_t(80 + y * 4), uint8_t(120)});
    struct Kind {
        const char* name;
        Bytes bytes;
        const Bytes* want;
        int tolerance;
    };
    const Kind kinds[] = {
        {"bmp", Bmp(kW, kH, rgb), &rgb, 0},
        {"gif", Gif(kW, kH, indexes), &rgb, 0},
        {"tif", Encoded(GUID_ContainerFormatTiff, kW, kH, rgb), &rgb, 0},
        {"jpg", Encoded(GUID_ContainerFormatJpeg, kW, kH, smooth), &smooth, 12},
    };
    const QtRect bounds = {0, 0, kH, kW};
    for (const Kind& kind : kinds) {
        ASSERT_FALSE(kind.bytes.empty()) << kind.name << ": the test could not write one";
        const std::string path = WriteTemp((std::string("standin_kind.") + kind.name).c_str(), kind.bytes);
        QtFSSpec spec;
        ASSERT_EQ(NativePathNameToFSSpec(path.c_str(), &spec, 0), kQtNoErr);
        QtGraphicsImporter importer = nullptr;
        ASSERT_EQ(GetGraphicsImporterForFile(&spec, &importer), kQtNoErr) << kind.name;
        QtGWorldPtr world = nullptr;
        ASSERT_EQ(NewGWorld(&world, 32, &bounds, nullptr, nullptr, 0), kQtNoErr);
        GraphicsImportSetGWorld(importer, world, nullptr);
        ASSERT_EQ(GraphicsImportDraw(importer), kQtNoErr) << kind.name;
        int worst = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const auto got = PixelOf(world, x, y);
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(got[c] - (*kind.want)[(y * kW + x) * 3 + c]));
            }
        EXPECT_LE(worst, kind.tolerance) << kind.name;
        DisposeGWorld(world);
        CloseComponent(importer);
        std::remove(path.c_str());
    }
}

TEST_P(QtStandInGraphics, CopyBitsBlendsByTheOperationColourWithinTheMask) {
    const QtRect bounds = {0, 0, 4, 6};
    QtGWorldPtr white = nullptr, black = nullptr;
    ASSERT_EQ(NewGWorld(&white, 0, &bounds, nullptr, nullptr, 0), kQtNoErr);
    ASSERT_EQ(NewGWorld(&black, 0, &bounds, nullptr, nullptr, 0), kQtNoErr);
    RECT all = {0, 0, 6, 4};
    FillRect(static_cast<HDC>(GetPortHDC(white)), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(static_cast<HDC>(GetPortHDC(black)), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    const auto weight = static_cast<uint16_t>(50 * 655.35);
    const QtRGBColor half = {weight, weight, weight};
    OpColor(&half);
    CopyBits(GetPortBitMapForCopyBits(white), GetPortBitMapForCopyBits(black), &bounds, &bounds, kQtBlendMode, nullptr);
    for (int c : PixelOf(black, 3, 2)) {
        EXPECT_GE(c, 127);
        EXPECT_LE(c, 128);
    }

    // Only inside the mask: the left half of the top row gets white.
    FillRect(static_cast<HDC>(GetPortHDC(black)), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    uint8_t rows[4] = {0xE0, 0, 0, 0};
    QtBitMap maskBits = {rows, 1, {0, 0, 4, 6}};
    QtRgnHandle mask = NewRgn();
    ASSERT_EQ(BitMapToRegion(mask, &maskBits), kQtNoErr);
    CopyBits(GetPortBitMapForCopyBits(white), GetPortBitMapForCopyBits(black), &bounds, &bounds, kQtSrcCopyMode, mask);
    EXPECT_EQ(PixelOf(black, 0, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(PixelOf(black, 2, 0), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(PixelOf(black, 3, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(PixelOf(black, 0, 1), (std::array<int, 3>{0, 0, 0}));
    DisposeRgn(mask);

    const QtRect huge = {0, 0, 30000, 30000};
    QtGWorldPtr none = reinterpret_cast<QtGWorldPtr>(1);
    EXPECT_NE(NewGWorld(&none, 32, &huge, nullptr, nullptr, 0), kQtNoErr);
    EXPECT_EQ(none, nullptr);
    const QtRect empty = {0, 0, 0, 5};
    EXPECT_NE(NewGWorld(&none, 32, &empty, nullptr, nullptr, 0), kQtNoErr);

    QtGrafPtr saved = nullptr;
    QtGDHandle device = nullptr;
    GetGWorld(&saved, &device);
    SetGWorld(white, nullptr);
    QtGrafPtr now = nullptr;
    GetGWorld(&now, &device);
    EXPECT_EQ(now, white);
    DisposeGWorld(white);
    GetGWorld(&now, &device);
    EXPECT_EQ(now, nullptr) << "a disposed world is no longer current";
    DisposeGWorld(black);
    SetGWorld(saved, nullptr);
}

TEST_P(QtStandInGraphics, WindowPortsAndEvents) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetNativeWindowPort(window), nullptr);
    QtGrafPtr port = CreatePortAssociation(window, nullptr, 1);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(GetNativeWindowPort(window), port);
    EXPECT_EQ(CreatePortAssociation(window, nullptr, 1), port) << "one port a window";
    EXPECT_NE(GetPortHDC(port), nullptr);
    EXPECT_EQ(GetPortBitMapForCopyBits(port), nullptr) << "a window's port is not copied from";
    ResizeWindowPort(port, 80, 60);

    MSG msg = {window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4), 1000, {30, 40}};
    QtEventRecord event = {};
    EXPECT_EQ(WinEventToMacEvent(&msg, &event), 1);
    EXPECT_EQ(event.what, kQtMouseDown);
    EXPECT_EQ(event.where.v, 40);
    EXPECT_EQ(event.where.h, 30);
    EXPECT_EQ(event.when, 60u) << "ticks of a sixtieth";
    EXPECT_EQ(event.modifiers & 0x80, 0) << "the button is down";
    msg.message = WM_PAINT;
    EXPECT_EQ(WinEventToMacEvent(&msg, &event), 1);
    EXPECT_EQ(event.what, kQtUpdateEvt);
    EXPECT_EQ(event.message, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(port)));
    msg.message = WM_TIMER;
    EXPECT_EQ(WinEventToMacEvent(&msg, &event), 0);
    EXPECT_EQ(event.what, kQtNullEvent);

    DestroyPortAssociation(port);
    EXPECT_EQ(GetNativeWindowPort(window), nullptr);

    // A window destroyed with its port still associated takes the port with it.
    port = CreatePortAssociation(window, nullptr, 1);
    ASSERT_NE(port, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(GetNativeWindowPort(window), nullptr);
    EXPECT_EQ(GetPortHDC(port), nullptr) << "the port is no longer one";
    DestroyPortAssociation(port);  // refused, not freed twice
}

INSTANTIATE_TEST_SUITE_P(LibraryAndLinked, QtStandInGraphics, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Linked" : "Library"; });

}  // namespace
