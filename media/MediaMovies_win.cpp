// The manager's movie list: movies opened from video chunks and found again by path and object
// id, their idle time, commands, showing and updating, and their removal when finished.
#include "media/MediaManager.h"

#include <cstring>

#include "core/files/FileSlots.h"
#include "media/MediaManagerState.h"
#include "media/MediaMovieFiles.h"
#include "media/elements/AVIElement.h"
#include "media/elements/QTElements.h"
#include "quicktime/QtCalls.h"

namespace {

MediaElement* ElementOf(const PointerNode* node) { return static_cast<MediaElement*>(node->data); }

MediaElement* FindMovie(const MediaManager& m, const char* path, int16_t objectId) {
    MediaElement* found = nullptr;
    ForEachPointerNode(m.movies, [&](PointerNode* node) {
        MediaElement* e = ElementOf(node);
        if (!found && e->objectId == objectId && lstrcmpiA(e->path, path) == 0)
            found = e;
    });
    return found;
}

void IdleController(QTElement* element) {
    if (element && element->controller)
        MCIdle(element->controller);
}

bool IsKeptSoundOnly(const MediaElement& e) {
    return (e.state & kMediaStateSoundOnly) && (e.flags & kMediaFlagBackground);
}

}  // namespace

int MediaOpenMovie(std::span<const uint8_t> videoChunk, int16_t objectId, HDC stillTarget, int play) {
    MediaManager* m = TheMediaManager();
    if (!m || videoChunk.size() <= kChunkHeaderBytes)
        return 0;
    FileSpec movie = EmptyFileSpec();
    UnpackFileSpecTo(&movie, videoChunk.subspan(kChunkHeaderBytes));
    if (!LocateMovieFile(movie, &movie))
        return 0;
    MediaElement* element = FindMovie(*m, movie.path, objectId);
    if (!element) {
        element = NewMovieElement(videoChunk, movie.path);
        if (!element)
            return 0;
        element->objectId = objectId;
        if (!element->Open(*m, 0) || !PointerListAppend(&m->movies, element)) {
            delete element;
            return 0;
        }
    }
    if (stillTarget)
        element->DrawStill(stillTarget);
    if (play)
        element->Play();
    return 1;
}

void MediaMovieCommand(int code) {
    MediaManager* m = TheMediaManager();
    if (!m || !m->movies.head || code < 1 || code > 5)
        return;
    QTElement* e = QuickTimeMovie(ElementOf(m->movies.head));
    if (!e || !e->movie || !e->controller)
        return;
    switch (code) {
    case 1: MCDoAction(e->controller, kMcActionPlay, static_cast<QtWord>(GetMoviePreferredRate(e->movie))); break;
    case 2: MCDoAction(e->controller, kMcActionPlay, 0); break;
    case 3: MCDoAction(e->controller, kMcActionStep, 1); break;
    case 4: MCDoAction(e->controller, kMcActionStep, static_cast<QtWord>(-1)); break;
    case 5:
        GoToBeginningOfMovie(e->movie);
        MCDoAction(e->controller, kMcActionPlay, 0);
        break;
    }
}

int MediaIsMovieDone(int16_t objectId) {
    MediaManager* m = TheMediaManager();
    if (!m)
        return 1;
    MediaElement* found = nullptr;
    ForEachPointerNode(m->movies, [&](PointerNode* node) {
        if (!found && ElementOf(node)->objectId == objectId)
            found = ElementOf(node);
    });
    if (!found || (found->flags & kMediaFlagBackground))
        return 1;
    return found->Idle() ? 1 : 0;
}

int MediaAllMoviesDone() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return 1;
    for (PointerNode* node = m->movies.head; node; node = node->next) {
        MediaElement* e = ElementOf(node);
        IdleController(QuickTimeMovie(e));
        if (!e->Idle())
            return 0;
    }
    return 1;
}

void MediaIdleControllers() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    ForEachPointerNode(m->sounds, [](PointerNode* node) { IdleController(static_cast<QTSoundElement*>(node->data)); });
    ForEachPointerNode(m->movies, [](PointerNode* node) { IdleController(QuickTimeMovie(ElementOf(node))); });
}

void MediaRemoveFinished(int force, int invalidate) {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    ForEachPointerNode(m->movies, [&](PointerNode* node) {
        MediaElement* e = ElementOf(node);
        // A background sound-only movie goes on playing into the next card unless forced.
        if (IsKeptSoundOnly(*e) && !e->Idle() && !force)
            return;
        if (invalidate && !(e->state & kMediaStateOwnWindow))
            m->Invalidate(&e->rect, false);
        PointerListRemove(&m->movies, node);
        delete e;
    });
}

int MediaShowAll() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return 16;
    ForEachPointerNode(m->movies, [](PointerNode* node) { ElementOf(node)->Show(kMediaShow); });
    if (m->window)
        ValidateRect(m->window, nullptr);
    return 0;
}

void MediaUpdateAll() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    ForEachPointerNode(m->movies, [](PointerNode* node) { ElementOf(node)->Update(); });
}

void MediaOnMCIWndNotify(HWND mciWindow) {
    MediaManager* m = TheMediaManager();
    if (!m || !mciWindow)
        return;
    ForEachPointerNode(m->movies, [&](PointerNode* node) {
        auto* avi = dynamic_cast<AVIElement*>(ElementOf(node));
        if (avi && avi->MovieWindow() == mciWindow)
            AVIOnMCIWndNotify(*avi, mciWindow);
    });
}
