// Arbitrary 'QTFX' resource bytes: the record reader keeps within the bytes, its description
// lies inside them, its name stays terminated, and what it read packs and reads back the same.
#include <cstdlib>
#include <vector>

#include "cardview/transitions/QtEffectRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    QtEffectRecord record;
    std::span<const uint8_t> description;
    if (UnpackQtEffectFields({data, size}, &record, &description) != QtfxRefusal::None)
        return 0;
    if (description.size() != record.descriptionLength || description.data() != data + kQtfxFieldBytes ||
        record.name.back() != 0)
        std::abort();
    const std::vector<uint8_t> packed = PackQtEffectFields(record, description);
    QtEffectRecord again;
    std::span<const uint8_t> againDescription;
    if (UnpackQtEffectFields(packed, &again, &againDescription) != QtfxRefusal::None ||
        PackQtEffectFields(again, againDescription) != packed)
        std::abort();
    return 0;
}
