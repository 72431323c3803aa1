// Download cache index records, eviction and the request queue.
#include "host/DownloadCache.h"

#include <algorithm>
#include <cstring>

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Copies into a fixed field, always terminated; false when the text did not fit.
bool CopyField(char (&field)[kCachePathSize], std::string_view text) {
    std::memset(field, 0, sizeof field);
    if (text.size() >= sizeof field)
        return false;
    std::memcpy(field, text.data(), text.size());
    return true;
}

uint32_t U32LE(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void PutU32LE(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutU16LE(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

uint32_t TotalExpected(const DownloadCache& cache) {
    uint64_t total = 0;
    for (int i = 0; i < cache.count; ++i)
        total += cache.entries[i].expectedSize;
    return static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX));
}

bool IsAlnumAscii(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

void ParseCacheIndex(std::span<const uint8_t> bytes, DownloadCache& cache) {
    cache.count = 0;
    cache.useCounter = 0;
    std::memset(cache.entries, 0, sizeof cache.entries);
    if (bytes.size() < 2)
        return;
    auto count = static_cast<int16_t>(U16LE(bytes.data()));
    if (count < 0 || count > kMaxCacheEntries || bytes.size() < 2 + count * kCacheEntrySize)
        return;
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = bytes.data() + 2 + i * kCacheEntrySize;
        DownloadCacheEntry& e = cache.entries[i];
        std::memcpy(e.url, p, kCachePathSize);
        std::memcpy(e.localPath, p + 260, kCachePathSize);
        e.url[kCachePathSize - 1] = 0;
        e.localPath[kCachePathSize - 1] = 0;
        e.lastModified = U32LE(p + 520);
        e.useSequence = 0;
        e.expectedSize = U32LE(p + 526);
        e.receivedSize = std::min(U32LE(p + 530), e.expectedSize);
        e.complete = U32LE(p + 534);
        e.verifiedThisRun = 0;
    }
    cache.count = count;
}

std::vector<uint8_t> SerializeCacheIndex(const DownloadCache& cache) {
    std::vector<uint8_t> out;
    out.reserve(2 + cache.count * kCacheEntrySize);
    PutU16LE(out, static_cast<uint16_t>(cache.count));
    for (int i = 0; i < cache.count; ++i) {
        const DownloadCacheEntry& e = cache.entries[i];
        out.insert(out.end(), e.url, e.url + kCachePathSize);
        out.insert(out.end(), e.localPath, e.localPath + kCachePathSize);
        PutU32LE(out, e.lastModified);
        PutU16LE(out, e.useSequence);
        PutU32LE(out, e.expectedSize);
        PutU32LE(out, e.receivedSize);
        PutU32LE(out, e.complete);
        PutU32LE(out, e.verifiedThisRun);
    }
    return out;
}

bool SameUrl(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
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
    if (e.lastModified == lastModified && e.complete != 0 && ops.canOpen(e.localPath))
        return true;
    ops.remove(e.localPath);
    RemoveCacheEntry(cache, i);
    return false;
}

bool EvictCacheEntry(DownloadCache& cache, const CacheFileOps& ops, std::string_view keepPath) {
    int victim = -1;
    for (int i = 0; i < cache.count; ++i) {
        const DownloadCacheEntry& e = cache.entries[i];
        if (!keepPath.empty() && SameUrl(e.localPath, keepPath))
            continue;
        if (victim < 0 || e.useSequence < cache.entries[victim].useSequence || e.complete == 0)
            victim = i;
    }
    if (victim < 0)
        return false;
    ops.remove(cache.entries[victim].localPath);
    RemoveCacheEntry(cache, victim);
    return true;
}

bool AddCacheEntry(DownloadCache& cache, std::string_view url, std::string_view localPath, uint32_t lastModified,
                   uint32_t expectedSize, const CacheFileOps& ops, std::string_view keepPath) {
    if (!cache.enabled || url.size() >= kCachePathSize || localPath.size() >= kCachePathSize)
        return false;
    if (cache.count >= kMaxCacheEntries && !EvictCacheEntry(cache, ops, keepPath))
        return false;
    for (uint32_t total = TotalExpected(cache); total > 0 && uint64_t(total) + expectedSize > kMaxCacheBytes;
         total = TotalExpected(cache)) {
        if (!EvictCacheEntry(cache, ops, keepPath))
            break;  // only the open stack's entry is left
    }
    DownloadCacheEntry& e = cache.entries[cache.count];
    std::memset(&e, 0, sizeof e);
    CopyField(e.url, url);
    CopyField(e.localPath, localPath);
    e.lastModified = lastModified;
    e.expectedSize = expectedSize;
    ++cache.count;
    return true;
}

void AddReceivedBytes(DownloadCache& cache, std::string_view url, uint32_t count) {
    for (int i = 0; i < cache.count; ++i) {
        DownloadCacheEntry& e = cache.entries[i];
        if (SameUrl(e.url, url))
            e.receivedSize = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(e.receivedSize) + count, e.expectedSize));
    }
}

void MarkDownloadComplete(DownloadCache& cache, std::string_view url) {
    for (int i = 0; i < cache.count; ++i) {
        DownloadCacheEntry& e = cache.entries[i];
        if (SameUrl(e.url, url) && e.receivedSize >= e.expectedSize) {
            e.complete = 1;
            e.verifiedThisRun = 1;
        }
    }
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
    for (int i = 0; i < cache.count; ++i) {
        if (SameUrl(cache.entries[i].localPath, path)) {
            ops.remove(cache.entries[i].localPath);
            RemoveCacheEntry(cache, i);
            return true;
        }
    }
    return false;
}

void DropCacheEntry(DownloadCache& cache, std::string_view url, const CacheFileOps& ops) {
    int i = FindCacheEntry(cache, url);
    if (i < 0)
        return;
    ops.remove(cache.entries[i].localPath);
    RemoveCacheEntry(cache, i);
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

bool EnqueueRequest(RequestQueue& queue, const PendingContext& context, std::string_view url, uint16_t fileSlot) {
    if (queue.count >= kMaxPendingRequests || url.size() >= kCachePathSize)
        return false;
    PendingRequest& r = queue.records[queue.count];
    std::memset(&r, 0, sizeof r);
    CopyField(r.url, url);
    r.kind = context.kind;
    r.object = context.objectLayer;
    r.buttonId = context.buttonId;
    r.actionId = context.actionId;
    r.argument = context.argument;
    r.fileSlot = fileSlot;
    std::memcpy(r.label, context.label, sizeof r.label);
    r.label[sizeof r.label - 1] = 0;
    ++queue.count;
    return true;
}

bool AdvanceRequestQueue(RequestQueue& queue) {
    if (queue.count > 0)
        --queue.count;
    if (queue.count == 0)
        return false;
    std::memmove(&queue.records[0], &queue.records[1], queue.count * sizeof(PendingRequest));
    std::memset(&queue.records[queue.count], 0, sizeof(PendingRequest));
    return true;
}
