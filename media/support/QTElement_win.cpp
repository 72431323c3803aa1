// The QuickTime part every QuickTime element shares: done test, release, and the operations
// that go to the controller or to the window hosting the movie.
#include <algorithm>
#include <cstring>

#include "media/support/MediaElement.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtCalls.h"

MediaDrawable::~MediaDrawable() {
    if (still)
        DeleteObject(still);
}

void MediaDrawable::RemeasureWithoutStill() {
    GetNaturalBounds();
    if (still)
        DeleteObject(still);
    still = nullptr;
}

QTElement::~QTElement() { QTElement::Close(); }

int QTElement::Idle() {
    if (!movie || !IsMovieDone(movie))
        return 0;
    state |= kMediaStateDone;
    if (flags & kMediaFlagEraseWhenDone)
        Show(kMediaHide);
    return 1;
}

void QTElement::Close() {
    delete window;
    window = nullptr;
    if (controller)
        DisposeMovieController(controller);
    controller = nullptr;
    if (movie)
        DisposeMovie(movie);
    movie = nullptr;
    if (clip)
        DisposeRgn(clip);
    clip = nullptr;
    if (temporaryFile[0]) {
        char name[kMediaPathChars] = {};
        const size_t length = std::min<size_t>(temporaryFile[0], kMediaPathChars - 1);
        std::memcpy(name, temporaryFile + 1, length);
        DeleteFileA(name);
        temporaryFile[0] = 0;
    }
}

void QTElement::SetVolume(int value) {
    if (controller)
        MCDoAction(controller, kMcActionSetVolume, static_cast<QtWord>(static_cast<int16_t>(value)));
}

int QTElement::GetVolume() {
    int16_t value = 0;
    if (controller)
        MCDoAction(controller, kMcActionGetVolume, reinterpret_cast<QtWord>(&value));
    return value;
}

void QTElement::SetControllerVisible(int visible) {
    if (controller)
        MCSetVisible(controller, visible != 0);
}

void QTElement::Update() {
    if (controller && window)
        MCDraw(controller, window->GetPort());
}

void QTElement::Resize(int width, int height) {
    if (window)
        window->Resize(width, height);
}

void QTElement::Show(int command) {
    if (!window)
        return;
    window->Show(command);
    if (command != kMediaHide)
        return;
    // What the movie covered is the card's again.
    if (HWND card = window->ParentWindow()) {
        InvalidateRect(card, &rect, TRUE);
        UpdateWindow(card);
    }
}

void QTElement::BringToTop() {
    if (window)
        window->BringToTop();
}
