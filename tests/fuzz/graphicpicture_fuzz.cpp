// Arbitrary bytes as a graphic object record: its layout (data, mask, file reference) lies inside
// the record and builds back to the same parts; its picture is refused, or viewed inside the
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
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const std::span<const uint8_t> record(data, size);
    GraphicRecordLayout layout;
    if (ReadGraphicRecordLayout(record, layout)) {
        FuzzCheck(layout.data.data() >= data && layout.data.data() + layout.data.size() <= data + size);
        FuzzCheck(layout.fileReference.size() < layout.data.size() || layout.fileReference.empty());
        const std::vector<uint8_t> built = BuildGraphicRecord(record, layout.data, layout.mask);
        GraphicRecordLayout again;
        FuzzCheck(!built.empty() && built.size() % 2 == 0 && ReadGraphicRecordLayout(built, again));
        FuzzCheck(std::equal(again.mask.begin(), again.mask.end(), layout.mask.begin(), layout.mask.end()));
        FuzzCheck(again.data.size() >= layout.data.size() &&
                  std::equal(layout.data.begin(), layout.data.end(), again.data.begin()));
    }
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
