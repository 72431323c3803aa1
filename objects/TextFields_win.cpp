// Text fields. MINIMAL: a field layer from the common header only; no field window is made.
#include "objects/ObjectLayerKinds.h"

#include "stack/format/StackFile.h"

bool ReadFieldLayer(std::span<const uint8_t> record, FieldLayer* layer) {
    if (!ReadLayerCommon(record, kObjectText, &layer->common))
        return false;
    layer->flags = RecordFlags(record);
    return true;
}
