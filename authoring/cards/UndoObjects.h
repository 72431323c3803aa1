// The object recorders as the object tools call them, with the object's layer record.
#pragma once

#include "layers/ObjectLayer.h"

void RecordObjectMoveUndo(LayerHandle descriptor);
void RecordObjectEditUndo(LayerHandle descriptor);
void SetUndoKindByLetter(LayerHandle descriptor, char letter);
