// Browser streams into the download cache, and files asked of the browser by address. What
// an arrived download was for is the player's (host/player/DownloadReplay.h).
#include "host/downloads/DownloadStreams.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "host/downloads/BrowserInstance.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr char kIndexFileName[] = "LOOMA.LOG";
constexpr NPError kStreamDone = 0;
// A request made again that long after the site was asked for the same file asks it again.
constexpr DWORD kAskAgainMs = 1000;
// The least a file asked for must send within the time its request is given up after: a stream
// that drips a byte now and then is as lost as one that stopped.
constexpr uint32_t kLeastBytesPerWait = 4096;

std::unique_ptr<DownloadCache> g_cache;
std::unique_ptr<RequestQueue> g_queue;
// The file the browser was last asked for, and when it was asked or last sent bytes: the stream
// of this address answers the queue head. A browser tells a plug-in that asked without
// notification nothing of a file it could not get, nor of a server that stopped sending, so the
// time is all there is to tell that it will not come.
struct AskedFile {
    std::string url;
    DWORD at = 0;            // asked, or last sent kLeastBytesPerWait since then
    uint32_t sinceAt = 0;    // bytes sent since `at`
    bool coming = false;     // its stream has started
    bool tooLarge = false;   // it announced or sent more than one download may hold
};
AskedFile g_asked;
int g_targetFileSlot = kSlotCurrentStack;

// One stream as it is received, reached through NPStream::pdata.
struct Download {
    NPP instance = nullptr;
    const NPStream* stream = nullptr;
    std::string url;
    std::string localPath;  // the local copy, which names its cache entry; empty: bytes are dropped
    HANDLE file = INVALID_HANDLE_VALUE;
    bool cacheHit = false;        // the local copy is complete already: the first write ends the stream
    bool answersRequest = false;  // the file the queue head waits for
    int slot = kSlotCurrentStack;
    uint64_t written = 0;  // bytes the stream sent
};
std::vector<std::unique_ptr<Download>> g_downloads;

// The stack an embed was given, until the system opens it.
struct EmbedStack {
    NPP instance = nullptr;
    std::string url;
    bool waiting = false;
};
// A file of this machine a stack from the web was saved to in this run, with its site: read
// again by a move, the stack is still its site's guest.
struct GuestFile {
    std::string path;
    std::string site;
};
// Where stacks came from: the embeds' own, the files guests were saved to, and the open stack's
// origin, taken when it was read, which holds for its session (a Save As moves its file, not its
// origin).
struct StackOrigins {
    std::vector<EmbedStack> embeds;
    std::vector<GuestFile> savedGuests;
    uint32_t openSession = 0;
    bool openIsGuest = false;
    std::string openSite;
};
StackOrigins g_stacks;

bool CanOpenFile(const char* path) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
void RemoveFile(const char* path) { DeleteFileA(path); }

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

// The cache keeps its copies and index in its own folder, and deletes nothing elsewhere. The
// folder is asked each time, as the copies are made in the one it names now.
CacheFileOps FileOps() {
    static std::string folder;
    folder = CacheFolder();
    return {CanOpenFile, RemoveFile, folder};
}

std::string OpenStackPath() {
    if (!IsStackOpen())
        return {};
    char path[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    return path;
}

// The record of a stream this plug-in accepted; null for anything else, so that a stream the
// browser never announced, or one whose record is gone, is never written through.
Download* FindDownload(NPP instance, const NPStream* stream) {
    if (!instance || !stream || !stream->pdata)
        return nullptr;
    for (const auto& d : g_downloads)
        if (d.get() == stream->pdata && d->instance == instance && d->stream == stream)
            return d.get();
    return nullptr;
}

std::unique_ptr<Download> TakeDownload(Download* download) {
    auto it = std::find_if(g_downloads.begin(), g_downloads.end(), [&](const auto& d) { return d.get() == download; });
    if (it == g_downloads.end())
        return nullptr;
    std::unique_ptr<Download> taken = std::move(*it);
    g_downloads.erase(it);
    return taken;
}

// The download now writing the local copy of `url`, if any.
Download* FindWritingDownload(std::string_view url) {
    for (const auto& d : g_downloads)
        if (d->file != INVALID_HANDLE_VALUE && SameUrl(d->url, url))
            return d.get();
    return nullptr;
}

// Local files that eviction must leave: the open stack and every copy a stream still uses.
std::vector<std::string> PathsInUse() {
    std::vector<std::string> paths = {OpenStackPath()};
    for (const auto& d : g_downloads)
        if (!d->localPath.empty())
            paths.push_back(d->localPath);
    return paths;
}

DownloadCacheEntry* EntryOf(const Download& d) {
    if (!g_cache || d.localPath.empty())
        return nullptr;
    int i = FindCacheEntryByPath(*g_cache, d.localPath);
    return i < 0 ? nullptr : &g_cache->entries[i];
}

// A download cut off before its end is never taken for complete: its entry and partial file go,
// and the stream's later bytes are dropped. A cached copy only being read stays.
void DropDownload(Download& d) {
    if (d.file != INVALID_HANDLE_VALUE)
        CloseHandle(d.file);
    d.file = INVALID_HANDLE_VALUE;
    if (!d.localPath.empty() && !d.cacheHit && !(g_cache && ForgetCachedFile(*g_cache, d.localPath, FileOps())))
        RemoveFile(d.localPath.c_str());  // the index has gone already
    d.localPath.clear();
    d.cacheHit = false;
}

EmbedStack* FindEmbed(NPP instance) {
    auto it = std::find_if(g_stacks.embeds.begin(), g_stacks.embeds.end(),
                           [&](const EmbedStack& e) { return e.instance == instance; });
    return instance && it != g_stacks.embeds.end() ? &*it : nullptr;
}

void RememberEmbedStack(NPP instance, const std::string& url) {
    EmbedStack* embed = FindEmbed(instance);
    if (!embed)
        embed = &g_stacks.embeds.emplace_back();
    *embed = {instance, url, true};
}

// Creates the local copy for `url`, keeping a plain three-character extension of the remote
// file. Never truncates a file that exists: a taken name is given up for another.
HANDLE CreateLocalCopy(const std::string& folder, const char* url, std::string& path) {
    if (folder.empty())
        return INVALID_HANDLE_VALUE;
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

// Requests go out for the instance the system serves, so that their streams come back to it.
void AskBrowserFor(const std::string& url) {
    g_asked = {url, GetTickCount()};
    NPNetscapeFuncs* browser = GetBrowserFuncs();
    NPP instance = GetAttachedInstance() ? GetAttachedInstance() : GetPluginInstance();
    if (browser && browser->geturl && instance)
        browser->geturl(instance, url.c_str(), nullptr);
}

// The stream answering the request asked last has ended (arrived, cut off or refused).
void DoneAsking(const Download& d) {
    if (d.answersRequest && g_asked.coming && SameUrl(d.url, g_asked.url))
        g_asked = {};
}

// A file larger than one download may be is not kept: its partial copy goes, and the request it
// answered is given up (with the alert, by the periodic tick) so that the queue goes on.
void GiveUpTooLarge(Download& d) {
    DropDownload(d);
    if (d.answersRequest && SameUrl(d.url, g_asked.url))
        g_asked.tooLarge = true;
    d.answersRequest = false;
}

ArrivedDownload Arrival(const Download& d) {
    return {true, d.instance, d.url, d.slot, d.answersRequest};
}

// A requested file that will not arrive must not hold up the ones queued behind it. Nothing
// happens for a download that does not answer a request (or already arrived).
void RequestFailed(const Download& d) {
    DoneAsking(d);
    if (d.answersRequest && d.instance == GetAttachedInstance())
        StartNextQueuedRequest();
}

}  // namespace

std::string CacheFolder() {
    const std::string temp = TempFolder();
    if (temp.empty())
        return {};
    const std::string folder = temp + kDownloadCacheFolderName + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    // Only a folder of its own: not a file of that name, nor a link that leads elsewhere.
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    return folder;
}

DownloadCache* GetDownloadCache() { return g_cache.get(); }
const RequestQueue* GetRequestQueue() { return g_queue.get(); }
int TargetFileSlot() { return g_targetFileSlot; }

namespace {

// Whether a stack read from this file is a guest, and of which site.
bool FileIsFromTheWeb(const std::string& path, std::string* site) {
    const int copy = g_cache && !path.empty() ? FindCacheEntryByPath(*g_cache, path) : -1;
    if (copy >= 0) {
        if (site)
            site->assign(g_cache->entries[copy].url, strnlen(g_cache->entries[copy].url, kCachePathSize));
        return true;
    }
    for (const GuestFile& file : g_stacks.savedGuests)
        if (SameUrl(file.path, path)) {
            if (site)
                *site = file.site;
            return true;
        }
    // A file of the cache's folder the index has forgotten came from some site all the same.
    const std::string folder = CacheFolder();
    return !folder.empty() && IsInCacheFolder(folder, path);
}

}  // namespace

bool OpenStackIsFromTheWeb(std::string* site) {
    if (site)
        site->clear();
    if (!StackHasFile())
        return false;  // made here and never saved: this machine's
    if (g_stacks.openIsGuest && g_stacks.openSession == CurrentStackIdentity().session) {
        if (site)
            *site = g_stacks.openSite;
        return true;
    }
    return FileIsFromTheWeb(OpenStackPath(), site);
}

bool TakeOpenedStackOrigin() {
    g_stacks.openSession = CurrentStackIdentity().session;
    g_stacks.openIsGuest = false;
    g_stacks.openSite.clear();
    const std::string path = OpenStackPath();
    if (!StackHasFile() || path.empty())
        return false;
    g_stacks.openIsGuest = FileIsFromTheWeb(path, &g_stacks.openSite);
    const bool saved = std::any_of(g_stacks.savedGuests.begin(), g_stacks.savedGuests.end(),
                                   [&](const GuestFile& file) { return SameUrl(file.path, path); });
    return g_stacks.openIsGuest && !saved;
}

void NoteOpenStackSaved() {
    std::string site;
    const std::string path = OpenStackPath();
    if (path.empty() || !OpenStackIsFromTheWeb(&site) || (g_cache && FindCacheEntryByPath(*g_cache, path) >= 0))
        return;
    TrustStackFile(path.c_str());
    g_stacks.savedGuests.push_back({path, site});
}

void TrustStackFile(const char* path) {
    std::erase_if(g_stacks.savedGuests, [&](const GuestFile& file) { return path && SameUrl(file.path, path); });
}
void ClearRequestQueue() {
    if (g_queue)
        g_queue->count = 0;
}

void LoadCacheIndex() {
    if (g_cache)
        return;  // one index per module: a second instance shares it
    g_cache.reset(new (std::nothrow) DownloadCache);
    if (!g_cache)
        return;  // no cache this run
    g_cache->enabled = true;
    const std::string folder = CacheFolder();
    if (folder.empty())
        return;
    const std::string path = folder + kIndexFileName;
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
    const std::string folder = CacheFolder();
    if (folder.empty())
        return;
    std::vector<uint8_t> bytes = SerializeCacheIndex(*g_cache);
    const std::string path = folder + kIndexFileName;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

void FreeDownloadState() {
    // Other embeds' streams stay registered until the browser ends them; with no index left
    // their bytes are dropped.
    for (const auto& d : g_downloads)
        DropDownload(*d);
    g_cache.reset();
    g_queue.reset();
    g_asked = {};
    g_targetFileSlot = kSlotCurrentStack;
}

void ForgetSystemRequests() {
    ClearRequestQueue();
    g_asked = {};
    g_targetFileSlot = kSlotCurrentStack;
}

void ForgetInstanceDownloads(NPP instance) {
    for (const auto& d : g_downloads)
        if (d->instance == instance)
            DropDownload(*d);
    std::erase_if(g_downloads, [&](const auto& d) { return d->instance == instance; });
    std::erase_if(g_stacks.embeds, [&](const EmbedStack& e) { return e.instance == instance; });
}

void CloseAllDownloads() {
    for (const auto& d : g_downloads)
        DropDownload(*d);
    g_downloads.clear();
    g_stacks.embeds.clear();
}

bool BindCachedFile(const char* url, int slot) {
    const char* path = g_cache ? BindCachedFile(*g_cache, url) : nullptr;
    if (!path)
        return false;
    SetFileSpecFromPath(slot, path);
    // The copy keeps its address's name for whatever shows it: titles, dialogs, Save As.
    const std::string name = UrlFileName(url);
    if (FileSpec* spec = GetFileSpec(slot); spec && !name.empty())
        CopyPathText(name, spec->name, sizeof spec->name);
    return true;
}

bool AdoptEmbedAddress(NPP instance) {
    EmbedStack* embed = FindEmbed(instance);
    if (!embed)
        return false;
    ClearRequestQueue();
    return true;
}

bool BindWaitingEmbedStack(NPP instance, int slot) {
    EmbedStack* embed = FindEmbed(instance);
    if (!embed || !embed->waiting || !BindCachedFile(embed->url.c_str(), slot))
        return false;
    embed->waiting = false;
    return true;
}

void ForgetCachedFile(const char* path) {
    if (g_cache && path)
        ForgetCachedFile(*g_cache, path, FileOps());
}

bool StartNextQueuedRequest(PendingRequest* cached) {
    if (!g_queue || !AdvanceRequestQueue(*g_queue))
        return false;
    const PendingRequest& head = g_queue->records[0];
    if (cached && head.object == 0 && BindCachedFile(head.url, head.fileSlot)) {
        *cached = head;
        return true;
    }
    g_targetFileSlot = head.fileSlot;
    AskBrowserFor(head.url);
    return false;
}

bool GiveUpUnansweredRequest(uint32_t ms, std::string* lost, bool* stack) {
    if (g_asked.url.empty() || (!g_asked.tooLarge && GetTickCount() - g_asked.at < ms))
        return false;
    if (lost)
        *lost = UrlFileName(g_asked.url);
    if (stack)
        *stack = IsStackUrl(g_asked.url);
    // A stream that started and stopped sending is cut off: its partial copy goes, and what it
    // still sends is taken and dropped.
    for (const auto& d : g_downloads) {
        if (d->answersRequest && SameUrl(d->url, g_asked.url)) {
            DropDownload(*d);
            d->answersRequest = false;
        }
    }
    g_asked = {};
    return true;
}

int RequestFileFor(const PendingContext& context, const FileRequest& request, int fileSlot) {
    char slotPath[MAX_PATH] = {};
    GetFileSpecPath(request.slot, sizeof slotPath, slotPath);
    std::string url, site;
    const bool fromTheWeb = OpenStackIsFromTheWeb(&site);
    // A path kept while a web stack was open (its history, its favourites) names the local copy:
    // the copy's own address is asked for, not a file of the copy's name beside this stack. A
    // stack from the web gets only its own site's copies that way: naming another site's copy
    // (the names are guessable) asks its own site for a file of that name.
    const int copy = g_cache ? FindCacheEntryByPath(*g_cache, slotPath) : -1;
    if (copy >= 0 && (!fromTheWeb || SameSite(g_cache->entries[copy].url, site)))
        url = g_cache->entries[copy].url;
    else if (!fromTheWeb)
        return kStackFilesAreHere;  // this machine's stack finds its files on this machine
    else if (!MakeSiblingUrl(site, slotPath, url))
        return 0;  // no stack address to ask beside: nothing is requested
    if (request.flags & kRequestKeptOnly)
        return BindCachedFile(url.c_str(), fileSlot) ? 1 : 0;
    if (context.objectLayer == 0 && BindCachedFile(url.c_str(), fileSlot))
        return 1;
    if (!IsStackUrl(url)) {
        if (!g_queue)
            g_queue.reset(new (std::nothrow) RequestQueue);
        const int32_t before = g_queue ? g_queue->count : 0;
        if (!g_queue || !EnqueueRequest(*g_queue, context, url, static_cast<uint16_t>(fileSlot)))
            return 0;
        if (g_queue->count == before) {
            // The same request waits already: asked for once, unless the site has not answered
            // for a while (the file may have been put there since); one coming is waited for.
            if (SameUrl(g_asked.url, url) && !g_asked.coming && GetTickCount() - g_asked.at >= kAskAgainMs)
                AskBrowserFor(url);
            return 0;
        }
    } else {
        ClearRequestQueue();
    }
    if (g_queue && g_queue->count > 1)
        return 0;  // the head is still downloading; this one waits its turn
    g_targetFileSlot = fileSlot;
    AskBrowserFor(url);
    return 0;
}


NPError StartDownloadStream(NPP instance, NPStream* stream) {
    if (!instance || !instance->pdata)
        return NPERR_INVALID_INSTANCE_ERROR;
    if (!stream || !stream->url)
        return NPERR_GENERIC_ERROR;
    if (Download* again = FindDownload(instance, stream)) {  // announced twice: start over
        DropDownload(*again);
        TakeDownload(again);
    }
    stream->pdata = nullptr;
    auto d = std::make_unique<Download>();
    d->instance = instance;
    d->stream = stream;
    d->url = stream->url;
    const bool forSystem = instance == GetAttachedInstance();
    const bool answers = forSystem && !g_asked.coming && !g_asked.url.empty() && SameUrl(d->url, g_asked.url);
    if (IsStackUrl(d->url)) {
        // An embed's own stack is the first the browser gives it. Another stack a move asked for
        // is not: the move opens it; nor is one that comes after its request was given up (the
        // move is over), which is only kept in the cache.
        const bool embedsOwn = !answers && !FindEmbed(instance);
        if (embedsOwn)
            RememberEmbedStack(instance, d->url);
        if (forSystem && (answers || embedsOwn))
            ClearRequestQueue();
    }
    if (answers) {
        d->answersRequest = true;
        d->slot = g_targetFileSlot;
        g_asked.coming = true;
        g_asked.at = GetTickCount();
        g_asked.sinceAt = 0;
    }
    if (stream->end > kMaxDownloadBytes) {
        GiveUpTooLarge(*d);
        return NPERR_GENERIC_ERROR;  // the browser drops the stream
    }
    // One local copy per address. The system's stream takes it over from another embed's;
    // any other stream of an address being written takes its bytes and drops them.
    if (Download* writing = FindWritingDownload(d->url)) {
        if (forSystem && writing->instance != instance) {
            DropDownload(*writing);
        } else {
            if (d->answersRequest) {  // the copy being written serves the request
                writing->answersRequest = true;
                writing->slot = d->slot;
                d->answersRequest = false;
            }
            stream->pdata = d.get();
            g_downloads.push_back(std::move(d));
            return NPERR_NO_ERROR;
        }
    }
    if (g_cache && LookupCacheEntry(*g_cache, d->url, stream->lastmodified, FileOps())) {
        d->cacheHit = true;
        d->localPath = g_cache->entries[FindCacheEntry(*g_cache, d->url)].localPath;
    } else if (g_cache) {
        std::string path;
        HANDLE file = CreateLocalCopy(CacheFolder(), d->url.c_str(), path);
        if (file == INVALID_HANDLE_VALUE) {
            RequestFailed(*d);  // the browser drops the stream
            return NPERR_GENERIC_ERROR;
        }
        if (AddCacheEntry(*g_cache, d->url, path, stream->lastmodified, stream->end, FileOps(), PathsInUse())) {
            d->file = file;
            d->localPath = path;
        } else {
            CloseHandle(file);  // no entry would ever lead to it
            RemoveFile(path.c_str());
        }
    }
    stream->pdata = d.get();
    g_downloads.push_back(std::move(d));
    return NPERR_NO_ERROR;
}

int32_t WriteDownloadStream(NPP instance, NPStream* stream, int32_t len, void* buffer, ArrivedDownload* arrived) {
    Download* d = FindDownload(instance, stream);
    if (!d)
        return -1;  // not a stream this plug-in took: end it
    if (d->cacheHit) {
        // The cached copy is used: verified for this run, bound and opened; the stream ends.
        const Download arrived_ = *d;
        DoneAsking(arrived_);
        d->cacheHit = false;
        d->localPath.clear();
        d->answersRequest = false;
        DownloadCacheEntry* entry = EntryOf(arrived_);
        if (entry && MarkDownloadComplete(*entry))
            *arrived = Arrival(arrived_);
        else
            RequestFailed(arrived_);
        return -1;
    }
    if (len <= 0)
        return 0;
    d->written += static_cast<uint32_t>(len);
    if (d->written > kMaxDownloadBytes) {
        GiveUpTooLarge(*d);
        return -1;  // the stream ends here
    }
    if (d->file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (buffer && WriteFile(d->file, buffer, static_cast<DWORD>(len), &written, nullptr) &&
            written == static_cast<DWORD>(len)) {
            if (DownloadCacheEntry* entry = EntryOf(*d))
                AddReceivedBytes(*entry, static_cast<uint32_t>(len));
            // Still coming, when enough came since the last time it was.
            if (d->answersRequest && g_asked.coming && (g_asked.sinceAt += static_cast<uint32_t>(len)) >= kLeastBytesPerWait) {
                g_asked.at = GetTickCount();
                g_asked.sinceAt = 0;
            }
        } else {
            DropDownload(*d);  // a short file must never pass for a complete one
        }
    }
    return len;
}

NPError EndDownloadStream(NPP instance, NPStream* stream, NPError reason, ArrivedDownload* arrived) {
    if (!instance)
        return NPERR_INVALID_INSTANCE_ERROR;
    std::unique_ptr<Download> d = TakeDownload(FindDownload(instance, stream));
    if (!d)
        return NPERR_NO_ERROR;
    stream->pdata = nullptr;
    DoneAsking(*d);
    if (d->cacheHit && reason == kStreamDone) {
        // An empty cached file gets no write to end it.
        DownloadCacheEntry* entry = EntryOf(*d);
        if (entry && MarkDownloadComplete(*entry))
            *arrived = Arrival(*d);
        else
            RequestFailed(*d);
        return NPERR_NO_ERROR;
    }
    if (d->file == INVALID_HANDLE_VALUE) {  // a cached copy already used, or bytes dropped
        RequestFailed(*d);
        return NPERR_NO_ERROR;
    }
    CloseHandle(d->file);
    d->file = INVALID_HANDLE_VALUE;
    DownloadCacheEntry* entry = EntryOf(*d);
    if (reason != kStreamDone || !entry || !MarkDownloadComplete(*entry)) {
        DropDownload(*d);  // cut short: never taken for complete
        RequestFailed(*d);
        return NPERR_NO_ERROR;
    }
    // Room is made for it now that it is here, and only as far as one file may take.
    if (const int index = FindCacheEntryByPath(*g_cache, d->localPath); index >= 0)
        MakeRoomForArrival(*g_cache, index, static_cast<uint32_t>(d->written), FileOps(), PathsInUse());
    *arrived = Arrival(*d);
    return NPERR_NO_ERROR;
}
