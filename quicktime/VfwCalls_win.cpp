// The calls by name.
#include "quicktime/VfwCalls.h"

#include <vfw.h>

namespace {

template <class Proc>
Proc Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

HWND CallMCIWndCreate(HMODULE module, HWND parent, HINSTANCE instance, DWORD style, const char* file) {
    using Proc = HWND(WINAPIV*)(HWND, HINSTANCE, DWORD, LPCSTR);
    const auto create = Find<Proc>(module, "MCIWndCreate");
    return create ? create(parent, instance, style, file) : nullptr;
}

int CallAcmMetrics(HMODULE module, void* object, UINT metric, void* value) {
    using Proc = UINT(WINAPI*)(void*, UINT, void*);
    const auto metrics = Find<Proc>(module, "acmMetrics");
    return metrics && metrics(object, metric, value) == 0 ? 1 : 0;
}

int CallAcmFormatChoose(HMODULE module, void* chooser) {
    using Proc = UINT(WINAPI*)(void*);
    const auto choose = Find<Proc>(module, "acmFormatChooseA");
    return choose && choose(chooser) == 0 ? 1 : 0;
}

bool CallWithFirstAviVideoStream(HMODULE module, const char* path, const std::function<void(IAVIStream*)>& visit) {
    using FileOpen = HRESULT(WINAPI*)(PAVIFILE*, LPCSTR, UINT, LPCLSID);
    using GetStream = HRESULT(WINAPI*)(PAVIFILE, PAVISTREAM*, DWORD, LONG);
    using StreamRelease = ULONG(WINAPI*)(PAVISTREAM);
    using FileRelease = ULONG(WINAPI*)(PAVIFILE);
    const auto fileOpen = Find<FileOpen>(module, "AVIFileOpenA");
    const auto getStream = Find<GetStream>(module, "AVIFileGetStream");
    const auto streamRelease = Find<StreamRelease>(module, "AVIStreamRelease");
    const auto fileRelease = Find<FileRelease>(module, "AVIFileRelease");
    if (!fileOpen || !getStream || !streamRelease || !fileRelease)
        return false;
    PAVIFILE file = nullptr;
    if (fileOpen(&file, path, OF_READ, nullptr) != 0 || !file)
        return false;
    PAVISTREAM stream = nullptr;
    const bool found = getStream(file, &stream, streamtypeVIDEO, 0) == 0 && stream;
    if (found) {
        visit(stream);
        streamRelease(stream);
    }
    fileRelease(file);
    return found;
}
