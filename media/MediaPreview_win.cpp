// The preview factory and the manager's one current previewer, and the picture import through
// QuickTime's graphics importers.
#include "media/MediaPreview.h"

#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/ui/Alerts.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/previews/Previewers.h"

namespace {

// The dialog's control, wrapped for the previewers; the control stays when the wrapper goes.
struct ControlWindow : Window {
    explicit ControlWindow(HWND control) { window = control; }
};

}  // namespace

int MediaShowFilePreview(HWND dialog, int controlId, const char* path, int fileType, int mode) {
    MediaManager* manager = TheMediaManager();
    HWND area = dialog ? GetDlgItem(dialog, controlId) : nullptr;
    if (!manager || !path || !area)
        return -1;
    ControlWindow control(area);
    control.InvalidateAll();
    MediaClosePreview();
    Previewer* previewer = nullptr;
    int shownAs = fileType;
    if (IsSoundFileType(fileType) || IsMovieFileType(fileType)) {
        if (IsAVIFile(path)) {
            previewer = new AVIPreview(path);
            shownAs = kFileTypeAvi;
        } else {
            previewer = new QTMoviePreview(path);
            shownAs = kFileTypeMov;
        }
    } else if (fileType == kFileTypeGif && MediaCountImages(path) > 1) {
        previewer = new QTImagePreview(path);
    } else {
        previewer = new PicturePreview(path);
        mode = kPreviewFit;
    }
    manager->previewer = previewer;
    previewer->ShowPreview(control, fileType, mode);
    return shownAs;
}

void MediaRefreshPreview(HWND dialog, int controlId, int fileType, int mode) {
    MediaManager* manager = TheMediaManager();
    if (!manager || !manager->previewer || (fileType != kFileTypeMov && fileType != kFileTypeAvi))
        return;
    const auto* element = dynamic_cast<const MediaElement*>(manager->previewer);
    if (!element)
        return;
    // The factory deletes the previewer whose path this is: it is copied first.
    char path[kMediaPathChars] = {};
    CopyPathText(element->path, path, sizeof path);
    MediaShowFilePreview(dialog, controlId, path, fileType, mode);
}

void MediaClosePreview() {
    MediaManager* manager = TheMediaManager();
    if (!manager)
        return;
    delete manager->previewer;
    manager->previewer = nullptr;
}

int MediaImportPicture(const char* path, HGLOBAL* dib) {
    if (dib)
        *dib = nullptr;
    if (!TheMediaManager()) {
        ShowAlert(kAlertQuickTimeMissing);
        return -1;
    }
    if (!path || !dib)
        return -1;
    QTPictureFile picture(path);
    if (!picture.Open(nullptr))
        return -1;
    DibHolder holder;
    HBITMAP section = picture.DrawToBitmap(&holder);
    HGLOBAL block = section ? DibSectionToPackedDib(holder) : nullptr;
    if (section)
        DeleteObject(section);
    DibFree(&holder);
    if (!block)
        return -1;
    *dib = block;
    return 0;
}
