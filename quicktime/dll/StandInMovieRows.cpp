// The movie calls: each row reads its argument words as the call declares them and answers
// from the movie table.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "quicktime/QtEffects.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInFiles.h"
#include "quicktime/dll/QtStandInHandles.h"
#include "quicktime/dll/StandInController.h"
#include "quicktime/dll/StandInMidi.h"
#include "quicktime/dll/StandInMovies.h"

namespace {

template <typename T>
T* Out(QtWord w) {
    return reinterpret_cast<T*>(w);
}

StandInMovie* MovieArg(QtWord w) { return FindStandInMovie(w); }

QtRect ToQtRect(const StandInBox& b) {
    return {static_cast<int16_t>(b.top), static_cast<int16_t>(b.left), static_cast<int16_t>(b.bottom),
            static_cast<int16_t>(b.right)};
}

int32_t ClampTime(StandInTime t) { return static_cast<int32_t>(std::clamp<StandInTime>(t, INT32_MIN, INT32_MAX)); }

// Movie files opened by OpenMovieFile, by reference number.
std::map<int16_t, std::string> g_files;
int16_t g_nextFile = 1;

intptr_t DoMoviesTask(const QtWord* a) {
    StandInMoviesTask(a[0]);
    return kQtNoErr;
}

intptr_t DoSetMovieActive(const QtWord* a) {
    if (StandInMovie* m = MovieArg(a[0])) {
        m->active = (a[1] & 0xFF) != 0;
        m->shownSample = -1;
    }
    return kQtNoErr;
}

intptr_t DoGetMovieActive(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m && m->active;
}

intptr_t DoStartMovie(const QtWord* a) {
    StandInMovie* m = MovieArg(a[0]);
    if (!m)
        return kQtInvalidMovie;
    SetStandInMovieRate(m, m->preferredRate);
    m->active = true;
    StartStandInSound(a[0], m);
    return kQtNoErr;
}

intptr_t DoStopMovie(const QtWord* a) {
    StandInMovie* m = MovieArg(a[0]);
    if (!m)
        return kQtInvalidMovie;
    SetStandInMovieRate(m, 0);
    StopStandInSound(a[0], m);
    return kQtNoErr;
}

void MoveTo(QtWord word, StandInMovie* m, StandInTime t) {
    SetStandInMovieTime(m, t);
    m->shownSample = -1;
    if (m->rate != 0)
        StartStandInSound(word, m);  // from the new time
}

intptr_t DoGoToBeginningOfMovie(const QtWord* a) {
    if (StandInMovie* m = MovieArg(a[0]))
        MoveTo(a[0], m, 0);
    return kQtNoErr;
}

intptr_t DoSetMovieTimeValue(const QtWord* a) {
    if (StandInMovie* m = MovieArg(a[0]))
        MoveTo(a[0], m, static_cast<int32_t>(a[1]));
    return kQtNoErr;
}

intptr_t DoGetMovieGWorld(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    if (auto* port = Out<QtWord>(a[1]))
        *port = m ? m->gworld : 0;
    if (auto* device = Out<QtWord>(a[2]))
        *device = 0;
    return kQtNoErr;
}

intptr_t DoSetMovieGWorld(const QtWord* a) {
    if (StandInMovie* m = MovieArg(a[0])) {
        m->gworld = a[1];
        m->shownSample = -1;
    }
    return kQtNoErr;
}

intptr_t DoGetMoviePict(const QtWord* a) {
    StandInMovie* m = MovieArg(a[0]);
    StandInImage frame;
    if (!m || !StandInMovieFrame(m, static_cast<int32_t>(a[1]), &frame))
        return 0;
    return reinterpret_cast<intptr_t>(StandInNewHandleFrom(StandInDibFromImage(frame)));
}

intptr_t DoUpdateMovie(const QtWord* a) {
    StandInMovie* m = MovieArg(a[0]);
    if (!m)
        return kQtInvalidMovie;
    m->shownSample = -1;  // the next task draws the frame again
    return kQtNoErr;
}

intptr_t DoDisposeMovie(const QtWord* a) {
    DisposeStandInMovie(a[0]);
    return kQtNoErr;
}

// User data is answered by the movie itself: its word stands for its user data.
intptr_t DoGetMovieUserData(const QtWord* a) { return MovieArg(a[0]) ? static_cast<intptr_t>(a[0]) : 0; }

intptr_t DoCountUserDataType(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    if (!m)
        return 0;
    return std::count_if(m->userData.begin(), m->userData.end(),
                         [&](const auto& item) { return item.first == static_cast<uint32_t>(a[1]); });
}

intptr_t DoGetMovieTrackCount(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m ? static_cast<intptr_t>(m->tracks.size()) : 0;
}

intptr_t DoGetMovieIndTrack(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    const auto index = static_cast<int32_t>(a[1]);
    if (!m || index < 1 || size_t(index) > m->tracks.size())
        return 0;
    return static_cast<intptr_t>(StandInTrackWord(a[0], size_t(index - 1)));
}

intptr_t DoGetTrackMedia(const QtWord* a) {
    const StandInTrackRef ref = FindStandInTrack(a[0]);
    if (!ref.track || ref.track->mediaType == 0)
        return 0;
    return static_cast<intptr_t>(StandInMediaWord(ref.movieWord, size_t(ref.track - ref.movie->tracks.data())));
}

intptr_t DoGetMediaHandlerDescription(const QtWord* a) {
    const StandInTrackRef ref = FindStandInMedia(a[0]);
    if (auto* type = Out<uint32_t>(a[1]))
        *type = ref.track ? ref.track->mediaType : 0;
    if (auto* name = Out<uint8_t>(a[2]))
        name[0] = 0;
    if (auto* maker = Out<uint32_t>(a[3]))
        *maker = ref.track ? QtFourCC("appl") : 0;
    return kQtNoErr;
}

intptr_t DoGetMediaSampleDescription(const QtWord* a) {
    const StandInTrackRef ref = FindStandInMedia(a[0]);
    const auto index = static_cast<int32_t>(a[1]);
    auto handle = reinterpret_cast<QtHandle>(a[2]);
    if (!ref.track || index < 1 || size_t(index) > ref.track->descriptions.size() || !StandInIsHandle(handle))
        return kQtInvalidMedia;
    const std::vector<uint8_t>& d = ref.track->descriptions[size_t(index - 1)];
    if (!StandInSetHandleSize(handle, static_cast<uint32_t>(d.size())))
        return kQtMemFullErr;
    std::copy(d.begin(), d.end(), StandInHandleBytes(handle).begin());
    return kQtNoErr;
}

intptr_t DoGetMediaSampleCount(const QtWord* a) {
    const StandInTrackRef ref = FindStandInMedia(a[0]);
    return ref.track ? ref.track->SampleCount() : 0;
}

intptr_t SetMediaEditing(QtWord media, bool editing) {
    const StandInTrackRef ref = FindStandInMedia(media);
    if (!ref.track)
        return kQtInvalidMedia;
    ref.track->editing = editing;
    return kQtNoErr;
}

intptr_t DoBeginMediaEdits(const QtWord* a) { return SetMediaEditing(a[0], true); }
intptr_t DoEndMediaEdits(const QtWord* a) { return SetMediaEditing(a[0], false); }

// AddMediaSample (media, data, offset, size, durationPerSample, description, count, flags, *time).
intptr_t DoAddMediaSample(const QtWord* a) {
    const StandInTrackRef ref = FindStandInMedia(a[0]);
    if (!ref.track)
        return kQtInvalidMedia;
    if (!ref.track->editing)
        return kStandInNotEditing;
    const std::span<const uint8_t> data = StandInHandleBytes(reinterpret_cast<QtHandle>(a[1]));
    const std::span<const uint8_t> description = StandInHandleBytes(reinterpret_cast<QtHandle>(a[5]));
    const auto offset = static_cast<uint32_t>(a[2]), size = static_cast<uint32_t>(a[3]);
    if (data.empty() || description.empty() || offset > data.size() || size > data.size() - offset)
        return kQtParamErr;  // never past the caller's block
    if (ref.track->mediaType != kStandInSound)
        return kStandInBadFormat;  // only sound media are made in memory
    const StandInTime before = ref.track->MediaDuration();
    const int32_t err = AddStandInSoundSamples(ref.track, data.subspan(offset, size), description,
                                               static_cast<uint32_t>(a[6]), static_cast<uint32_t>(a[4]));
    if (err == kQtNoErr)
        if (auto* time = Out<int32_t>(a[8]))
            *time = ClampTime(before);
    return err;
}

// InsertMediaIntoTrack (track, trackStart, mediaTime, mediaDuration, rate): the media from its
// start; a part of it or another rate is not kept apart.
intptr_t DoInsertMediaIntoTrack(const QtWord* a) {
    const StandInTrackRef ref = FindStandInTrack(a[0]);
    if (!ref.track)
        return kQtInvalidTrack;
    ref.track->trackStart = std::max<int32_t>(static_cast<int32_t>(a[1]), 0);
    ref.track->inserted = true;
    RecomputeStandInDuration(ref.movie);
    return kQtNoErr;
}

intptr_t DoNewMovie(const QtWord* a) {
    auto movie = std::make_unique<StandInMovie>();
    movie->active = (a[0] & kQtNewMovieActive) != 0;
    movie->gworld = StandInCurrentGWorld();
    return static_cast<intptr_t>(AddStandInMovie(std::move(movie)));
}

intptr_t DoNewMovieTrack(const QtWord* a) {
    StandInMovie* m = MovieArg(a[0]);
    if (!m)
        return 0;
    StandInTrack track;
    track.width = static_cast<int32_t>(a[1]) >> 16;
    track.height = static_cast<int32_t>(a[2]) >> 16;
    track.volume = static_cast<int16_t>(a[3]);
    m->tracks.push_back(std::move(track));
    return static_cast<intptr_t>(StandInTrackWord(a[0], m->tracks.size() - 1));
}

intptr_t DoNewTrackMedia(const QtWord* a) {
    const StandInTrackRef ref = FindStandInTrack(a[0]);
    if (!ref.track || ref.track->mediaType != 0 || static_cast<int32_t>(a[2]) <= 0)
        return 0;
    ref.track->mediaType = static_cast<uint32_t>(a[1]);
    ref.track->mediaScale = StandInScale(static_cast<uint32_t>(a[2]));
    return static_cast<intptr_t>(StandInMediaWord(ref.movieWord, size_t(ref.track - ref.movie->tracks.data())));
}

intptr_t DoOpenMovieFile(const QtWord* a) {
    const std::string path = StandInFSSpecPath(reinterpret_cast<const QtFSSpec*>(a[0]));
    auto* refNum = Out<int16_t>(a[1]);
    if (refNum)
        *refNum = 0;
    if (path.empty())
        return kQtBadFileName;
    if (!StandInFileExists(path))
        return kQtFnfErr;
    if (g_nextFile == INT16_MAX)
        g_nextFile = 1;
    const int16_t n = g_nextFile++;
    g_files[n] = path;
    if (refNum)
        *refNum = n;
    return kQtNoErr;
}

intptr_t DoCloseMovieFile(const QtWord* a) {
    return g_files.erase(static_cast<int16_t>(a[0])) ? kQtNoErr : kQtParamErr;
}

QtErr Hand(std::unique_ptr<StandInMovie> movie, int32_t err, QtWord out, bool active) {
    auto* result = Out<QtWord>(out);
    if (result)
        *result = 0;
    if (err != kQtNoErr)
        return static_cast<QtErr>(err);
    movie->active = active;
    movie->box = movie->natural;
    movie->gworld = StandInCurrentGWorld();
    const QtWord word = AddStandInMovie(std::move(movie));
    if (result)
        *result = word;
    return word ? kQtNoErr : kQtMemFullErr;
}

// NewMovieFromFile (movie*, refNum, resId*, resName, flags, dataRefWasChanged*).
intptr_t DoNewMovieFromFile(const QtWord* a) {
    if (auto* changed = Out<uint8_t>(a[5]))
        *changed = 0;
    if (auto* resId = Out<int16_t>(a[2]))
        *resId = 0;
    const auto it = g_files.find(static_cast<int16_t>(a[1]));
    if (it == g_files.end())
        return Hand(nullptr, kQtParamErr, a[0], false);
    std::unique_ptr<StandInMovie> movie;
    const int32_t err = OpenStandInMovieFile(it->second, &movie);
    return Hand(std::move(movie), err, a[0], (a[4] & kQtNewMovieActive) != 0);
}

// NewMovieFromDataRef (movie*, flags, id*, dataRef, type): a 'hndl' reference is a handle that
// holds the handle of the data.
intptr_t DoNewMovieFromDataRef(const QtWord* a) {
    if (auto* id = Out<int16_t>(a[2]))
        *id = 0;
    if (static_cast<uint32_t>(a[4]) != kQtHandleDataRef)
        return Hand(nullptr, kQtCantFindHandler, a[0], false);
    const std::span<const uint8_t> ref = StandInHandleBytes(reinterpret_cast<QtHandle>(a[3]));
    QtHandle data = nullptr;
    if (ref.size() >= sizeof data)
        std::memcpy(&data, ref.data(), sizeof data);
    if (!StandInIsHandle(data))
        return Hand(nullptr, kQtParamErr, a[0], false);
    std::unique_ptr<StandInMovie> movie;
    const int32_t err = OpenStandInMovieData(StandInHandleBytes(data), &movie);
    return Hand(std::move(movie), err, a[0], (a[1] & kQtNewMovieActive) != 0);
}

intptr_t DoIsMovieDone(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return !m || IsStandInMovieDone(*m);
}

intptr_t DoGetMoviePreferredRate(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m ? m->preferredRate : 0;
}

intptr_t DoGetMovieBox(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    if (auto* box = Out<QtRect>(a[1]))
        *box = m ? ToQtRect(m->box) : QtRect{};
    return kQtNoErr;
}

// GetMovieNextInterestingTime (movie, flags, count, types, time, rate, *time, *duration).
intptr_t DoGetMovieNextInterestingTime(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    const auto flags = static_cast<int16_t>(a[1]);
    const auto count = std::clamp<int16_t>(static_cast<int16_t>(a[2]), 0, 64);
    const auto* types = Out<const uint32_t>(a[3]);
    StandInTime t = -1, duration = 0;
    if (m && (flags & kQtNextTimeMediaSample))
        t = StandInNextSampleTime(*m, types ? std::span<const uint32_t>(types, size_t(count)) : std::span<const uint32_t>{},
                                  static_cast<int32_t>(a[4]), static_cast<int32_t>(a[5]) < 0,
                                  (flags & kQtNextTimeEdgeOK) != 0, &duration);
    if (auto* time = Out<int32_t>(a[6]))
        *time = ClampTime(t);
    if (auto* d = Out<int32_t>(a[7]))
        *d = ClampTime(duration);
    return kQtNoErr;
}

intptr_t DoGetMovieTimeScale(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m ? static_cast<intptr_t>(m->timeScale) : 0;
}

intptr_t DoGetMovieDuration(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m ? ClampTime(m->duration) : 0;
}

intptr_t DoGetMovieTime(const QtWord* a) {
    const StandInMovie* m = MovieArg(a[0]);
    return m ? ClampTime(StandInMovieTime(*m)) : 0;
}

intptr_t DoAdvanceTestClock(const QtWord* a) {
    AdvanceStandInTestClock(static_cast<uint32_t>(a[0]));
    return kQtNoErr;
}

}  // namespace

QtWord StandInCurrentGWorld() {
    QtWord port = 0, device = 0;
    const QtWord args[16] = {reinterpret_cast<QtWord>(&port), reinterpret_cast<QtWord>(&device)};
    StandInDispatch(kQtSelGetGWorld, args);
    return port;
}

std::span<const StandInRow> StandInMovieRows() {
    static constexpr std::array kRows = {
        StandInRow{kQtSelMoviesTask, DoMoviesTask},
        StandInRow{kQtSelSetMovieActive, DoSetMovieActive},
        StandInRow{kQtSelGetMovieActive, DoGetMovieActive},
        StandInRow{kQtSelStartMovie, DoStartMovie},
        StandInRow{kQtSelStopMovie, DoStopMovie},
        StandInRow{kQtSelGoToBeginningOfMovie, DoGoToBeginningOfMovie},
        StandInRow{kQtSelGetMovieGWorld, DoGetMovieGWorld},
        StandInRow{kQtSelSetMovieGWorld, DoSetMovieGWorld},
        StandInRow{kQtSelGetMoviePict, DoGetMoviePict},
        StandInRow{kQtSelUpdateMovie, DoUpdateMovie},
        StandInRow{kQtSelDisposeMovie, DoDisposeMovie},
        StandInRow{kQtSelSetMovieTimeValue, DoSetMovieTimeValue},
        StandInRow{kQtSelGetMovieUserData, DoGetMovieUserData},
        StandInRow{kQtSelCountUserDataType, DoCountUserDataType},
        StandInRow{kQtSelGetMovieTrackCount, DoGetMovieTrackCount},
        StandInRow{kQtSelGetMovieIndTrack, DoGetMovieIndTrack},
        StandInRow{kQtSelGetTrackMedia, DoGetTrackMedia},
        StandInRow{kQtSelGetMediaHandlerDescription, DoGetMediaHandlerDescription},
        StandInRow{kQtSelGetMediaSampleDescription, DoGetMediaSampleDescription},
        StandInRow{kQtSelGetMediaSampleCount, DoGetMediaSampleCount},
        StandInRow{kQtSelBeginMediaEdits, DoBeginMediaEdits},
        StandInRow{kQtSelEndMediaEdits, DoEndMediaEdits},
        StandInRow{kQtSelAddMediaSample, DoAddMediaSample},
        StandInRow{kQtSelInsertMediaIntoTrack, DoInsertMediaIntoTrack},
        StandInRow{kQtSelNewMovie, DoNewMovie},
        StandInRow{kQtSelNewMovieTrack, DoNewMovieTrack},
        StandInRow{kQtSelNewTrackMedia, DoNewTrackMedia},
        StandInRow{kQtSelOpenMovieFile, DoOpenMovieFile},
        StandInRow{kQtSelCloseMovieFile, DoCloseMovieFile},
        StandInRow{kQtSelNewMovieFromFile, DoNewMovieFromFile},
        StandInRow{kQtSelNewMovieFromDataRef, DoNewMovieFromDataRef},
        StandInRow{kQtSelIsMovieDone, DoIsMovieDone},
        StandInRow{kQtSelGetMoviePreferredRate, DoGetMoviePreferredRate},
        StandInRow{kQtSelGetMovieBox, DoGetMovieBox},
        StandInRow{kQtSelGetMovieNextInterestingTime, DoGetMovieNextInterestingTime},
        StandInRow{kQtSelGetMovieTimeScale, DoGetMovieTimeScale},
        StandInRow{kQtSelGetMovieDuration, DoGetMovieDuration},
        StandInRow{kQtSelGetMovieTime, DoGetMovieTime},
        StandInRow{kQtSelNewMovieController, DoNewMovieController},
        StandInRow{kQtSelDisposeMovieController, DoDisposeMovieController},
        StandInRow{kQtSelConvertFileToMovieFile, DoConvertFileToMovieFile},
        StandInRow{kQtSelConvertMovieToFile, DoConvertMovieToFile},
        StandInRow{kQtSelAdvanceTestClock, DoAdvanceTestClock},
    };
    return kRows;
}
