// The text object record read into its layer, and the window made when the layer is built.
#include "objects/text/TextFields.h"

#include "objects/ObjectLayerKinds.h"

bool ReadFieldLayer(std::span<const uint8_t> record, FieldLayer* layer) {
    FieldLayerFields fields;
    if (!ReadFieldLayerFields(record, &fields))
        return false;
    SetLayerCommon(fields.common, &layer->common);
    layer->objectFlags = fields.objectFlags;
    layer->options = fields.options;
    layer->colorIndex = fields.colorIndex;
    layer->alignment = fields.alignment;
    layer->actionId = fields.actionId;
    layer->cursorId = fields.cursorId;
    return true;
}

void InitFieldWindowFromRecord(std::span<const uint8_t> record, LayerHandle layer, int show) {
    InitFieldWindow(record, layer, show != 0);
}
