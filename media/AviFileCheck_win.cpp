// Which movie files play in an MCIWnd window rather than through QuickTime: MPEG always, AVI
// only with an Indeo ('iv32') video stream while Video for Windows is loaded.
#include "media/MediaManager.h"

#include <vfw.h>

#include "core/files/FileTypes.h"
#include "quicktime/VfwCalls.h"

namespace {

template <class Proc>
Proc ProcOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

constexpr DWORD kIndeoHandler = mmioFOURCC('i', 'v', '3', '2');

bool FirstVideoStreamIsIndeo(const char* path) {
    HMODULE avifile = GetModuleHandleA("avifil32.dll");
    using StreamInfo = HRESULT(WINAPI*)(PAVISTREAM, AVISTREAMINFOA*, LONG);
    const auto streamInfo = ProcOf<StreamInfo>(avifile, "AVIStreamInfoA");
    if (!streamInfo)
        return false;
    bool indeo = false;
    CallWithFirstAviVideoStream(avifile, path, [&](PAVISTREAM stream) {
        AVISTREAMINFOA info{};
        indeo = streamInfo(stream, &info, sizeof info) == 0 && info.fccHandler == kIndeoHandler;
    });
    return indeo;
}

}  // namespace

bool IsAVIFile(const char* path) {
    if (!path)
        return false;
    const int type = FileTypeFromExtension(path);
    if (type == kFileTypeMpg || type == kFileTypeMpeg)
        return true;
    if (type != kFileTypeAvi || !IsVideoForWindowsLoaded())
        return false;
    return FirstVideoStreamIsIndeo(path);
}
