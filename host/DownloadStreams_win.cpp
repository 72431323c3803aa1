// Minimal stream handling until the download cache exists: streams are accepted and their
// bytes counted, nothing is cached or opened yet.
#include "host/DownloadStreams.h"

namespace {
bool g_completedDownloadWaiting = false;
char g_pendingRequestLabel[256];
}  // namespace

NPError NPP_NewStream(NPP instance, NPMIMEType, NPStream* stream, NPBool, uint16_t* stype) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    if (stype)
        *stype = NP_NORMAL;
    (void)stream;
    return NPERR_NO_ERROR;
}

int32_t NPP_Write(NPP instance, NPStream*, int32_t, int32_t len, void*) {
    return instance ? len : -1;
}

NPError NPP_DestroyStream(NPP instance, NPStream*, NPError) {
    return instance ? NPERR_NO_ERROR : NPERR_INVALID_INSTANCE_ERROR;
}

void LoadCacheIndex() {}
void CloseDownloadFile() {}
void ClearCompletedDownloadWaiting() { g_completedDownloadWaiting = false; }
bool IsCompletedDownloadWaiting() { return g_completedDownloadWaiting; }
void ClearPendingRequestLabel() { for (char& c : g_pendingRequestLabel) c = 0; }
void MarkDownloadComplete() {}
bool BindCachedFile(int) { return false; }
void OpenCompletedDownload() {}
int TargetFileSlot() { return 1; }
