// The frames of a movie file for an animated object: the movie opened from a packed file
// reference and run into a DIB section that its graphics world draws into.
#include "media/MediaManager.h"

#include <new>

#include "core/files/FileSlots.h"
#include "media/MediaManagerState.h"
#include "media/MediaMovieFiles.h"
#include "media/support/DibHolder.h"
#include "quicktime/QtCalls.h"
#include "media/support/MovieFileRecord.h"

struct MovieFrameSource {
    QtGWorldPtr world = nullptr;
    DibHolder holder;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    QtMovie movie = nullptr;
    RECT rect{};
    bool running = false;  // started by a task, until stopped
};

namespace {

QtMovie OpenMovieFileAt(const char* path) {
    QtFSSpec spec{};
    if (MovieFileRecord(path, &spec) != kQtNoErr)
        return nullptr;
    int16_t ref = 0;
    if (OpenMovieFile(&spec, &ref, kQtReadPermission) != kQtNoErr)
        return nullptr;
    QtMovie movie = nullptr;
    const QtErr err = NewMovieFromFile(&movie, ref, nullptr, nullptr, kQtNewMovieActive, nullptr);
    CloseMovieFile(ref);
    return err == kQtNoErr ? movie : nullptr;
}

}  // namespace

int MovieFrameOpen(std::span<const uint8_t> packedFileRef, MovieFrameSource** source, int16_t rect[4]) {
    if (source)
        *source = nullptr;
    if (!TheMediaManager() || !source || !rect)
        return 16;
    FileSpec movie = EmptyFileSpec();
    UnpackFileSpecTo(&movie, packedFileRef);
    if (!LocateMovieFile(movie, &movie))
        return 16;
    auto* s = new (std::nothrow) MovieFrameSource;
    if (!s)
        return 16;
    s->movie = OpenMovieFileAt(movie.path);
    if (!s->movie) {
        delete s;
        return 16;
    }
    QtRect box{};
    GetMovieBox(s->movie, &box);
    s->rect = RECT{box.left, box.top, box.right, box.bottom};
    rect[0] = box.left;
    rect[1] = box.top;
    rect[2] = box.right;
    rect[3] = box.bottom;
    *source = s;
    return 0;
}

void MovieFrameTask(MovieFrameSource* source) {
    if (!source || !source->movie)
        return;
    if (!source->running) {
        StartMovie(source->movie);
        source->running = true;
    }
    MoviesTask(source->movie, 0);
}

int MovieFrameGetImage(MovieFrameSource* source, HDC dc, HBITMAP* bitmap) {
    if (bitmap)
        *bitmap = nullptr;
    if (!TheMediaManager() || !source || !source->movie || !bitmap)
        return 0;
    source->dc = dc;
    const int width = source->rect.right - source->rect.left, height = source->rect.bottom - source->rect.top;
    if (width <= 0 || height <= 0)
        return 0;
    // A second call draws into a new section: the old world and bitmap go first.
    if (source->world)
        DisposeGWorld(source->world);
    source->world = nullptr;
    if (source->bitmap)
        DeleteObject(source->bitmap);
    DibFree(&source->holder);
    source->bitmap = MakeDibSection(&source->holder, width, height, dc);
    if (!source->bitmap)
        return 0;
    if (NewGWorldFromHBITMAP(&source->world, nullptr, nullptr, 0, source->bitmap, dc) != kQtNoErr || !source->world) {
        source->world = nullptr;
        return 0;
    }
    SetMovieGWorld(source->movie, source->world, nullptr);
    MoviesTask(source->movie, 0);
    *bitmap = source->bitmap;
    return 1;
}

void MovieFrameStop(MovieFrameSource* source) {
    if (!source || !source->movie)
        return;
    StopMovie(source->movie);
    source->running = false;
}

void MovieFrameRewind(MovieFrameSource* source) {
    if (source && source->movie)
        GoToBeginningOfMovie(source->movie);
}

bool MovieFrameDone(MovieFrameSource* source) { return !source || !source->movie || IsMovieDone(source->movie); }

void MovieFrameClose(MovieFrameSource* source) {
    if (!source)
        return;
    if (source->bitmap)
        DeleteObject(source->bitmap);
    if (source->world)
        DisposeGWorld(source->world);
    if (source->movie)
        DisposeMovie(source->movie);
    DibFree(&source->holder);
    delete source;
}
