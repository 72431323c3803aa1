// The first frame of a picture's bytes, opened through the Windows Imaging Component for the
// JPEG buffer calls and the WIC file formats alike.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "vic32/dll/Com_win.h"
#include "vic32/dll/VicLib.h"

// Decoded lazily by WIC; the stream reads the caller's bytes, which must outlive it.
struct WicFrame {
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
};

// VIC_NO_CODEC when the container has no decoder, `unreadable` when its first frame cannot be
// read, VIC_BAD_SIZE outside 1 to VIC_MAX_DIMENSION each way, else VIC_OK.
inline int OpenWicFrame(IWICImagingFactory* factory, const GUID& container, const uint8_t* bytes, uint32_t length,
                        int unreadable, WicFrame& out) {
    if (FAILED(factory->CreateStream(out.stream.out())) ||
        FAILED(out.stream->InitializeFromMemory(const_cast<BYTE*>(bytes), length)) ||
        FAILED(factory->CreateDecoder(container, nullptr, out.decoder.out())))
        return VIC_NO_CODEC;
    if (FAILED(out.decoder->Initialize(out.stream.get(), WICDecodeMetadataCacheOnDemand)) ||
        FAILED(out.decoder->GetFrame(0, out.frame.out())) || FAILED(out.frame->GetSize(&out.width, &out.height)))
        return unreadable;
    if (!VicFrameSizeOk(out.width, out.height))
        return VIC_BAD_SIZE;
    return VIC_OK;
}

// Runs body(factory) guarded (VicGuarded) with the system's imaging factory; VIC_NO_CODEC
// without one.
template <typename Body>
int WithImagingFactory(Body body) {
    return VicGuarded([&]() -> int {
        ImagingFactory factory;
        return factory ? body(factory.get()) : VIC_NO_CODEC;
    });
}

// An encoder of a container into a stream on global memory, with its first frame and the
// frame's options.
struct WicEncoder {
    ComRef<IStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
};
// VIC_NO_MEMORY without the stream, VIC_NO_CODEC without the encoder or its frame, else VIC_OK.
inline int BeginWicEncoder(IWICImagingFactory* factory, const GUID& container, WicEncoder& out) {
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, out.stream.out())))
        return VIC_NO_MEMORY;
    if (FAILED(factory->CreateEncoder(container, nullptr, out.encoder.out())) ||
        FAILED(out.encoder->Initialize(out.stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(out.encoder->CreateNewFrame(out.frame.out(), out.options.out())))
        return VIC_NO_CODEC;
    return VIC_OK;
}

// The frame's pixels, converted to BGR, into the 24-bit image of its size: VIC_BAD_SIZE when the
// sizes differ, VIC_NO_CODEC without a converter, `unreadable` when the pixels cannot be had.
inline int ReadFrameInto(IWICImagingFactory* factory, const WicFrame& frame, int unreadable, VicImage& image) {
    if (frame.width != static_cast<UINT>(image.width) || frame.height != static_cast<UINT>(image.height))
        return VIC_BAD_SIZE;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)))
        return VIC_NO_CODEC;
    const UINT stride = static_cast<UINT>(image.rowBytes);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * frame.height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data())))
        return unreadable;
    return VicFillRows(image, pixels, stride);
}
