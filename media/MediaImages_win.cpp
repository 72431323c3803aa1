// Picture files through QuickTime for the rest of the system: a picture element opened for one
// query as the manager's temporary picture element, then deleted.
#include "media/MediaManager.h"
#include "media/elements/QTElements.h"
#include "media/support/MediaWindows.h"

namespace {

struct ManagerTarget : Window {
    explicit ManagerTarget(HWND card) { window = card; }
};

}  // namespace

int MediaCountImages(const char* path) {
    HWND card = MediaManagerWindow();
    if (!card || !path)
        return 0;
    ManagerTarget target(card);
    QTImageElement element(path);
    return element.Open(target, 0) ? element.CountImages() : 0;
}

int MediaDecodeImageFrames(const char* path, HGLOBAL* frames, int* count) {
    if (frames)
        *frames = nullptr;
    if (count)
        *count = 0;
    HWND card = MediaManagerWindow();
    if (!card || !path || !frames || !count)
        return 0;
    ManagerTarget target(card);
    QTImageElement element(path);
    return element.Open(target, 0) ? element.DecodeFrames(frames, count) : 0;
}
