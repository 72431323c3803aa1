// Streams from the browser and the download file they fill; what the entry layer hands on to.
#pragma once

#include "host/NpInterface.h"

extern "C" {
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16_t* stype);
int32_t NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t len, void* buffer);
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPError reason);
}

void LoadCacheIndex();
void CloseDownloadFile();           // closes the open download file, if any, and clears its flag
void ClearCompletedDownloadWaiting();
bool IsCompletedDownloadWaiting();  // a stack finished downloading before the window arrived
void ClearPendingRequestLabel();    // the 256-byte label of the pending-request context
void MarkDownloadComplete();
bool BindCachedFile(int slot);
void OpenCompletedDownload();
int TargetFileSlot();
