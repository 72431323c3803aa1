// The manager's movie file reference: the packed file-spec slot 14 of the last movie, which a
// saved movie action stores.
#include "media/MediaDialogs.h"

#include "core/files/FileSlots.h"
#include "media/MediaManagerState.h"

Handle GetMediaFileRef() {
    const MediaManager* m = TheMediaManager();
    return m ? m->fileRef : 0;
}

void UpdateMediaFileRef() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    DisposeHandleAndClear(&m->fileRef);
    Handle packed = 0;
    if (PackFileSpec(kSlotMediaFolder14, &packed))
        m->fileRef = packed;
}

void UpdateMediaFileRefFromSlot(int) { UpdateMediaFileRef(); }

Handle NewStoredMovieReference() {
    const FileSpec* spec = GetFileSpec(kSlotMediaFolder14);
    if (!spec || !spec->path[0])
        return 0;
    Handle packed = 0;
    if (!TheMediaManager())
        return PackFileSpec(kSlotMediaFolder14, &packed) ? packed : 0;
    UpdateMediaFileRefFromSlot(kSlotMediaFolder14);
    const Handle reference = GetMediaFileRef();
    return reference ? CopyFromHandle(reference, 0, GetHandleSize(reference)) : 0;
}
