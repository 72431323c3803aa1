// The text field being edited (the layer list keeps it: GetActiveTextField) and its selection;
// the field windows are objects/TextFields.h.
#pragma once

#include "graphics/layers/ObjectLayer.h"
#include "objects/text/TextFields.h"

// Nonzero when the active field's selection is not empty.
int ActiveFieldHasSelection();
