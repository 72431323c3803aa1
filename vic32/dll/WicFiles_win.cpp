// JPEG, TIFF and GIF files through the Windows Imaging Component, and GDI palettes made from the
// library's tables. JPEG files go through the buffer calls; TIFF is decoded here (first page,
// as 24 bits); GIF is written from an 8-bit image with its palette.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "vic32/dll/Com_win.h"
#include "vic32/dll/VicLib.h"
#include "vic32/dll/WicFrame_win.h"

namespace {

int OpenFrame(IWICImagingFactory* factory, const GUID& container, std::vector<uint8_t>& bytes, WicFrame& out) {
    if (bytes.empty())
        return VIC_BAD_FILE;
    return OpenWicFrame(factory, container, bytes.data(), static_cast<uint32_t>(bytes.size()), VIC_BAD_FILE, out);
}

// The file's first frame handed to use(factory, frame), which gives the result; the reason
// when the file cannot be read or opened.
template <class Use>
int WithFileFrame(const char* path, const GUID& container, Use use) {
    std::vector<uint8_t> bytes;
    int result = VicReadFile(path, bytes);
    if (result != VIC_OK)
        return result;
    ImagingFactory factory;
    if (!factory)
        return VIC_NO_CODEC;
    WicFrame frame;
    result = OpenFrame(factory.get(), container, bytes, frame);
    return result == VIC_OK ? use(factory.get(), frame) : result;
}

int InfoThroughWic(const char* path, const GUID& container, VicFileInfo* info) {
    if (!path || !info)
        return VIC_BAD_ARGUMENT;
    return VicGuarded([&]() -> int {
        return WithFileFrame(path, container, [&](IWICImagingFactory*, const WicFrame& frame) {
            *info = VicFileInfo{static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height), 24, 24, 0};
            return VIC_OK;
        });
    });
}

int LoadThroughWic(const char* path, const GUID& container, VicImage* image) {
    if (!path || !VicImageOk(image))
        return VIC_BAD_ARGUMENT;
    if (image->bitsPerPixel != 24)
        return VIC_BAD_BITS;
    return VicGuarded([&]() -> int {
        return WithFileFrame(path, container, [&](IWICImagingFactory* factory, const WicFrame& frame) {
            return ReadFrameInto(factory, frame, VIC_BAD_FILE, *image);
        });
    });
}

// The bytes written to a stream on global memory.
int StreamBytes(IStream* stream, std::vector<uint8_t>& out) {
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    HGLOBAL written = nullptr;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_END, &end)) || FAILED(GetHGlobalFromStream(stream, &written)) ||
        end.QuadPart == 0 || end.QuadPart > kVicMaxFileBytes)
        return VIC_NO_CODEC;
    const void* from = GlobalLock(written);
    if (!from)
        return VIC_NO_MEMORY;
    out.assign(static_cast<const uint8_t*>(from), static_cast<const uint8_t*>(from) + end.QuadPart);
    GlobalUnlock(written);
    return VIC_OK;
}

int EncodeGif(IWICImagingFactory* factory, const VicImage& image, std::vector<uint8_t>& out) {
    WicEncoder e;
    if (const int begun = BeginWicEncoder(factory, GUID_ContainerFormatGif, e); begun != VIC_OK)
        return begun;
    IWICBitmapFrameEncode* frame = e.frame.get();
    ComRef<IWICPalette> palette;
    if (FAILED(frame->Initialize(e.options.get())) || FAILED(factory->CreatePalette(palette.out())))
        return VIC_NO_CODEC;
    std::vector<WICColor> colors(static_cast<size_t>(std::max(image.colors, 1)), 0xFF000000);
    for (int32_t i = 0; i < image.colors; ++i)
        colors[static_cast<size_t>(i)] = 0xFF000000u | VicRgbOf(image.palette[i]);
    WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
    if (FAILED(palette->InitializeCustom(colors.data(), static_cast<UINT>(colors.size()))) ||
        FAILED(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))) ||
        FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed) ||
        FAILED(frame->SetPalette(palette.get())))
        return VIC_NO_CODEC;
    const UINT stride = static_cast<UINT>(image.rowBytes);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * static_cast<size_t>(image.height));
    for (int32_t y = 0; y < image.height; ++y)
        std::memcpy(pixels.data() + static_cast<size_t>(y) * stride, VicRow(image, y), stride);
    if (FAILED(frame->WritePixels(static_cast<UINT>(image.height), stride, static_cast<UINT>(pixels.size()),
                                  pixels.data())) ||
        FAILED(frame->Commit()) || FAILED(e.encoder->Commit()))
        return VIC_NO_CODEC;
    return StreamBytes(e.stream.get(), out);
}

}  // namespace

int VICAPI jpeginfo(const char* path, VicFileInfo* info) { return InfoThroughWic(path, GUID_ContainerFormatJpeg, info); }
int VICAPI loadjpg(const char* path, VicImage* image) { return LoadThroughWic(path, GUID_ContainerFormatJpeg, image); }
int VICAPI tiffinfo(const char* path, VicFileInfo* info) { return InfoThroughWic(path, GUID_ContainerFormatTiff, info); }
int VICAPI loadtif(const char* path, VicImage* image) { return LoadThroughWic(path, GUID_ContainerFormatTiff, image); }

int VICAPI savejpg(const char* path, const VicImage* image, int32_t quality) {
    if (!path || !VicImageOk(image))
        return VIC_BAD_ARGUMENT;
    HGLOBAL jpeg = nullptr;
    uint32_t length = 0;
    const int made = savejpgtobuffer(&jpeg, &length, image, quality);
    if (made != VIC_OK)
        return made;
    const void* bytes = GlobalLock(jpeg);
    const int written = bytes ? VicWriteFile(path, {static_cast<const uint8_t*>(bytes), length}) : VIC_NO_MEMORY;
    if (bytes)
        GlobalUnlock(jpeg);
    GlobalFree(jpeg);
    return written;
}

int VICAPI savegif(const char* path, const VicImage* image) {
    if (!path || !VicImageOk(image))
        return VIC_BAD_ARGUMENT;
    if (image->bitsPerPixel != 8)
        return VIC_BAD_BITS;
    return WithImagingFactory([&](IWICImagingFactory* factory) -> int {
        std::vector<uint8_t> file;
        const int made = EncodeGif(factory, *image, file);
        return made != VIC_OK ? made : VicWriteFile(path, file);
    });
}

HPALETTE VICAPI victowinpal(const VicColor* table, int32_t colors) {
    if (!table || colors < 1 || colors > VIC_PALETTE_SLOTS)
        return nullptr;
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[VIC_PALETTE_SLOTS];
    } logical{0x300, static_cast<WORD>(colors), {}};
    for (int32_t i = 0; i < colors; ++i)
        logical.entries[i] = PALETTEENTRY{table[i].red, table[i].green, table[i].blue, 0};
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
}
