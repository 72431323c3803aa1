// The graphic appearance dialog ("GAPPEAR"): the settings of a graphic object being placed or
// of an existing one, and the commit that makes or updates it. Every working value lives in the
// graphic placement (objects/graphics/GraphicPlacement.h) the caller hands over: the one being
// placed for a new object, one of its own for an existing object.
//
//   GraphicAppearance_win.cpp  the dialog, its loop through Actions... and the preview
//   GraphicCommit_win.cpp      a new object's record and layer, an existing one's update, and
//                              what becomes of a paint selection the object was made from
#pragma once

#include <windows.h>

#include "layers/ObjectLayer.h"
#include "objects/graphics/GraphicPlacement.h"

// Runs the dialog on the placement until OK (1) or Cancel (2); Actions... (57) runs the actions
// dialog and opens the dialog again.
int RunGraphicAppearanceDialog(HWND window, GraphicPlacement& placement);
// Loads an existing object's settings into a placement of its own and runs the dialog; its
// result.
int EditGraphicAppearance(HWND window, LayerHandle layer);

// ---- GraphicCommit_win.cpp ----
// The new object's record from the placement appended to the card, then its layer made; false
// (after alert 2224, nothing added) when the record cannot be made or appended. The placement's
// picture, mask and outline are freed either way.
bool CommitNewGraphic(HWND window, GraphicPlacement& placement);
// The edited layer and its record take the placement's settings (undoable).
void UpdateEditedGraphic(HWND window, GraphicPlacement& placement);
// After the dialog, for an object made from a paint selection: OK stamps or fills the card
// picture, Cancel gives the selection back to the picture.
void SettlePaintSelection(HWND window, GraphicPlacement& placement, bool ok);
