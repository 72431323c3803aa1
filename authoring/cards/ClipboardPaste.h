// Paste from the clipboard (ClipboardPaste_win.cpp): it reaches the paint selections, objects
// and the active text, which lie above the clipboard itself (stack/clipboard/Clipboard.h).
#pragma once

#include <cstddef>

// True when Paste is possible; noun (up to 79 characters) names what would be pasted.
bool UpdatePasteMenuItem(char* noun, size_t size);
void PasteFromClipboard(void* window);
