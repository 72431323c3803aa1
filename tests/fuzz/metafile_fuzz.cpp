// Arbitrary bytes as a metafile file: refused, or a layout whose Windows metafile lies inside
// the input behind its own header, with a box that is not empty and sizes within the limits.
#include "media/support/Metafile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MetafileLayout layout = ReadMetafileLayout({data, size});
    if (layout.kind == MetafileKind::None || layout.kind == MetafileKind::Enhanced)
        return 0;
    FuzzCheck(layout.bitsSize >= kWindowsMetaHeaderBytes);
    FuzzCheck(layout.bitsOffset <= size && layout.bitsSize <= size - layout.bitsOffset);
    FuzzCheck(layout.right > layout.left && layout.bottom > layout.top && layout.unitsPerInch != 0);
    const MetafileSize drawn = MetafileBitmapSize(layout, 640, 480);
    FuzzCheck(drawn.width >= 1 && drawn.width <= 640 && drawn.height >= 1 && drawn.height <= 480);
    return 0;
}
