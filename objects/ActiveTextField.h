// The text field being edited and its selection, and the text fields' windows.
#pragma once

#include "graphics/layers/ObjectLayer.h"

// MINIMAL until text fields are built (ActiveTextField_win.cpp): the active field is the one the
// layer kinds report; its selection is read from its text window.
LayerHandle GetActiveTextField();
// Nonzero when the active field's selection is not empty.
int ActiveFieldHasSelection();
// The text fields' windows shown (in the browse tool) or hidden; MINIMAL until text fields
// have windows of their own: nothing to show.
void ShowTextFieldWindows(bool show);
// Every text-field window that meets the rectangle gets its window region from its field
// record. MINIMAL until text fields have windows of their own.
void ClipTextFieldWindows(const RECT& rect);
