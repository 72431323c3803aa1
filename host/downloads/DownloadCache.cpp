// Download cache index records, eviction and the request queue.
#include "host/downloads/DownloadCache.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"

namespace {

// Copies into a fixed field, always terminated; false when the text did not fit.
bool CopyField(char (&field)[kCachePathSize], std::string_view text) {
    std::memset(field, 0, sizeof field);
    if (text.size() >= sizeof field)
        return false;
    std::memcpy(field, text.data(), text.size());
    return true;
}

// A text field of the index file: kept up to its first NUL, always terminated in memory.
void ReadField(ByteReader& r, char (&field)[kCachePathSize]) {
    std::span<const uint8_t> bytes = r.Bytes(kCachePathSize);
    std::memset(field, 0, sizeof field);
    if (!bytes.empty())
        std::memcpy(field, bytes.data(), kCachePathSize - 1);
}

void WriteField(ByteWriter& w, const char (&field)[kCachePathSize]) {
    w.Bytes({reinterpret_cast<const uint8_t*>(field), kCachePathSize});
}

bool IsKept(std::string_view localPath, const std::vector<std::string>& keepPaths) {
    return std::any_of(keepPaths.begin(), keepPaths.end(),
                       [&](const std::string& kept) { return !kept.empty() && SameUrl(localPath, kept); });
}

bool IsAlnumAscii(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Removes a copy the cache made, and nothing outside the cache's folder.
void RemoveCopy(const CacheFileOps& ops, const char* path) {
    if (IsInCacheFolder(ops.folder, path))
        ops.remove(path);
}

}  // namespace

bool IsInCacheFolder(std::string_view folder, std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (folder.empty() || !separator(folder.back()) || path.size() <= folder.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        const char a = folder[i], b = path[i];
        if (separator(a) ? !separator(b) : !EqualAsciiNoCase(std::string_view(&a, 1), std::string_view(&b, 1)))
            return false;
    }
    const std::string_view name = path.substr(folder.size());
    if (name == "." || name == ".." || name.find_first_of("\\/:") != std::string_view::npos)
        return false;
    return name.find('\0') == std::string_view::npos;
}

void ParseCacheIndex(std::span<const uint8_t> bytes, DownloadCache& cache) {
    cache.count = 0;
    cache.useCounter = 0;
    std::memset(cache.entries, 0, sizeof cache.entries);
    ByteReader r(bytes);
    const int16_t count = r.I16LE();
    if (!r.ok() || count < 0 || count > kMaxCacheEntries || r.remaining() < count * kCacheEntrySize)
        return;
    for (int i = 0; i < count; ++i) {
        DownloadCacheEntry& e = cache.entries[i];
        ReadField(r, e.url);
        ReadField(r, e.localPath);
        e.lastModified = r.U32LE();
        r.U16LE();  // the use sequence counts within one run only
        e.expectedSize = r.U32LE();
        e.receivedSize = std::min(r.U32LE(), e.expectedSize);
        e.complete = r.U32LE();
        r.U32LE();  // verified again before use in this run
        if (!r.ok()) {
            std::memset(cache.entries, 0, sizeof cache.entries);
            return;
        }
    }
    cache.count = count;
}

std::vector<uint8_t> SerializeCacheIndex(const DownloadCache& cache) {
    std::vector<uint8_t> out;
    out.reserve(2 + cache.count * kCacheEntrySize);
    ByteWriter w(out);
    w.U16LE(static_cast<uint16_t>(cache.count));
    for (int i = 0; i < cache.count; ++i) {
        const DownloadCacheEntry& e = cache.entries[i];
        WriteField(w, e.url);
        WriteField(w, e.localPath);
        w.U32LE(e.lastModified);
        w.U16LE(e.useSequence);
        w.U32LE(e.expectedSize);
        w.U32LE(e.receivedSize);
        w.U32LE(e.complete);
        w.U32LE(e.verifiedThisRun);
    }
    return out;
}

bool SameUrl(std::string_view a, std::string_view b) { return EqualAsciiNoCase(a, b); }

namespace {

// "scheme://host:port" of an address; empty when it has no scheme and host.
std::string_view SiteOf(std::string_view url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string_view::npos || scheme == 0)
        return {};
    const size_t end = url.find_first_of("/?#\\", scheme + 3);
    const std::string_view site = url.substr(0, end);
    return site.size() > scheme + 3 ? site : std::string_view{};
}

}  // namespace

bool SameSite(std::string_view a, std::string_view b) {
    const std::string_view siteA = SiteOf(a), siteB = SiteOf(b);
    return !siteA.empty() && SameUrl(siteA, siteB);
}

bool IsStackUrl(std::string_view url) {
    return url.size() >= 5 && SameUrl(url.substr(url.size() - 4), ".stk");
}

int FindCacheEntry(const DownloadCache& cache, std::string_view url) {
    for (int i = 0; i < cache.count; ++i)
        if (SameUrl(cache.entries[i].url, url))
            return i;
    return -1;
}

void RemoveCacheEntry(DownloadCache& cache, int index) {
    if (index < 0 || index >= cache.count)
        return;
    std::memmove(&cache.entries[index], &cache.entries[index + 1],
                 (cache.count - index - 1) * sizeof(DownloadCacheEntry));
    --cache.count;
    std::memset(&cache.entries[cache.count], 0, sizeof(DownloadCacheEntry));
}

bool LookupCacheEntry(DownloadCache& cache, std::string_view url, uint32_t lastModified, const CacheFileOps& ops) {
    if (!cache.enabled)
        return false;
    int i = FindCacheEntry(cache, url);
    if (i < 0)
        return false;
    DownloadCacheEntry& e = cache.entries[i];
    // A copy is the cache's own only inside its folder: whatever else an index names is stale.
    if (e.lastModified == lastModified && e.complete != 0 && IsInCacheFolder(ops.folder, e.localPath) &&
        ops.canOpen(e.localPath))
        return true;
    RemoveCopy(ops, e.localPath);
    RemoveCacheEntry(cache, i);
    return false;
}

int FindCacheEntryByPath(const DownloadCache& cache, std::string_view localPath) {
    for (int i = 0; i < cache.count; ++i)
        if (SameUrl(cache.entries[i].localPath, localPath))
            return i;
    return -1;
}

bool EvictCacheEntry(DownloadCache& cache, const CacheFileOps& ops, const std::vector<std::string>& keepPaths) {
    int victim = -1;
    for (int i = 0; i < cache.count; ++i) {
        const DownloadCacheEntry& e = cache.entries[i];
        if (IsKept(e.localPath, keepPaths))
            continue;
        if (victim < 0 || e.useSequence < cache.entries[victim].useSequence || e.complete == 0)
            victim = i;
    }
    if (victim < 0)
        return false;
    RemoveCopy(ops, cache.entries[victim].localPath);
    RemoveCacheEntry(cache, victim);
    return true;
}

bool AddCacheEntry(DownloadCache& cache, std::string_view url, std::string_view localPath, uint32_t lastModified,
                   uint32_t expectedSize, const CacheFileOps& ops, const std::vector<std::string>& keepPaths) {
    if (!cache.enabled || url.size() >= kCachePathSize || localPath.size() >= kCachePathSize)
        return false;
    if (expectedSize > kMaxDownloadBytes)
        return false;
    if (cache.count >= kMaxCacheEntries && !EvictCacheEntry(cache, ops, keepPaths))
        return false;
    DownloadCacheEntry& e = cache.entries[cache.count];
    std::memset(&e, 0, sizeof e);
    CopyField(e.url, url);
    CopyField(e.localPath, localPath);
    e.lastModified = lastModified;
    e.expectedSize = expectedSize;
    ++cache.count;
    return true;
}

int MakeRoomForArrival(DownloadCache& cache, int index, uint32_t size, const CacheFileOps& ops,
                       const std::vector<std::string>& keepPaths) {
    if (index < 0 || index >= cache.count)
        return 0;
    const std::string arrived(cache.entries[index].localPath, strnlen(cache.entries[index].localPath, kCachePathSize));
    std::vector<std::string> kept = keepPaths;
    kept.push_back(arrived);
    int evicted = 0;
    while (true) {
        uint64_t total = size;
        int evictable = 0;  // complete entries of other files that may go
        for (int i = 0; i < cache.count; ++i) {
            const DownloadCacheEntry& e = cache.entries[i];
            if (SameUrl(e.localPath, arrived))
                continue;
            total += e.expectedSize;
            evictable += e.complete != 0 && !IsKept(e.localPath, keepPaths) ? 1 : 0;
        }
        if (total <= kMaxCacheBytes || evictable <= 1 || !EvictCacheEntry(cache, ops, kept))
            return evicted;
        ++evicted;
    }
}

void AddReceivedBytes(DownloadCacheEntry& e, uint32_t count) {
    e.receivedSize = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(e.receivedSize) + count, e.expectedSize));
}

bool MarkDownloadComplete(DownloadCacheEntry& e) {
    if (e.receivedSize < e.expectedSize)
        return false;
    e.complete = 1;
    e.verifiedThisRun = 1;
    return true;
}

void AddReceivedBytes(DownloadCache& cache, std::string_view url, uint32_t count) {
    for (int i = 0; i < cache.count; ++i)
        if (SameUrl(cache.entries[i].url, url))
            AddReceivedBytes(cache.entries[i], count);
}

void MarkDownloadComplete(DownloadCache& cache, std::string_view url) {
    for (int i = 0; i < cache.count; ++i)
        if (SameUrl(cache.entries[i].url, url))
            MarkDownloadComplete(cache.entries[i]);
}

const char* BindCachedFile(DownloadCache& cache, std::string_view url) {
    for (int i = 0; i < cache.count; ++i) {
        DownloadCacheEntry& e = cache.entries[i];
        if (SameUrl(e.url, url) && e.complete == 1 && e.verifiedThisRun == 1) {
            e.useSequence = ++cache.useCounter;
            return e.localPath;
        }
    }
    return nullptr;
}

bool ForgetCachedFile(DownloadCache& cache, std::string_view path, const CacheFileOps& ops) {
    int i = FindCacheEntryByPath(cache, path);
    if (i < 0)
        return false;
    RemoveCopy(ops, cache.entries[i].localPath);
    RemoveCacheEntry(cache, i);
    return true;
}

std::string CacheFileNameFor(std::string_view tempName, std::string_view url) {
    std::string name(tempName);
    if (url.size() < 5 || url[url.size() - 4] != '.' || name.size() < 4 || name[name.size() - 4] != '.')
        return name;
    std::string_view ext = url.substr(url.size() - 3);
    if (!std::all_of(ext.begin(), ext.end(), IsAlnumAscii))
        return name;
    name.replace(name.size() - 3, 3, ext);
    return name;
}

std::string DecodePercentEscapes(std::string_view text) {
    const auto hex = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            c = static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        }
        decoded += c;
    }
    return decoded;
}

std::string UrlFileName(std::string_view url) {
    url = url.substr(0, url.find_first_of("?#"));
    const size_t slash = url.find_last_of('/');
    if (slash != std::string_view::npos)
        url = url.substr(slash + 1);
    else if (url.find(':') != std::string_view::npos)
        return {};  // a scheme or a drive, no name
    std::string name;
    for (const char c : DecodePercentEscapes(url)) {
        const bool refused = static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        name += refused ? '_' : c;
    }
    return name;
}

bool MakeSiblingUrl(std::string_view baseUrl, std::string_view slotPath, std::string& url) {
    url.clear();
    size_t slash = baseUrl.size() > 1 ? baseUrl.find_last_of('/') : std::string_view::npos;
    if (slash == std::string_view::npos || slash == 0)
        return false;
    size_t backslash = slotPath.size() > 1 ? slotPath.find_last_of('\\') : std::string_view::npos;
    std::string_view name = (backslash == std::string_view::npos || backslash == 0) ? slotPath : slotPath.substr(backslash + 1);
    if (name.empty() || slash + 1 + name.size() >= kCachePathSize)
        return false;
    url.assign(baseUrl.substr(0, slash + 1));
    url.append(name);
    return true;
}

namespace {

bool SameRequest(const PendingRequest& a, const PendingRequest& b) {
    return a.kind == b.kind && a.object == b.object && a.buttonId == b.buttonId && a.actionId == b.actionId &&
           a.origin == b.origin && a.fileSlot == b.fileSlot && a.actionBit == b.actionBit && a.cardId == b.cardId &&
           std::strcmp(a.url, b.url) == 0 && std::strcmp(a.label, b.label) == 0;
}

}  // namespace

bool EnqueueRequest(RequestQueue& queue, const PendingContext& context, std::string_view url, uint16_t fileSlot) {
    if (queue.count >= kMaxPendingRequests || url.size() >= kCachePathSize)
        return false;
    PendingRequest& r = queue.records[queue.count];
    r = PendingRequest{};
    CopyField(r.url, url);
    r.kind = context.kind;
    r.object = context.objectLayer;
    r.buttonId = context.buttonId;
    r.actionId = context.actionId;
    r.origin = context.origin;
    r.fileSlot = fileSlot;
    r.actionBit = context.actionBit;
    r.cardId = context.cardId;
    std::memcpy(r.label, context.label, sizeof r.label);
    r.label[sizeof r.label - 1] = 0;
    // A card drawn again while its file is on the way asks again for the same: once is enough.
    for (int32_t i = 0; i < queue.count; ++i)
        if (SameRequest(queue.records[i], r)) {
            r = PendingRequest{};
            return true;
        }
    ++queue.count;
    return true;
}

bool AdvanceRequestQueue(RequestQueue& queue) {
    if (queue.count > 0)
        --queue.count;
    if (queue.count == 0)
        return false;
    std::copy(queue.records + 1, queue.records + queue.count + 1, queue.records);
    queue.records[queue.count] = PendingRequest{};
    return true;
}
