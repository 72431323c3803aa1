// Handles meet plain Windows global blocks here: the clipboard and outside interfaces take
// and give HGLOBALs. Also the message for a table that cannot grow.
#include "core/memory/HandlesGlobal.h"

#include <cstring>

#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"

namespace {

void ShowLoadedMessage(UINT stringId, const char* fallback) {
    char text[80] = {};
    if (LoadStringA(GetAppInstance(), stringId, text, 79) <= 0)
        lstrcpynA(text, fallback, 79);
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

}  // namespace

void ShowMemRefsFailure() { ShowLoadedMessage(4067, "Couldn't resize MemRefs"); }

Handle NewHandleFromGlobal(HGLOBAL block) {
    if (!block || (GlobalFlags(block) & GMEM_DISCARDED))
        return 0;
    SIZE_T size = GlobalSize(block);
    if (size > 0x40000000u)
        return 0;
    Handle h = NewHandle(static_cast<uint32_t>(size));
    if (!h)
        return 0;
    const void* source = GlobalLock(block);
    uint8_t* data = LockHandle(h);
    if (!source || !data) {
        if (source)
            GlobalUnlock(block);
        DisposeHandle(h);
        return 0;
    }
    BlockMove(source, data, size);
    UnlockHandle(h);
    GlobalUnlock(block);
    return h;
}

HGLOBAL HandleToGlobal(Handle h) {
    if (!IsValidHandle(h))
        return nullptr;
    uint32_t size = GetHandleSize(h);
    HGLOBAL block = AllocGlobalOrWarn(size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    HandleLock source(h);
    if (target && source)
        BlockMove(source.get(), target, size);
    if (target)
        GlobalUnlock(block);
    return block;
}

HGLOBAL AllocGlobalOrWarn(SIZE_T size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) {
        GlobalCompact(static_cast<DWORD>(size));
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    }
    if (!block) {
        char text[80] = {};
        LoadResString(4134, text, 79);
        ShowErrorBox(text);
    }
    return block;
}

bool FreeGlobalFully(HGLOBAL block) {
    if (!block)
        return true;
    UINT locks = GlobalFlags(block) & GMEM_LOCKCOUNT;
    while (locks--)
        GlobalUnlock(block);
    return GlobalFree(block) == nullptr;
}
