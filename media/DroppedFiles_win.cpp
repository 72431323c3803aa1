// Files dropped from the shell on the card window.
#include <windows.h>
#include <shellapi.h>

#include "media/DroppedFiles.h"

void SetAcceptDroppedFiles(HWND window, bool accept) {
    if (window)
        DragAcceptFiles(window, accept ? TRUE : FALSE);
}
