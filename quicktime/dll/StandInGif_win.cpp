// A GIF file as a movie of its composed frames: WIC decodes each frame and reads its place, delay
// and disposal, which the composer (GifComposer, StandInMovies.h) lays over the picture so far.
#include <windows.h>

#include <propvarutil.h>
#include <wincodec.h>

#include <algorithm>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

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

int32_t Decode(IWICImagingFactory* factory, const std::wstring& path, StandInMovie* movie) {
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder)))
        return kQtCantFindHandler;
    GUID container{};
    UINT count = 0;
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatGif ||
        FAILED(decoder->GetFrameCount(&count)) || count == 0)
        return kQtCantFindHandler;
    count = std::min<UINT>(count, kGifMaxFrames);
    ComPtr<IWICMetadataQueryReader> global;
    decoder->GetMetadataQueryReader(&global);
    GifComposer composer(QueryNumber(global.p, L"/logscrdesc/Width", 0), QueryNumber(global.p, L"/logscrdesc/Height", 0));
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICBitmapSource> converted;
        UINT w = 0, h = 0;
        if (FAILED(decoder->GetFrame(i, &frame)) || FAILED(frame->GetSize(&w, &h)) || !GifComposer::FrameSizeFits(w, h) ||
            FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.p, &converted)))
            break;
        std::vector<uint8_t> pixels(size_t(w) * h * 4);
        if (FAILED(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size()), pixels.data())))
            break;
        ComPtr<IWICMetadataQueryReader> meta;
        frame->GetMetadataQueryReader(&meta);
        const UINT left = QueryNumber(meta.p, L"/imgdesc/Left", 0), top = QueryNumber(meta.p, L"/imgdesc/Top", 0);
        const UINT delay = QueryNumber(meta.p, L"/grctlext/Delay", 0);
        const UINT disposal = QueryNumber(meta.p, L"/grctlext/Disposal", 0);
        if (!composer.Add(pixels, w, h, left, top, delay, disposal))
            break;
    }
    return composer.Finish(movie);
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
