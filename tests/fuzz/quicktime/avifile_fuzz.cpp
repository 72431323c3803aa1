// Arbitrary bytes as an AVI file: the chunk walk reads only within the file, every stream's
// format and data stay within their chunks, a sound track holds whole frames of bytes, and the
// movie made from it plays on the test clock.
#include <cstring>
#include <memory>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/formats/AviFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    const AviRead read = [&](uint64_t at, std::span<uint8_t> into) {
        if (at > size || into.size() > size - at)
            return false;
        if (!into.empty())
            std::memcpy(into.data(), data + at, into.size());
        return true;
    };
    std::vector<AviStream> streams;
    if (!ReadAviStreams(read, size, &streams))
        return 0;
    FuzzCheck(streams.size() <= kAviMaxStreams);
    size_t held = 0;
    for (size_t n = 0; n < streams.size(); ++n) {
        held += streams[n].format.size();
        FuzzCheck(ReadAviStreamData(read, size, static_cast<uint32_t>(n), size).size() <= size);
        ReadAviSoundFormat(streams[n]);
        ReadAviPictureFormat(streams[n]);
    }
    FuzzCheck(held <= size);
    SetStandInTestClock(true);
    auto movie = std::make_unique<StandInMovie>();
    int64_t firstFrame = 0;
    FuzzCheck(ReadStandInAvi(read, size, movie.get(), &firstFrame));
    FuzzCheck(movie->duration >= 0 && movie->natural.Width() >= 0 && movie->natural.Height() >= 0);
    for (const StandInTrack& track : movie->tracks)
        if (track.mediaType == kStandInSound)
            FuzzCheck(track.pcm.FrameBytes() > 0 && !track.pcm.bytes.empty() &&
                      track.pcm.bytes.size() % track.pcm.FrameBytes() == 0 &&
                      track.SampleCount() == track.pcm.bytes.size() / track.pcm.FrameBytes());
    const QtWord word = AddStandInMovie(std::move(movie));
    StandInMovie* m = FindStandInMovie(word);
    SetStandInMovieRate(m, kQtFixed1);
    StartStandInSound(word, m);
    AdvanceStandInTestClock(100000);
    StandInMoviesTask(word);
    DisposeStandInMovie(word);
    return 0;
}
