// Previews of files in the open dialogs, and picture files imported through QuickTime.
#pragma once

#include <windows.h>

// The preview factory: the current preview deleted and a new one shown in the dialog's
// control, placed by mode (1 top left, 2 fitted, 3 bottom-aligned, else centred; pictures
// are always fitted). The file kind it runs under: 19 in an MCIWnd window, 13 through
// QuickTime, else fileType; -1 without a manager or such a control.
int MediaShowFilePreview(HWND dialog, int controlId, const char* path, int fileType, int mode);
// Shows the current movie preview's file again (fileType 13 or 19 only); nothing for a
// picture preview or none.
void MediaRefreshPreview(HWND dialog, int controlId, int fileType, int mode);
// Deletes the current preview, if any.
void MediaClosePreview();
// A picture file drawn at its natural size into a packed DIB in a movable global block (the
// caller frees it): 0 and *dib, or -1. Without a manager alert 2357 is shown first.
int MediaImportPicture(const char* path, HGLOBAL* dib);
