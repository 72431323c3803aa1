// The graphic appearance dialog ("GAPPEAR"): the settings of a graphic object being placed or
// of an existing one, and the commit that makes or updates it.
//
//   GraphicAppearance_win.cpp   MINIMAL until the dialog is built: it cancels.
#pragma once

#include <windows.h>

#include "graphics/layers/ObjectLayer.h"

// Runs the dialog on the graphic placement until OK (1) or Cancel (2); Actions... (57) runs the
// actions dialog and opens the dialog again.
int RunGraphicAppearanceDialog(HWND window);
// Loads an existing object's settings into the placement and runs the dialog; its result.
int EditGraphicAppearance(HWND window, LayerHandle layer);
