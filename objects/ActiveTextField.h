// The text field being edited and its selection.
#pragma once

#include "graphics/layers/ObjectLayer.h"

// MINIMAL until text fields are built (ActiveTextField_win.cpp): the active field is the one the
// layer kinds report; its selection is read from its text window.
LayerHandle GetActiveTextField();
// Nonzero when the active field's selection is not empty.
int ActiveFieldHasSelection();
