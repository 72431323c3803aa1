// Arbitrary "LOOMA.LOG" bytes: the index reader keeps within its fields, and what it keeps
// writes back and reads again to the same index.
#include "host/downloads/DownloadCache.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DownloadCache cache, again;
    ParseCacheIndex({data, size}, cache);
    if (cache.count < 0 || cache.count > kMaxCacheEntries)
        __builtin_trap();
    for (int i = 0; i < cache.count; ++i)
        if (std::strlen(cache.entries[i].url) >= kCachePathSize || cache.entries[i].receivedSize > cache.entries[i].expectedSize)
            __builtin_trap();
    auto bytes = SerializeCacheIndex(cache);
    ParseCacheIndex(bytes, again);
    if (again.count != cache.count || SerializeCacheIndex(again) != bytes)
        __builtin_trap();
    return 0;
}
