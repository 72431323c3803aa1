// The common record header the object kinds' readers share: kind, id and bounds.
#include "objects/ObjectLayerKinds.h"

void SetLayerCommon(const LayerCommonFields& fields, ObjectLayer* layer) {
    layer->kind = fields.kind;
    layer->id = fields.id;
    layer->bounds = {fields.bounds[0], fields.bounds[1], fields.bounds[2], fields.bounds[3]};
}

bool ReadLayerCommon(std::span<const uint8_t> record, uint16_t kind, ObjectLayer* layer) {
    LayerCommonFields fields;
    if (!ReadLayerCommonFields(record, kind, &fields))
        return false;
    SetLayerCommon(fields, layer);
    return true;
}
