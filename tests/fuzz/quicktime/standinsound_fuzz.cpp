// Arbitrary bytes as a sound description and the samples a caller adds to a sound media with it
// (the description's length and the sample count first): refused, or PCM of whole frames whose
// sample count is what was added.
#include <cstring>

#include "quicktime/dll/StandInMovies.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > (1 << 16))
        return 0;
    const size_t described = std::min<size_t>(data[0], size - 3);
    const uint32_t samples = uint32_t(data[1]) << 4 | data[2] >> 4;
    const std::span<const uint8_t> description(data + 3, described);
    const std::span<const uint8_t> bytes(data + 3 + described, size - 3 - described);
    const StandInSoundFormat format = ReadStandInSoundDescription(description);
    SoundEncoding encoding{};
    const bool playable = StandInPlayableSound(format, &encoding) == kQtNoErr;
    StandInTrack track;
    track.mediaType = kStandInSound;
    for (int twice = 0; twice < 2; ++twice) {
        const uint32_t before = track.SampleCount();
        const size_t had = track.pcm.bytes.size();
        if (AddStandInSoundSamples(&track, bytes, description, samples, 1 + (data[2] & 15)) != kQtNoErr) {
            FuzzCheck(!playable || twice == 1 || track.pcm.bytes.size() == had);
            continue;
        }
        FuzzCheck(playable && track.pcm.FrameBytes() > 0 && track.pcm.bytes.size() % track.pcm.FrameBytes() == 0);
        FuzzCheck(track.SampleCount() - before <= samples);
        FuzzCheck((track.pcm.bytes.size() - had) / track.pcm.FrameBytes() == track.SampleCount() - before);
    }
    return 0;
}
