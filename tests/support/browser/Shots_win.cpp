// Screenshots as pixels (Shots_win.h).
#include "tests/support/browser/Shots_win.h"

#include <wincodec.h>

#include <cstdio>
#include <cstdlib>

namespace browsertest {

int Differing(const Shot& a, const Shot& b, RECT r, std::string* first, int step) {
    int n = 0;
    for (int y = r.top; y < r.bottom; y += step)
        for (int x = r.left; x < r.right; x += step)
            if (a.At(x, y) != b.At(x, y) && !n++ && first)
                *first = std::to_string(x) + "," + std::to_string(y) + " " + Hex(a.At(x, y)) + " -> " + Hex(b.At(x, y));
    return n;
}

bool NearRgb(uint32_t got, int red, int green, int blue, int slack) {
    return std::abs(int((got >> 16) & 255) - red) <= slack && std::abs(int((got >> 8) & 255) - green) <= slack &&
           std::abs(int(got & 255) - blue) <= slack;
}

std::string Hex(uint32_t pixel) {
    char text[12];
    std::snprintf(text, sizeof text, "%06lx", static_cast<unsigned long>(pixel));
    return text;
}

std::vector<uint32_t> PngPixels(const std::string& path, UINT* width, UINT* height) {
    std::vector<uint32_t> pixels;
    *width = *height = 0;
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* converted = nullptr;
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame, &converted)) &&
        SUCCEEDED(converted->GetSize(width, height))) {
        pixels.resize(size_t{*width} * *height);
        if (FAILED(converted->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels.size() * 4),
                                         reinterpret_cast<BYTE*>(pixels.data()))))
            pixels.clear();
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{converted, frame, decoder, factory})
        if (object)
            object->Release();
    if (com)
        CoUninitialize();
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

}  // namespace browsertest
