// Exports, the handler table and the instance handlers of the browser plug-in interface.
#include "host/browser/EntryLayer.h"

#include "host/browser/WindowAttach.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/DownloadReplay.h"
#include "host/window/WindowServices.h"
#include "host/wiring/LayerWiring.h"

namespace {

// Which instance has the system.
struct SystemOwner {
    bool attached = false;
    bool shutDown = false;
    // The one instance record whose window the system is attached to. Only its destruction
    // shuts the system down; a second instance frees just its own record.
    InstanceData* record = nullptr;
    // The instance given its window while the last page's releases wait for a loop of ours: it
    // takes the system once they are done.
    NPP waiting = nullptr;
};
SystemOwner g_owner;

constexpr uint16_t kHandlerTableVersion = 6;
constexpr uint16_t kFilledTableSize = 44;
constexpr uint16_t kMinBrowserTableSize = 52;

// The system started on the instance's window, and the stack that came before it opened.
void StartSystemOn(NPP instance, const NPWindow& window) {
    auto* record = static_cast<InstanceData*>(instance->pdata);
    HWND hwnd = static_cast<HWND>(window.window);
    g_owner.attached = true;
    g_owner.shutDown = false;
    g_owner.record = record;
    SetAttachedInstance(instance, {hwnd, window.x, window.y, window.width, window.height, window.clipRect});
    // A failed start-up is not the browser's concern; nothing is opened on a window the system
    // could not start on.
    const bool started = AttachPluginWindow(hwnd);
    SetFocus(hwnd);
    if (started)
        OpenWaitingDownload(instance);  // a stack that arrived before the window
}

}  // namespace

bool IsSystemAttached() { return g_owner.attached; }

extern "C" NPError __stdcall NP_GetEntryPoints(NPPluginFuncs* table) {
    if (!table || table->size < kFilledTableSize)
        return NPERR_INVALID_FUNCTABLE_ERROR;
    // Only the first 44 bytes are ours to write, whatever size the browser announces.
    table->version = kHandlerTableVersion;
    table->newp = NPP_New;
    table->destroy = NPP_Destroy;
    table->setwindow = NPP_SetWindow;
    table->newstream = NPP_NewStream;
    table->destroystream = NPP_DestroyStream;
    table->asfile = NPP_StreamAsFile;
    table->writeready = NPP_WriteReady;
    table->write = NPP_Write;
    table->print = NPP_Print;
    table->event = nullptr;
    return NPERR_NO_ERROR;
}

extern "C" NPError __stdcall NP_Initialize(NPNetscapeFuncs* browserTable) {
    if (!browserTable)
        return NPERR_INVALID_FUNCTABLE_ERROR;
    SetBrowserFuncs(browserTable);
    if ((browserTable->version >> 8) != 0)
        return NPERR_INCOMPATIBLE_VERSION_ERROR;
    if (browserTable->size < kMinBrowserTableSize)
        return NPERR_INVALID_FUNCTABLE_ERROR;
    return NPP_Initialize();
}

extern "C" NPError NP_Shutdown() {
    NPP_Shutdown();
    SetBrowserFuncs(nullptr);
    return NPERR_NO_ERROR;
}

extern "C" NPError NPP_Initialize() {
    WireLayers();
    return NPERR_NO_ERROR;
}

extern "C" void NPP_Shutdown() {
    FinishWaitingShutdown();
    CloseAllDownloads();
}

extern "C" NPError NPP_New(NPMIMEType, NPP instance, uint16_t mode, int16_t, char**, char**, NPSavedData*) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    // Downloads belong to their own streams; another embed on the page leaves them, and the
    // work of an attached system, alone.
    if (!g_owner.attached)
        ClearPendingRequestLabel();
    InstanceData* record = nullptr;
    NPNetscapeFuncs* browser = GetBrowserFuncs();
    if (browser && browser->memalloc)
        record = static_cast<InstanceData*>(browser->memalloc(sizeof(InstanceData)));
    instance->pdata = record;
    SetPluginInstance(instance);
    LoadCacheIndex();
    if (!record)
        return NPERR_OUT_OF_MEMORY_ERROR;
    record->window = 0;
    record->mode = mode;
    return NPERR_NO_ERROR;
}

extern "C" NPError NPP_Destroy(NPP instance, NPSavedData**) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    ForgetInstanceDownloads(instance);  // its own streams only
    auto* record = static_cast<InstanceData*>(instance->pdata);
    if (instance == g_owner.waiting)
        g_owner.waiting = nullptr;  // it never started
    if (record) {
        if (record == g_owner.record) {
            if (!g_owner.shutDown)
                ShutdownPluginInstanceOnceOut(reinterpret_cast<HWND>(static_cast<uintptr_t>(record->window)));
            g_owner.shutDown = true;
            // A later instance in this module may attach again (a page reloaded).
            g_owner.attached = false;
            g_owner.record = nullptr;
            ClearAttachedInstance();
        }
        record->window = 0;
        if (NPNetscapeFuncs* browser = GetBrowserFuncs(); browser && browser->memfree)
            browser->memfree(record);
        instance->pdata = nullptr;
    }
    // Downloads go on for the attached instance when a later one goes away before it.
    if (GetPluginInstance() == instance)
        SetPluginInstance(GetAttachedInstance());
    return NPERR_NO_ERROR;
}

extern "C" NPError NPP_SetWindow(NPP instance, NPWindow* window) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    auto* record = static_cast<InstanceData*>(instance->pdata);
    if (!window || !record)
        return NPERR_GENERIC_ERROR;
    // Only the first real window counts: resizes and repeated calls change nothing.
    if (!window->window || record->window)
        return NPERR_NO_ERROR;
    HWND hwnd = static_cast<HWND>(window->window);
    record->window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd));
    if (g_owner.attached || g_owner.waiting)
        return NPERR_NO_ERROR;  // another embed has the system: its geometry stays
    if (IsShutdownWaiting()) {
        // The last page closed inside a dialog of ours that still runs: its stack stays until
        // the dialog is back and it is released; then this page starts.
        g_owner.waiting = instance;
        AttachOnceShutDown([instance, given = *window] {
            if (g_owner.waiting != instance)
                return;
            g_owner.waiting = nullptr;
            StartSystemOn(instance, given);
        });
        return NPERR_NO_ERROR;
    }
    StartSystemOn(instance, *window);
    return NPERR_NO_ERROR;
}

extern "C" int32_t NPP_WriteReady(NPP, NPStream*) {
    return 0x0FFFFFFF;  // any amount is welcome
}

extern "C" void NPP_Print(NPP instance, NPPrint* print) {
    if (!instance || !print)
        return;
    if (print->mode == NP_FULL) {
        print->print.fullPrint.pluginPrinted = 0;  // the browser prints the page itself
        return;
    }
    HDC dc = static_cast<HDC>(print->print.embedPrint.window.window);
    if (!dc)
        return;
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 500, 500);
}

extern "C" void NPP_StreamAsFile(NPP, NPStream*, const char*) {}
