// The layer the browser sees: exports, handler table and instance records (the module-wide
// state that the download and window code read: host/downloads/BrowserInstance.h).
#pragma once

#include <windows.h>

#include "host/downloads/BrowserInstance.h"
#include "host/downloads/NpInterface.h"

#pragma pack(push, 2)
// The instance's private data: 6 bytes from the browser's allocator.
struct InstanceData {
    uint32_t window;  // HWND once NPP_SetWindow gave one
    uint16_t mode;    // NP_EMBED or NP_FULL; kept only
};
#pragma pack(pop)
static_assert(sizeof(InstanceData) == 6);

bool IsSystemAttached();

// Handlers of this layer (the stream handlers: BrowserStreams_win.cpp).
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
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16_t* stype);
int32_t NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t len, void* buffer);
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPError reason);
}
