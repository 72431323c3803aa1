// Arbitrary bytes as a GIF: the block walk stays within them, ends, and answers -1 or an index;
// a colour table entry is read only from within them.
#include <cstdint>
#include <vector>

#include "media/pictures/GifScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    const int index = GifTransparentIndex(file);
    if (index < -1 || index > 255)
        __builtin_trap();
    IsGif89Header(file);
    uint8_t rgb[3];
    for (int i : {0, index, 255})
        GifColorTableEntry(file, i, rgb);
    if (GifImageCount(file, 2) > 2)
        __builtin_trap();
    return 0;
}
