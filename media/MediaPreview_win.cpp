// Previews of media files in the open dialogs.
#include "media/MediaPreview.h"

#include "core/files/FileDialogHooks.h"

// Minimal for now: no previewer exists yet, so no preview is ever shown and there is none to
// close. The media previewers replace these.
int MediaShowFilePreview(HWND /*dialog*/, int /*controlId*/, const char* /*path*/, int /*fileType*/, int /*flag*/) {
    return -1;
}

void MediaClosePreview() {}

namespace {
// The open dialogs of the core show their previews through these.
const bool g_previewInstalled = (SetFilePreviewHandlers({MediaShowFilePreview, MediaClosePreview}), true);
}  // namespace
