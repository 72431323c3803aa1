// Previews of media files in the open dialogs.
#include "media/MediaPreview.h"

// Minimal for now: no previewer exists yet, so no preview is ever shown and there is none to
// close. The media previewers replace these.
int MediaShowFilePreview(HWND /*dialog*/, int /*controlId*/, const char* /*path*/, int /*fileType*/, int /*flag*/) {
    return -1;
}

void MediaClosePreview() {}
