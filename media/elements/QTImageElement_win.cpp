// A picture file opened as a movie: how many images it holds, and each image as a packed DIB.
#include <cstring>

#include "core/files/FileSlots.h"
#include "media/elements/QTElements.h"
#include "media/support/DibHolder.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtCalls.h"
#include "media/support/MovieFileRecord.h"

namespace {

// The first sample description's reserved words (after the data format) are 0 in every track.
bool DescriptionsPlain(QtMovie movie) {
    QtHandle description = QTNewHandle(0);
    if (!description)
        return false;
    bool plain = true;
    const int32_t tracks = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= tracks && plain; ++i) {
        QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, i));
        if (!media)
            continue;
        QTSetHandleSize(description, 0);
        GetMediaSampleDescription(media, 1, description);
        QtSampleDescription header{};
        if (QTGetHandleSize(description) < sizeof header)
            continue;
        std::memcpy(&header, *description, sizeof header);
        plain = header.resvd1 == 0 && header.resvd2 == 0;
    }
    QTDisposeHandle(description);
    return plain;
}

void FreeFrames(HGLOBAL array, int count) {
    if (!array)
        return;
    if (auto* frames = static_cast<HGLOBAL*>(GlobalLock(array))) {
        for (int i = 0; i < count; ++i)
            GlobalFree(frames[i]);
        GlobalUnlock(array);
    }
    GlobalFree(array);
}

// Appends the frame to the array (made or grown by one entry); false, the frame not taken,
// when the array cannot grow.
bool AppendFrame(HGLOBAL* array, int count, HGLOBAL frame) {
    const SIZE_T bytes = sizeof(HGLOBAL) * (static_cast<SIZE_T>(count) + 1);
    HGLOBAL grown = *array ? GlobalReAlloc(*array, bytes, GMEM_MOVEABLE) : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!grown)
        return false;
    *array = grown;
    auto* frames = static_cast<HGLOBAL*>(GlobalLock(grown));
    if (!frames)
        return false;
    frames[count] = frame;
    GlobalUnlock(grown);
    return true;
}

}  // namespace

QTImageElement::QTImageElement(const char* file) {
    if (file)
        CopyPathText(file, path, sizeof path);
    volume = 0;
    objectId = -1;
    mode = kQTModeMovie;
}

int QTImageElement::Open(const Window& target, int) {
    delete window;
    window = new QTWindow(this, target);
    QtFSSpec file{};
    int16_t reference = 0;
    if (MovieFileRecord(path, &file) != kQtNoErr || OpenMovieFile(&file, &reference, kQtReadPermission) != kQtNoErr)
        return 0;
    QtMovie opened = nullptr;
    const QtErr error = NewMovieFromFile(&opened, reference, nullptr, nullptr, kQtNewMovieActive, nullptr);
    CloseMovieFile(reference);
    if (error != kQtNoErr || !opened)
        return 0;
    movie = opened;
    QtRect box{};
    GetMovieBox(movie, &box);
    rect = RECT{box.left, box.top, box.right, box.bottom};
    return 1;
}

int QTImageElement::CountImages() {
    if (!movie)
        return 0;
    int count = 0;
    const int32_t tracks = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= tracks; ++i) {
        if (QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, i)))
            count += GetMediaSampleCount(media);
    }
    return count;
}

int QTImageElement::DecodeFrames(HGLOBAL* frames, int* count) {
    *frames = nullptr;
    *count = 0;
    if (!movie || !DescriptionsPlain(movie))
        return 0;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    DibHolder holder;
    HBITMAP section = width > 0 && height > 0 ? MakeDibSection(&holder, width, height, screen) : nullptr;
    QtGWorldPtr world = nullptr;
    if (!section || NewGWorldFromHBITMAP(&world, nullptr, nullptr, 0, section, screen) != kQtNoErr || !world) {
        if (section)
            DeleteObject(section);
        DibFree(&holder);
        ReleaseDC(nullptr, screen);
        return 1;
    }
    QtGrafPtr oldPort = nullptr;
    QtGDHandle oldDevice = nullptr;
    GetMovieGWorld(movie, &oldPort, &oldDevice);
    SetMovieGWorld(movie, reinterpret_cast<QtGrafPtr>(world), nullptr);
    GoToBeginningOfMovie(movie);
    HGLOBAL array = nullptr;
    int stored = 0;
    bool failed = false;
    QtTimeValue time = 0;
    for (;;) {
        SetMovieTimeValue(movie, time);
        UpdateMovie(movie);
        MoviesTask(movie, 0);
        HGLOBAL frame = DibSectionToPackedDib(holder);
        if (!frame || !AppendFrame(&array, stored, frame)) {
            if (frame)
                GlobalFree(frame);
            failed = true;
            break;
        }
        ++stored;
        QtTimeValue next = -1;
        GetMovieNextInterestingTime(movie, kQtNextTimeMediaSample, 0, nullptr, time, kQtFixed1, &next, nullptr);
        // A movie that makes no progress ends the walk.
        if (next < 0 || next <= time)
            break;
        time = next;
    }
    SetMovieGWorld(movie, oldPort, oldDevice);
    DisposeGWorld(world);
    DeleteObject(section);
    DibFree(&holder);
    ReleaseDC(nullptr, screen);
    if (failed) {
        FreeFrames(array, stored);
        return 0;
    }
    *frames = array;
    *count = stored;
    return 1;
}
