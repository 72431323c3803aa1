// The calls by name.
#include "quicktime/VfwCalls.h"

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
