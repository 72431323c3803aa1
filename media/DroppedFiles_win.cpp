// Files dropped on the card window.
//
// Minimal until the drop handler exists: the card window does not accept drops yet, since a
// drop nobody handles would only leak the shell's drop record.
#include "media/DroppedFiles.h"

void SetAcceptDroppedFiles(HWND /*window*/, bool /*accept*/) {}
