// Arbitrary bytes as a file for the icon and cursor chooser (the first byte names the extension:
// 0 ico, 1 cur, 2 ani) and as stored 'Crsr' data: whatever is accepted must read back whole,
// an animated cursor's steps must keep inside its frames, and the size of an icon is its first
// image's.
#include <vector>

#include "core/ui/CursorImages.h"
#include "objects/IconFiles.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

void CheckAnimated(std::span<const uint8_t> data) {
    CursorResource cursor;
    FuzzCheck(ReadCursorResource(data, &cursor) && cursor.kind == kCursorAnimated);
    FuzzCheck(cursor.rates.size() == cursor.sequence.size() && cursor.frames.size() == cursor.sequence.size());
    uint32_t step = 0, ticks = 0;
    for (int tick = 0; tick < 64; ++tick) {
        AdvanceCursorStep(cursor, &step, &ticks);
        FuzzCheck(step < cursor.sequence.size() && cursor.sequence[step] < cursor.frames.size());
    }
    // Converted to the stack's order, it comes back the same.
    const std::vector<uint8_t> original(data.begin(), data.end());
    std::vector<uint8_t> copy = original;
    FuzzCheck(SwapCursorResourceData(copy.data(), static_cast<uint32_t>(copy.size()), 1) == 1);
    if (copy != original) {
        FuzzCheck(SwapCursorResourceData(copy.data(), static_cast<uint32_t>(copy.size()), 0) == 1);
        FuzzCheck(copy == original);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > kMaxInput)
        return 0;
    static const char* const kExtensions[] = {"ico", "cur", "ani"};
    const std::span<const uint8_t> file(data + 1, size - 1);
    const IconFileData read = ReadIconFile(kExtensions[data[0] % 3], file);
    IconImage image;
    // The size a chosen icon is stored with: its first image's, or none.
    for (const std::span<const uint8_t> bytes : {file, std::span<const uint8_t>(read.data)}) {
        const uint32_t sized = IconDataSize(bytes);
        FuzzCheck(sized == 0 || (ReadIconImage(bytes, 0, &image) && sized == (uint32_t(image.width) | uint32_t(image.height) << 16)));
    }
    switch (read.kind) {
    case 0: FuzzCheck(read.data.empty()); break;
    case kEntryIcon:
    case kEntryStillCursor:
        for (int i = 0; i < IconImageCount(read.data); ++i)
            FuzzCheck(ReadIconImage(read.data, i, &image));
        FuzzCheck(!MakeStillCursorData(read.data).empty());
        break;
    case kEntryAnimatedCursor: CheckAnimated(read.data); break;
    default: FuzzCheck(false);
    }
    const IconFileData stored = CursorResourceEntry(file);
    if (stored.kind == kEntryStillCursor)
        FuzzCheck(ReadIconImage(stored.data, 0, &image));
    else if (stored.kind == kEntryAnimatedCursor)
        CheckAnimated(stored.data);
    const std::vector<uint8_t> moduleCursor = CursorFileFromModuleImage(file);
    FuzzCheck(moduleCursor.empty() || ReadIconImage(moduleCursor, 0, &image));
    BestGroupCursorId(file, 32, 32, 8);
    const IconGridLayout grid = LayoutIconGrid(data[0], static_cast<int>(size), 32, 32, static_cast<int>(size));
    FuzzCheck(grid.columns >= 1 && grid.visibleRows >= 1 && grid.rows * grid.columns >= static_cast<int>(size));
    return 0;
}
