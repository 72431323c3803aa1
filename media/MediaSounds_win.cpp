// The manager's sounds: stored 'Snd ' and 'Midi' resources and sound files played as sound
// elements kept in the sound list until they are found done or stopped, and the sound-only
// movies that count as sounds when asked what plays and when sounds are stopped.
#include <windows.h>

#include <new>
#include <string>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/ui/Resources.h"
#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/elements/QTElements.h"
#include "media/sounds/SoundResources.h"
#include "quicktime/QtCalls.h"
#include "format/ResFile.h"

namespace {

QTSoundElement* SoundAt(const PointerNode* node) { return static_cast<QTSoundElement*>(node->data); }
MediaElement* MovieAt(const PointerNode* node) { return static_cast<MediaElement*>(node->data); }

void DeleteSoundNode(MediaManager& m, PointerNode* node) {
    QTSoundElement* sound = SoundAt(node);
    PointerListRemove(&m.sounds, node);
    delete sound;
}

void DeleteMovieNode(MediaManager& m, PointerNode* node) {
    MediaElement* movie = MovieAt(node);
    PointerListRemove(&m.movies, node);
    delete movie;
}

// Sounds that answer done go before any other sound operation looks at the list.
void DropFinishedSounds(MediaManager& m) {
    ForEachPointerNode(m.sounds, [&](PointerNode* node) {
        if (SoundAt(node)->Idle())
            DeleteSoundNode(m, node);
    });
}

void StartSound(MediaManager& m, QTSoundElement* sound) {
    if (!sound)
        return;
    if (!sound->Open(m, 1) || !PointerListAppend(&m.sounds, sound)) {
        delete sound;
        return;
    }
    sound->Play();
}

}  // namespace

void MediaDeleteAllSounds(MediaManager& m) {
    ForEachPointerNode(m.sounds, [&](PointerNode* node) { DeleteSoundNode(m, node); });
    PointerListReset(&m.sounds);
}

int MediaIsPlaying() {
    MediaManager* m = TheMediaManager();
    if (!m)
        return 0;
    DropFinishedSounds(*m);
    if (m->sounds.count > 0)
        return 1;
    int playing = 0;
    ForEachPointerNode(m->movies, [&](PointerNode* node) {
        auto* movie = dynamic_cast<QTElement*>(MovieAt(node));
        if (movie && (movie->state & kMediaStateSoundOnly) && movie->movie && !IsMovieDone(movie->movie))
            playing = 1;
    });
    return playing;
}

void MediaPlaySound(Handle data, int volume, uint32_t flags) {
    MediaManager* m = TheMediaManager();
    if (!m || !data)
        return;
    DropFinishedSounds(*m);
    if (StopIfStopAllSoundsName(data))
        return;
    StartSound(*m, new (std::nothrow) QTSoundElement(data, flags, static_cast<int16_t>(volume)));
}

void MediaPlaySoundFile(const char* path, int volume, uint32_t flags) {
    MediaManager* m = TheMediaManager();
    if (!m || !path || !*path)
        return;
    DropFinishedSounds(*m);
    StartSound(*m, new (std::nothrow) QTSoundElement(path, flags, static_cast<int16_t>(volume)));
}

void MediaSetSoundVolume(int volume) {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    DropFinishedSounds(*m);
    ForEachPointerNode(m->sounds, [&](PointerNode* node) { SoundAt(node)->SetVolume(volume); });
}

void MediaStopSounds(int all) {
    MediaManager* m = TheMediaManager();
    if (!m)
        return;
    DropFinishedSounds(*m);
    ForEachPointerNode(m->sounds, [&](PointerNode* node) {
        if (all || !SoundAt(node)->keep)
            DeleteSoundNode(*m, node);
    });
    ForEachPointerNode(m->movies, [&](PointerNode* node) {
        const MediaElement* movie = MovieAt(node);
        if ((movie->state & kMediaStateSoundOnly) && (all || !(movie->flags & kMediaFlagBackground)))
            DeleteMovieNode(*m, node);
    });
}

void PlaySoundResource(int16_t id, uint32_t flags, int volume) {
    StopAllSounds(0);
    if (flags & kSoundNotPlayed)
        return;
    const Handle data = GetResource((flags & kSoundMidi) ? kMidi : kSnd, static_cast<uint16_t>(id));
    if (data)
        MediaPlaySound(data, volume, flags);
}

void PlaySoundFromFile(const char* remembered, uint32_t flags, int volume) {
    StopAllSounds(0);
    char path[kFileSpecPathSize] = {};
    if (LocateSoundPath(remembered, path, sizeof path))
        MediaPlaySoundFile(path, volume, flags);
}

void StopSounds(int all) { StopAllSounds(all); }
