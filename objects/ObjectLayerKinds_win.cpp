// The common record header the object kinds' readers share: kind, id and bounds.
#include "objects/ObjectLayerKinds.h"

#include <cstring>

#include "stack/format/StackFile.h"

namespace {

uint16_t U16At(std::span<const uint8_t> record, uint32_t offset) {
    uint16_t value = 0;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

int16_t I16At(std::span<const uint8_t> record, uint32_t offset) { return static_cast<int16_t>(U16At(record, offset)); }

}  // namespace

bool ReadLayerCommon(std::span<const uint8_t> record, uint16_t kind, ObjectLayer* layer) {
    if (record.size() < kObjectCommonBytes || U16At(record, kObjectKind) != kind)
        return false;
    layer->kind = kind;
    layer->id = U16At(record, kObjectId);
    layer->bounds = {I16At(record, kObjectRect), I16At(record, kObjectRect + 2), I16At(record, kObjectRect + 4),
                     I16At(record, kObjectRect + 6)};
    return true;
}

uint16_t RecordFlags(std::span<const uint8_t> record) {
    return record.size() < kObjectCommonBytes ? 0 : U16At(record, kObjectFlags);
}
