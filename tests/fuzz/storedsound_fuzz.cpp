// Arbitrary bytes as stored 'Snd ' data: refused, or read with samples that lie inside the data.
#include "media/elements/StoredSound.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StoredSoundLayout layout;
    if (ReadStoredSoundLayout({data, size}, &layout)) {
        FuzzCheck(layout.channels > 0 && layout.sampleSize > 0 && layout.byteCount > 0 && layout.sampleCount > 0);
        FuzzCheck(layout.dataOffset <= size && layout.byteCount <= size - layout.dataOffset);
        const auto description = StoredSoundDescription(layout);
        FuzzCheck(description.descSize == 36 && description.dataFormat == layout.format);
    }
    return 0;
}
