// Editing graphic objects as records: a graphic from a picture or the paint selection (307),
// the appearance dialog of the object at a point or the selected one (300), an object file
// placed on the card, and a graphic's actions and features from its context menu.
//
//   GraphicCommands_win.cpp   MINIMAL until graphic object editing is built: nothing changes.
#pragma once

#include <windows.h>

#include "graphics/layers/ObjectLayer.h"

// The actions dialog on a graphic's action block; true when its actions changed.
bool EditGraphicActions(LayerHandle layer);
// The object features dialog on a graphic's flags and cursor; true when they changed.
bool EditGraphicFeatures(HWND window, LayerHandle layer);
