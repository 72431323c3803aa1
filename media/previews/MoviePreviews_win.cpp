// The movie previewers: a movie or sound through QuickTime with its controller, a picture file
// of several images run as a movie, and an AVI or MPEG movie in an MCIWnd window, each placed
// in the dialog's control by the preview mode.
#include <cstring>

#include "core/files/FileSlots.h"
#include "media/elements/AVIElement.h"
#include "media/previews/Previewers.h"
#include "quicktime/QtCalls.h"

namespace {

QtRect AtOrigin(const RECT& r) {
    return QtRect{0, 0, static_cast<int16_t>(r.bottom - r.top), static_cast<int16_t>(r.right - r.left)};
}

// Steps 1 to 3 of the QuickTime previews: the element's window made in the control over its
// client rectangle less the controller's bar, the movie opened by `open`, a controller made
// and its bounds placed by mode. False when the movie or the controller cannot be had.
template <class Open>
bool OpenWithController(QTElement& element, const Window& control, int mode, Open open) {
    element.rect = control.ClientRect();
    element.rect.bottom -= kQTControllerHeight;
    if (element.rect.bottom <= element.rect.top)
        return false;
    delete element.window;
    element.window = new QTWindow(&element, control);
    if (!element.window->window || !open())
        return false;
    element.window->BringToTop();
    const QtRect box = AtOrigin(element.rect);
    const int32_t flags = mode == kPreviewTopLeft ? kMcTopLeftMovie : kMcTopLeftMovie | kMcScaleMovieToFit;
    element.controller = NewMovieController(element.movie, &box, flags);
    if (!element.controller)
        return false;
    QtRect bounds{};
    MCGetControllerBoundsRect(element.controller, &bounds);
    element.rect = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    PlacePreviewRect(&element.rect, control.window, mode);
    return true;
}

}  // namespace

void PlacePreviewRect(RECT* rect, HWND window, int mode) {
    if (mode == kPreviewFit)
        FitRectInWindow(rect, window, false);
    else if (mode == kPreviewBottomLeft)
        BottomAlignRectInWindow(rect, window);
    else
        CentreRectInWindow(rect, window);
}

QTMoviePreview::QTMoviePreview(const char* file) {
    if (file)
        CopyPathText(file, path, sizeof path);
    objectId = 0;
    mode = kQTModeMovie;
    // A dialog's control is no card: the mouse over the preview stays with its controller.
    flags = kMediaFlagOverObjects;
}

int QTMoviePreview::Open(const Window&, int) { return OpenAndInspectMovie(*this) ? 1 : 0; }

void QTMoviePreview::ShowPreview(const Window& control, int, int placement) {
    if (!OpenWithController(*this, control, placement, [&] { return Open(control, placement) != 0; }))
        return;
    window->Move(rect, true);
    Show(kMediaShow);
    SetMovieActive(movie, true);
}

QTImagePreview::QTImagePreview(const char* file) : QTImageElement(file) { flags = kMediaFlagOverObjects; }

void QTImagePreview::ShowPreview(const Window& control, int, int placement) {
    // The element's open makes its own window: the one made here is replaced by it, so the
    // element opens first into the control and the rectangle is taken afterwards.
    if (!OpenWithController(*this, control, placement, [&] {
            const RECT kept = rect;
            const int opened = QTImageElement::Open(control, placement);
            rect = kept;
            return opened != 0;
        }))
        return;
    window->Move(rect, false);
    Show(kMediaShow);
}

AVIPreview::AVIPreview(const char* file) : AVIElement(file) {
    flags = kMediaFlagController;
    state = kMediaStateOwnWindow;
}

void AVIPreview::ShowPreview(const Window& control, int, int placement) {
    if (placement == kPreviewFit)
        rect = control.ClientRect();
    if (!Open(control, placement) || !MovieWindow())
        return;
    SendMessageA(MovieWindow(), kMciSeek, 0, kMciWndStart);
    if (placement == kPreviewFit) {
        FitRectInWindow(&rect, control.window, false);
    } else if (placement == kPreviewBottomLeft) {
        BottomAlignRectInWindow(&rect, control.window);
    } else {
        rect.bottom += kAVIPlayBarHeight;
        FitRectInWindow(&rect, control.window, true);
    }
    Resize(rect.right - rect.left, rect.bottom - rect.top);
    window->Move(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, true);
    BringToTop();
    Show(kMediaShow);
}
