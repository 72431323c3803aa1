// The layer the browser sees: exports, handler table, instance records and the module-wide
// state that the download and window code read.
#pragma once

#include <windows.h>

#include "host/downloads/NpInterface.h"

#pragma pack(push, 2)
// The instance's private data: 6 bytes from the browser's allocator.
struct InstanceData {
    uint32_t window;  // HWND once NPP_SetWindow gave one
    uint16_t mode;    // NP_EMBED or NP_FULL; kept only
};
#pragma pack(pop)
static_assert(sizeof(InstanceData) == 6);

// The first window the browser gave, as it gave it: handle, x, y, width, height, clip.
struct FirstWindowCopy {
    HWND window;
    int32_t x, y;
    uint32_t width, height;
    NPRect clipRect;
};

NPNetscapeFuncs* GetBrowserFuncs();
NPP GetPluginInstance();
NPP GetAttachedInstance();  // the instance whose window the system runs in; null when none
const FirstWindowCopy& GetFirstWindow();
bool IsSystemAttached();

// Handlers of this layer (the stream handlers live with the download cache).
extern "C" {
NPError NPP_Initialize();
void NPP_Shutdown();
NPError NPP_New(NPMIMEType mimeType, NPP instance, uint16_t mode, int16_t argc, char** argn, char** argv,
                NPSavedData* saved);
NPError NPP_Destroy(NPP instance, NPSavedData** save);
NPError NPP_SetWindow(NPP instance, NPWindow* window);
int32_t NPP_WriteReady(NPP instance, NPStream* stream);
void NPP_Print(NPP instance, NPPrint* print);
void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fileName);
}
