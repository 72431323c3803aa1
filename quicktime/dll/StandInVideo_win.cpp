// Video samples the stand-in hands to Windows: Photo-JPEG through WIC, any other format through
// the system's video decompressors (ICLocate and ICDecompress with its four-character code), and
// the log written on to the debugger and to the file LOOM_QUICKTIME_LOG names.
#include <windows.h>

#include <vfw.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"
#include "quicktime/formats/VideoFrames.h"

namespace {

bool DecodeJpeg(std::span<const uint8_t> sample, StandInImage* out) {
    if (sample.empty() || sample.size() > UINT32_MAX)
        return false;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(sample.data()), static_cast<DWORD>(sample.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF ||
        int64_t(width) * height > kMaxVideoPixels)
        return false;
    out->width = static_cast<int32_t>(width);
    out->height = static_cast<int32_t>(height);
    out->bgra.resize(size_t(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out->bgra.size()), out->bgra.data())))
        return false;
    MakeStandInImageOpaque(out);
    return true;
}

// One system decompressor, begun for the movie's size, giving 32-bit (else 24-bit) frames.
class IcmCodec final : public StandInVideoCodec {
public:
    IcmCodec(HIC hic, const BITMAPINFOHEADER& in, const BITMAPINFOHEADER& out)
        : hic_(hic), in_(in), out_(out), pixels_(out.biSizeImage) {}
    ~IcmCodec() override {
        ICDecompressEnd(hic_);
        ICClose(hic_);
    }
    bool Decode(std::span<const uint8_t> sample, bool key, StandInImage* out) override {
        if (sample.empty() || sample.size() > UINT32_MAX)
            return false;
        in_.biSizeImage = static_cast<DWORD>(sample.size());
        if (ICDecompress(hic_, key ? 0 : ICDECOMPRESS_NOTKEYFRAME, &in_, const_cast<uint8_t*>(sample.data()), &out_,
                         pixels_.data()) != ICERR_OK)
            return false;
        return StandInImageFromBottomUpRows(pixels_, out_.biWidth, out_.biHeight, out_.biBitCount / 8, out);
    }

private:
    HIC hic_;
    BITMAPINFOHEADER in_, out_;
    std::vector<uint8_t> pixels_;
};

std::unique_ptr<StandInVideoCodec> OpenVideoCodec(std::span<const uint8_t> description, int32_t width, int32_t height) {
    VideoFormat format;
    if (!ReadVideoFormat(description, &format) || width <= 0 || height <= 0 || int64_t(width) * height > kMaxVideoPixels)
        return nullptr;
    // The OSType's characters in file order make the four-character code.
    const DWORD handler = mmioFOURCC(char(format.codec >> 24), char(format.codec >> 16), char(format.codec >> 8),
                                     char(format.codec));
    BITMAPINFOHEADER in{sizeof in, width, height, 1, WORD(format.depth > 0 && format.depth <= 32 ? format.depth : 24),
                        handler, 0, 0, 0, 0, 0};
    for (WORD bits : {32, 24}) {
        const DWORD stride = (DWORD(width) * (bits / 8) + 3) & ~3u;
        BITMAPINFOHEADER out{sizeof out, width, height, 1, bits, BI_RGB, stride * DWORD(height), 0, 0, 0, 0};
        HIC hic = ICLocate(ICTYPE_VIDEO, handler, &in, &out, ICMODE_DECOMPRESS);
        if (!hic)
            continue;
        if (ICDecompressBegin(hic, &in, &out) == ICERR_OK)
            return std::make_unique<IcmCodec>(hic, in, out);
        ICClose(hic);
    }
    return nullptr;
}

void WriteLog(const std::string& line) {
    OutputDebugStringA(("QuickTime stand-in: " + line + "\n").c_str());
    char path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("LOOM_QUICKTIME_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    if (std::FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

}  // namespace

void InstallStandInVideoOutputs(StandInOutputs* outputs) {
    outputs->decodeJpeg = DecodeJpeg;
    outputs->openVideoCodec = OpenVideoCodec;
    outputs->log = WriteLog;
}
