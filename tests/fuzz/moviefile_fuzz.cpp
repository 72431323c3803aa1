// Arbitrary bytes as a movie file: what the reader keeps lies inside the bytes, the sample walk
// stays within its limit, and a track's samples written into a new movie read back the same.
#include <vector>

#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/MusicTrack.h"
#include "quicktime/formats/SoundTrack.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool Inside(std::span<const uint8_t> part, std::span<const uint8_t> whole) {
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    const std::span<const uint8_t> file(data, size);
    MovieFileInfo info;
    if (ReadMovieFile(file, &info) != MovieRefusal::None)
        return 0;
    MovieBoxOf(info);
    MusicPerformance played;
    FuzzCheck(MovieMusicPerformance(file, &played) == MovieRefusal::None);
    std::vector<uint8_t> midi;
    MovieFileToMidiFile(file, &midi);
    for (const MovieUserData& u : info.userData)
        FuzzCheck(Inside(u.data, file));
    for (const MovieTrack& t : info.tracks) {
        for (const MovieSampleDescription& d : t.descriptions)
            FuzzCheck(Inside(d.bytes, file) && d.bytes.size() >= kSampleDescriptionHeaderBytes);
        FuzzCheck(TrackChunks(t, 64).size() <= 64);
        WavePcm pcm;
        if (MovieSoundPcm(file, t, &pcm, 1 << 16) == SoundRefusal::None)
            FuzzCheck(pcm.samples.size() <= (1 << 17) &&
                      pcm.samples.size() == size_t{pcm.frames} * pcm.bitsPerSample / 8 * pcm.channels);
        const std::vector<MovieSample> samples = TrackSamples(t, 256);
        FuzzCheck(samples.size() <= 256);
        if (t.descriptions.empty() || samples.empty() || t.mediaTimeScale == 0)
            continue;
        const std::span<const uint8_t> first = SampleBytes(file, samples[0]);
        FuzzCheck(Inside(first, file));
        if (first.empty() || samples[0].duration == 0)
            continue;
        MovieTrackSpec spec;
        spec.mediaType = t.mediaType;
        spec.mediaTimeScale = t.mediaTimeScale;
        spec.description.assign(t.descriptions[0].bytes.begin(), t.descriptions[0].bytes.end());
        spec.samples.assign(first.begin(), first.end());
        spec.sampleDuration = samples[0].duration;
        const std::vector<uint8_t> written = WriteMovieFile(std::span(&spec, 1));
        MovieFileInfo again;
        FuzzCheck(ReadMovieFile(written, &again) == MovieRefusal::None && again.tracks.size() == 1);
        const std::vector<MovieSample> back = TrackSamples(again.tracks[0], 2);
        FuzzCheck(back.size() == 1 && back[0].duration == spec.sampleDuration);
        const std::span<const uint8_t> bytes = SampleBytes(written, back[0]);
        FuzzCheck(std::vector<uint8_t>(bytes.begin(), bytes.end()) == spec.samples);
        FuzzCheck(again.tracks[0].descriptions.size() == 1 &&
                  std::vector<uint8_t>(again.tracks[0].descriptions[0].bytes.begin(),
                                       again.tracks[0].descriptions[0].bytes.end()) == spec.description);
    }
    return 0;
}
