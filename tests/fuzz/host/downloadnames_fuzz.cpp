// Arbitrary lines as download addresses and file names: the first is the stack's address (the
// site), the second the cache's folder, each further one an address or a path. Every line goes
// through the names made from addresses (the %-escapes decoded, the file name a download is known
// by, the local copy's name and extension, the sibling address, the site, the cache-folder test),
// and one cache or queue operation on it, chosen by its first byte (add, lookup, bind, arrival,
// evict, forget, enqueue, advance). The names keep within their bounds, the index within its 50
// entries with terminated fields, and nothing outside the cache's folder is ever removed.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/downloads/DownloadCache.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::string g_folder;
bool g_opens = true;

bool CanOpen(const char*) { return g_opens; }
void Remove(const char* path) { FuzzCheck(IsInCacheFolder(g_folder, path)); }

bool Terminated(const char (&field)[kCachePathSize]) { return std::memchr(field, 0, kCachePathSize) != nullptr; }

void CheckCache(const DownloadCache& cache) {
    FuzzCheck(cache.count >= 0 && cache.count <= kMaxCacheEntries);
    for (int i = 0; i < cache.count; ++i) {
        const DownloadCacheEntry& e = cache.entries[i];
        FuzzCheck(Terminated(e.url) && Terminated(e.localPath));
        FuzzCheck(e.receivedSize <= e.expectedSize);
    }
}

int CompleteOthers(const DownloadCache& cache, std::string_view arrived) {
    int n = 0;
    for (int i = 0; i < cache.count; ++i)
        n += cache.entries[i].complete != 0 && !SameUrl(cache.entries[i].localPath, arrived) ? 1 : 0;
    return n;
}

void CheckNames(std::string_view site, std::string_view line) {
    FuzzCheck(DecodePercentEscapes(line).size() <= line.size());
    for (const char c : UrlFileName(line))
        FuzzCheck(static_cast<unsigned char>(c) >= 32 && std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos);
    const std::string temp = g_folder + "stk1A2B.tmp";
    const std::string copy = CacheFileNameFor(temp, line);
    FuzzCheck(copy.size() == temp.size() && copy.compare(0, temp.size() - 3, temp, 0, temp.size() - 3) == 0);
    std::string sibling;
    if (MakeSiblingUrl(site, line, sibling)) {
        FuzzCheck(sibling.size() < kCachePathSize && !sibling.empty());
        FuzzCheck(site.substr(0, site.find_last_of('/') + 1) == std::string_view(sibling).substr(0, site.find_last_of('/') + 1));
    }
    if (IsInCacheFolder(g_folder, line)) {
        const std::string_view name = line.substr(g_folder.size());
        FuzzCheck(!name.empty() && name.find_first_of("\\/:") == std::string_view::npos);
    }
    FuzzCheck(SameSite(site, line) == SameSite(line, site));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, 16384))
        return 0;
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(data[i]);
        }
    }
    lines.push_back(line);
    if (lines.size() < 2)
        return 0;
    const std::string site = lines[0];
    g_folder = lines[1];
    const CacheFileOps ops{CanOpen, Remove, g_folder};
    static DownloadCache cache;
    static RequestQueue queue;
    cache = DownloadCache{};
    cache.enabled = true;
    queue = RequestQueue{};
    uint32_t serial = 0;
    for (size_t i = 2; i < lines.size(); ++i) {
        const std::string& text = lines[i];
        CheckNames(site, text);
        if (text.empty())
            continue;
        const uint8_t op = static_cast<uint8_t>(text[0]);
        const std::string rest = text.substr(1);
        const uint32_t amount = static_cast<uint32_t>(op) * 99991u;
        g_opens = (op & 1) != 0;
        // A local copy in the folder, named as the plug-in names one, or the line itself.
        const std::string local = (op & 0x10) ? rest : CacheFileNameFor(g_folder + "stk" + std::to_string(++serial) + ".tmp", rest);
        switch (op % 9) {
        case 0: {
            const uint32_t announced = amount * ((op & 0x20) ? 1000u : 1u);
            const bool added = AddCacheEntry(cache, rest, local, op, announced, ops, {site});
            FuzzCheck(!added || announced <= kMaxDownloadBytes);
            break;
        }
        case 1: LookupCacheEntry(cache, rest, op, ops); break;
        case 2: {
            const int at = FindCacheEntry(cache, rest);
            if (at >= 0) {
                AddReceivedBytes(cache.entries[at], amount);
                MarkDownloadComplete(cache.entries[at]);
            }
            if (const char* bound = BindCachedFile(cache, rest))
                FuzzCheck(std::strlen(bound) < kCachePathSize);
            break;
        }
        case 3: {
            const int at = FindCacheEntryByPath(cache, local);
            if (at < 0)
                break;
            const std::string arrived = cache.entries[at].localPath;
            const int before = CompleteOthers(cache, arrived);
            MakeRoomForArrival(cache, at, amount, ops);
            FuzzCheck(FindCacheEntryByPath(cache, arrived) >= 0);  // what arrived stays
            FuzzCheck(before == 0 || CompleteOthers(cache, arrived) >= 1);  // one file never empties it
            break;
        }
        case 4: EvictCacheEntry(cache, ops, {rest}); break;
        case 5: ForgetCachedFile(cache, rest, ops); break;
        case 6: {
            PendingContext context;
            context.kind = op & 3;
            context.buttonId = op;
            std::memcpy(context.label, rest.data(), std::min(rest.size(), sizeof context.label - 1));
            EnqueueRequest(queue, context, rest, op);
            break;
        }
        case 7: AdvanceRequestQueue(queue); break;
        default: {
            std::string url;
            if (MakeSiblingUrl(site, rest, url))
                LookupCacheEntry(cache, url, op, ops);
            break;
        }
        }
        CheckCache(cache);
        FuzzCheck(queue.count >= 0 && queue.count <= kMaxPendingRequests);
        for (int32_t q = 0; q < queue.count; ++q)
            FuzzCheck(std::memchr(queue.records[q].url, 0, kCachePathSize) && std::memchr(queue.records[q].label, 0, 256));
    }
    // What is left writes out and reads back the same.
    DownloadCache again;
    ParseCacheIndex(SerializeCacheIndex(cache), again);
    FuzzCheck(again.count == cache.count);
    return 0;
}
