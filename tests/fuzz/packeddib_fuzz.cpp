// Arbitrary bytes as a packed DIB handed to the media layer: refused, or a view whose header,
// table and rows lie inside the input and agree with the header's geometry.
#include "graphics/dib/Dib.h"
#include "media/support/PackedDib.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 20))
        return 0;
    const std::span<const uint8_t> input(data, size);
    PackedDibView view;
    if (!ReadPackedDib(input, &view))
        return 0;
    const auto inside = [&](std::span<const uint8_t> part) {
        return part.empty() || (part.data() >= data && part.data() + part.size() <= data + size);
    };
    FuzzCheck(inside(view.header) && inside(view.table) && inside(view.image));
    const int rows = view.height < 0 ? -view.height : view.height;
    FuzzCheck(view.width >= 1 && rows >= 1 && view.table.size() == 4 * size_t{view.colors});
    FuzzCheck(view.image.size() == size_t(DibRowBytes(view.depth, view.width)) * size_t(rows));
    FuzzCheck(PackedDibPixelsIf(input, view.width, view.height, view.depth).data() == view.image.data());
    return 0;
}
