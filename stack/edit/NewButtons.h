// New buttons and the button appearance dialog ("BUTTONDLG"): the spare record a new or edited
// button is made in, placing it on the card, and applying it to its layer and record.
//
//   NewButtons_win.cpp   MINIMAL until the button editor is built: nothing is edited.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"
#include "graphics/layers/ObjectLayer.h"

// Copies the button into the spare record and runs the appearance dialog (or, with actionsOnly,
// the actions dialog); true unless cancelled.
bool EditButtonAppearance(HWND window, LayerHandle layer, bool actionsOnly);
// Applies the spare record to the layer of the button it edits (with an undo step).
void ApplyButtonToLayer(Handle spare);
