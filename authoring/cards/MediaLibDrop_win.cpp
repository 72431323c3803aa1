// Card objects dragged off the card: written to an object file, and listed in the media library
// when they fell on its list.
#include "authoring/cards/MediaLibDrop.h"

#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "media/library/MediaLibServices.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/ObjectFile.h"

namespace {

int CodeOfKind(uint16_t kind) {
    switch (kind) {
    case kObjectGraphic: return kMediaGraphic;
    case kObjectButton: return kMediaButton;
    case kObjectText: return kMediaTextObject;
    default: return kMediaNone;
    }
}

}  // namespace

bool DropObjectToMediaLib(LayerHandle layer, POINT point) {
    ObjectDragBlock drag;
    {
        LayerLock<ObjectLayer> lock(layer);
        if (!lock)
            return false;
        drag.kind = lock->kind;
        drag.id = lock->id;
    }
    if (drag.kind == kObjectText) {
        LayerLock<FieldLayer> lock(layer);
        drag.actionId = lock ? lock->actionId : 0;
        // The text as typed, not as last written into the record.
        SyncCardFromLayers();
    }
    std::vector<uint8_t> record;
    if (!CopyDraggedRecord(drag, &record))
        return false;
    if (drag.kind == kObjectGraphic && record.size() >= kGraphicAction + 2)
        drag.actionId = static_cast<uint16_t>(record[kGraphicAction] | (record[kGraphicAction + 1] << 8));
    const bool overLibrary = IsPointOverMediaLib(GetMainWindow(), point);
    char path[kObjectFilePathSize] = {};
    if (!WriteObjectToFile(record, drag.kind, path, sizeof path, overLibrary) || !path[0])
        return false;
    if (!WriteObjectFile(drag, path))
        return false;
    if (overLibrary)
        AddMediaLibItem(CodeOfKind(drag.kind), path);
    return true;
}
