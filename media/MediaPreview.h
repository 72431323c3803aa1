// Previews of media files in the open dialogs.
#pragma once

#include <windows.h>

// Shows a preview of the file (of the given file kind) in the dialog's control; -1 when it
// cannot.
int MediaShowFilePreview(HWND dialog, int controlId, const char* path, int fileType, int flag);
// Deletes the current preview, if any.
void MediaClosePreview();
