// Arbitrary bytes as the JPEG data of a card picture (description, then JPEG bytes): refused, or
// read with a size in range and JPEG bytes inside the input; and as a whole picture block,
// whose view must stay inside the record.
#include <cstdlib>
#include <vector>

#include "core/JpegDescription.h"
#include "stack/CardPictureStore.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::span<const uint8_t> input(data, size);
    JpegPictureView view;
    if (ReadJpegPictureData(input, view, nullptr)) {
        Check(view.width >= 1 && view.width <= kMaxCardExtent && view.height >= 1 && view.height <= kMaxCardExtent);
        Check(!view.jpeg.empty() && view.jpeg.data() >= data + kJpegImageDescSize &&
              view.jpeg.data() + view.jpeg.size() == data + size);
        // What was read writes back to the same fields.
        const std::vector<uint8_t> again = MakeJpegPictureData(view.width, view.height, view.depth, view.jpeg);
        JpegPictureView reread;
        Check(ReadJpegPictureData(again, reread, nullptr) && reread.width == view.width &&
              reread.height == view.height && reread.jpeg.size() == view.jpeg.size());
    }
    PictureBlockView block;
    if (ReadPictureBlock(input, block)) {
        Check(block.table.data() >= data && block.data.data() + block.data.size() <= data + size);
        std::vector<uint8_t> record(input.begin(), input.end());
        Check(ReplacePictureBytes(record, block.table, block.data, 16, kPictureFormatStoredJpeg));
        PictureBlockView again;
        Check(ReadPictureBlock(record, again) && again.data.size() == block.data.size());
    }
    return 0;
}
