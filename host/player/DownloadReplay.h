// What an arrived download was for: the context of the work that needed a file beside the
// stack, queued with its request and replayed when the file arrives (the one action of a button
// or of an action resource that asked, an object layer reloaded, or the card drawn again with
// its stills), the move to another stack that waited for it, and the embed's own stack opened
// once it is here.
#pragma once

#include <cstdint>

#include "host/downloads/DownloadStreams.h"

// What is running that may need a file: each performer says so for as long as it runs, in a
// PendingWork scope, and the work around it is back once it ends. A move is never replayed: a
// file asked for outside the one action that runs (by the move, the wait, the card drawn) is for
// the layer or the card's stills being drawn, or for nothing.
class PendingWork {
public:
    PendingWork();
    ~PendingWork();
    PendingWork(const PendingWork&) = delete;
    PendingWork& operator=(const PendingWork&) = delete;

private:
    PendingContext saved_;
};
// The owner whose actions run (a button found in the card record of cardId; an 'Actn'
// resource with its label), and the one action of it that runs now (0 between actions). The
// origin is who started the actions: the replay, which goes on with that chain, keeps it.
void SetPendingButtonRequest(uint16_t buttonId, uint16_t cardId, ActionOrigin origin);
void SetPendingNamedRequest(uint16_t actionId, const char* label, ActionOrigin origin);
void SetPendingAction(uint16_t actionBit);
void ClearPendingRequestLabel();  // the 256-byte label of the pending-request context
// The context and the last refresh forgotten (with the download state at shut-down).
void ForgetPendingRequest();
// The work running now, as a file request would carry it.
const PendingContext& PendingRequestContext();

// Files the stack names beside itself: 1 when local now (bound into `fileSlot`), 0 when asked
// for or queued. Installed as the file layer's remote requester.
int RequestRemoteFile(const FileRequest& request, int fileSlot);

// A download is complete: what it was for happens now, for the instance the system is attached
// to (`systemStarted`: its start-up succeeded, so there is a card window to open a stack in);
// other embeds' downloads are only kept in the cache.
void TakeArrivedDownload(const ArrivedDownload& download, bool systemStarted);
// The file asked of the site last has not started to come for some seconds (a browser says
// nothing of a file it could not get): what it was for is given up, the requests behind it go
// on, and, when an action asked for it, the user is told which file did not come. Called by the
// periodic tick.
void GiveUpLostDownload();
// The system has just attached to this instance's window: its stack, when that has already
// arrived, is opened now, and its address becomes the base of later requests.
void OpenWaitingDownload(NPP instance);
// The queue head whose file arrived (bound in its slot), done as its kind says: a button's or an
// action resource's one action, the layer reloaded from the file, the card with its stills
// drawn again (while that card is still shown and no movie plays); nothing for kind 0.
void ReplayPendingRequest(const PendingRequest& request, const char* url);
// A disk-based field's text or a graphic's picture from the file that arrived for its layer.
void ReloadLayerFromFile(uint32_t layer, const char* url);

// What a completed download replays (ReplayPendingRequest); tests put recorders here.
struct DownloadReplay {
    void (*replay)(const PendingRequest& request, const char* url);
};
void SetDownloadReplay(const DownloadReplay& replay);
DownloadReplay DefaultDownloadReplay();
