// The stand-in's movie parts that need Windows: AVI frames over AVIFile, GIF frames over WIC and
// frames drawn into ports and graphics worlds, with the COM guards of its WIC decoders.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <string>

#include "quicktime/dll/StandInMovies.h"

// The frames of an AVI file's first video stream from its start, decompressed by the system's
// codecs (StandInAvi_win.cpp); null when AVIFile cannot open them.
std::unique_ptr<StandInPictureSource> StandInAviPictures(const std::string& path, int64_t firstFrame);

// COM for the decoders through the system's image codecs: a reference released when the scope
// ends, and the apartment joined for one decode.
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

// Balanced whatever the thread had.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() {
        if (SUCCEEDED(hr))
            CoUninitialize();
    }
};

// A GIF file as a movie of its composed frames, one 'vide' sample each (StandInGif_win.cpp).
int32_t OpenStandInGif(const std::string& path, std::unique_ptr<StandInMovie>* out);
// Photo-JPEG over WIC, the system's video decompressors and the log file (StandInVideo_win.cpp).
void InstallStandInVideoOutputs(StandInOutputs* outputs);
// Stops every sound and piece still playing: the library is going.
void ReleaseStandInMovieOutputs();
// Limits drawing in the dc to a region of the caller's (none: no limit); the HRGN made, which
// the caller deletes after restoring the dc.
HRGN StandInClipTo(HDC dc, QtWord clip);
// A frame scaled into the box of a window port or a graphics world, within the clip region.
void PresentStandInFrameInPort(QtWord port, const StandInImage& image, const StandInBox& box, QtWord clip);
