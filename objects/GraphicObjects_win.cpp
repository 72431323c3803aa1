// Graphic objects. MINIMAL: a graphic layer from the common header only; the fill kind is not
// read (so no record is refused for fill kind 32), and no picture, mask or frame is taken.
#include "objects/ObjectLayerKinds.h"

#include "stack/format/StackFile.h"

bool ReadGraphicLayer(std::span<const uint8_t> record, GraphicLayer* layer, GraphicRecordParts* parts) {
    return ReadLayerCommon(record, kObjectGraphic, &layer->common);
}
