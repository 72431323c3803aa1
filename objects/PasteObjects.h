// Pasting into the card's objects: an object from the internal clipboard, text into the active
// text field, and the noun of the text the clipboard holds.
#pragma once

#include <windows.h>

#include <cstddef>

// MINIMAL until the object editors are built: the object record of the internal clipboard is
// placed on the current card with a new id, then AttachClipboardActions runs.
void PasteObjectOntoCard(HWND window);
// MINIMAL until text fields are built: nothing is pasted into a text field (false).
bool TextFieldPaste(HWND window);
// MINIMAL until text fields are built: no text noun (false).
bool GetPasteTextNoun(char* noun, size_t size);
