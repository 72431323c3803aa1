// Buttons. MINIMAL: a button layer from the common header only: shape 0 (a rectangle whose
// region is its bounds), the record's flag word (128: "No click"); no colours, font, name, icon
// or freehand mask.
#include "objects/ObjectLayerKinds.h"

#include "stack/StackFile.h"

bool ReadButtonLayer(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts) {
    if (!ReadLayerCommon(record, kObjectButton, &layer->common))
        return false;
    layer->shape = 0;
    layer->flags = RecordFlags(record);
    return true;
}
