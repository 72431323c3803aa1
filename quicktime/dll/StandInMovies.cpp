// The movie table, time and the frame due.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A movie's word: a tag bit, the slot and room for tracks (low 10 bits: 0 the movie, 1..511 a
// track, 513..1023 its media). Slots come round again only after a million movies, and never
// while their movie lives.
constexpr QtWord kMovieTag = 0x40000000;
constexpr QtWord kSlotShift = 10;
constexpr QtWord kSlotMask = 0xFFFFF;
constexpr QtWord kMediaBit = 0x200;
constexpr size_t kMaxTracks = 0x1FF;

std::map<QtWord, std::unique_ptr<StandInMovie>> g_movies;
QtWord g_nextSlot = 1;

QtWord MovieWordOf(QtWord word) { return word & ~((QtWord(1) << kSlotShift) - 1); }

StandInTrackRef FindPart(QtWord word, bool media) {
    const QtWord low = word & ((QtWord(1) << kSlotShift) - 1);
    if (low == 0 || ((low & kMediaBit) != 0) != media)
        return {};
    const QtWord movieWord = MovieWordOf(word);
    StandInMovie* movie = FindStandInMovie(movieWord);
    const size_t index = (low & ~kMediaBit) - 1;
    if (!movie || index >= movie->tracks.size())
        return {};
    return {movie, &movie->tracks[index], movieWord};
}

// value × by / over, rounding toward minus infinity; exact while the product has 64 bits.
StandInTime MulDiv(StandInTime value, uint32_t by, uint32_t over) {
    if (over == 0)
        return 0;
    const long double r = std::floor(static_cast<long double>(value) * by / over);
    return r >= static_cast<long double>(kStandInMaxTime) ? kStandInMaxTime
           : r <= -static_cast<long double>(kStandInMaxTime) ? -kStandInMaxTime
                                                                : static_cast<StandInTime>(r);
}

// Movie units from media units and back, rounding down.
StandInTime ToMovie(StandInTime media, uint32_t mediaScale, uint32_t movieScale) {
    return MulDiv(media, movieScale, mediaScale);
}
StandInTime ToMedia(StandInTime movie, uint32_t mediaScale, uint32_t movieScale) {
    return MulDiv(movie, mediaScale, movieScale);
}

}  // namespace

uint32_t StandInTrack::SampleCount() const {
    uint64_t n = 0;
    for (const StandInSampleRun& run : runs)
        n += run.count;
    return static_cast<uint32_t>(std::min<uint64_t>(n, INT32_MAX));
}

StandInTime StandInTrack::MediaDuration() const {
    StandInTime d = 0;
    for (const StandInSampleRun& run : runs)
        d = std::min(d + StandInTime(run.count) * run.duration, kStandInMaxTime);
    return d;
}

QtWord AddStandInMovie(std::unique_ptr<StandInMovie> movie) {
    if (!movie || g_movies.size() >= kSlotMask)
        return 0;
    QtWord word = 0;
    do {
        if (g_nextSlot > kSlotMask)
            g_nextSlot = 1;
        word = kMovieTag | (g_nextSlot++ << kSlotShift);
    } while (g_movies.count(word));
    movie->anchorMs = StandInNowMs();
    g_movies[word] = std::move(movie);
    return word;
}

StandInMovie* FindStandInMovie(QtWord movie) {
    const auto it = g_movies.find(movie);
    return it == g_movies.end() ? nullptr : it->second.get();
}

void DisposeStandInMovie(QtWord movie) {
    const auto it = g_movies.find(movie);
    if (it == g_movies.end())
        return;
    StopStandInSound(movie, it->second.get());
    g_movies.erase(it);
}

int StandInMovieCount() { return static_cast<int>(g_movies.size()); }

QtWord StandInTrackWord(QtWord movie, size_t index) { return index < kMaxTracks ? movie | (index + 1) : 0; }
QtWord StandInMediaWord(QtWord movie, size_t index) {
    return index < kMaxTracks ? movie | kMediaBit | (index + 1) : 0;
}
StandInTrackRef FindStandInTrack(QtWord track) { return FindPart(track, false); }
StandInTrackRef FindStandInMedia(QtWord media) { return FindPart(media, true); }

void RecomputeStandInDuration(StandInMovie* movie) {
    StandInTime end = 0;
    for (const StandInTrack& track : movie->tracks)
        if (track.inserted)
            end = std::max(end, track.trackStart + ToMovie(track.MediaDuration(), track.mediaScale, movie->timeScale));
    movie->duration = std::min<StandInTime>(end, INT32_MAX);  // callers see 32-bit times
}

StandInTime StandInMovieTime(const StandInMovie& movie) {
    StandInTime t = movie.anchorTime;
    if (movie.rate != 0) {
        const int64_t elapsed = std::clamp<int64_t>(StandInNowMs() - movie.anchorMs, 0, int64_t(1) << 38);
        // elapsed ms × scale / 1000 × rate (16.16); exact at the normal rate.
        const StandInTime units = elapsed * StandInTime(movie.timeScale);
        t += movie.rate == kQtFixed1
                 ? units / 1000
                 : static_cast<StandInTime>(std::floor(double(units) * movie.rate / (1000.0 * 65536.0)));
    }
    if (movie.looping && movie.duration > 0) {
        t %= movie.duration;
        if (t < 0)
            t += movie.duration;
        return t;
    }
    return std::clamp<StandInTime>(t, 0, movie.duration);
}

void SetStandInMovieTime(StandInMovie* movie, StandInTime time) {
    movie->anchorTime = std::clamp<StandInTime>(time, 0, movie->duration);
    movie->anchorMs = StandInNowMs();
}

void SetStandInMovieRate(StandInMovie* movie, int32_t rate) {
    movie->anchorTime = StandInMovieTime(*movie);
    movie->anchorMs = StandInNowMs();
    movie->rate = rate;
}

bool IsStandInMovieDone(const StandInMovie& movie) {
    if (movie.looping && movie.duration > 0)
        return false;
    const StandInTime t = StandInMovieTime(movie);
    return movie.rate < 0 ? t <= 0 : t >= movie.duration;
}

StandInTime StandInNextSampleTime(const StandInMovie& movie, std::span<const uint32_t> types, StandInTime time,
                                  bool backward, bool edgeOK, StandInTime* duration) {
    StandInTime best = -1;
    StandInTime bestDuration = 0;
    const StandInTime ms = movie.timeScale;
    for (const StandInTrack& track : movie.tracks) {
        if (!track.inserted || ms == 0 || (!types.empty() && std::find(types.begin(), types.end(), track.mediaType) == types.end()))
            continue;
        const StandInTime s = track.mediaScale;
        // A sample at media time m starts at movie time trackStart + floor(m × ms / s). Forward:
        // the first m whose start reaches `limit`; backward: the last whose start stays within it.
        const StandInTime limit = (time - track.trackStart) + (backward ? (edgeOK ? 0 : -1) : (edgeOK ? 0 : 1));
        StandInTime media = -track.mediaStart;  // samples before the first edit's media time come early
        for (const StandInSampleRun& run : track.runs) {
            const StandInTime d = run.duration;
            if (d == 0 || run.count == 0)
                continue;
            StandInTime k = -1;
            if (!backward) {
                const StandInTime first = limit <= 0 ? 0 : (limit * s + ms - 1) / ms;  // ceil
                const StandInTime from = first <= media ? 0 : (first - media + d - 1) / d;
                k = from < StandInTime(run.count) ? from : -1;
            } else if (limit >= 0) {
                const StandInTime last = ((limit + 1) * s - 1) / ms;  // the last m with floor(m × ms / s) <= limit
                k = last < media ? -1 : std::min<StandInTime>((last - media) / d, StandInTime(run.count) - 1);
            }
            if (k >= 0) {
                const StandInTime start = track.trackStart + ToMovie(media + k * d, track.mediaScale, movie.timeScale);
                if (best < 0 || (backward ? start > best : start < best)) {
                    best = start;
                    bestDuration = ToMovie(d, track.mediaScale, movie.timeScale);
                }
            }
            media = std::min(media + StandInTime(run.count) * d, kStandInMaxTime);
        }
    }
    if (duration)
        *duration = best < 0 ? 0 : bestDuration;
    return best;
}

int64_t StandInVideoSampleAt(const StandInMovie& movie, StandInTime time) {
    for (const StandInTrack& track : movie.tracks) {
        if (track.mediaType != kStandInVideo || !track.inserted)
            continue;
        if (time < track.trackStart)
            return -1;
        StandInTime media = ToMedia(time - track.trackStart, track.mediaScale, movie.timeScale) + track.mediaStart;
        if (!track.displayOrder.empty()) {
            // The sample whose display interval holds the time: the last to start at or before it.
            const auto after = std::upper_bound(track.displayOrder.begin(), track.displayOrder.end(), media,
                                                [](StandInTime t, const auto& entry) { return t < entry.first; });
            return after == track.displayOrder.begin() ? track.displayOrder.front().second : std::prev(after)->second;
        }
        int64_t sample = 0;
        for (const StandInSampleRun& run : track.runs) {
            const StandInTime span = StandInTime(run.count) * run.duration;
            if (media < span)
                return sample + (run.duration ? media / run.duration : 0);
            media -= span;
            sample += run.count;
        }
        return sample > 0 ? sample - 1 : -1;  // at the very end the last frame stays
    }
    return -1;
}

bool StandInMovieFrame(StandInMovie* movie, StandInTime time, StandInImage* out) {
    const int64_t sample = StandInVideoSampleAt(*movie, time);
    return movie->pictures && sample >= 0 && movie->pictures->Frame(static_cast<uint32_t>(sample), out);
}

void StandInMoviesTask(QtWord only) {
    for (auto& [word, movie] : g_movies) {
        if (only && word != only)
            continue;
        StandInMovie& m = *movie;
        if (m.rate != 0 && IsStandInMovieDone(m)) {
            SetStandInMovieRate(&m, 0);
            StopStandInSound(word, &m);
        }
        if (!m.gworld || !m.active)
            continue;
        const int64_t sample = StandInVideoSampleAt(m, StandInMovieTime(m));
        if (sample < 0 || sample == m.shownSample)
            continue;
        StandInImage frame;
        if (m.pictures && m.pictures->Frame(static_cast<uint32_t>(sample), &frame)) {
            PresentStandInFrame(m.gworld, frame, m.box, m.clip);
            m.shownSample = sample;
        }
    }
}
