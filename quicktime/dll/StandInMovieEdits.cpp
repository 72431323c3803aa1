// Sound movies made in memory: sound media whose 'raw ' samples become the little-endian PCM a
// wave device takes, and movies of one sound track.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cstring>

#include "quicktime/formats/SoundFiles.h"
#include "quicktime/formats/SoundTrack.h"

StandInSoundFormat ReadStandInSoundDescription(std::span<const uint8_t> description) {
    StandInSoundFormat f;
    if (description.size() < sizeof(QtSoundDescription))
        return f;
    QtSoundDescription d;
    std::memcpy(&d, description.data(), sizeof d);
    f.format = d.dataFormat;
    f.channels = static_cast<uint16_t>(std::max<int16_t>(d.numChannels, 0));
    f.bits = static_cast<uint16_t>(std::max<int16_t>(d.sampleSize, 0));
    f.rate = d.sampleRate >> 16;
    return f;
}

int32_t StandInPlayableSound(const StandInSoundFormat& f, SoundEncoding* encoding) {
    if (!SoundEncodingOf(f.format, f.bits, encoding))
        return kStandInBadFormat;  // 'MAC3', 'MAC6' and every other codec
    if (f.channels < 1 || f.channels > 8 || f.rate == 0)
        return kStandInBadFormat;
    return kQtNoErr;
}

int32_t AddStandInSoundSamples(StandInTrack* track, std::span<const uint8_t> data,
                               std::span<const uint8_t> description, uint32_t samples, uint32_t durationPerSample) {
    const StandInSoundFormat f = ReadStandInSoundDescription(description);
    SoundEncoding encoding{};
    if (const int32_t err = StandInPlayableSound(f, &encoding))
        return err;
    const size_t frame = size_t(f.channels) * (f.bits / 8u);
    const size_t whole = std::min<size_t>(data.size() / frame, samples);
    const WavePcm wave = ToWavePcm(data.first(whole * frame), encoding, f.bits, f.channels, f.rate);
    StandInPcm& pcm = track->pcm;
    if (!pcm.bytes.empty() && (pcm.channels != wave.channels || pcm.bits != wave.bitsPerSample || pcm.rate != wave.sampleRate))
        return kStandInBadFormat;  // one format per track: the wave device plays one
    pcm.channels = wave.channels;
    pcm.bits = wave.bitsPerSample;  // mu-law comes out 16-bit
    pcm.rate = wave.sampleRate;
    pcm.bytes.insert(pcm.bytes.end(), wave.samples.begin(), wave.samples.end());
    AddStandInSampleRun(track, static_cast<uint32_t>(whole), durationPerSample);
    if (track->descriptions.empty())
        track->descriptions.emplace_back(description.begin(), description.end());
    return kQtNoErr;
}

void AddStandInSampleRun(StandInTrack* track, uint32_t count, uint32_t duration) {
    count = std::min(count, kStandInMaxRun - std::min(track->SampleCount(), kStandInMaxRun));
    duration = std::min(duration, kStandInMaxSampleDuration);
    if (count == 0)
        return;
    if (!track->runs.empty() && track->runs.back().duration == duration && track->runs.back().count <= kStandInMaxRun - count)
        track->runs.back().count += count;
    else
        track->runs.push_back({count, duration});
}

std::vector<uint8_t> StandInSoundDescriptionBytes(const StandInPcm& pcm) {
    QtSoundDescription d{};
    d.descSize = sizeof d;
    d.dataFormat = pcm.bits == 8 ? QtFourCC("raw ") : QtFourCC("sowt");
    d.dataRefIndex = 1;
    d.numChannels = static_cast<int16_t>(pcm.channels);
    d.sampleSize = static_cast<int16_t>(pcm.bits);
    d.sampleRate = pcm.rate << 16;
    std::vector<uint8_t> bytes(sizeof d);
    std::memcpy(bytes.data(), &d, sizeof d);
    return bytes;
}

std::unique_ptr<StandInMovie> StandInSoundMovie(StandInPcm pcm) {
    auto movie = std::make_unique<StandInMovie>();
    StandInTrack track;
    track.mediaType = kStandInSound;
    track.mediaScale = StandInScale(pcm.rate);
    track.descriptions.push_back(StandInSoundDescriptionBytes(pcm));
    const uint32_t frame = pcm.FrameBytes();
    AddStandInSampleRun(&track, frame ? static_cast<uint32_t>(pcm.bytes.size() / frame) : 0, 1);
    track.pcm = std::move(pcm);
    track.inserted = true;
    movie->tracks.push_back(std::move(track));
    RecomputeStandInDuration(movie.get());
    return movie;
}
