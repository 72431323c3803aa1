// Sound movies made in memory: sound media whose 'raw ' samples become the little-endian PCM a
// wave device takes, and movies of one sound track.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cstring>

#include "quicktime/formats/SoundFiles.h"

namespace {

constexpr uint32_t kRaw = QtFourCC("raw ");
constexpr uint32_t kTwos = QtFourCC("twos");
constexpr uint32_t kSowt = QtFourCC("sowt");
constexpr uint32_t kNone = 0;

SoundEncoding EncodingOf(uint32_t format, uint16_t bits) {
    if (bits == 8)
        return format == kRaw ? SoundEncoding::Unsigned8 : SoundEncoding::Signed8;
    return format == kSowt ? SoundEncoding::LittleEndian : SoundEncoding::BigEndian;
}

}  // namespace

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

int32_t StandInPlayableSound(const StandInSoundFormat& f) {
    const bool known = f.format == kRaw || f.format == kTwos || f.format == kSowt || f.format == kNone;
    if (!known)
        return kStandInBadFormat;  // 'MAC3', 'MAC6' and every other codec
    if (f.channels < 1 || f.channels > 8 || (f.bits != 8 && f.bits != 16 && f.bits != 24 && f.bits != 32) || f.rate == 0)
        return kStandInBadFormat;
    return kQtNoErr;
}

int32_t AddStandInSoundSamples(StandInTrack* track, std::span<const uint8_t> data,
                               std::span<const uint8_t> description, uint32_t samples, uint32_t durationPerSample) {
    const StandInSoundFormat f = ReadStandInSoundDescription(description);
    if (const int32_t err = StandInPlayableSound(f))
        return err;
    StandInPcm& pcm = track->pcm;
    if (!pcm.bytes.empty() && (pcm.channels != f.channels || pcm.bits != f.bits || pcm.rate != f.rate))
        return kStandInBadFormat;  // one format per track: the wave device plays one
    pcm.channels = f.channels;
    pcm.bits = f.bits;
    pcm.rate = f.rate;
    const size_t frame = pcm.FrameBytes();
    const size_t whole = std::min<size_t>(data.size() / frame, samples);
    const WavePcm wave = ToWavePcm(data.first(whole * frame), EncodingOf(f.format, f.bits), f.bits, f.channels, f.rate);
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
    d.dataFormat = pcm.bits == 8 ? kRaw : kSowt;
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
