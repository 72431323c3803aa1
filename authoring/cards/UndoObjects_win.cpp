// The recorders that name an object by its layer: they keep its kind and id (and rectangle),
// never the layer itself, which every rebuild of the layer list frees.
#include <windows.h>

#include "layers/ObjectLayer.h"
#include "authoring/cards/UndoObjects.h"
#include "stack/undo/Undo.h"

namespace {

bool ReadLayer(LayerHandle descriptor, uint16_t* kind, uint16_t* id, int32_t rect[4]) {
    const auto* layer = descriptor ? static_cast<const ObjectLayer*>(GlobalLock(descriptor)) : nullptr;
    if (!layer)
        return false;
    *kind = layer->kind;
    *id = layer->id;
    rect[0] = layer->bounds.left;
    rect[1] = layer->bounds.top;
    rect[2] = layer->bounds.right;
    rect[3] = layer->bounds.bottom;
    GlobalUnlock(descriptor);
    return true;
}

}  // namespace

void RecordObjectMoveUndo(LayerHandle descriptor) {
    uint16_t kind = 0, id = 0;
    int32_t rect[4] = {};
    if (ReadLayer(descriptor, &kind, &id, rect))
        RecordObjectMoveUndoFor(kind, id, rect);
}

void RecordObjectEditUndo(LayerHandle descriptor) {
    uint16_t kind = 0, id = 0;
    int32_t rect[4] = {};
    if (ReadLayer(descriptor, &kind, &id, rect))
        RecordObjectEditUndoFor(kind, id);
}

void SetUndoKindByLetter(LayerHandle descriptor, char letter) {
    uint16_t kind = 0, id = 0;
    int32_t rect[4] = {};
    if (ReadLayer(descriptor, &kind, &id, rect))
        SetUndoKindByLetterFor(kind, id, letter);
}
