// Streams from the browser, the download file each one fills, the cache index kept across runs
// and the queue of files asked of the browser (their records live in DownloadCache.h). The
// browser's stream handlers (host/browser/BrowserStreams_win.cpp) pass each stream here and hand
// what arrived to the player (host/player/DownloadReplay.h), which knows what it was for.
//
// Every stream has its own download record, reached through NPStream::pdata: its local file,
// its URL and its cache entry. Several embeds may stream at once; only the instance the system
// is attached to opens a stack or replays requests, the others' downloads are only cached.
#pragma once

#include <cstdint>
#include <string>

#include "host/downloads/DownloadCache.h"
#include "host/downloads/NpInterface.h"

struct FileRequest;

// A download whose bytes are all in its local copy (or whose cached copy proved good).
struct ArrivedDownload {
    bool arrived = false;
    NPP instance = nullptr;
    std::string url;
    int slot = 0;                 // the file-spec slot a request asked it into
    bool answersRequest = false;  // the file the queue head waited for
};

// The stream handlers' work: a new stream gets its download record (and local copy); its bytes
// are written; its end completes or drops the copy. *arrived is filled when the download is
// complete now.
NPError StartDownloadStream(NPP instance, NPStream* stream);
int32_t WriteDownloadStream(NPP instance, NPStream* stream, int32_t len, void* buffer, ArrivedDownload* arrived);
NPError EndDownloadStream(NPP instance, NPStream* stream, NPError reason, ArrivedDownload* arrived);

// The cache's own folder, "Pageloom Cache" in the temporary folder (made when missing), ending
// in a separator: the index and the copies live there, and nothing outside it is ever deleted.
// Empty when it cannot be made (or is a link elsewhere): then nothing is cached.
std::string CacheFolder();
// The index in "LOOMA.LOG" of the cache's folder: loaded once per module, saved at shut-down.
void LoadCacheIndex();
void SaveCacheIndex();
// Index, queue and URLs go; downloads still under way are cut off (their partial files
// deleted) and their streams' later bytes are taken and dropped. The target slot goes back to 1.
void FreeDownloadState();
// The closing page's requests forgotten while another page starts in the same run: the cache and
// the other embeds' streams stay for it.
void ForgetSystemRequests();
DownloadCache* GetDownloadCache();  // null when no index is loaded
// The instance's own downloads are cut off and its embed forgotten (NPP_Destroy); nothing of
// another instance is touched.
void ForgetInstanceDownloads(NPP instance);
void CloseAllDownloads();  // NP_Shutdown: every download file is closed

// The stack an embed was given: its address becomes the base of later requests (the queue is
// emptied); false when the instance was given none.
bool AdoptEmbedAddress(NPP instance);
// The embed's stack, when it is still waiting and a copy of it is verified in this run, is bound
// into the slot (once: it no longer waits).
bool BindWaitingEmbedStack(NPP instance, int slot);

// Where the open stack came from: a stack read from a copy in the cache came from the web, and
// `site` (when given) gets the address it was downloaded from (empty when the index no longer
// knows it, so that nothing is asked of any site); any other file, and a stack without one, is
// this machine's. Names the stack carries resolve there, whatever was opened before. A stack from
// the web stays a guest until the person opens its file with the Open command: saved to a file
// of this machine (Save As of its copy), and read again from that file by a move (Back, a
// favourite, a jump), it still asks its site for what it names and reaches outside only on the
// person's act.
bool OpenStackIsFromTheWeb(std::string* site = nullptr);
// The stack just read takes its origin from its file (above); true when that file is a copy in
// the cache, which is never the author's file.
bool TakeOpenedStackOrigin();
// The open stack was saved to the file slot 1 names: a guest's file stays its site's.
void NoteOpenStackSaved();
// The person chose this file with the Open command: read from it, a stack is this machine's.
void TrustStackFile(const char* path);

int TargetFileSlot();
// Module-cache forms of the index operations: `BindCachedFile` puts the local copy's path
// into the file-spec slot, and the address's file name (`UrlFileName`) as the slot's name.
bool BindCachedFile(const char* url, int slot);
void ForgetCachedFile(const char* path);
// A file the stack names beside itself, asked for with the context of what needs it: 1 when
// local now (bound into `fileSlot`), 0 when asked for or queued (the context is queued with it).
// A layer's file is always asked for: its arrival reloads the layer.
int RequestFileFor(const PendingContext& context, const FileRequest& request, int fileSlot);
// Drops the queue's head and asks for the next one's file; when cached is given and that file is
// in the cache already, it is bound to its slot instead and the request copied there (true), to
// be replayed at once: asking the browser again would fetch it twice.
bool StartNextQueuedRequest(PendingRequest* cached = nullptr);
void ClearRequestQueue();
// The file asked of the browser last, when no stream has come for it for `ms` or more, or its
// stream started and has sent less than 4 KB in that long (a stream that stopped, or drips), or
// it announced or sent more than kMaxDownloadBytes: it is no longer waited for (its stream is cut
// off, its partial copy dropped), its name (the address's last part) goes to `lost`, and *stack
// tells whether it was a stack. The caller drops the queue head it was for. Its stream, if it
// comes later, answers nothing. False when nothing has waited that long.
bool GiveUpUnansweredRequest(uint32_t ms, std::string* lost, bool* stack = nullptr);
const RequestQueue* GetRequestQueue();
