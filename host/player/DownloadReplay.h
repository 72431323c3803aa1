// What an arrived download was for: the context of the action that needed a file beside the
// stack, queued with its request and replayed when the file arrives (a button's actions, an
// action resource, an object layer reloaded, or the card drawn again), the move to another
// stack that waited for it, and the embed's own stack opened once it is here.
#pragma once

#include <cstdint>

#include "host/downloads/DownloadStreams.h"

// What comes before a file request: the button, the named action or the object layer that
// will need the file when it arrives.
void SetPendingButtonRequest(uint16_t buttonId, uint32_t argument);
void SetPendingNamedRequest(uint16_t actionId, const char* label);
void SetPendingObjectLayer(uint32_t layer);  // the layer under construction, 0 when none
void ClearPendingRequestLabel();             // the 256-byte label of the pending-request context
// The context and the last refresh forgotten (with the download state at shut-down).
void ForgetPendingRequest();
// What the next file request will carry: the action that asked last.
const PendingContext& PendingRequestContext();

// Files the stack names beside itself: 1 when local now (bound into `fileSlot`), 0 when asked
// for or queued. Installed as the file layer's remote requester.
int RequestRemoteFile(const FileRequest& request, int fileSlot);

// A download is complete: what it was for happens now, for the instance the system is attached
// to (`systemStarted`: its start-up succeeded, so there is a card window to open a stack in);
// other embeds' downloads are only kept in the cache.
void TakeArrivedDownload(const ArrivedDownload& download, bool systemStarted);
// The system has just attached to this instance's window: its stack, when that has already
// arrived, is opened now, and its address becomes the base of later requests.
void OpenWaitingDownload(NPP instance);
// A disk-based field's text or a graphic's picture from the file that arrived for its layer.
void ReloadLayerFromFile(uint32_t layer, const char* url);

// What a completed download replays; tests put recorders here.
struct DownloadReplay {
    int (*doButtonActions)(uint16_t buttonId, uint32_t argument);
    int (*performActionResource)(uint16_t actionId, const char* label);
    void (*reloadLayerFromFile)(uint32_t layer, const char* url);
};
void SetDownloadReplay(const DownloadReplay& replay);
DownloadReplay DefaultDownloadReplay();
