// The manager's movie file reference: the packed file of the last movie, which a saved movie
// action stores.
#include "media/MediaDialogs.h"

#include "core/files/FileSlots.h"
#include "media/MediaManagerState.h"

Handle GetMediaFileRef() {
    const MediaManager* m = TheMediaManager();
    return m ? m->fileRef : 0;
}

void UpdateMediaFileRef(const FileSpec& movie) {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    DisposeHandleAndClear(&m->fileRef);
    Handle packed = 0;
    if (PackFileSpecPathAndName(movie, &packed))
        m->fileRef = packed;
}

Handle NewStoredMovieReference(const FileSpec& movie) {
    if (!movie.path[0])
        return 0;
    Handle packed = 0;
    if (!TheMediaManager())
        return PackFileSpecPathAndName(movie, &packed) ? packed : 0;
    UpdateMediaFileRef(movie);
    const Handle reference = GetMediaFileRef();
    return reference ? CopyFromHandle(reference, 0, GetHandleSize(reference)) : 0;
}
