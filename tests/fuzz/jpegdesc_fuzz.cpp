// Arbitrary bytes as the JPEG data of a card picture (description, then JPEG bytes): refused, or
// read with a size in range and JPEG bytes inside the input; and as a whole picture block,
// whose view must stay inside the record.
#include <vector>

#include "core/files/JpegDescription.h"
#include "stack/pictures/CardPictureStore.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::span<const uint8_t> input(data, size);
    JpegPictureView view;
    if (ReadJpegPictureData(input, view, nullptr)) {
        FuzzCheck(view.width >= 1 && view.width <= kMaxCardExtent && view.height >= 1 && view.height <= kMaxCardExtent);
        FuzzCheck(!view.jpeg.empty() && view.jpeg.data() >= data + kJpegImageDescSize &&
              view.jpeg.data() + view.jpeg.size() == data + size);
        // What was read writes back to the same fields.
        const std::vector<uint8_t> again = MakeJpegPictureData(view.width, view.height, view.depth, view.jpeg);
        JpegPictureView reread;
        FuzzCheck(ReadJpegPictureData(again, reread, nullptr) && reread.width == view.width &&
              reread.height == view.height && reread.jpeg.size() == view.jpeg.size());
    }
    PictureBlockView block;
    if (ReadPictureBlock(input, block)) {
        FuzzCheck(block.table.data() >= data && block.data.data() + block.data.size() <= data + size);
        std::vector<uint8_t> record(input.begin(), input.end());
        FuzzCheck(ReplacePictureBytes(record, block.table, block.data, 16, kPictureFormatJpeg));
        PictureBlockView again;
        FuzzCheck(ReadPictureBlock(record, again) && again.data.size() == block.data.size());
    }
    return 0;
}
