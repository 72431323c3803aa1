// Pasting into the card's objects: an object from the internal clipboard. Text pasted into the
// active text field is objects/text/ActiveTextField.h.
#pragma once

#include <windows.h>

#include <cstddef>

// MINIMAL until the object editors are built: the object record of the internal clipboard is
// placed on the current card with a new id, then AttachClipboardActions runs.
void PasteObjectOntoCard(HWND window);
