// Streams from the browser, the download file each one fills, the cache index kept across runs
// and the queue of files asked of the browser (their records live in host/DownloadCache.h).
//
// Every stream has its own download record, reached through NPStream::pdata: its local file,
// its URL and its cache entry. Several embeds may stream at once; only the instance the system
// is attached to opens a stack or replays requests, the others' downloads are only cached.
#pragma once

#include <cstdint>

#include "host/downloads/DownloadCache.h"
#include "host/downloads/NpInterface.h"

struct FileRequest;

extern "C" {
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16_t* stype);
int32_t NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t len, void* buffer);
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPError reason);
}

// The index in "LOOMA.LOG" of the temporary folder: loaded once per module, saved at shut-down.
void LoadCacheIndex();
void SaveCacheIndex();
// Index, queue and URLs go; downloads still under way are cut off (their partial files
// deleted) and their streams' later bytes are taken and dropped. The target slot goes back to 1.
void FreeDownloadState();
DownloadCache* GetDownloadCache();  // null when no index is loaded

// The instance's own downloads are cut off and its embed forgotten (NPP_Destroy); nothing of
// another instance is touched.
void ForgetInstanceDownloads(NPP instance);
void CloseAllDownloads();  // NP_Shutdown: every download file is closed
// The system has just attached to this instance's window: its stack, when that has already
// arrived, is opened now, and its address becomes the base of later requests.
void OpenWaitingDownload(NPP instance);
void ClearPendingRequestLabel();  // the 256-byte label of the pending-request context
int TargetFileSlot();

// Module-cache forms of the index operations: `BindCachedFile` puts the local copy's path
// into the file-spec slot.
bool BindCachedFile(const char* url, int slot);
void ForgetCachedFile(const char* path);

// Files the stack names beside itself: 1 when local now (bound into `fileSlot`), 0 when asked
// for or queued. Installed as the file layer's remote requester.
int RequestRemoteFile(const FileRequest& request, int fileSlot);
void StartNextQueuedRequest();
void SetPendingButtonRequest(uint16_t buttonId, uint32_t argument);
void SetPendingNamedRequest(uint16_t actionId, const char* label);
void SetPendingObjectLayer(uint32_t layer);  // the layer under construction, 0 when none
void ReloadLayerFromFile(uint32_t layer, const char* url);
const RequestQueue* GetRequestQueue();

// What a completed download replays; tests put recorders here.
struct DownloadReplay {
    int (*doButtonActions)(uint16_t buttonId, uint32_t argument);
    int (*performActionResource)(uint16_t actionId, const char* label);
    void (*reloadLayerFromFile)(uint32_t layer, const char* url);
};
void SetDownloadReplay(const DownloadReplay& replay);
DownloadReplay DefaultDownloadReplay();

