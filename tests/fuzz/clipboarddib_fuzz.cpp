// Arbitrary bytes as a packed DIB on the system clipboard: the check reads only inside the
// block (the sanitizers watch), and every DIB it accepts has its rows inside the block.
#include <cstdint>
#include <cstring>
#include <vector>

#include "stack/clipboard/ClipboardDib.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> block(data, data + size);  // exactly the input's size
    ClipboardDibLayout layout;
    if (!CheckClipboardDib(block, &layout))
        return 0;
    FuzzCheck(layout.width >= 1 && layout.height >= 1);
    FuzzCheck(uint64_t{layout.bitsOffset} + layout.imageBytes <= block.size());
    const uint64_t rowBytes = (uint64_t{static_cast<uint32_t>(layout.bitCount)} * layout.width + 31) / 32 * 4;
    FuzzCheck(rowBytes * layout.height == layout.imageBytes);
    // Touch the last pixel byte: it must lie inside.
    volatile uint8_t last = block[layout.bitsOffset + layout.imageBytes - 1];
    (void)last;
    return 0;
}
