// Replaying what needed a download, once it has arrived.
#include "host/player/DownloadReplay.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "cardview/card/CardRedraw.h"
#include "layers/LayerBuild.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/downloads/BrowserInstance.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardRefresh.h"
#include "host/player/StackJump.h"
#include "host/player/StackOpening.h"
#include "media/MediaManager.h"
#include "objects/text/FieldContents_win.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// How long a file asked of the site may take to start coming before it counts as lost.
constexpr uint32_t kLostAfterMs = 6000;
constexpr uint32_t kAlertFileNotFromSite = 2880;

PendingContext g_context;
// The file the last card refresh after a download was for: one that is still not found after
// it arrived is asked for again, and must not refresh the card again and again.
std::string g_refreshedFor;

DownloadReplay g_replay = DefaultDownloadReplay();

void RepaintCardWindow() {
    if (HWND window = GetMainWindow()) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

// After a stack opens, the plug-in window keeps to the area the page gave it.
void FitWindowToPage() {
    HWND window = GetMainWindow();
    const FirstWindowCopy& page = GetFirstWindow();
    if (!window || !IsWindow(window))
        return;
    RECT client = {};
    GetClientRect(window, &client);
    int width = std::min<int>(client.right, static_cast<int>(page.width));
    int height = std::min<int>(client.bottom, static_cast<int>(page.height));
    MoveWindow(window, page.x, page.y, width, height, TRUE);
}

// Opens the attached embed's stack once a copy of it has been verified in this run.
void OpenAttachedStackIfArrived(int slot) {
    if (!BindWaitingEmbedStack(GetAttachedInstance(), slot))
        return;
    g_context = PendingContext{};  // nothing of another stack waits any more
    OpenStack(false);
    FitWindowToPage();
    RepaintCardWindow();
}

void ReplayQueueHead(const char* url) {
    const RequestQueue* queue = GetRequestQueue();
    if (!queue || queue->count == 0)
        return;
    const PendingRequest head = queue->records[0];
    g_replay.replay(head, url);
    // What waited behind it for the same file (a card's stills, a second click) runs now.
    PendingRequest next;
    while (StartNextQueuedRequest(&next))
        g_replay.replay(next, next.url);
}

// A layer of the card shown now, not one freed since it asked.
bool IsListedLayer(uint32_t layer) {
    for (LayerHandle at = GetLayerListHead(); at;) {
        if (static_cast<uint32_t>(reinterpret_cast<uintptr_t>(at)) == layer)
            return true;
        LayerLock<ObjectLayer> lock(at);
        at = lock ? lock->next : nullptr;
    }
    return false;
}

// What a file asked for now is for: the layer being built, else the card whose stills are drawn,
// else the one action running; nothing between actions (a move, a wait).
PendingContext WhatNeedsTheFile() {
    PendingContext needs = g_context;
    needs.objectLayer = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetLayerUnderConstruction()));
    if (needs.objectLayer != 0) {
        needs.kind = kPendingLayer;
        needs.cardId = GetCurrentCardId();
    } else if (const uint16_t card = StartFramesCardId()) {
        needs.kind = kPendingStill;
        needs.cardId = card;
    } else if (needs.actionBit == 0) {
        needs.kind = kPendingNothing;
    }
    return needs;
}

}  // namespace

PendingWork::PendingWork() : saved_(g_context) {}
PendingWork::~PendingWork() { g_context = saved_; }

void ReplayPendingRequest(const PendingRequest& request, const char* url) {
    // What the file was for changes the card (an action, a picture put in its layer, the card
    // drawn again): under an authoring dialog it waits, for the card it was asked on.
    if (HoldUnderEditor(HeldScope::kOutside, [request, path = std::string(url ? url : "")] { ReplayPendingRequest(request, path.c_str()); }))
        return;
    switch (request.kind) {
    case kPendingButtonAction:
        ReplayButtonAction(GetMainWindow(), request.buttonId, request.cardId, request.actionBit, request.origin);
        break;
    case kPendingNamedAction:
        ReplayActionResource(request.actionId, request.actionBit, request.label, request.origin);
        break;
    case kPendingLayer:
        if (request.cardId == GetCurrentCardId() && IsListedLayer(request.object))
            ReloadLayerFromFile(request.object, url);
        break;
    case kPendingStill:
        // The card drawn again with the still, unless it was left; while a movie plays, which the
        // refresh would end, its stills alone are drawn onto the window.
        if (request.cardId != GetCurrentCardId() || g_refreshedFor == url)
            break;
        g_refreshedFor = url;
        if (MediaAllMoviesDone()) {
            RefreshCurrentCard(1);
        } else if (HWND window = GetMainWindow()) {
            WindowDC dc(window);
            DrawCardMovieStills(GetCurrentCardRecord(), dc.get());
        }
        break;
    default:
        break;
    }
}

DownloadReplay DefaultDownloadReplay() { return {ReplayPendingRequest}; }
void SetDownloadReplay(const DownloadReplay& replay) { g_replay = replay; }

void ClearPendingRequestLabel() { std::fill(std::begin(g_context.label), std::end(g_context.label), '\0'); }

const PendingContext& PendingRequestContext() { return g_context; }

void ForgetPendingRequest() {
    g_refreshedFor.clear();
    g_context = PendingContext{};
}

void SetPendingButtonRequest(uint16_t buttonId, uint16_t cardId, ActionOrigin origin) {
    g_context.kind = kPendingButtonAction;
    g_context.buttonId = buttonId;
    g_context.cardId = cardId;
    g_context.origin = origin;
    g_context.actionBit = 0;
}

void SetPendingNamedRequest(uint16_t actionId, const char* label, ActionOrigin origin) {
    g_context.kind = kPendingNamedAction;
    g_context.actionId = actionId;
    g_context.origin = origin;
    g_context.actionBit = 0;
    ClearPendingRequestLabel();
    if (label)
        lstrcpynA(g_context.label, label, sizeof g_context.label);
}

void SetPendingAction(uint16_t actionBit) { g_context.actionBit = actionBit; }

int RequestRemoteFile(const FileRequest& request, int fileSlot) {
    return RequestFileFor(WhatNeedsTheFile(), request, fileSlot);
}

void TakeArrivedDownload(const ArrivedDownload& d, bool systemStarted) {
    NPP attached = GetAttachedInstance();
    const bool forSystem = attached && d.instance == attached;
    if (IsStackUrl(d.url)) {
        // The move to another stack that asked for it goes on now; its lookup finds the copy
        // by the stack's own name (the slot keeps that name, not the copy's).
        if (forSystem && d.answersRequest && ResumeStackJump())
            return;
        if (attached && systemStarted)  // another embed's download of the same stack serves as well
            OpenAttachedStackIfArrived(forSystem && d.answersRequest ? d.slot : kSlotCurrentStack);
    } else if (forSystem && d.answersRequest) {
        if (BindCachedFile(d.url.c_str(), d.slot))
            ReplayQueueHead(d.url.c_str());
        else
            StartNextQueuedRequest();
    }
}

void GiveUpLostDownload() {
    // Given up when no dialog runs, no authoring loop holds the card and no system dialog (a file
    // dialog disables the page while it runs): the alert would come up under the person's work.
    const HWND page = GetMainWindow() ? GetAncestor(GetMainWindow(), GA_ROOT) : nullptr;
    if (DialogRuns() || EditorHolds(HeldScope::kCard) || (page && !IsWindowEnabled(page)))
        return;
    const RequestQueue* queue = GetRequestQueue();
    const uint16_t kind = queue && queue->count > 0 ? queue->records[0].kind : uint16_t{kPendingNothing};
    std::string lost;
    bool stack = false;
    if (!GiveUpUnansweredRequest(kLostAfterMs, &lost, &stack))
        return;
    // A move to a stack that did not come is over: the card it left stays, and the stack, should
    // it come after all, opens nothing.
    if (stack)
        GiveUpStackJump();
    // What waited behind it is asked for now, or replayed at once when its file is here.
    PendingRequest next;
    while (StartNextQueuedRequest(&next))
        g_replay.replay(next, next.url);
    // The user is told of a file a click or an action asked for; a picture or still the card
    // drew without it stays as it is drawn.
    if (kind != kPendingButtonAction && kind != kPendingNamedAction)
        return;
    std::string text = ResText(kAlertFileNotFromSite);
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, lost);
    ShowAlertText(nullptr, text.c_str());
}

void OpenWaitingDownload(NPP instance) {
    if (AdoptEmbedAddress(instance))
        OpenAttachedStackIfArrived(kSlotCurrentStack);
}

namespace {

struct ObjectSearch {
    uint16_t kind = 0, id = 0;
    std::vector<uint8_t> record;
};

void KeepObjectOfId(void* context, std::span<const uint8_t> object) {
    auto* search = static_cast<ObjectSearch*>(context);
    if (search->record.empty() && GetU16(object, kObjectKind) == search->kind && GetU16(object, kObjectId) == search->id)
        search->record.assign(object.begin(), object.end());
}

// A disk-based field's text from the file that arrived.
void ReloadFieldFromFile(LayerHandle handle, const char* path) {
    LayerLock<FieldLayer> field(handle);
    if (!field || !field->window)
        return;
    ObjectSearch search{kObjectText, field->common.id, {}};
    WalkVisibleObjects(GetCurrentCardRecord(), KeepObjectOfId, &search);
    if (search.record.empty())
        return;
    LoadDiskBasedFieldText(field->window, search.record, path);
    InvalidateRect(GetCardWindow(), &field->common.bounds, FALSE);
}

}  // namespace

void ReloadLayerFromFile(uint32_t layer, const char* url) {
    DownloadCache* cache = GetDownloadCache();
    if (!cache || !url)
        return;
    const int entry = FindCacheEntry(*cache, url);
    if (entry < 0)
        return;
    const auto handle = reinterpret_cast<LayerHandle>(static_cast<uintptr_t>(layer));
    bool text = false;
    {
        LayerLock<ObjectLayer> probe(handle);
        text = probe && probe->kind == kObjectText;
    }
    if (text) {
        ReloadFieldFromFile(handle, cache->entries[entry].localPath);
        return;
    }
    LayerLock<GraphicLayer> lock(handle);
    if (!lock || lock->common.kind != kObjectGraphic)
        return;
    ObjectSearch search{kObjectGraphic, lock->common.id, {}};
    WalkVisibleObjects(GetCurrentCardRecord(), KeepObjectOfId, &search);
    char name[MAX_PATH] = {};
    RECT crop = {};
    const LayerListUpcalls& upcalls = GetLayerListUpcalls();
    if (search.record.empty() || !upcalls.loadPictureFile ||
        !GetLayerKindProcs().graphicPictureFile(search.record, name, sizeof name, &crop))
        return;
    HPALETTE palette = nullptr;
    HBITMAP loaded = upcalls.loadPictureFile(cache->entries[entry].localPath, &palette);
    if (loaded) {
        if (HBITMAP cut = CutOutBitmap(loaded, crop)) {
            if (lock->picture)
                DeleteObject(lock->picture);
            lock->picture = cut;
        }
        DeleteObject(loaded);
    }
    if (palette)
        DeleteObject(palette);
    InvalidateRect(GetCardWindow(), &lock->common.bounds, FALSE);
}
