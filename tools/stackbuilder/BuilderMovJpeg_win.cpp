// Frames as JPEG files through WIC's encoder, for 'jpeg' movie tracks.
#include <windows.h>

#include <wincodec.h>

#include "BuilderMedia.h"

namespace stackbuilder {

namespace {

template <typename T>
struct ComRef {
    T* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

std::vector<uint8_t> WicJpeg(const std::vector<uint32_t>& rgb, uint32_t width, uint32_t height) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<uint8_t> out;
    {
        std::vector<uint8_t> bgr(size_t(width) * height * 3);
        for (size_t i = 0; i < rgb.size() && i * 3 + 2 < bgr.size(); ++i) {
            bgr[i * 3] = uint8_t(rgb[i]);
            bgr[i * 3 + 1] = uint8_t(rgb[i] >> 8);
            bgr[i * 3 + 2] = uint8_t(rgb[i] >> 16);
        }
        ComRef<IWICImagingFactory> factory;
        ComRef<IStream> stream;
        ComRef<IWICBitmapEncoder> encoder;
        ComRef<IWICBitmapFrameEncode> frame;
        ComRef<IPropertyBag2> options;
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
                  SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
                  SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
                  SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
                  SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
        if (ok) {
            PROPBAG2 name{};
            name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_R4;
            value.fltVal = 0.9f;
            options->Write(1, &name, &value);
            ok = SUCCEEDED(frame->Initialize(options.p)) && SUCCEEDED(frame->SetSize(width, height)) &&
                 SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
                 SUCCEEDED(frame->WritePixels(height, width * 3, UINT(bgr.size()), bgr.data())) &&
                 SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
        }
        HGLOBAL global = nullptr;
        if (ok && SUCCEEDED(GetHGlobalFromStream(stream.p, &global))) {
            STATSTG stat{};
            stream->Stat(&stat, STATFLAG_NONAME);
            const auto* bytes = static_cast<const uint8_t*>(GlobalLock(global));
            if (bytes)
                out.assign(bytes, bytes + stat.cbSize.QuadPart);
            GlobalUnlock(global);
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return out;
}

}  // namespace stackbuilder
