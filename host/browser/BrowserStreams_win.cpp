// The browser's stream handlers: each stream is written into the download cache, and what
// arrived goes to the player, which knows what it was for.
#include <windows.h>

#include "host/browser/EntryLayer.h"
#include "host/browser/WindowAttach.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/DownloadReplay.h"

extern "C" NPError NPP_NewStream(NPP instance, NPMIMEType, NPStream* stream, NPBool, uint16_t*) {
    return StartDownloadStream(instance, stream);
}

extern "C" int32_t NPP_Write(NPP instance, NPStream* stream, int32_t, int32_t len, void* buffer) {
    ArrivedDownload arrived;
    const int32_t taken = WriteDownloadStream(instance, stream, len, buffer, &arrived);
    if (arrived.arrived)
        TakeArrivedDownload(arrived, IsPluginWindowAttached());
    return taken;
}

extern "C" NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPError reason) {
    ArrivedDownload arrived;
    const NPError result = EndDownloadStream(instance, stream, reason, &arrived);
    if (arrived.arrived)
        TakeArrivedDownload(arrived, IsPluginWindowAttached());
    return result;
}
