// Still pictures of an AVI element's movie: a frame of an AVI file through the AVI file
// services, the first frame of an MPEG file through DirectDraw and multimedia streaming. Both
// libraries are taken by name, so that a system without them gives no still rather than no start.
#include "media/elements/AVIElement.h"

#include <amstream.h>
#include <ddraw.h>
#include <ddstream.h>
#include <mmstream.h>
#include <vfw.h>

#include <span>

#include "core/ui/GdiGuards.h"
#include "media/support/DibHolder.h"
#include "media/support/PackedDib.h"
#include "quicktime/VfwCalls.h"

namespace {

template <class Proc>
Proc ProcOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The bytes of a packed DIB as its header describes them, so the checked reader sees its end.
size_t PackedDibBytes(const BITMAPINFOHEADER& h) {
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biWidth > 32767 || h.biHeight == 0 ||
        h.biHeight > 32767 || h.biHeight < -32767 || h.biBitCount == 0 || h.biBitCount > 32)
        return 0;
    size_t colours = h.biClrUsed;
    if (colours == 0 && h.biBitCount <= 8)
        colours = size_t{1} << h.biBitCount;
    if (colours > 256)
        return 0;
    const size_t masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
    const size_t stride = ((static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    const size_t rows = static_cast<size_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    return h.biSize + masks + colours * 4 + stride * rows;
}

// Releases a COM interface at the end of the scope.
template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p)
            p->Release();
    }
    Released() = default;
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
};

constexpr GUID kClsidMultiMediaStream = {0x49c47ce5, 0x9ba4, 0x11d0, {0x82, 0x12, 0x00, 0xc0, 0x4f, 0xc3, 0x2c, 0x45}};
constexpr GUID kPrimaryVideo = {0xa35ff56a, 0x9fda, 0x11d0, {0x8f, 0xdf, 0x00, 0xc0, 0x4f, 0xd9, 0x18, 0x9d}};

struct Library {
    HMODULE module;
    explicit Library(const char* name) : module(LoadLibraryA(name)) {}
    ~Library() {
        if (module)
            FreeLibrary(module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

}  // namespace

HBITMAP AviFrameBitmap(const char* path, LONG position, HDC dc) {
    HMODULE avifile = GetModuleHandleA("avifil32.dll");
    using FrameOpen = PGETFRAME(WINAPI*)(PAVISTREAM, LPBITMAPINFOHEADER);
    using GetFrame = LPVOID(WINAPI*)(PGETFRAME, LONG);
    using FrameClose = HRESULT(WINAPI*)(PGETFRAME);
    const auto frameOpen = ProcOf<FrameOpen>(avifile, "AVIStreamGetFrameOpen");
    const auto getFrame = ProcOf<GetFrame>(avifile, "AVIStreamGetFrame");
    const auto frameClose = ProcOf<FrameClose>(avifile, "AVIStreamGetFrameClose");
    if (!frameOpen || !getFrame || !frameClose)
        return nullptr;
    HBITMAP bitmap = nullptr;
    CallWithFirstAviVideoStream(avifile, path, [&](PAVISTREAM stream) {
        PGETFRAME frames = frameOpen(stream, nullptr);
        if (!frames)
            return;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(getFrame(frames, position < 0 ? 0 : position));
        const size_t bytes = header ? PackedDibBytes(*header) : 0;
        DibHolder holder;
        if (bytes && DibHolderFromPackedDib(&holder, std::span(reinterpret_cast<const uint8_t*>(header), bytes))) {
            bitmap = DibHolderToBitmap(holder, dc);
            DibFree(&holder);
        }
        frameClose(frames);
    });
    return bitmap;
}

HBITMAP MpegFrameBitmap(const char* path, HWND cardWindow) {
    Library ddraw("ddraw.dll");
    using Create = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
    auto create = ProcOf<Create>(ddraw.module, "DirectDrawCreate");
    if (!create)
        return nullptr;
    Released<IDirectDraw> draw;
    if (FAILED(create(nullptr, &draw.p, nullptr)) || !draw.p)
        return nullptr;
    if (FAILED(draw.p->SetCooperativeLevel(cardWindow, DDSCL_NORMAL)))
        return nullptr;
    DDSURFACEDESC primaryDesc{};
    primaryDesc.dwSize = sizeof primaryDesc;  // 108 bytes
    primaryDesc.dwFlags = DDSD_CAPS;
    primaryDesc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    Released<IDirectDrawSurface> primary;
    if (FAILED(draw.p->CreateSurface(&primaryDesc, &primary.p, nullptr)))
        return nullptr;

    Released<IAMMultiMediaStream> movie;
    if (FAILED(CoCreateInstance(kClsidMultiMediaStream, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IAMMultiMediaStream),
                                reinterpret_cast<void**>(&movie.p))) ||
        !movie.p)
        return nullptr;
    if (FAILED(movie.p->Initialize(STREAMTYPE_READ, AMMSF_NOGRAPHTHREAD, nullptr)) ||
        FAILED(movie.p->AddMediaStream(draw.p, &kPrimaryVideo, 0, nullptr)))
        return nullptr;
    WCHAR wide[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return nullptr;
    if (FAILED(movie.p->OpenFile(wide, 0)) || FAILED(movie.p->SetState(STREAMSTATE_RUN)))
        return nullptr;

    Released<IMediaStream> media;
    Released<IDirectDrawMediaStream> video;
    if (FAILED(movie.p->GetMediaStream(kPrimaryVideo, &media.p)) || !media.p ||
        FAILED(media.p->QueryInterface(__uuidof(IDirectDrawMediaStream), reinterpret_cast<void**>(&video.p))) ||
        !video.p)
        return nullptr;
    DDSURFACEDESC format{};
    format.dwSize = sizeof format;
    Released<IDirectDrawStreamSample> sample;
    if (FAILED(video.p->GetFormat(&format, nullptr, nullptr, nullptr)) ||
        FAILED(video.p->CreateSample(nullptr, nullptr, 0, &sample.p)) || !sample.p)
        return nullptr;
    Released<IDirectDrawSurface> surface;
    RECT area{};
    if (FAILED(sample.p->GetSurface(&surface.p, &area)) || !surface.p || sample.p->Update(0, nullptr, nullptr, 0) != S_OK)
        return nullptr;
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    HDC surfaceDc = nullptr;
    if (FAILED(surface.p->GetDC(&surfaceDc)) || !surfaceDc)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(surfaceDc, width, height);
    bool copied = false;
    if (bitmap) {
        MemoryDC memory(surfaceDc);
        SelectedObject selected(memory.get(), bitmap);
        copied = selected && BitBlt(memory.get(), 0, 0, width, height, surfaceDc, area.left, area.top, SRCCOPY);
    }
    if (bitmap && !copied) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    surface.p->ReleaseDC(surfaceDc);
    return bitmap;
}
