// MINIMAL until graphic object editing is built: nothing changes.
#include "stack/edit/graphics/GraphicCommands.h"

bool EditGraphicActions(LayerHandle) { return false; }
bool EditGraphicFeatures(HWND, LayerHandle) { return false; }
