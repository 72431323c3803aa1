// A QuickTime movie's still picture, and placing a new movie's rectangle on the card with it.
#include "core/ui/GdiGuards.h"
#include "media/MediaDialogs.h"
#include "media/elements/QTElements.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtCalls.h"

namespace {

// The controller drawn into a world over a new DIB section of the element's size: the still of
// a movie that has no picture but its bar.
HBITMAP ControllerStill(QTElement& element, HDC dc) {
    const int width = element.rect.right - element.rect.left;
    const int height = element.rect.bottom - element.rect.top + kQTControllerHeight;
    if (!element.controller || width <= 0 || height <= 0)
        return nullptr;
    DibHolder holder;
    HBITMAP section = MakeDibSection(&holder, width, height, dc);
    DibFree(&holder);
    if (!section)
        return nullptr;
    QtGWorldPtr world = nullptr;
    if (NewGWorldFromHBITMAP(&world, nullptr, nullptr, 0, section, dc) != kQtNoErr || !world) {
        DeleteObject(section);
        return nullptr;
    }
    const auto port = reinterpret_cast<QtGrafPtr>(world);
    MCSetControllerPort(element.controller, port);
    MCDraw(element.controller, port);
    MCIdle(element.controller);
    if (element.window)
        MCSetControllerPort(element.controller, element.window->GetPort());
    DisposeGWorld(world);
    return section;
}

// The movie's picture at time 0: the picture holds a packed DIB.
HBITMAP PictureStill(QtMovie movie, HDC dc) {
    QtPicHandle picture = GetMoviePict(movie, 0);
    if (!picture)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (*picture) {
        DibHolder holder;
        const std::span<const uint8_t> packed(reinterpret_cast<const uint8_t*>(*picture), QTGetHandleSize(picture));
        if (DibHolderFromPackedDib(&holder, packed))
            bitmap = DibHolderToBitmap(holder, dc);
        DibFree(&holder);
    }
    KillPicture(picture);
    return bitmap;
}

}  // namespace

HBITMAP QTMovieElement::DrawToDC(HDC dc, HPALETTE) {
    if (!movie)
        return nullptr;
    if (state & kMediaStateSoundOnly)
        return IsControllerVisible(*this) ? ControllerStill(*this, dc) : nullptr;
    return PictureStill(movie, dc);
}

void QTMovieElement::PlaceOnCard() {
    HWND card = MovieCardWindow(*this);
    if (!movie && !OpenAndInspectMovie(*this))
        return;
    if (!still) {
        WindowDC dc(card);
        still = DrawToDC(dc.get(), nullptr);
    }
    // Without a preview there is nothing to drag: the tracking state is only reset.
    PlaceMovieRect(card, &rect, still);
    DisposeMovie(movie);
    movie = nullptr;
    InvalidateRect(card, &rect, TRUE);
}

int QTMovieElement::PrepareStill() {
    objectId = -1;
    flags |= kMediaFlagOverObjects;
    if (!OpenAndInspectMovie(*this))
        return 0;
    RemeasureWithoutStill();
    PlaceOnCard();
    return 1;
}

int QTMovieElement::OptionsDialog(int, int) {
    return RunMovieOptionsPlacing(MovieCardWindow(*this), this, [this] { PlaceOnCard(); });
}
