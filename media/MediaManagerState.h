// The media manager's record, shared by the files of the facade (MediaManager.h). Only the
// media layer's own files include it; everyone else goes through the facade.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"
#include "media/support/MediaWindows.h"
#include "media/support/PointerList.h"

class MediaElement;
class QTImageElement;
class Previewer;

inline constexpr int32_t kMediaNodesPerBlock = 10;
inline constexpr uint32_t kMediaFileRefBytes = 260;

// The card window (the Window part) the movies are shown over.
struct MediaManager : Window {
    HINSTANCE module = nullptr;
    PointerList movies;           // QTMovieElement or AVIElement
    int32_t quickTimeUsable = 1;  // QuickTime started and movies entered
    PointerList sounds;           // QTSoundElement
    Previewer* previewer = nullptr;
    QTImageElement* pictureElement = nullptr;  // alive during one picture query only
    Handle fileRef = 0;           // the packed slot 14 of the last movie
};

// The manager, or null when there is none (every facade call then gives its fixed result).
MediaManager* TheMediaManager();
// Every sound element deleted and the sound list reset (the manager's destruction, step 2).
void MediaDeleteAllSounds(MediaManager& manager);
