// Arbitrary bytes as movie data in the stand-in (movie files, sound files, MIDI files): opened,
// timed, its pictures taken at three times (within its box), played on the test clock and
// disposed, never reading past the bytes.
#include <memory>

#include "quicktime/dll/StandInMovies.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    SetStandInTestClock(true);
    std::unique_ptr<StandInMovie> movie;
    if (OpenStandInMovieData({data, size}, &movie) != kQtNoErr)
        return 0;
    FuzzCheck(movie != nullptr && movie->duration >= 0);
    StandInTime t = 0;
    for (int i = 0; i < 8 && t >= 0; ++i) {
        const StandInTime next = StandInNextSampleTime(*movie, {}, t, false, false, nullptr);
        FuzzCheck(next < 0 || next > t);
        t = next;
    }
    for (StandInTime at : {movie->duration, StandInTime(0), movie->duration / 2}) {
        StandInImage image;
        if (StandInMovieFrame(movie.get(), at, &image))
            FuzzCheck(image.width <= movie->natural.Width() && image.height <= movie->natural.Height() &&
                      image.bgra.size() == size_t(image.width) * size_t(image.height) * 4);
    }
    const QtWord word = AddStandInMovie(std::move(movie));
    StandInMovie* m = FindStandInMovie(word);
    FuzzCheck(m != nullptr);
    SetStandInMovieRate(m, kQtFixed1);
    StartStandInSound(word, m);
    AdvanceStandInTestClock(100000);
    StandInMoviesTask(word);
    FuzzCheck(m->duration == 0 || IsStandInMovieDone(*m) || m->duration > 100 * StandInTime(m->timeScale));
    DisposeStandInMovie(word);
    return 0;
}
