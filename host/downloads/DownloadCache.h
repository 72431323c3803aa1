// The download cache index ("LOOMA.LOG") and the queue of files asked of the browser.
// Platform-neutral: the records, their file form, eviction and URL arithmetic. File system
// effects (does a local copy open, delete it) go through CacheFileOps so tests can watch them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/events/ActionOrigin.h"

// The cache's limits, its entries' sizes, and the queue's limit. One download may be as large as
// the whole cache, no larger; a download that announces or sends more is given up.
inline constexpr int kMaxCacheEntries = 50;
inline constexpr uint32_t kMaxCacheBytes = 15000000;
inline constexpr uint32_t kMaxDownloadBytes = kMaxCacheBytes;
inline constexpr size_t kCacheEntrySize = 542, kCachePathSize = 260;
inline constexpr int kMaxPendingRequests = 50;

struct DownloadCacheEntry {
    char url[kCachePathSize];
    char localPath[kCachePathSize];
    uint32_t lastModified;
    uint16_t useSequence;
    uint32_t expectedSize;
    uint32_t receivedSize;
    uint32_t complete;
    uint32_t verifiedThisRun;
};

struct DownloadCache {
    bool enabled = false;  // false: no index this run; every lookup misses, nothing is kept
    int16_t count = 0;
    uint16_t useCounter = 0;
    DownloadCacheEntry entries[kMaxCacheEntries] = {};
};

// The cache's folder ends in a separator; only files directly inside it are ever removed, so an
// index naming any other file (one edited, damaged or from elsewhere) costs only its entry.
struct CacheFileOps {
    bool (*canOpen)(const char* path);
    void (*remove)(const char* path);
    std::string_view folder;
};
// Whether the path names a file directly inside the folder (case and separator kind ignored):
// a plain name after it, without separators, drive or stream colons, and not "." or "..".
bool IsInCacheFolder(std::string_view folder, std::string_view path);

// Index file form: i16 count, then count records of 542 bytes, little-endian.
// A count below 0 or above 50, or a file shorter than its count says, reads as an empty index.
void ParseCacheIndex(std::span<const uint8_t> bytes, DownloadCache& cache);
std::vector<uint8_t> SerializeCacheIndex(const DownloadCache& cache);

bool SameUrl(std::string_view a, std::string_view b);  // ASCII case-insensitive, whole string
// Whether two addresses are of one site: the same scheme and host (with its port), case ignored;
// false for an address without "scheme://host".
bool SameSite(std::string_view a, std::string_view b);
bool IsStackUrl(std::string_view url);
int FindCacheEntry(const DownloadCache& cache, std::string_view url);
int FindCacheEntryByPath(const DownloadCache& cache, std::string_view localPath);
void RemoveCacheEntry(DownloadCache& cache, int index);

// `keepPaths` name local files in use (the open stack, downloads still being written): their
// entries are never evicted.
bool LookupCacheEntry(DownloadCache& cache, std::string_view url, uint32_t lastModified, const CacheFileOps& ops);
// A new download's entry. Nothing is evicted for its bytes before they have arrived (a size only
// announced, or a stream that stops, costs no other file): only a full index gives up one entry
// for the new one. False, and nothing added, when the announced size is past kMaxDownloadBytes.
bool AddCacheEntry(DownloadCache& cache, std::string_view url, std::string_view localPath, uint32_t lastModified,
                   uint32_t expectedSize, const CacheFileOps& ops, const std::vector<std::string>& keepPaths = {});
bool EvictCacheEntry(DownloadCache& cache, const CacheFileOps& ops, const std::vector<std::string>& keepPaths = {});
// The entry at `index` has arrived with `size` bytes: older entries are evicted, least used first,
// while the cache holds more than kMaxCacheBytes, but one file never empties it: the last other
// complete entry stays. The number evicted.
int MakeRoomForArrival(DownloadCache& cache, int index, uint32_t size, const CacheFileOps& ops,
                       const std::vector<std::string>& keepPaths = {});
// One entry (a download knows its own entry by the local path), or every entry of `url`.
void AddReceivedBytes(DownloadCacheEntry& entry, uint32_t count);
bool MarkDownloadComplete(DownloadCacheEntry& entry);  // true when all expected bytes arrived
void AddReceivedBytes(DownloadCache& cache, std::string_view url, uint32_t count);
void MarkDownloadComplete(DownloadCache& cache, std::string_view url);
// The local path of the verified, complete entry of `url`, stamped with the next use sequence;
// null when there is none.
const char* BindCachedFile(DownloadCache& cache, std::string_view url);
// Drops the entry of a downloaded file and deletes the file; a file without an entry is not ours
// and is left alone. True when an entry was found.
bool ForgetCachedFile(DownloadCache& cache, std::string_view path, const CacheFileOps& ops);

// The name for a new local copy: the temporary name with the URL's extension when the URL ends
// in '.' and three letters or digits; else the temporary name unchanged.
std::string CacheFileNameFor(std::string_view tempName, std::string_view url);

// The file name the user knows a download by: the address's last part without its query or
// fragment, %-escapes decoded, a character no file name may hold as '_'; "" when it has none.
// "http://h/d/My%20Demo.stk?x=1" gives "My Demo.stk".
std::string UrlFileName(std::string_view url);
// %XX escapes (either case of hex digit) made the characters they stand for; a '%' not followed
// by two hex digits stays as it is.
std::string DecodePercentEscapes(std::string_view text);

// Base "http://h/d/s.stk" and slot path "C:\x\pic.bmp" give "http://h/d/pic.bmp". False when
// there is no base, no '/' after its first character, or the result would not fit 260 bytes.
bool MakeSiblingUrl(std::string_view baseUrl, std::string_view slotPath, std::string& url);

// What a file asked of the browser was for, and so what its arrival does.
enum PendingKind : uint16_t {
    kPendingNothing = 0,       // nothing waits for it
    kPendingButtonAction = 1,  // one action of a button runs (buttonId, actionBit)
    kPendingNamedAction = 2,   // one action of an 'Actn' resource runs (actionId, actionBit)
    kPendingLayer = 3,         // the object layer being built reloads its picture or text
    kPendingStill = 4,         // the card whose start frames were drawn shows its stills
};

// A download the browser is asked for, and what to replay when it arrives.
struct PendingRequest {
    char url[kCachePathSize];
    uint16_t kind;  // PendingKind
    uint32_t object;
    uint16_t buttonId;
    uint16_t actionId;
    ActionOrigin origin;  // kinds 1 and 2: who started the actions
    uint16_t fileSlot;
    char label[256];
    uint16_t actionBit;  // kinds 1 and 2: the one action that needed the file
    uint16_t cardId;     // kind 1: the card record holding the button; kinds 3 and 4: the card drawn
};

// The work now running that a file asked for would be for.
struct PendingContext {
    uint16_t kind = 0;
    uint16_t buttonId = 0;
    ActionOrigin origin;
    uint16_t actionId = 0;
    char label[256] = {};
    uint32_t objectLayer = 0;
    uint16_t actionBit = 0;
    uint16_t cardId = 0;
};

struct RequestQueue {
    int32_t count = 0;
    PendingRequest records[kMaxPendingRequests] = {};
};

// Appends a record made from the context unless the same one waits already; false (nothing
// recorded) when 50 are queued.
bool EnqueueRequest(RequestQueue& queue, const PendingContext& context, std::string_view url, uint16_t fileSlot);
// Drops the head; true when another request is now at the head.
bool AdvanceRequestQueue(RequestQueue& queue);
