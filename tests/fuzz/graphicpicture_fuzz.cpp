// Arbitrary bytes as a graphic object record: its picture is refused, or viewed inside the
// record (the sanitizers watch every read) and turned into a DIB no larger than its rows can
// fill; a DIB that was made packs again and reads back to the same pixels.
#include <algorithm>
#include <vector>

#include "core/memory/Handles.h"
#include "stack/pictures/GraphicPicture.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialized = InitMemRefs();
    (void)initialized;
    if (size > kMaxInput)
        return 0;
    const std::span<const uint8_t> record(data, size);
    GraphicPictureView view;
    if (ReadGraphicPicture(record, view) != GraphicPictureRefusal::None)
        return 0;
    FuzzCheck(view.rows.data() >= data && view.rows.data() + view.rows.size() <= data + size);
    FuzzCheck(view.mask.empty() || (view.mask.data() >= data && view.mask.data() + view.mask.size() <= data + size));
    const int handles = MemRefsCount();
    if (DibHandle dib = GraphicPictureToDib(view)) {
        const std::vector<uint8_t> packed = GraphicPictureData(dib, view.mask);
        if (!packed.empty()) {
            GraphicPictureView again = view;
            again.rows = std::span<const uint8_t>(packed).first(packed.size() - view.mask.size());
            again.packedRows = true;
            if (DibHandle back = GraphicPictureToDib(again)) {
                LockedDib a(dib), b(back);
                FuzzCheck(a && b && std::equal(a.image().begin(), a.image().end(), b.image().begin(), b.image().end()));
                DisposeHandle(back);
            }
        }
        DisposeHandle(dib);
    }
    FuzzCheck(MemRefsCount() == handles);
    return 0;
}
