// Browser streams into the download cache, and files asked of the browser by address.
#include "host/DownloadStreams.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "actions/ButtonActions.h"
#include "core/FileLayer.h"
#include "core/FileSpec.h"
#include "host/CardNavigation.h"
#include "host/EntryLayer.h"
#include "core/PluginModule.h"
#include "stack/StackOpen.h"
#include "stack/StackOpenNeighbours.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr char kIndexFileName[] = "LOOMA.LOG";
constexpr int kCurrentStackSlot = 1;

std::unique_ptr<DownloadCache> g_cache;
std::unique_ptr<RequestQueue> g_queue;
PendingContext g_context;

HANDLE g_file = INVALID_HANDLE_VALUE;
bool g_fileOpen = false;
std::string g_fileUrl;  // the download being written to g_file

bool g_pendingOpen = false;  // a cache hit waits for its first write
bool g_completedDownloadWaiting = false;
std::string g_waitingUrl;
std::string g_baseUrl;
std::string g_currentStreamUrl;
bool g_haveCurrentStream = false;
int g_targetFileSlot = kCurrentStackSlot;

int ReplayButtonActions(uint16_t buttonId, uint32_t argument) {
    return DoButtonActions(GetMainWindow(), buttonId, argument);
}
int ReplayActionResource(uint16_t actionId, const char* label) {
    return PerformActionResource(actionId, 1, 0, label);
}
DownloadReplay g_replay = DefaultDownloadReplay();

bool CanOpenFile(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
void RemoveFile(const char* path) { DeleteFileA(path); }
constexpr CacheFileOps kFileOps = {CanOpenFile, RemoveFile};

std::string TempFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetTempPathA(MAX_PATH, path);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::string folder(path, n);
    if (folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string OpenStackPath() {
    if (!IsStackOpen())
        return {};
    char path[MAX_PATH] = {};
    GetFileSpecPath(kCurrentStackSlot, sizeof path, path);
    return path;
}

const char* StreamUrl(const NPStream* stream) { return (stream && stream->url) ? stream->url : ""; }

// The first writer of a run names the current stream; any other stream's bytes are ignored.
bool IsCurrentStream(const char* url) {
    if (!g_haveCurrentStream) {
        g_currentStreamUrl = url;
        g_haveCurrentStream = true;
    }
    return g_currentStreamUrl == url;
}

void SetCurrentStream(const std::string& url) {
    g_currentStreamUrl = url;
    g_haveCurrentStream = true;
}

void ClearRequestQueue() {
    if (g_queue)
        g_queue->count = 0;
}

// Creates the local copy for `url`, keeping a plain three-character extension of the remote
// file. Never truncates a file that exists: a taken name is given up for another.
HANDLE CreateLocalCopy(const std::string& folder, const char* url, std::string& path) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        char temp[MAX_PATH] = {};
        if (!GetTempFileNameA(folder.c_str(), "stk", 0, temp))  // makes the file, so the name is ours
            return INVALID_HANDLE_VALUE;
        path = CacheFileNameFor(temp, url);
        if (path == temp)
            return CreateFileA(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        DeleteFileA(temp);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

// A download cut off before its end is never taken for complete: its entry and partial file go.
void AbandonDownload() {
    if (!g_fileOpen)
        return;
    std::string url = g_fileUrl;
    CloseDownloadFile();
    if (g_cache)
        DropCacheEntry(*g_cache, url, kFileOps);
}

void AskBrowserFor(const std::string& url) {
    NPNetscapeFuncs* browser = GetBrowserFuncs();
    NPP instance = GetPluginInstance();
    if (browser && browser->geturl && instance)
        browser->geturl(instance, url.c_str(), nullptr);
}

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

}  // namespace

DownloadReplay DefaultDownloadReplay() {
    return {ReplayButtonActions, ReplayActionResource, ReloadLayerFromFile};
}
void SetDownloadReplay(const DownloadReplay& replay) { g_replay = replay; }

DownloadCache* GetDownloadCache() { return g_cache.get(); }
const RequestQueue* GetRequestQueue() { return g_queue.get(); }
int TargetFileSlot() { return g_targetFileSlot; }
bool IsCompletedDownloadWaiting() { return g_completedDownloadWaiting; }
const char* WaitingDownloadUrl() { return g_waitingUrl.c_str(); }
void ClearCompletedDownloadWaiting() { g_completedDownloadWaiting = false; }
void ClearPendingRequestLabel() { std::fill(std::begin(g_context.label), std::end(g_context.label), '\0'); }

void LoadCacheIndex() {
    if (g_cache)
        return;  // one index per module: a second instance shares it
    g_cache.reset(new (std::nothrow) DownloadCache);
    if (!g_cache)
        return;  // no cache this run
    g_cache->enabled = true;
    std::string path = TempFolder() + kIndexFileName;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::vector<uint8_t> bytes(2 + kMaxCacheEntries * kCacheEntrySize);
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    CloseHandle(h);
    bytes.resize(got);
    ParseCacheIndex(bytes, *g_cache);
}

void SaveCacheIndex() {
    if (!g_cache)
        return;
    std::vector<uint8_t> bytes = SerializeCacheIndex(*g_cache);
    std::string path = TempFolder() + kIndexFileName;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void FreeDownloadState() {
    AbandonDownload();
    g_cache.reset();
    g_queue.reset();
    g_baseUrl.clear();
    g_currentStreamUrl.clear();
    g_haveCurrentStream = false;
    g_pendingOpen = false;
    g_completedDownloadWaiting = false;
    g_waitingUrl.clear();
    g_context = PendingContext{};
    g_targetFileSlot = kCurrentStackSlot;
}

void CloseDownloadFile() {
    if (g_file != INVALID_HANDLE_VALUE)
        CloseHandle(g_file);
    g_file = INVALID_HANDLE_VALUE;
    g_fileOpen = false;
}

void MarkDownloadComplete(const char* url) {
    if (g_cache)
        MarkDownloadComplete(*g_cache, url);
}

bool BindCachedFile(const char* url, int slot) {
    const char* path = g_cache ? BindCachedFile(*g_cache, url) : nullptr;
    if (!path)
        return false;
    SetFileSpecFromPath(slot, path);
    return true;
}

void ForgetCachedFile(const char* path) {
    if (g_cache && path)
        ForgetCachedFile(*g_cache, path, kFileOps);
}

void OpenCompletedDownload(const char* url) {
    if (IsStackUrl(url)) {
        g_context.kind = 0;
        OpenStack(false);
        FitWindowToPage();
        RepaintCardWindow();
        return;
    }
    if (!g_queue || g_queue->count == 0)
        return;
    const PendingRequest head = g_queue->records[0];
    switch (head.kind) {
    case 1:
        g_replay.doButtonActions(head.buttonId, head.argument);
        break;
    case 2:
        g_replay.performActionResource(head.actionId, head.label);
        break;
    case 3:
        g_replay.reloadLayerFromFile(head.object, url);
        break;
    default:
        break;
    }
    g_context.kind = 0;
    StartNextQueuedRequest();
}

void ReloadLayerFromFile(uint32_t layer, const char* url) {
    // Minimal until object layers exist: the layer cannot be rebuilt from the file yet.
    (void)layer;
    (void)url;
}

void StartNextQueuedRequest() {
    if (!g_queue || !AdvanceRequestQueue(*g_queue))
        return;
    const PendingRequest& head = g_queue->records[0];
    g_targetFileSlot = head.fileSlot;
    SetCurrentStream(head.url);
    AskBrowserFor(head.url);
}

int RequestRemoteFile(const FileRequest& request, int fileSlot) {
    AbandonDownload();
    char slotPath[MAX_PATH] = {};
    GetFileSpecPath(request.slot, sizeof slotPath, slotPath);
    std::string url;
    if (!MakeSiblingUrl(g_baseUrl, slotPath, url))
        return 0;  // no stack address to ask beside: nothing is requested
    if (g_context.objectLayer == 0 && BindCachedFile(url.c_str(), fileSlot))
        return 1;
    if (!IsStackUrl(url)) {
        if (g_context.objectLayer != 0)
            g_context.kind = 3;
        if (!g_queue)
            g_queue.reset(new (std::nothrow) RequestQueue);
        if (!g_queue || !EnqueueRequest(*g_queue, g_context, url, static_cast<uint16_t>(fileSlot)))
            return 0;
    } else {
        ClearRequestQueue();
    }
    if (g_queue && g_queue->count > 1)
        return 0;  // the head is still downloading; this one waits its turn
    g_targetFileSlot = fileSlot;
    SetCurrentStream(url);
    AskBrowserFor(url);
    return 0;
}

void SetPendingButtonRequest(uint16_t buttonId, uint32_t argument) {
    g_context.kind = 1;
    g_context.buttonId = buttonId;
    g_context.argument = argument;
}

void SetPendingNamedRequest(uint16_t actionId, const char* label) {
    g_context.kind = 2;
    g_context.actionId = actionId;
    ClearPendingRequestLabel();
    if (label)
        lstrcpynA(g_context.label, label, sizeof g_context.label);
}

void SetPendingObjectLayer(uint32_t layer) { g_context.objectLayer = layer; }

void InstallDownloadServices() {
    StackOpenNeighbours neighbours = Neighbours();
    neighbours.forgetCachedFile = ForgetCachedFile;
    SetStackOpenNeighbours(neighbours);
    SetRemoteFileRequester(RequestRemoteFile);
    SetButtonActionsStartHook(SetPendingButtonRequest);
}

extern "C" NPError NPP_NewStream(NPP instance, NPMIMEType, NPStream* stream, NPBool, uint16_t*) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    AbandonDownload();
    const char* url = StreamUrl(stream);
    if (IsStackUrl(url)) {
        g_baseUrl = url;
        ClearRequestQueue();
    }
    if (g_cache && LookupCacheEntry(*g_cache, url, stream->lastmodified, kFileOps)) {
        if (IsSystemAttached())
            BindCachedFile(url, g_targetFileSlot);
        g_waitingUrl = url;
        g_pendingOpen = true;
        g_completedDownloadWaiting = true;
        SetCurrentStream(url);
        return NPERR_NO_ERROR;
    }
    std::string path;
    HANDLE file = CreateLocalCopy(TempFolder(), url, path);
    if (file != INVALID_HANDLE_VALUE) {
        if (g_cache)
            AddCacheEntry(*g_cache, url, path, stream->lastmodified, stream->end, kFileOps, OpenStackPath());
        g_file = file;
        g_fileOpen = true;
        g_fileUrl = url;
    }
    g_pendingOpen = false;
    SetCurrentStream(url);
    return file != INVALID_HANDLE_VALUE ? NPERR_NO_ERROR : NPERR_GENERIC_ERROR;
}

extern "C" int32_t NPP_Write(NPP instance, NPStream* stream, int32_t, int32_t len, void* buffer) {
    if (!instance)
        return -1;
    const char* url = StreamUrl(stream);
    if (!IsCurrentStream(url))
        return 0;
    if (!g_pendingOpen) {
        if (len <= 0)
            return 0;
        if (g_fileOpen) {
            DWORD written = 0;
            if (buffer && WriteFile(g_file, buffer, static_cast<DWORD>(len), &written, nullptr) &&
                written == static_cast<DWORD>(len)) {
                if (g_cache)
                    AddReceivedBytes(*g_cache, url, static_cast<uint32_t>(len));
            } else {
                AbandonDownload();  // a short file must never pass for a complete one
            }
        }
        return len;
    }
    // A cached copy: bind and open it, and end the stream.
    MarkDownloadComplete(url);
    if (BindCachedFile(url, g_targetFileSlot) && IsSystemAttached()) {
        OpenCompletedDownload(url);
        g_completedDownloadWaiting = false;
    }
    g_pendingOpen = false;
    return -1;
}

extern "C" NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPError reason) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    const char* url = StreamUrl(stream);
    if (!IsCurrentStream(url) || !g_fileOpen || g_fileUrl != url)
        return NPERR_NO_ERROR;
    CloseDownloadFile();
    g_completedDownloadWaiting = false;
    MarkDownloadComplete(url);
    constexpr NPError kStreamDone = 0;
    if (reason != kStreamDone || !BindCachedFile(url, g_targetFileSlot)) {
        if (g_cache)
            DropCacheEntry(*g_cache, url, kFileOps);  // cut short: never taken for complete
        return NPERR_NO_ERROR;
    }
    if (!IsSystemAttached()) {
        // No window yet: the stack opens when the browser gives one.
        g_completedDownloadWaiting = true;
        g_waitingUrl = url;
        return NPERR_NO_ERROR;
    }
    OpenCompletedDownload(url);
    return NPERR_NO_ERROR;
}
