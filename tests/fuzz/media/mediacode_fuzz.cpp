// Arbitrary bytes as a dropped or listed file under each kind of name: the classification reads
// only what it was given and answers one of the media codes.
#include <cstdint>
#include <span>

#include "media/library/MediaCodes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    for (const char* name : {"a.gif", "a.txt", "a.grfc", "a", "a.zzz", "dir.x\\a"}) {
        const int code = MediaCodeForBytes(name, bytes);
        if (code != kMediaNone && code != kMediaRichText && code != kMediaAnimatedGif &&
            (code < kMediaSound || code > kMediaTextObject))
            __builtin_trap();
    }
    return 0;
}
