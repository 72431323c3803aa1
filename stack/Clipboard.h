// The clipboard: the internal copy of what was copied, and the system clipboard beside it.
#pragma once

#include <cstddef>

// MINIMAL until the clipboard is built (Clipboard.cpp): nothing can be pasted.
// True when Paste is possible; noun (up to 79 characters) names what would be pasted.
bool UpdatePasteMenuItem(char* noun, size_t size);
