// Editing card objects as records from the object tools and the menus: the appearance dialog
// of the object at a point or of the selected one (300) by its kind, and a graphic's actions
// and features from its context menu.
//
//   GraphicCommands_win.cpp   the three kinds' appearance, a graphic's actions and features
#pragma once

#include <windows.h>

#include "layers/ObjectLayer.h"

// The actions dialog on a graphic's action block; true when its actions changed.
bool EditGraphicActions(LayerHandle layer);
// The object features dialog on a graphic's flags and cursor; true when they changed.
bool EditGraphicFeatures(HWND window, LayerHandle layer);
// A graphic hidden or shown again: its layer is made again from the record in the same place,
// or stays off the card while hidden graphics are not shown; the selection follows it.
void RebuildGraphicLayer(HWND window, LayerHandle layer, uint16_t id);
// A double click with an object tool: the object under the point is selected and its
// appearance dialog opens (ctrl: a button's actions dialog instead).
void EditObjectAtPoint(HWND window, int x, int y, bool ctrl);
// Appearance... (300): the dialog of the selected object by its kind.
void EditSelectedObject(HWND window);
// Features... of the object menu for the selected graphic or text object (a button's are
// kept with its action choices).
void EditSelectedObjectFeatures(HWND window);
