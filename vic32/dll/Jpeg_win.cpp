// JPEG coding through the Windows Imaging Component: the encoder writes into a stream on global
// memory, the decoder reads from a stream over the caller's bytes. Pixels go through WIC as
// 24-bit blue, green, red rows, top row first.
#include <windows.h>
#include <wincodec.h>

#include <cstring>
#include <vector>

#include "vic32/dll/Com_win.h"
#include "vic32/dll/VicLib.h"
#include "vic32/dll/WicFrame_win.h"

namespace {

int OpenJpeg(IWICImagingFactory* factory, const uint8_t* jpeg, uint32_t length, WicFrame& out) {
    if (!VicStartsLikeJpeg(jpeg, length))
        return VIC_BAD_JPEG;
    return OpenWicFrame(factory, GUID_ContainerFormatJpeg, jpeg, length, VIC_BAD_JPEG, out);
}

int Components(IWICBitmapFrameDecode* frame) {
    WICPixelFormatGUID format{};
    if (FAILED(frame->GetPixelFormat(&format)))
        return 3;
    if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray))
        return 1;
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppCMYK))
        return 4;
    return 3;
}

// The image as 24-bit rows, top row first, each padded like a DIB row.
std::vector<uint8_t> TopDownBgr(const VicImage& image, UINT stride) {
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * static_cast<size_t>(image.height));
    std::vector<uint32_t> rgb(static_cast<size_t>(image.width));
    for (int32_t y = 0; y < image.height; ++y) {
        VicReadRowRgb(image, y, rgb.data());
        uint8_t* out = pixels.data() + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < image.width; ++x) {
            *out++ = static_cast<uint8_t>(rgb[x]);
            *out++ = static_cast<uint8_t>(rgb[x] >> 8);
            *out++ = static_cast<uint8_t>(rgb[x] >> 16);
        }
    }
    return pixels;
}

int Encode(IWICImagingFactory* factory, const VicImage& source, int32_t quality, HGLOBAL* jpeg, uint32_t* length) {
    WicEncoder e;
    if (const int begun = BeginWicEncoder(factory, GUID_ContainerFormatJpeg, e); begun != VIC_OK)
        return begun;
    IWICBitmapFrameEncode* frame = e.frame.get();

    wchar_t qualityName[] = L"ImageQuality";
    PROPBAG2 option{};
    option.pstrName = qualityName;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = static_cast<float>(quality) / 100.0f;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(e.options->Write(1, &option, &value)) || FAILED(frame->Initialize(e.options.get())) ||
        FAILED(frame->SetSize(static_cast<UINT>(source.width), static_cast<UINT>(source.height))) ||
        FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return VIC_NO_CODEC;

    const UINT stride = static_cast<UINT>(VicRowBytes(source.width, 24));
    std::vector<uint8_t> pixels = TopDownBgr(source, stride);
    if (FAILED(frame->WritePixels(static_cast<UINT>(source.height), stride, static_cast<UINT>(pixels.size()),
                                  pixels.data())) ||
        FAILED(frame->Commit()) || FAILED(e.encoder->Commit()))
        return VIC_NO_CODEC;

    // The stream's block is larger than what was written; the caller gets exactly the bytes.
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    HGLOBAL written = nullptr;
    if (FAILED(e.stream->Seek(zero, STREAM_SEEK_END, &end)) || FAILED(GetHGlobalFromStream(e.stream.get(), &written)) ||
        end.QuadPart == 0 || end.QuadPart > 0x7FFFFFFF)
        return VIC_NO_CODEC;
    const SIZE_T bytes = static_cast<SIZE_T>(end.QuadPart);
    HGLOBAL result = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!result)
        return VIC_NO_MEMORY;
    const void* from = GlobalLock(written);
    void* to = GlobalLock(result);
    if (from && to)
        std::memcpy(to, from, bytes);
    if (from)
        GlobalUnlock(written);
    if (to)
        GlobalUnlock(result);
    if (!from || !to) {
        GlobalFree(result);
        return VIC_NO_MEMORY;
    }
    *jpeg = result;
    *length = static_cast<uint32_t>(bytes);
    return VIC_OK;
}

int Decode(IWICImagingFactory* factory, const uint8_t* jpeg, uint32_t length, VicImage& result) {
    WicFrame opened;
    const int found = OpenJpeg(factory, jpeg, length, opened);
    return found != VIC_OK ? found : ReadFrameInto(factory, opened, VIC_BAD_JPEG, result);
}

}  // namespace

int VICAPI savejpgtobuffer(HGLOBAL* jpeg, uint32_t* length, const VicImage* source, int32_t quality) {
    if (!jpeg || !length || !VicImageOk(source))
        return VIC_BAD_ARGUMENT;
    if (quality < 1 || quality > 100)
        return VIC_BAD_ARGUMENT;
    return WithImagingFactory([&](IWICImagingFactory* factory) -> int {
        return Encode(factory, *source, quality, jpeg, length);
    });
}

int VICAPI jpeginfofrombuffer(const uint8_t* jpeg, uint32_t length, VicJpegInfo* info) {
    if (!jpeg || !info)
        return VIC_BAD_ARGUMENT;
    return WithImagingFactory([&](IWICImagingFactory* factory) -> int {
        WicFrame opened;
        const int found = OpenJpeg(factory, jpeg, length, opened);
        if (found != VIC_OK)
            return found;
        info->width = static_cast<int32_t>(opened.width);
        info->height = static_cast<int32_t>(opened.height);
        info->components = Components(opened.frame.get());
        info->bitsPerPixel = 24;
        return VIC_OK;
    });
}

int VICAPI loadjpgfrombuffer(const uint8_t* jpeg, uint32_t length, VicImage* result) {
    if (!jpeg || !VicImageOk(result))
        return VIC_BAD_ARGUMENT;
    if (result->bitsPerPixel != 24)
        return VIC_BAD_BITS;
    return WithImagingFactory([&](IWICImagingFactory* factory) -> int {
        return Decode(factory, jpeg, length, *result);
    });
}
