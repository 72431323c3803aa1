// Which movie files play in an MCIWnd window rather than through QuickTime: MPEG always, AVI
// only with an Indeo ('iv32') video stream while Video for Windows is loaded.
#include "media/MediaManager.h"

#include <vfw.h>

#include "core/files/FileTypes.h"

namespace {

template <class Proc>
Proc ProcOf(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

constexpr DWORD kIndeoHandler = mmioFOURCC('i', 'v', '3', '2');

bool FirstVideoStreamIsIndeo(const char* path) {
    HMODULE avifile = GetModuleHandleA("avifil32.dll");
    using FileOpen = HRESULT(WINAPI*)(PAVIFILE*, LPCSTR, UINT, LPCLSID);
    using GetStream = HRESULT(WINAPI*)(PAVIFILE, PAVISTREAM*, DWORD, LONG);
    using StreamInfo = HRESULT(WINAPI*)(PAVISTREAM, AVISTREAMINFOA*, LONG);
    using StreamRelease = ULONG(WINAPI*)(PAVISTREAM);
    using FileRelease = ULONG(WINAPI*)(PAVIFILE);
    auto fileOpen = ProcOf<FileOpen>(avifile, "AVIFileOpenA");
    auto getStream = ProcOf<GetStream>(avifile, "AVIFileGetStream");
    auto streamInfo = ProcOf<StreamInfo>(avifile, "AVIStreamInfoA");
    auto streamRelease = ProcOf<StreamRelease>(avifile, "AVIStreamRelease");
    auto fileRelease = ProcOf<FileRelease>(avifile, "AVIFileRelease");
    if (!fileOpen || !getStream || !streamInfo || !streamRelease || !fileRelease)
        return false;
    PAVIFILE file = nullptr;
    if (fileOpen(&file, path, OF_READ, nullptr) != 0 || !file)
        return false;
    bool indeo = false;
    PAVISTREAM stream = nullptr;
    if (getStream(file, &stream, streamtypeVIDEO, 0) == 0 && stream) {
        AVISTREAMINFOA info{};
        indeo = streamInfo(stream, &info, sizeof info) == 0 && info.fccHandler == kIndeoHandler;
        streamRelease(stream);
    }
    fileRelease(file);
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
