// A GIF file as a movie of its composed frames: WIC decodes each frame, which is laid over the
// picture so far at its place and with its disposal, one 'vide' sample per frame lasting its delay.
#include <windows.h>

#include <propvarutil.h>
#include <wincodec.h>

#include <algorithm>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

constexpr UINT kMaxFrames = 2000;
constexpr UINT kMaxGifSide = 4096;
constexpr uint64_t kMaxComposedBytes = 256u << 20;  // all frames together

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

UINT QueryNumber(IWICMetadataQueryReader* reader, const wchar_t* name, UINT fallback) {
    if (!reader)
        return fallback;
    PROPVARIANT value;
    PropVariantInit(&value);
    UINT result = fallback;
    if (SUCCEEDED(reader->GetMetadataByName(name, &value))) {
        switch (value.vt) {
        case VT_UI1: result = value.bVal; break;
        case VT_UI2: result = value.uiVal; break;
        case VT_UI4: result = value.ulVal; break;
        default: break;
        }
    }
    PropVariantClear(&value);
    return result;
}

class GifPictures final : public StandInPictureSource {
public:
    explicit GifPictures(std::vector<StandInImage> frames) : frames_(std::move(frames)) {}
    bool Frame(uint32_t sample, StandInImage* out) override {
        if (sample >= frames_.size())
            return false;
        *out = frames_[sample];
        return true;
    }

private:
    std::vector<StandInImage> frames_;
};

// Lays a decoded frame (BGRA with alpha) over the canvas at (left, top).
void Lay(StandInImage* canvas, const std::vector<uint8_t>& pixels, UINT w, UINT h, UINT left, UINT top) {
    for (UINT y = 0; y < h && top + y < UINT(canvas->height); ++y)
        for (UINT x = 0; x < w && left + x < UINT(canvas->width); ++x) {
            const uint8_t* src = &pixels[(size_t(y) * w + x) * 4];
            if (src[3] == 0)
                continue;
            uint8_t* dst = &canvas->bgra[((size_t(top) + y) * canvas->width + left + x) * 4];
            std::copy(src, src + 3, dst);
            dst[3] = 0xFF;
        }
}

void Clear(StandInImage* canvas, UINT w, UINT h, UINT left, UINT top) {
    for (UINT y = top; y < std::min<UINT>(top + h, canvas->height); ++y)
        for (UINT x = left; x < std::min<UINT>(left + w, canvas->width); ++x)
            std::fill_n(&canvas->bgra[(size_t(y) * canvas->width + x) * 4], 4, uint8_t(0xFF));
}

int32_t Decode(IWICImagingFactory* factory, const std::wstring& path, StandInMovie* movie) {
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder)))
        return kQtCantFindHandler;
    GUID container{};
    UINT count = 0;
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatGif ||
        FAILED(decoder->GetFrameCount(&count)) || count == 0)
        return kQtCantFindHandler;
    count = std::min(count, kMaxFrames);
    ComPtr<IWICMetadataQueryReader> global;
    decoder->GetMetadataQueryReader(&global);
    UINT width = QueryNumber(global.p, L"/logscrdesc/Width", 0), height = QueryNumber(global.p, L"/logscrdesc/Height", 0);
    std::vector<StandInImage> frames;
    StandInTrack track;
    track.mediaType = kStandInVideo;
    track.mediaScale = 100;  // GIF delays are hundredths of a second
    StandInImage canvas;
    uint64_t total = 0;
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICBitmapSource> converted;
        UINT w = 0, h = 0;
        if (FAILED(decoder->GetFrame(i, &frame)) || FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0 || w > kMaxGifSide ||
            h > kMaxGifSide || FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.p, &converted)))
            break;
        std::vector<uint8_t> pixels(size_t(w) * h * 4);
        if (FAILED(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size()), pixels.data())))
            break;
        ComPtr<IWICMetadataQueryReader> meta;
        frame->GetMetadataQueryReader(&meta);
        const UINT left = QueryNumber(meta.p, L"/imgdesc/Left", 0), top = QueryNumber(meta.p, L"/imgdesc/Top", 0);
        const UINT delay = QueryNumber(meta.p, L"/grctlext/Delay", 0);
        const UINT disposal = QueryNumber(meta.p, L"/grctlext/Disposal", 0);
        if (i == 0) {
            width = std::clamp<UINT>(width ? width : w, 1, kMaxGifSide);
            height = std::clamp<UINT>(height ? height : h, 1, kMaxGifSide);
            canvas.width = static_cast<int32_t>(width);
            canvas.height = static_cast<int32_t>(height);
            canvas.bgra.assign(size_t(width) * height * 4, 0xFF);
        }
        total += canvas.bgra.size();
        if (total > kMaxComposedBytes)
            break;
        const StandInImage before = disposal == 3 ? canvas : StandInImage{};
        Lay(&canvas, pixels, w, h, left, top);
        frames.push_back(canvas);
        AddStandInSampleRun(&track, 1, delay ? delay : 10);
        if (disposal == 2)
            Clear(&canvas, w, h, left, top);
        else if (disposal == 3)
            canvas = before;
    }
    if (frames.empty())
        return kQtCantFindHandler;
    QtImageDescription d{};
    d.idSize = sizeof d;
    d.cType = QtFourCC("gif ");
    d.dataRefIndex = 1;
    d.width = static_cast<int16_t>(width);
    d.height = static_cast<int16_t>(height);
    d.hRes = d.vRes = 72 << 16;
    d.frameCount = 1;
    d.depth = 8;
    d.clutId = -1;
    track.descriptions.emplace_back(reinterpret_cast<const uint8_t*>(&d), reinterpret_cast<const uint8_t*>(&d) + sizeof d);
    track.width = canvas.width;
    track.height = canvas.height;
    track.inserted = true;
    movie->timeScale = 600;
    movie->natural = movie->box = {0, 0, canvas.width, canvas.height};
    movie->tracks.push_back(std::move(track));
    movie->pictures = std::make_unique<GifPictures>(std::move(frames));
    RecomputeStandInDuration(movie);
    return kQtNoErr;
}

}  // namespace

int32_t OpenStandInGif(const std::string& path, std::unique_ptr<StandInMovie>* out) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int32_t err = kQtCantFindHandler;
    {
        ComPtr<IWICImagingFactory> factory;
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::wstring wide(n > 0 ? n : 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
        auto movie = std::make_unique<StandInMovie>();
        if (n > 0 && SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                                reinterpret_cast<void**>(&factory))))
            err = Decode(factory.p, wide.c_str(), movie.get());
        if (err == kQtNoErr)
            *out = std::move(movie);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return err;
}
